#pragma once

#include "vector2.h"

// What a tutorial window dims the screen with, drawn beneath its panel.
class Blackout {
public:
    virtual ~Blackout() = default;
    // Placed at a screen point (what it leaves visible, if anything, is there).
    virtual void place(const QV::Vector2<float>& /*point*/) {}
    virtual void draw() = 0;
    virtual void update(float /*dt*/) {}

    float mAlpha = 0.5f;
};

// The design screen size and orientation the tutorial lays itself out for.
QV::Vector2<float> tutorialScreenSize();
int tutorialOrientation();

#pragma once

#include "tutorial/blackout.h"

namespace QV {
class Sprite;
}

// Dims the whole design screen evenly.
class SolidBlackout : public Blackout {
public:
    SolidBlackout();
    ~SolidBlackout() override;
    SolidBlackout(const SolidBlackout&) = delete;
    SolidBlackout& operator=(const SolidBlackout&) = delete;

    // The point is not used: the sprite covers the design screen.
    void place(const QV::Vector2<float>& point) override;
    void draw() override;

    QV::Sprite* mSprite = nullptr;  // untextured; released through the sprite manager
};

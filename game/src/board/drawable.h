#pragma once

#include "rect.h"

// One visual piece of a chip layer or a board decoration. The concrete kinds
// (sprite, animated sprite, particle effect, scene) come from createDrawable.
class Drawable {
public:
    explicit Drawable(int layer = 0) : layer(layer) {}
    virtual ~Drawable() = default;

    // (x, y): pixel position of the top-left corner.
    virtual void draw(int x, int y) = 0;
    virtual Drawable* clone() const = 0;
    virtual bool isAlive() { return true; }
    virtual void update(float dt) { (void)dt; }

    void setActive(bool value) {
        previousActive = active;
        active = value;
    }
    void setOpacity(float value) { opacity = value < 1.0f ? value : 1.0f; }
    void setRestartOnActivation(bool value) { restartOnActivation = value; }

    bool active = false;
    bool previousActive = false;
    int layer = 0;
    bool restartOnActivation = true;
    float cornerAlpha[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float opacity = 1.0f;
    bool clipEnabled = false;
    QV::Rect clipRect;
};

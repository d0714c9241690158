#pragma once

#include "color.h"
#include "ui/ui_widget.h"

namespace QV {

class FastSprite;
class ParticleFX;

// One sprite, drawn at the widget's world position plus the sprite's own
// position, tinted by the widget's colour and transparency.
class UISprite : public UIWidget {
public:
    // The widget's size starts as the sprite's; an owned sprite is given back with the widget.
    UISprite(const std::string& name, UIWidget* parent, FastSprite* sprite, bool ownsSprite);
    ~UISprite() override;

    Vector2<float> getSize() const override { return Vector2<float>(mSize.x * mScale.x, mSize.y * mScale.y); }
    int32_t getType() const override { return kUISprite; }
    void drawSelf() override;
    void load(LuaScript2& script) override;

    FastSprite* getSprite() const { return mSprite; }
    // The colour of this frame's quad.
    Color drawColor() const;
    // Sets the sprite's own colour (all four corners).
    void setBaseColor(const Color& color);

    FastSprite* mSprite;
    bool mOwnsSprite;
    Vector2<float> mScale{1.0f, 1.0f};
    Color mBaseColor = Color::fromWord(0xFFFFFFFFu);
};

// One particle effect, frozen while the widget is invisible.
class UIParticleFX : public UIWidget {
public:
    UIParticleFX(const std::string& name, UIWidget* parent, ParticleFX* effect);
    ~UIParticleFX() override;

    int32_t getType() const override { return kUIParticleFX; }
    void drawSelf() override;
    void update(float frameTime) override;

    ParticleFX* getEffect() const { return mEffect; }

    ParticleFX* mEffect;
};

}  // namespace QV

#include "ui/ui_sprite.h"

#include <algorithm>

#include "fast_sprite.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "sprite_manager.h"
#include "ui/ui_manager.h"

namespace QV {

UISprite::UISprite(const std::string& name, UIWidget* parent, FastSprite* sprite, bool ownsSprite)
    : UIWidget(name, parent), mSprite(sprite), mOwnsSprite(ownsSprite) {
    if (mSprite) {
        mSize = mSprite->mSize;
        mBaseColor = mSprite->cornerColor(0);
    }
}

UISprite::~UISprite() {
    if (mSprite && mOwnsSprite) {
        if (auto* sprites = Singleton<SpriteManager<FastSprite>>::instancePointer()) sprites->destroySprite(mSprite);
    }
}

void UISprite::setBaseColor(const Color& color) {
    mBaseColor = color;
    if (mSprite) mSprite->setColor(color);
}

Color UISprite::drawColor() const {
    auto unit = [](float v) { return std::clamp(v, 0.0f, 1.0f); };
    const float r = unit((mBaseColor.r / 255.0f) * (mColor.r / 255.0f));
    const float g = unit((mBaseColor.g / 255.0f) * (mColor.g / 255.0f));
    const float b = unit((mBaseColor.b / 255.0f) * (mColor.b / 255.0f));
    const float a = unit((mColor.a / 255.0f) * mTransparency);
    return Color(r, g, b, a);
}

void UISprite::drawSelf() {
    if (!mSprite) return;
    mSprite->setColor(drawColor());
    if (mClip != mSprite->mClip) {
        mSprite->mClip = mClip;
        if (!mClip) mSprite->updateTexCoords();
    }
    if (mClip) mSprite->mClipRect = mClipRect;
    const Vector2<float> offset = mSprite->mPosition;
    mSprite->mPosition = getWorldPosition() + offset;
    mSprite->mScale = mScale;
    mSprite->draw();
    mSprite->mPosition = offset;
}

void UISprite::load(LuaScript2& script) {
    UIManager::loadWidgetProperties(this, script);
    UIManager::loadSpriteKeys(this, script);
}

UIParticleFX::UIParticleFX(const std::string& name, UIWidget* parent, ParticleFX* effect)
    : UIWidget(name, parent), mEffect(effect) {}

UIParticleFX::~UIParticleFX() {
    if (!mEffect) return;
    if (ParticleSystem* particles = Singleton<ParticleSystem>::instancePointer()) particles->releaseParticleFX(mEffect);
}

void UIParticleFX::drawSelf() {
    if (!mEffect || mTransparency <= 0.01f) return;
    const float alpha = (mColor.a / 255.0f) * mTransparency;
    mEffect->mPosition = getWorldPosition();
    for (ParticleEmitter* emitter : mEffect->mParticleEmitters) {
        emitter->setAlpha(alpha);
        emitter->render(mEffect->mPosition);
    }
}

void UIParticleFX::update(float frameTime) {
    if (mEffect && mTransparency > 0.0f) mEffect->update(frameTime);
}

}  // namespace QV

#include "tutorial/solid_blackout.h"

#include "color.h"
#include "sprite.h"
#include "sprite_manager.h"

namespace {

QV::SpriteManager<QV::Sprite>* sprites() { return QV::SpriteManager<QV::Sprite>::instancePointer(); }

}  // namespace

SolidBlackout::SolidBlackout() {
    if (QV::SpriteManager<QV::Sprite>* manager = sprites()) mSprite = manager->createSpriteFromTexture(nullptr);
    place(QV::Vector2<float>());
}

SolidBlackout::~SolidBlackout() {
    if (mSprite && sprites()) sprites()->destroySprite(mSprite);
}

void SolidBlackout::place(const QV::Vector2<float>&) {
    if (!mSprite) return;
    mSprite->setPosition(0.0f, 0.0f);
    mSprite->setSize(tutorialScreenSize());
}

void SolidBlackout::draw() {
    if (!mSprite) return;
    mSprite->setColor(QV::Color(0.0f, 0.0f, 0.0f, mAlpha));
    mSprite->updateVertices();
    mSprite->draw();
}

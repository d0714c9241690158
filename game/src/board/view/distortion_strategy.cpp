#include "board/view/distortion_strategy.h"

#include <algorithm>

#include "color.h"
#include "board/view/drawable_kinds.h"
#include "sprite.h"
#include "sprite_manager.h"

namespace {

float lifeLeft(const DistortionRecord& record) {
    return record.duration > 0.0f ? record.timeLeft / record.duration : 0.0f;
}

}  // namespace

DistortionStrategy::~DistortionStrategy() {
    releaseBoardSprite(sprite);
}

void DistortionStrategy::loadSprite(const char* table) {
    if (!sprite) sprite = boardSprites().createSprite("normalmaps_sprites", table, "default");
}

void DistortionStrategy::drawSprite(const DistortionRecord& record, float alpha) {
    if (!sprite) return;
    const QV::Vector2<float> size = sprite->getSize();
    const float width = size.x * record.scaleX;
    const float height = size.y * record.scaleY;
    sprite->setScale(record.scaleX, record.scaleY);
    sprite->setPosition(record.x - width / 2.0f, record.y - height / 2.0f);
    sprite->setColor(QV::Color(1.0f, 1.0f, 1.0f, alpha));
    sprite->updateVertices();
    sprite->draw();
}

void DistortionFromExplosionStrategy::loadSprite() { DistortionStrategy::loadSprite("explosion_normalmap"); }

void DistortionFromExplosionStrategy::update(DistortionRecord& record, float dt) {
    record.scaleX += 4.0f * dt;
    record.scaleY += 4.0f * dt;
}

void DistortionFromExplosionStrategy::draw(const DistortionRecord& record, float alpha) {
    drawSprite(record, alpha * lifeLeft(record));
}

void DistortionFromTorchStrategy::loadSprite() { DistortionStrategy::loadSprite("fire_normalmap"); }

void DistortionFromTorchStrategy::update(DistortionRecord& record, float dt) {
    record.scaleX += 0.25f * dt;
    record.scaleY += 0.25f * dt;
}

void DistortionFromTorchStrategy::draw(const DistortionRecord& record, float alpha) {
    const float age = std::min(record.duration - record.timeLeft, 1.0f);
    drawSprite(record, alpha * age * lifeLeft(record));
}

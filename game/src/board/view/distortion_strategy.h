#pragma once

#include <cstdint>

namespace QV {
class Sprite;
}

// A short-lived bend of the picture, drawn into the distortion target.
struct DistortionRecord {
    float x = 0.0f;  // centre in board pixels
    float y = 0.0f;
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    float duration = 0.0f;
    float timeLeft = 0.0f;
    int32_t kind = 0;  // 0 explosion, 1 torch
};

// Grows a record and draws it with its normal-map sprite.
class DistortionStrategy {
public:
    DistortionStrategy() = default;
    DistortionStrategy(const DistortionStrategy&) = delete;
    DistortionStrategy& operator=(const DistortionStrategy&) = delete;
    virtual ~DistortionStrategy();

    virtual void update(DistortionRecord& record, float dt) = 0;
    virtual void draw(const DistortionRecord& record, float alpha) = 0;

    QV::Sprite* getSprite() const { return sprite; }

protected:
    // Loads the table of "normalmaps_sprites" once.
    void loadSprite(const char* table);
    // Centres the sprite on the record at its scale with white of that alpha.
    void drawSprite(const DistortionRecord& record, float alpha);

    QV::Sprite* sprite = nullptr;
};

// Fast-growing ring that fades out.
class DistortionFromExplosionStrategy : public DistortionStrategy {
public:
    void loadSprite();
    void update(DistortionRecord& record, float dt) override;
    void draw(const DistortionRecord& record, float alpha) override;
};

// Slowly growing glow that fades in over its first second and out over its life.
class DistortionFromTorchStrategy : public DistortionStrategy {
public:
    void loadSprite();
    void update(DistortionRecord& record, float dt) override;
    void draw(const DistortionRecord& record, float alpha) override;
};

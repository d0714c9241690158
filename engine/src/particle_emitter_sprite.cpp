#include "particle_emitter.h"
#include "particle_tail.h"

namespace QV {

// Drawing goes through the sprite managers; until they exist an emitter has
// no sprite and draws nothing, while its particles still live and move.
Sprite* ParticleEmitter::loadSprite() { return nullptr; }

void ParticleEmitter::render(const Vector2<float>&) {}

void ParticleEmitter::rebuildSpriteMesh() {}

void ParticleEmitter::takeTailFrameFromSprite() {
    mTailSettings.frameWidth = 0.0f;
    mTailSettings.frameHeight = 0.0f;
    mTailSettings.frameLeft = 0.0f;
    mTailSettings.frameTop = 0.0f;
}

void ParticleEmitter::cloneSpriteFrom(const ParticleEmitter&) {}

void ParticleEmitter::releaseSprite() { mSprite = nullptr; }

void ParticleTail::draw() {}

}  // namespace QV

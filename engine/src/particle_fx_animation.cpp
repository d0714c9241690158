#include "particle_fx.h"

namespace QV {

// Keyframe animations of the effect position come with the animation
// container; until then an effect runs without one.
void ParticleFX::loadAnimation() { deleteAnimation(); }

void ParticleFX::deleteAnimation() { mAnimation = nullptr; }

void ParticleFX::stepAnimation(float) {}

bool ParticleFX::animationOver() const { return false; }

void ParticleFX::rewindAnimation() {}

}  // namespace QV

#include "animation.h"
#include "particle_fx.h"

namespace QV {

void ParticleFX::loadAnimation() {
    deleteAnimation();
    if (mAnimationFilename.empty()) return;
    mAnimation = new Animation();
    mAnimation->bind<Vector2<float>>("pos", &mPosition);
    // A script that does not load leaves the effect without animation.
    if (!mAnimation->load(mAnimationFilename, "default", "")) deleteAnimation();
}

void ParticleFX::deleteAnimation() {
    delete mAnimation;
    mAnimation = nullptr;
}

void ParticleFX::stepAnimation(float dt) {
    if (!mAnimation) return;
    mAnimation->mLoop = mLoopedAnimation;
    mAnimation->update(dt);
}

bool ParticleFX::animationOver() const { return mAnimation && mAnimation->isFinished(); }

void ParticleFX::rewindAnimation() {
    if (mAnimation) mAnimation->mTime = 0.0f;
}

}  // namespace QV

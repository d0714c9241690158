#include "particle_fx.h"

#include "object_factory.h"
#include "particle_system.h"

namespace QV {

ParticleFX::ParticleFX(const ParticleFX& other) : Serializable(other) {
    for (ParticleEmitter* emitter : other.mParticleEmitters) {
        ParticleEmitter* copy = Singleton<ObjectFactory>::instance()->cloneObject<ParticleEmitter>(*emitter);
        if (!copy) continue;
        copy->setOwner(this);
        mParticleEmitters.push_back(copy);
    }
    mPosition = other.mPosition;
    mDestroyIfDead = other.mDestroyIfDead;
    mAnimationFilename = other.mAnimationFilename;
    mLoopedAnimation = other.mLoopedAnimation;
    mFileName = other.mFileName;
    loadAnimation();
    for (ParticleEmitter* emitter : mParticleEmitters) {
        emitter->setOwner(this);
        emitter->initPool();
    }
    if (ParticleSystem* system = Singleton<ParticleSystem>::instancePointer()) system->addActive(this);
}

ParticleFX::~ParticleFX() {
    for (ParticleEmitter* emitter : mParticleEmitters) delete emitter;
    mParticleEmitters.clear();
    deleteAnimation();
}

void ParticleFX::init() {
    loadAnimation();
    for (ParticleEmitter* emitter : mParticleEmitters) {
        emitter->setOwner(this);
        emitter->initPool();
    }
}

void ParticleFX::visit(PropertyVisitArchive& archive) {
    fields(archive, [](PropertyVisitArchive& a, auto pair) { a.visit(pair); });
}

void ParticleFX::load(XmlIArchive& archive) {
    fields(archive, [](XmlIArchive& a, auto pair) { a.load(pair); });
}

void ParticleFX::save(XmlOutputArchive& archive) {
    fields(archive, [](XmlOutputArchive& a, auto pair) { a.save(pair); });
}

void ParticleFX::update(float dt) {
    if (!mPlaying) dt = 0.0f;
    stepAnimation(dt);
    for (ParticleEmitter* emitter : mParticleEmitters) emitter->update(dt);
    if (mAnimation) mEnded = animationOver();
}

void ParticleFX::restart() {
    rewindAnimation();
    for (ParticleEmitter* emitter : mParticleEmitters) emitter->reset();
    mPlaying = true;
}

void ParticleFX::setAlpha(float alpha) {
    for (ParticleEmitter* emitter : mParticleEmitters) emitter->setAlpha(alpha);
}

bool ParticleFX::allEmittersFinished() const {
    for (const ParticleEmitter* emitter : mParticleEmitters) {
        if (!emitter->isFinished()) return false;
    }
    return true;
}

}  // namespace QV

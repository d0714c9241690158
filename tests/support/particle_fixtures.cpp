#include "particle_fixtures.h"

namespace qvtest {

void configureEmitter(QV::ParticleEmitter& emitter, const EmitterSpec& spec) {
    setFlat(emitter.mEmitRate, spec.rate);
    setFlat(emitter.mInitialLifeTime, spec.particleLife);
    setFlat(emitter.mParticleColor, QV::Color::fromBytes(255, 255, 255, 255));
    setFlat(emitter.mInitialScaleX, 1.0f);
    setFlat(emitter.mInitialScaleY, 1.0f);
    emitter.mEmitterLifeTime = spec.emitterLife;
    emitter.mLooped = spec.looped;
    emitter.mMaxParticlesCount = spec.pool;
    emitter.mEmitterDelay = spec.delay;
}

ParticleEngine::ParticleEngine()
    : factory(new QV::ObjectFactory()), system(new QV::ParticleSystem()) {}

ParticleEngine::~ParticleEngine() {
    system.reset();
    factory.reset();
}

int countLive(const QV::ParticleEmitter& emitter) {
    int live = 0;
    for (int i = 0; i < emitter.poolSize(); ++i) live += emitter.particles()[i].free ? 0 : 1;
    return live;
}

}  // namespace qvtest

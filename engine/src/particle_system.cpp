#include "particle_system.h"

#include <algorithm>

#include "mutex_lock.h"
#include "object_factory.h"
#include "particle_affectors.h"
#include "particle_fx.h"
#include "particle_shapes.h"
#include "timer_manager.h"
#include "xml_iarchive.h"

namespace QV {

ParticleSystem::ParticleSystem() {
    initRecursiveMutex(&mMutex);
    registerCreators();
}

ParticleSystem::~ParticleSystem() {
    {
        MutexLock lock(&mMutex);
        for (auto& entry : mPool) delete entry.second;
        mPool.clear();
        for (auto& entry : mPrototypes) delete entry.second;
        mPrototypes.clear();
        // Managed effects are listed as active too: deleted once, here.
        std::vector<ParticleFX*> active;
        active.swap(mActive);
        for (ParticleFX* effect : active) delete effect;
        mManaged.clear();
    }
    pthread_mutex_destroy(&mMutex);
}

void ParticleSystem::registerCreators() {
    ObjectFactory* factory = Singleton<ObjectFactory>::instance();
    factory->registerCreator<ParticlePointEmitter>("ParticlePointEmitter");
    factory->registerCreator<ParticleBoxEmitter>("ParticleBoxEmitter");
    factory->registerCreator<ParticleQuadEmitter>("ParticleQuadEmitter");
    factory->registerCreator<ParticleCircleEmitter>("ParticleCircleEmitter");
    factory->registerCreator<ParticleLinearMovementAffector>("ParticleLinearMovementAffector");
    factory->registerCreator<ParticleGraphicMoveAffector>("ParticleGraphicMoveAffector");
    factory->registerCreator<ParticleRotateAffector>("ParticleRotateAffector");
    factory->registerCreator<ParticleRotateSpriteAffector>("ParticleRotateSpriteAffector");
    factory->registerCreator<ParticleGravityAffector>("ParticleGravityAffector");
    factory->registerCreator<ParticleGravityPointAffector>("ParticleGravityPointAffector");
    factory->registerCreator<ParticleAutoRotateAffector>("ParticleAutoRotateAffector");
}

ParticleFX* ParticleSystem::prototype(const std::string& fileName) const {
    MutexLock lock(&mMutex);
    auto it = mPrototypes.find(fileName);
    return it == mPrototypes.end() ? nullptr : it->second;
}

std::vector<ParticleFX*> ParticleSystem::activeEffects() const {
    MutexLock lock(&mMutex);
    return mActive;
}

std::vector<ParticleSystem::ManagedEffect> ParticleSystem::managedEffects() const {
    MutexLock lock(&mMutex);
    return mManaged;
}

size_t ParticleSystem::pooledCount(const std::string& fileName) const {
    MutexLock lock(&mMutex);
    return mPool.count(fileName);
}

bool ParticleSystem::autoUpdate() const {
    MutexLock lock(&mMutex);
    return mAutoUpdate;
}

void ParticleSystem::addActive(ParticleFX* effect) {
    MutexLock lock(&mMutex);
    if (std::find(mActive.begin(), mActive.end(), effect) == mActive.end()) mActive.push_back(effect);
}

void ParticleSystem::reuse(ParticleFX* effect) {
    // A managed effect went into the pool without its animation and with its
    // emitters' looping switched off; it comes back as a fresh copy would.
    if (ParticleFX* source = prototype(effect->mFileName)) {
        size_t count = std::min(source->mParticleEmitters.size(), effect->mParticleEmitters.size());
        for (size_t i = 0; i < count; ++i) effect->mParticleEmitters[i]->mLooped = source->mParticleEmitters[i]->mLooped;
    }
    for (ParticleEmitter* emitter : effect->mParticleEmitters) {
        emitter->setAlpha(1.0f);
        emitter->setEmitCoefficient(1.0f);
    }
    if (!effect->animation()) effect->loadAnimation();
    effect->mEnded = false;
    effect->restart();
}

ParticleFX* ParticleSystem::createParticleFX(const std::string& fileName) {
    {
        MutexLock lock(&mMutex);
        auto pooled = mPool.lower_bound(fileName);  // the one given back first
        if (pooled != mPool.end() && pooled->first == fileName) {
            ParticleFX* effect = pooled->second;
            mPool.erase(pooled);
            mActive.push_back(effect);
            reuse(effect);
            return effect;
        }
        if (ParticleFX* source = prototype(fileName)) return new ParticleFX(*source);
    }

    // Read and parse without the lock, so other threads can go on meanwhile.
    XmlIArchive archive("default", fileName);
    if (!archive.isLoaded()) return nullptr;
    ParticleFX* read = nullptr;
    archive.load(nvp<ParticleFX*>("ParticleFX", &read));

    MutexLock lock(&mMutex);
    if (!read) return nullptr;
    read->mFileName = fileName;
    read->init();
    auto stored = mPrototypes.emplace(fileName, read);
    if (!stored.second) delete read;  // another thread stored one meanwhile
    return new ParticleFX(*stored.first->second);
}

ParticleFX* ParticleSystem::createParticleFXCopy(ParticleFX* source) {
    MutexLock lock(&mMutex);
    ParticleFX* copy = new ParticleFX(*source);
    copy->restart();
    return copy;
}

void ParticleSystem::releaseParticleFX(ParticleFX* effect) {
    MutexLock lock(&mMutex);
    if (!effect) return;
    auto it = std::find(mActive.begin(), mActive.end(), effect);
    if (it != mActive.end()) mActive.erase(it);
    if (mPoolCap >= 0 && mPool.count(effect->mFileName) >= static_cast<size_t>(mPoolCap)) {
        delete effect;
        return;
    }
    mPool.emplace(effect->mFileName, effect);
}

void ParticleSystem::update() {
    advance(Singleton<TimerManager>::instance()->getFrameDelta());
}

void ParticleSystem::advance(float frameTime) {
    MutexLock lock(&mMutex);
    float dt = frameTime < kMaxFrameTime ? frameTime : kMaxFrameTime;
    for (size_t i = 0; i < mManaged.size();) {
        ParticleFX* effect = mManaged[i].effect;
        if (!mAutoUpdate) effect->update(dt);
        if (effect->animation() && effect->mEnded) {
            for (ParticleEmitter* emitter : effect->mParticleEmitters) emitter->mLooped = false;
        }
        if (effect->isFinished()) {
            effect->deleteAnimation();
            releaseParticleFX(effect);
            mManaged.erase(mManaged.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    if (!mAutoUpdate) return;
    for (size_t i = 0; i < mActive.size();) {
        ParticleFX* effect = mActive[i];
        effect->update(dt);
        if (effect->isFinished() && effect->mDestroyIfDead) {
            // A managed entry must not outlive its effect.
            mManaged.erase(std::remove_if(mManaged.begin(), mManaged.end(),
                                          [effect](const ManagedEffect& m) { return m.effect == effect; }),
                           mManaged.end());
            mActive.erase(mActive.begin() + static_cast<std::ptrdiff_t>(i));
            delete effect;
        } else {
            ++i;
        }
    }
}

void ParticleSystem::drawManagedEffects(int layer, float alpha) {
    MutexLock lock(&mMutex);
    for (const ManagedEffect& entry : mManaged) {
        if (entry.layer != layer) continue;
        for (ParticleEmitter* emitter : entry.effect->mParticleEmitters) emitter->setAlpha(alpha);
        for (ParticleEmitter* emitter : entry.effect->mParticleEmitters) emitter->render(entry.effect->mPosition);
    }
}

void ParticleSystem::addManagedEffect(ParticleFX* effect, int layer) {
    MutexLock lock(&mMutex);
    mManaged.push_back(ManagedEffect{effect, layer});
}

void ParticleSystem::setAutoUpdate(bool autoUpdate) {
    MutexLock lock(&mMutex);
    mAutoUpdate = autoUpdate;
}

}  // namespace QV

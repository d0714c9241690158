#include "particle_emitter.h"

#include <climits>
#include <cmath>

#include "object_factory.h"
#include "particle_fx.h"
#include "particle_tail.h"
#include "random15.h"

namespace QV {

float randomFraction() {
    return static_cast<float>(static_cast<double>(random15()) / 32767.0);
}

int truncToInt(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return INT_MAX;
    if (value <= -2147483648.0f) return INT_MIN;
    return static_cast<int>(value);
}

namespace {

// A NaN time would keep a particle or an emitter alive forever.
float finiteOrZero(float value) { return std::isnan(value) ? 0.0f : value; }

int clampCount(int value, int limit) { return value < 0 ? 0 : (value > limit ? limit : value); }

}  // namespace

ParticleEmitter::ParticleEmitter() = default;

ParticleEmitter::ParticleEmitter(const ParticleEmitter& other)
    : Serializable(other),
      mMinParticlesCount(other.mMinParticlesCount),
      mMaxParticlesCount(other.mMaxParticlesCount),
      mPosition(other.mPosition),
      mEmitRate(other.mEmitRate),
      mSpriteFileName(other.mSpriteFileName),
      mSpriteTableName(other.mSpriteTableName),
      mInitialLifeTime(other.mInitialLifeTime),
      mParticleColor(other.mParticleColor),
      mInitialScaleX(other.mInitialScaleX),
      mInitialScaleY(other.mInitialScaleY),
      mEmitterLifeTime(other.mEmitterLifeTime),
      mLooped(other.mLooped),
      mEmitterDelay(other.mEmitterDelay),
      mBlendMode(other.mBlendMode),
      mGlobalCoords(other.mGlobalCoords),
      mUseTails(other.mUseTails),
      mHeadSizeTex(other.mHeadSizeTex),
      mMaxSegments(other.mMaxSegments),
      mFadeSpeed(other.mFadeSpeed),
      mMinDistSegments(other.mMinDistSegments),
      mHeadSize(other.mHeadSize),
      mElapsed(other.mElapsed),
      mTailSettings(other.mTailSettings) {
    // No pool yet: the owning effect builds it with initPool.
    cloneSpriteFrom(other);
    for (ParticleAffector* affector : other.mParticleAffectors) {
        ParticleAffector* copy = Singleton<ObjectFactory>::instance()->cloneObject<ParticleAffector>(*affector);
        if (copy) mParticleAffectors.push_back(copy);
    }
}

ParticleEmitter::~ParticleEmitter() {
    for (ParticleAffector* affector : mParticleAffectors) delete affector;
    mParticleAffectors.clear();
    deletePool();
    releaseSprite();
}

void ParticleEmitter::deletePool() {
    if (mParticles) {
        for (int i = 0; i < mPoolSize; ++i) delete mParticles[i].tail;
        delete[] mParticles;
    }
    mParticles = nullptr;
    mPoolSize = 0;
    mFreeHead = -1;
    mLiveCount = 0;
}

void ParticleEmitter::visit(PropertyVisitArchive& archive) {
    fields(archive, [](PropertyVisitArchive& a, auto pair) { a.visit(pair); });
}

void ParticleEmitter::load(XmlIArchive& archive) {
    fields(archive, [](XmlIArchive& a, auto pair) { a.load(pair); });
    // Damaged data is brought into the range the emitter can run with.
    mMaxParticlesCount = clampCount(mMaxParticlesCount, kMaxPoolSize);
    mMaxSegments = clampCount(mMaxSegments, kMaxSegmentsLimit);
    mEmitterLifeTime = finiteOrZero(mEmitterLifeTime);
    mEmitterDelay = finiteOrZero(mEmitterDelay);
}

void ParticleEmitter::save(XmlOutputArchive& archive) {
    fields(archive, [](XmlOutputArchive& a, auto pair) { a.save(pair); });
}

int ParticleEmitter::lifePercent() const {
    if (mEmitterLifeTime > 0.0f) return truncToInt(mElapsed * 100.0f / mEmitterLifeTime);
    return truncToInt(mElapsed * 10.0f);
}

int ParticleEmitter::particlePercent(const Particle& particle) {
    float total = particle.age + particle.lifeLeft;
    if (total == 0.0f) return 0;
    return truncToInt(particle.age / total * 100.0f);
}

Vector2<float> ParticleEmitter::ownerPosition() const {
    return mOwner ? mOwner->mPosition : Vector2<float>();
}

bool ParticleEmitter::mayEmit() const {
    if (!mOwner) return !isFinished();
    if (mOwner->mEnded) return false;
    for (const ParticleEmitter* sibling : mOwner->mParticleEmitters) {
        if (!sibling->isFinished()) return true;
    }
    return mOwner->mParticleEmitters.empty() && !isFinished();
}

void ParticleEmitter::update(float dt) {
    mElapsed += dt;
    if (mEmitterLifeTime > 0.0f && mLooped && mElapsed > mEmitterLifeTime) mElapsed = 0.0f;
    if (mayEmit() && mElapsed > mEmitterDelay && (mLooped || mElapsed < mEmitterLifeTime)) emit(dt);
    updateParticles(dt);
    for (ParticleAffector* affector : mParticleAffectors) affector->update(dt);
}

void ParticleEmitter::emit(float dt) {
    if (mEmitterLifeTime >= 0.0f && mElapsed >= mEmitterLifeTime) return;
    mEmitAccumulator += dt;
    float rate = mEmitRate.evaluateMean(lifePercent()) * mEmitCoefficient;
    float interval = rate > 0.0f ? 1.0f / rate : 1e11f;
    while (mEmitAccumulator > interval) {
        if (mLiveCount >= mMaxParticlesCount) {
            mEmitAccumulator = 0.0f;
            return;
        }
        if (mFreeHead == -1) {
            // No record left this frame: drop the intervals that would find
            // none, in one step instead of one turn each (a huge rate would
            // otherwise never leave the loop).
            float rest = std::fmod(mEmitAccumulator, interval);
            if (!(rest >= 0.0f)) rest = 0.0f;
            else if (rest == 0.0f) rest = interval;
            mEmitAccumulator = rest;
            return;
        }
        int index = mFreeHead;
        mFreeHead = mParticles[index].nextFree;
        spawn(index);
        mEmitAccumulator -= interval;
    }
}

void ParticleEmitter::spawn(int index) {
    Particle& p = mParticles[index];
    int percent = lifePercent();
    p.free = false;
    p.lifeLeft = finiteOrZero(mInitialLifeTime.evaluateMean(percent));
    p.age = 0.0f;
    p.color = mParticleColor.evaluateMean(0);
    p.scaleX = mInitialScaleX.evaluateMean(0);
    p.scaleY = mInitialScaleY.evaluateMean(0);
    p.x = mPosition.x;
    p.y = mPosition.y;
    p.angle = 0.0f;
    p.nextFree = -1;
    if (mUseTails && p.tail) p.tail->clear();
    placeParticle(index);
    for (ParticleAffector* affector : mParticleAffectors) affector->resetParticle(index);
    if (mGlobalCoords) {
        Vector2<float> effect = ownerPosition();
        p.x += mPosition.x + effect.x;
        p.y += mPosition.y + effect.y;
    }
}

Vector2<float> ParticleEmitter::worldPoint(const Particle& particle) const {
    if (mGlobalCoords) return Vector2<float>(particle.x, particle.y);
    Vector2<float> effect = ownerPosition();
    return Vector2<float>(particle.x + mPosition.x + effect.x, particle.y + mPosition.y + effect.y);
}

void ParticleEmitter::refreshTailSettings() {
    mTailSettings.headSizeTex = mHeadSizeTex;
    mTailSettings.headSize = mHeadSize;
    mTailSettings.maxSegments = mMaxSegments;
    mTailSettings.fadeSpeed = mFadeSpeed;
    mTailSettings.minDistSegments = mMinDistSegments;
}

void ParticleEmitter::rebuildTails() {
    mMaxSegments = clampCount(mMaxSegments, kMaxSegmentsLimit);
    mTailSettings.ringSize = mMaxSegments + 7;
    for (int i = 0; i < mPoolSize; ++i) {
        delete mParticles[i].tail;
        mParticles[i].tail = new ParticleTail();
        mParticles[i].tail->init(mSprite, &mTailSettings);
    }
}

void ParticleEmitter::updateParticles(float dt) {
    if (mPoolSize != mMaxParticlesCount) resizePool();
    if (mUseTails) {
        refreshTailSettings();
        if (mSegmentsSeen != mMaxSegments) rebuildTails();
    }
    mLiveCount = 0;
    // Particles share 101 possible percents: each is evaluated once a frame.
    struct Looks {
        Color color;
        float scaleX;
        float scaleY;
    };
    Looks looks[101];
    bool known[101] = {};
    for (int i = 0; i < mPoolSize; ++i) {
        Particle& p = mParticles[i];
        if (p.free) continue;
        p.age += dt;
        p.lifeLeft -= dt;
        int percent = particlePercent(p);
        if (percent >= 0 && percent <= 100) {
            Looks& l = looks[percent];
            if (!known[percent]) {
                l.color = mParticleColor.evaluate(0, percent);
                l.scaleX = mInitialScaleX.evaluate(0, percent);
                l.scaleY = mInitialScaleY.evaluate(0, percent);
                known[percent] = true;
            }
            p.color = l.color;
            p.scaleX = l.scaleX;
            p.scaleY = l.scaleY;
        } else {
            p.color = mParticleColor.evaluate(0, percent);
            p.scaleX = mInitialScaleX.evaluate(0, percent);
            p.scaleY = mInitialScaleY.evaluate(0, percent);
        }
        if (p.lifeLeft <= 0.0f) {
            p.free = true;
            p.nextFree = mFreeHead;
            mFreeHead = i;
        }
        if (mUseTails && p.tail) {
            p.tail->mWidth = mTailSettings.frameHeight * p.scaleY;
            p.tail->update(dt, worldPoint(p));
        }
        if (!p.free) ++mLiveCount;
    }
    mSegmentsSeen = mMaxSegments;
}

ParticleQuad ParticleEmitter::buildQuad(const Particle& particle, const Vector2<float>& offset,
                                        const Vector2<float>& spriteSize) const {
    ParticleQuad quad;
    Vector2<float> point(particle.x, particle.y);
    if (!mUseTails && !mGlobalCoords) {
        point.x += offset.x + mPosition.x;
        point.y += offset.y + mPosition.y;
    }
    if (!mUseTails) {
        quad.halfSize = Vector2<float>(spriteSize.x * 0.5f * particle.scaleX, spriteSize.y * 0.5f * particle.scaleY);
    }
    // The multiplier fades; a value above 1 or below 0 is held at the ends
    // rather than wrapping the byte.
    float alpha = static_cast<float>(particle.color.a) / 255.0f * 255.0f * mAlpha;
    if (!(alpha > 0.0f)) alpha = 0.0f;
    if (alpha > 255.0f) alpha = 255.0f;
    quad.color = Color::fromBytes(particle.color.r, particle.color.g, particle.color.b,
                                  static_cast<uint8_t>(static_cast<int>(alpha)));
    quad.position = point - quad.halfSize;
    quad.scale = Vector2<float>(particle.scaleX, particle.scaleY);
    quad.angle = particle.angle;
    return quad;
}

bool ParticleEmitter::isFinished() const {
    return !mLooped && !(mEmitterLifeTime > mElapsed) && mLiveCount == 0;
}

void ParticleEmitter::freeAllRecords() {
    for (int i = 0; i < mPoolSize; ++i) {
        ParticleTail* tail = mParticles[i].tail;
        mParticles[i] = Particle();
        mParticles[i].tail = tail;
        mParticles[i].nextFree = i + 1 < mPoolSize ? i + 1 : -1;
    }
    mFreeHead = mPoolSize > 0 ? 0 : -1;
}

void ParticleEmitter::reset() {
    mElapsed = 0.0f;
    mEmitAccumulator = 0.0f;
    rebuildSpriteMesh();
    if (mUseTails) {
        for (int i = 0; i < mPoolSize; ++i) {
            if (mParticles[i].tail) mParticles[i].tail->clear();
        }
    }
    freeAllRecords();
    if (mUseTails) {
        takeTailFrameFromSprite();
        mMaxSegments = clampCount(mMaxSegments, kMaxSegmentsLimit);
        mTailSettings.ringSize = mMaxSegments + 7;
        refreshTailSettings();
        for (int i = 0; i < mPoolSize; ++i) {
            if (!mParticles[i].tail) {
                mParticles[i].tail = new ParticleTail();
                mParticles[i].tail->init(mSprite, &mTailSettings);
            }
        }
    } else {
        for (int i = 0; i < mPoolSize; ++i) {
            delete mParticles[i].tail;
            mParticles[i].tail = nullptr;
        }
    }
    mLiveCount = 0;
    updateParticles(0.0f);
}

void ParticleEmitter::initPool() {
    deletePool();
    mMaxParticlesCount = clampCount(mMaxParticlesCount, kMaxPoolSize);
    mPoolSize = mMaxParticlesCount;
    mParticles = mPoolSize > 0 ? new Particle[mPoolSize] : nullptr;
    if (!mSprite && !mSpriteFileName.empty() && !mSpriteTableName.empty()) mSprite = loadSprite();
    for (ParticleAffector* affector : mParticleAffectors) affector->attach(this);
    reset();
}

void ParticleEmitter::resizePool() {
    if (mMaxParticlesCount < 0) {
        mMaxParticlesCount = mPoolSize;
        return;
    }
    if (mMaxParticlesCount > kMaxPoolSize) mMaxParticlesCount = kMaxPoolSize;
    if (mMaxParticlesCount == mPoolSize) return;
    int newSize = mMaxParticlesCount;
    Particle* pool = newSize > 0 ? new Particle[newSize] : nullptr;
    int kept = newSize < mPoolSize ? newSize : mPoolSize;
    for (int i = 0; i < kept; ++i) pool[i] = mParticles[i];
    for (int i = kept; i < mPoolSize; ++i) delete mParticles[i].tail;  // records that went away
    delete[] mParticles;
    mParticles = pool;
    mPoolSize = newSize;
    for (ParticleAffector* affector : mParticleAffectors) affector->resize(newSize);
    // Only free records are listed: a live one on the list would be born
    // again over itself, and pushed twice when it dies.
    mFreeHead = -1;
    for (int i = mPoolSize - 1; i >= 0; --i) {
        if (!mParticles[i].free) continue;
        mParticles[i].nextFree = mFreeHead;
        mFreeHead = i;
    }
}

}  // namespace QV

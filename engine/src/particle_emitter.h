#pragma once

#include <string>
#include <vector>

#include "color.h"
#include "particle_affector.h"
#include "serializable.h"
#include "timed_value_interval.h"
#include "vector2.h"

namespace QV {

class ParticleFX;
class ParticleTail;
class Sprite;

// Values shared by every trail of one emitter.
struct ParticleTailSettings {
    int ringSize = 7;
    int headSizeTex = 0;
    int headSize = 0;
    int maxSegments = 0;
    float fadeSpeed = 0.0f;
    float minDistSegments = 0.0f;
    float frameWidth = 0.0f;
    float frameHeight = 0.0f;
    float frameLeft = 0.0f;
    float frameTop = 0.0f;
};

// Where and how one particle is drawn with the emitter's sprite.
struct ParticleQuad {
    Vector2<float> position;  // top left: the point minus the half size
    Vector2<float> halfSize;  // also the rotation centre
    Vector2<float> scale;
    float angle = 0.0f;
    Color color;
};

// Emits, ages and draws one population of sprite particles from a fixed pool.
// The base class spawns at the emitter; shapes spread the spawn points.
class ParticleEmitter : public Serializable {
public:
    struct Particle {
        bool free = true;
        float x = 0.0f;
        float y = 0.0f;
        float angle = 0.0f;
        float lifeLeft = 0.0f;
        float age = 0.0f;
        Color color;
        float scaleX = 1.0f;
        float scaleY = 1.0f;
        ParticleTail* tail = nullptr;  // owned, kept across reuse
        int nextFree = -1;
    };

    // Limits that keep a damaged file from asking for gigabytes.
    static constexpr int kMaxPoolSize = 100000;
    static constexpr int kMaxSegmentsLimit = 1000;

    ParticleEmitter();
    ParticleEmitter(const ParticleEmitter& other);
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;
    ~ParticleEmitter() override;

    virtual void initPool();
    void visit(PropertyVisitArchive& archive) override;
    void load(XmlIArchive& archive) override;
    void save(XmlOutputArchive& archive) override;
    virtual std::string getClassName() const { return "ParticleEmitter"; }
    virtual void placeParticle(int) {}
    virtual void resizePool();

    void update(float dt);
    void emit(float dt);
    void updateParticles(float dt);
    void render(const Vector2<float>& offset);
    void reset();
    bool isFinished() const;
    void setAlpha(float alpha) { mAlpha = alpha; }
    void setEmitCoefficient(float coefficient) { mEmitCoefficient = coefficient; }
    Sprite* loadSprite();
    int lifePercent() const;

    // The draw of one live particle for a sprite of the given size.
    ParticleQuad buildQuad(const Particle& particle, const Vector2<float>& offset,
                           const Vector2<float>& spriteSize) const;
    // The own-life percent of a particle: trunc(age / (age + lifeLeft) * 100).
    static int particlePercent(const Particle& particle);

    Particle* particles() { return mParticles; }
    const Particle* particles() const { return mParticles; }
    int poolSize() const { return mPoolSize; }
    int liveCount() const { return mLiveCount; }
    int freeHead() const { return mFreeHead; }
    float elapsed() const { return mElapsed; }
    float emitAccumulator() const { return mEmitAccumulator; }
    float alpha() const { return mAlpha; }
    float emitCoefficient() const { return mEmitCoefficient; }
    Sprite* sprite() const { return mSprite; }
    ParticleFX* owner() const { return mOwner; }
    void setOwner(ParticleFX* owner) { mOwner = owner; }
    const ParticleTailSettings& tailSettings() const { return mTailSettings; }

    // Serialized fields, in file order.
    int mMinParticlesCount = 0;
    int mMaxParticlesCount = 0;
    Vector2<float> mPosition;
    TimedValueInterval<float> mEmitRate;
    std::string mSpriteFileName;
    std::string mSpriteTableName;
    TimedValueInterval<float> mInitialLifeTime;
    TimedValueInterval<Color> mParticleColor;
    TimedValueInterval<float> mInitialScaleX;
    TimedValueInterval<float> mInitialScaleY;
    std::vector<ParticleAffector*> mParticleAffectors;  // owned
    float mEmitterLifeTime = 0.0f;
    bool mLooped = false;
    float mEmitterDelay = 0.0f;
    int mBlendMode = 0;
    bool mGlobalCoords = false;
    bool mUseTails = false;
    int mHeadSizeTex = 0;
    int mMaxSegments = 0;
    float mFadeSpeed = 0.0f;
    float mMinDistSegments = 0.0f;
    int mHeadSize = 0;

protected:
    template <class Archive, class Op>
    void fields(Archive& archive, Op op);

private:
    bool mayEmit() const;
    void spawn(int index);
    void freeAllRecords();
    void deletePool();
    void refreshTailSettings();
    void rebuildTails();
    Vector2<float> worldPoint(const Particle& particle) const;
    Vector2<float> ownerPosition() const;

    // Sprite side, kept in its own file.
    void rebuildSpriteMesh();
    void takeTailFrameFromSprite();
    void cloneSpriteFrom(const ParticleEmitter& source);
    void releaseSprite();

    Particle* mParticles = nullptr;
    int mPoolSize = 0;
    int mLiveCount = 0;
    int mFreeHead = -1;
    float mElapsed = 0.0f;
    float mEmitAccumulator = 0.0f;
    float mEmitCoefficient = 1.0f;
    float mAlpha = 1.0f;
    Sprite* mSprite = nullptr;
    ParticleFX* mOwner = nullptr;
    ParticleTailSettings mTailSettings;
    int mSegmentsSeen = 0;
};

template <class Archive, class Op>
void ParticleEmitter::fields(Archive& archive, Op op) {
    op(archive, makeNvp("mMinParticlesCount", mMinParticlesCount));
    op(archive, makeNvp("mMaxParticlesCount", mMaxParticlesCount));
    op(archive, makeNvp("mPosition", mPosition));
    op(archive, makeNvp("mEmitRate", mEmitRate));
    op(archive, makeNvp("mSpriteFileName", mSpriteFileName));
    op(archive, makeNvp("mSpriteTableName", mSpriteTableName));
    op(archive, makeNvp("mInitialLifeTime", mInitialLifeTime));
    op(archive, makeNvp("mParticleColor", mParticleColor));
    op(archive, makeNvp("mInitialScaleX", mInitialScaleX));
    op(archive, makeNvp("mInitialScaleY", mInitialScaleY));
    op(archive, makeNvp("mParticleAffectors", mParticleAffectors));
    op(archive, makeNvp("mEmitterLifeTime", mEmitterLifeTime));
    op(archive, makeNvp("mLooped", mLooped));
    op(archive, makeNvp("mEmitterDelay", mEmitterDelay));
    op(archive, makeNvp("mBlendMode", mBlendMode));
    op(archive, makeNvp("mGlobalCoords", mGlobalCoords));
    op(archive, makeNvp("mUseTails", mUseTails));
    op(archive, makeNvp("mHeadSizeTex", mHeadSizeTex));
    op(archive, makeNvp("mMaxSegments", mMaxSegments));
    op(archive, makeNvp("mFadeSpeed", mFadeSpeed));
    op(archive, makeNvp("mMinDistSegments", mMinDistSegments));
    op(archive, makeNvp("mHeadSize", mHeadSize));
}

template <class Record>
void ParticleAffectorWithRecords<Record>::attach(ParticleEmitter* emitter) {
    mEmitter = emitter;
    mRecords.assign(emitter ? static_cast<size_t>(emitter->poolSize()) : 0u, Record{});
}

// A random fraction 0..1 from the shared 15-bit generator, in double
// precision and then rounded, so both ends can occur.
float randomFraction();
// trunc toward zero into an int; NaN gives 0, out-of-range values saturate.
int truncToInt(float value);

}  // namespace QV

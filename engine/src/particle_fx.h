#pragma once

#include <string>
#include <vector>

#include "particle_emitter.h"
#include "serializable.h"
#include "vector2.h"

namespace QV {

class Animation;

// One particle effect: a position, emitters in drawing order and an optional
// keyframe animation moving the position. Owners draw it by rendering each
// emitter at mPosition.
class ParticleFX : public Serializable {
public:
    ParticleFX() = default;
    // A running copy with its own emitters and animation; it lists itself
    // with the particle system.
    ParticleFX(const ParticleFX& other);
    ParticleFX& operator=(const ParticleFX&) = delete;
    ~ParticleFX() override;

    virtual void init();
    void visit(PropertyVisitArchive& archive) override;
    void load(XmlIArchive& archive) override;
    void save(XmlOutputArchive& archive) override;

    void loadAnimation();
    void deleteAnimation();
    void update(float dt);
    void restart();
    void setAlpha(float alpha);

    bool allEmittersFinished() const;
    // Ended, or every emitter finished (an effect without emitters is).
    bool isFinished() const { return mEnded || allEmittersFinished(); }
    Animation* animation() const { return mAnimation; }

    // Serialized fields, in file order.
    Vector2<float> mPosition;
    std::vector<ParticleEmitter*> mParticleEmitters;  // owned
    bool mDestroyIfDead = false;
    std::string mAnimationFilename;
    bool mLoopedAnimation = true;

    std::string mFileName;  // the pool key, set by the particle system
    bool mEnded = false;
    bool mPlaying = true;

private:
    template <class Archive, class Op>
    void fields(Archive& archive, Op op) {
        op(archive, makeNvp("mPosition", mPosition));
        op(archive, makeNvp("mParticleEmitters", mParticleEmitters));
        op(archive, makeNvp("mDestroyIfDead", mDestroyIfDead));
        op(archive, makeNvp("mAnimationFilename", mAnimationFilename));
        op(archive, makeNvp("mLoopedAnimation", mLoopedAnimation));
    }

    // Animation side, kept in its own file.
    void stepAnimation(float dt);
    bool animationOver() const;
    void rewindAnimation();

    Animation* mAnimation = nullptr;
};

}  // namespace QV

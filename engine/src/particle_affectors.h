#pragma once

#include "particle_affector.h"
#include "particle_emitter.h"
#include "timed_value_interval.h"
#include "value_range.h"
#include "vector2.h"

namespace QV {

struct ParticleSpeedRecord {
    float speed = 0.0f;
};

// Constant acceleration along a fixed direction (not normalised: its length
// scales the motion).
class ParticleGravityAffector : public ParticleAffectorWithRecords<ParticleSpeedRecord> {
public:
    ParticleGravityAffector();
    ParticleGravityAffector(const ParticleGravityAffector& other) = default;
    void update(float dt) override;
    void resetParticle(int index) override;
    std::string getClassName() const override { return "ParticleGravityAffector"; }
    QV_PARTICLE_SERIALIZE_FIELDS

    TimedValueInterval<float> mForce;
    Vector2<float> mDirection;

private:
    template <class A, class Op>
    void fields(A& a, Op op) {
        op(a, makeNvp("mForce", mForce));
        op(a, makeNvp("mDirection", mDirection));
    }
};

struct ParticleGravityPointRecord {
    float speed = 0.0f;
    Vector2<float> centre;
};

// Acceleration toward the point where the particle was born.
class ParticleGravityPointAffector : public ParticleAffectorWithRecords<ParticleGravityPointRecord> {
public:
    ParticleGravityPointAffector() = default;
    ParticleGravityPointAffector(const ParticleGravityPointAffector& other) = default;
    void update(float dt) override;
    void resetParticle(int index) override;
    std::string getClassName() const override { return "ParticleGravityPointAffector"; }
    QV_PARTICLE_SERIALIZE_FIELDS

    TimedValueInterval<float> mForce;
    float mMaxVelocity = 0.0f;

private:
    template <class A, class Op>
    void fields(A& a, Op op) {
        op(a, makeNvp("mForce", mForce));
        op(a, makeNvp("mMaxVelocity", mMaxVelocity));
    }
};

struct ParticleLinearRecord {
    Vector2<float> direction;
    float velocity = 0.0f;
};

// Straight motion along a direction picked on the segment between two vectors.
class ParticleLinearMovementAffector : public ParticleAffectorWithRecords<ParticleLinearRecord> {
public:
    ParticleLinearMovementAffector() = default;
    ParticleLinearMovementAffector(const ParticleLinearMovementAffector& other) = default;
    void update(float dt) override;
    void resetParticle(int index) override;
    std::string getClassName() const override { return "ParticleLinearMovementAffector"; }
    QV_PARTICLE_SERIALIZE_FIELDS

    ValueRange<Vector2<float>> mInitialDirection;
    TimedValueInterval<float> mInitialVelocity;

private:
    template <class A, class Op>
    void fields(A& a, Op op) {
        op(a, makeNvp("mInitialDirection", mInitialDirection));
        op(a, makeNvp("mInitialVelocity", mInitialVelocity));
    }
};

struct ParticleOrbitRecord {
    float angularVelocity = 0.0f;
    Vector2<float> centre;
    float coefficient = 1.0f;
};

// The particle's position orbits a centre; its angle stays.
class ParticleRotateAffector : public ParticleAffectorWithRecords<ParticleOrbitRecord> {
public:
    ParticleRotateAffector() = default;
    ParticleRotateAffector(const ParticleRotateAffector& other) = default;
    void update(float dt) override;
    void resetParticle(int index) override;
    std::string getClassName() const override { return "ParticleRotateAffector"; }
    QV_PARTICLE_SERIALIZE_FIELDS

    TimedValueInterval<float> mInitialAngleVelocity;  // radians per second
    float mInitialRotateCoeffMin = 0.0f;
    float mInitialRotateCoeffMax = 0.0f;

private:
    template <class A, class Op>
    void fields(A& a, Op op) {
        op(a, makeNvp("mInitialAngleVelocity", mInitialAngleVelocity));
        op(a, makeNvp("mInitialRotateCoeffMin", mInitialRotateCoeffMin));
        op(a, makeNvp("mInitialRotateCoeffMax", mInitialRotateCoeffMax));
    }
};

struct ParticleCoefficientRecord {
    float coefficient = 1.0f;
};

// Spins the particle's sprite from a random start angle.
class ParticleRotateSpriteAffector : public ParticleAffectorWithRecords<ParticleCoefficientRecord> {
public:
    ParticleRotateSpriteAffector() = default;
    ParticleRotateSpriteAffector(const ParticleRotateSpriteAffector& other) = default;
    void update(float dt) override;
    void resetParticle(int index) override;
    std::string getClassName() const override { return "ParticleRotateSpriteAffector"; }
    QV_PARTICLE_SERIALIZE_FIELDS

    TimedValueInterval<float> mInitialAngleVelocity;  // degrees per second
    float mInitialMinAngle = 0.0f;
    float mInitialMaxAngle = 0.0f;
    float mInitialRotateCoeffMin = 0.0f;
    float mInitialRotateCoeffMax = 0.0f;

private:
    template <class A, class Op>
    void fields(A& a, Op op) {
        op(a, makeNvp("mInitialAngleVelocity", mInitialAngleVelocity));
        op(a, makeNvp("mInitialMinAngle", mInitialMinAngle));
        op(a, makeNvp("mInitialMaxAngle", mInitialMaxAngle));
        op(a, makeNvp("mInitialRotateCoeffMin", mInitialRotateCoeffMin));
        op(a, makeNvp("mInitialRotateCoeffMax", mInitialRotateCoeffMax));
    }
};

struct ParticlePreviousRecord {
    Vector2<float> previous;
};

// Points the sprite along the particle's last step.
class ParticleAutoRotateAffector : public ParticleAffectorWithRecords<ParticlePreviousRecord> {
public:
    ParticleAutoRotateAffector() = default;
    ParticleAutoRotateAffector(const ParticleAutoRotateAffector& other) = default;
    void update(float dt) override;
    void resetParticle(int index) override;
    std::string getClassName() const override { return "ParticleAutoRotateAffector"; }
    QV_PARTICLE_SERIALIZE_FIELDS

    float mDiffAngle = 0.0f;

private:
    template <class A, class Op>
    void fields(A& a, Op op) {
        op(a, makeNvp("mDiffAngle", mDiffAngle));
    }
};

struct ParticleHeadingRecord {
    float heading = 0.0f;
};

// Heading and speed follow curves over the particle's own life.
class ParticleGraphicMoveAffector : public ParticleAffectorWithRecords<ParticleHeadingRecord> {
public:
    ParticleGraphicMoveAffector() = default;
    ParticleGraphicMoveAffector(const ParticleGraphicMoveAffector& other) = default;
    void update(float dt) override;
    std::string getClassName() const override { return "ParticleGraphicMoveAffector"; }
    QV_PARTICLE_SERIALIZE_FIELDS

    TimedValueInterval<float> mAngleGraphic;     // degrees
    TimedValueInterval<float> mVelocityGraphic;  // pixels per second

private:
    template <class A, class Op>
    void fields(A& a, Op op) {
        op(a, makeNvp("mAngleGraphic", mAngleGraphic));
        op(a, makeNvp("mVelocityGraphic", mVelocityGraphic));
    }
};

}  // namespace QV

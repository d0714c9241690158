#include "particle_affectors.h"

#include <cmath>

#include "particle_fx.h"
#include "random15.h"

namespace QV {

namespace {

// Calls fn(particle, record) for every live particle that has a record.
template <class Record, class Fn>
void forLiveParticles(ParticleEmitter* emitter, std::vector<Record>& records, Fn fn) {
    if (!emitter || !emitter->particles()) return;
    int count = emitter->poolSize();
    if (static_cast<int>(records.size()) < count) count = static_cast<int>(records.size());
    ParticleEmitter::Particle* particles = emitter->particles();
    for (int i = 0; i < count; ++i) {
        if (!particles[i].free) fn(particles[i], records[static_cast<size_t>(i)]);
    }
}

template <class Record>
bool hasRecord(ParticleEmitter* emitter, const std::vector<Record>& records, int index) {
    return emitter && emitter->particles() && index >= 0 && index < emitter->poolSize() &&
           index < static_cast<int>(records.size());
}

Vector2<float> normalisedOrSame(const Vector2<float>& v) {
    float length = v.length();
    return length > 0.0f ? v / length : v;
}

Vector2<float> effectPosition(const ParticleEmitter* emitter) {
    return emitter->owner() ? emitter->owner()->mPosition : Vector2<float>();
}

float randomBetween(float low, float high) {
    return low + static_cast<float>(random15()) * (high - low) / 32767.0f;
}

}  // namespace

ParticleGravityAffector::ParticleGravityAffector() : mForce(0.0f, 5.0f), mDirection(0.0f, 1.0f) {}

void ParticleGravityAffector::resetParticle(int index) {
    if (hasRecord(mEmitter, mRecords, index)) mRecords[static_cast<size_t>(index)].speed = 0.0f;
}

void ParticleGravityAffector::update(float dt) {
    if (!mEmitter) return;
    float a = mForce.evaluateMean(mEmitter->lifePercent());
    float dv = a * dt;
    forLiveParticles(mEmitter, mRecords, [&](ParticleEmitter::Particle& p, ParticleSpeedRecord& r) {
        float d = r.speed * dt + 0.5f * dt * dv;
        p.x += d * mDirection.x;
        p.y += d * mDirection.y;
        r.speed += dv;
    });
}

void ParticleGravityPointAffector::resetParticle(int index) {
    if (!hasRecord(mEmitter, mRecords, index)) return;
    ParticleGravityPointRecord& r = mRecords[static_cast<size_t>(index)];
    r.speed = 0.0f;
    r.centre = mEmitter->mGlobalCoords ? mEmitter->mPosition + effectPosition(mEmitter) : Vector2<float>();
}

void ParticleGravityPointAffector::update(float dt) {
    if (!mEmitter) return;
    float a = mForce.evaluateMean(mEmitter->lifePercent());
    float dv = a * dt;
    forLiveParticles(mEmitter, mRecords, [&](ParticleEmitter::Particle& p, ParticleGravityPointRecord& r) {
        Vector2<float> d = normalisedOrSame(r.centre - Vector2<float>(p.x, p.y));
        float f1 = randomFraction();
        float f2 = randomFraction();
        Vector2<float> random = normalisedOrSame(Vector2<float>(2.0f * f1 - 1.0f, 2.0f * f2 - 1.0f));
        float w = d.length();
        Vector2<float> u = normalisedOrSame(d * w + random * (1.0f - w));
        float s = dt * dv * 0.5f + dt * r.speed;
        p.x += u.x * s;
        p.y += u.y * s;
        r.speed += dv;
    });
}

void ParticleLinearMovementAffector::resetParticle(int index) {
    if (!hasRecord(mEmitter, mRecords, index)) return;
    ParticleLinearRecord& r = mRecords[static_cast<size_t>(index)];
    float f = randomFraction();
    r.direction = mInitialDirection.mMinVal + (mInitialDirection.mMaxVal - mInitialDirection.mMinVal) * f;
    r.velocity = mInitialVelocity.evaluateMean(mEmitter->lifePercent());
}

void ParticleLinearMovementAffector::update(float dt) {
    forLiveParticles(mEmitter, mRecords, [&](ParticleEmitter::Particle& p, ParticleLinearRecord& r) {
        p.x += r.velocity * r.direction.x * dt;
        p.y += r.velocity * r.direction.y * dt;
    });
}

void ParticleRotateAffector::resetParticle(int index) {
    if (!hasRecord(mEmitter, mRecords, index)) return;
    ParticleOrbitRecord& r = mRecords[static_cast<size_t>(index)];
    r.angularVelocity = mInitialAngleVelocity.evaluateMean(mEmitter->lifePercent());
    r.centre = mEmitter->mPosition + effectPosition(mEmitter);
    r.coefficient = randomBetween(mInitialRotateCoeffMin, mInitialRotateCoeffMax);
}

void ParticleRotateAffector::update(float dt) {
    if (!mEmitter) return;
    const bool global = mEmitter->mGlobalCoords;
    forLiveParticles(mEmitter, mRecords, [&](ParticleEmitter::Particle& p, ParticleOrbitRecord& r) {
        float a = dt * r.angularVelocity * r.coefficient;
        float c = std::cos(a);
        float s = std::sin(a);
        if (global) {
            float dx = p.x - r.centre.x;
            float dy = p.y - r.centre.y;
            p.x = r.centre.x + c * dx - s * dy;
            p.y = r.centre.y + s * dx + c * dy;
        } else {
            float x = p.x;
            p.x = c * x - s * p.y;
            p.y = s * x + c * p.y;
        }
    });
}

void ParticleRotateSpriteAffector::resetParticle(int index) {
    if (!hasRecord(mEmitter, mRecords, index)) return;
    mEmitter->particles()[index].angle += randomBetween(mInitialMinAngle, mInitialMaxAngle);
    mRecords[static_cast<size_t>(index)].coefficient = randomBetween(mInitialRotateCoeffMin, mInitialRotateCoeffMax);
}

void ParticleRotateSpriteAffector::update(float dt) {
    if (!mEmitter) return;
    float velocity = mInitialAngleVelocity.evaluateMean(mEmitter->lifePercent());
    forLiveParticles(mEmitter, mRecords, [&](ParticleEmitter::Particle& p, ParticleCoefficientRecord& r) {
        p.angle += r.coefficient * dt * velocity;
    });
}

void ParticleAutoRotateAffector::resetParticle(int index) {
    if (!hasRecord(mEmitter, mRecords, index)) return;
    const ParticleEmitter::Particle& p = mEmitter->particles()[index];
    mRecords[static_cast<size_t>(index)].previous = Vector2<float>(p.x, p.y);
}

void ParticleAutoRotateAffector::update(float) {
    forLiveParticles(mEmitter, mRecords, [&](ParticleEmitter::Particle& p, ParticlePreviousRecord& r) {
        float dx = p.x - r.previous.x;
        float dy = p.y - r.previous.y;
        float l = std::sqrt(dx * dx + dy * dy);
        if (l > 0.0005f) {
            float c = dx / l;
            float e = c <= -1.0f ? 3.14159265f : (c >= 1.0f ? 0.0f : std::acos(c));
            e *= 57.29578f;
            p.angle = mDiffAngle + (dy < 0.0f ? 360.0f - e : e);
        }
        r.previous = Vector2<float>(p.x, p.y);
    });
}

void ParticleGraphicMoveAffector::update(float dt) {
    forLiveParticles(mEmitter, mRecords, [&](ParticleEmitter::Particle& p, ParticleHeadingRecord& r) {
        int percent = ParticleEmitter::particlePercent(p);
        float step = mVelocityGraphic.evaluateMean(percent) * dt;
        float h = mAngleGraphic.evaluateMean(percent) + p.angle;
        if (static_cast<float>(percent) > 99.9f) {
            p.angle = h;
            r.heading = h;
        }
        p.x += step * std::cos(h * 0.017453292f);
        p.y += step * std::sin(h * 0.017453292f);
    });
}

}  // namespace QV

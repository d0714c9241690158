#pragma once

#include <memory>
#include <string>

#include "object_factory.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "timed_value_interval.h"

namespace qvtest {

// A curve with one flat line at the value.
template <class T>
void setFlat(QV::TimedValueInterval<T>& curve, const T& value) {
    curve.clear();
    curve.setLinesCount(1);
    curve.addKey(0, 0, value);
    curve.addKey(0, 100, value);
}

// An emitter with a flat rate and particle life, white particles at scale 1.
struct EmitterSpec {
    float rate = 8.0f;
    float particleLife = 0.5f;
    float emitterLife = 1.0f;
    bool looped = false;
    int pool = 100;
    float delay = 0.0f;
};
void configureEmitter(QV::ParticleEmitter& emitter, const EmitterSpec& spec);

// The object factory and the particle system, as the engine start makes them.
struct ParticleEngine {
    ParticleEngine();
    ~ParticleEngine();
    std::unique_ptr<QV::ObjectFactory> factory;
    std::unique_ptr<QV::ParticleSystem> system;
};

// Live particles of an emitter, counted over its pool.
int countLive(const QV::ParticleEmitter& emitter);

}  // namespace qvtest

#pragma once

#include "singleton.h"

namespace QV {

// Placeholder until particle effects land: nothing to advance.
class ParticleSystem : public Singleton<ParticleSystem> {
public:
    ParticleSystem() = default;
    void update() {}
};

}  // namespace QV

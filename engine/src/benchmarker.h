#pragma once

#include "singleton.h"

namespace QV {

// Placeholder until the benchmark pool lands.
class Benchmarker : public Singleton<Benchmarker> {
public:
    Benchmarker() = default;
};

}  // namespace QV

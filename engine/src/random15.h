#pragma once

#include <cstdint>

namespace QV {

// The project's one random generator: values 0..32767 like the classic C
// rand(), seedable so tests and replays are repeatable. Thread-safe.
constexpr int kRandom15Max = 32767;

int random15();
void seedRandom15(uint32_t seed);

// A float in [0, 1] from random15(), the way particles scale it.
inline float random15Unit() { return static_cast<float>(random15()) * (1.0f / 32767.0f); }

}  // namespace QV

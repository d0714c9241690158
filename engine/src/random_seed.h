#pragma once

#include <cstdint>

namespace QV {

// The seed the game gives srand: the low 32 bits of the performance counter,
// or the value of QV_PERF_COUNTER when a scripted run fixes it.
uint32_t performanceCounterSeed();

}  // namespace QV

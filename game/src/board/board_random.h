#pragma once

#include <cstdint>

// The board's randomness: the classic 0..32767 generator, seeded from the
// performance counter through this one seam so that a test, a replay or the
// simulator can fix the counter and repeat a run exactly.
uint64_t boardPerformanceCounter();
// From now on boardPerformanceCounter returns value.
void fixBoardPerformanceCounter(uint64_t value);
void releaseBoardPerformanceCounter();
// Seeds with the low 32 bits of the counter.
void seedBoardRandom();
// 0..32767.
int boardRand();

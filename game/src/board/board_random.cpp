#include "board/board_random.h"

#include <atomic>

#include "random15.h"
#include "random_seed.h"

namespace {
std::atomic<bool> gFixed{false};
std::atomic<uint64_t> gFixedValue{0};
}  // namespace

uint64_t boardPerformanceCounter() {
    if (gFixed.load()) return gFixedValue.load();
    // The engine's seed source: the counter, or QV_PERF_COUNTER in a scripted run.
    return QV::performanceCounterSeed();
}

void fixBoardPerformanceCounter(uint64_t value) {
    gFixedValue.store(value);
    gFixed.store(true);
}

void releaseBoardPerformanceCounter() { gFixed.store(false); }

void seedBoardRandom() {
    QV::seedRandom15(static_cast<uint32_t>(boardPerformanceCounter() & 0xFFFFFFFFu));
}

int boardRand() { return QV::random15(); }

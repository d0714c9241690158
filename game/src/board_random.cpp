#include "board_random.h"

#include <atomic>

#include "platform/monotonic_clock.h"
#include "random15.h"

namespace {
std::atomic<bool> gFixed{false};
std::atomic<uint64_t> gFixedValue{0};
}  // namespace

uint64_t boardPerformanceCounter() {
    if (gFixed.load()) return gFixedValue.load();
    return QV::Platform::monotonicCounter();
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

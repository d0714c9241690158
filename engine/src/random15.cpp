#include "random15.h"

#include <atomic>

namespace QV {

namespace {
std::atomic<uint32_t> gState{1};
}

int random15() {
    uint32_t current = gState.load(std::memory_order_relaxed);
    uint32_t next;
    do {
        next = current * 1103515245u + 12345u;
    } while (!gState.compare_exchange_weak(current, next, std::memory_order_relaxed));
    return static_cast<int>((next >> 16) & 0x7FFF);
}

void seedRandom15(uint32_t seed) { gState.store(seed, std::memory_order_relaxed); }

}  // namespace QV

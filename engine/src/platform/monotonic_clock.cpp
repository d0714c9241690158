#include "platform/monotonic_clock.h"

#include <time.h>

namespace QV::Platform {

std::uint64_t monotonicCounter() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000ull + static_cast<std::uint64_t>(now.tv_nsec);
}

std::uint64_t monotonicFrequency() { return 1000000000ull; }

}  // namespace QV::Platform

#include "stopwatch.h"

#include "platform/monotonic_clock.h"

namespace QV {

std::uint64_t PerformanceCounter::counter() const { return Platform::monotonicCounter(); }

std::uint64_t PerformanceCounter::frequency() const { return Platform::monotonicFrequency(); }

PerformanceCounter* PerformanceCounter::system() {
    static PerformanceCounter clock;
    return &clock;
}

WTimer::WTimer(const PerformanceCounter* source) : mSource(source ? source : PerformanceCounter::system()) {
    reset();
}

void WTimer::reset() {
    mFrequency = mSource->frequency();
    if (mFrequency == 0) mFrequency = 1;
    mStart = mSource->counter();
}

float WTimer::getElapsed() const {
    std::uint64_t now = mSource->counter();
    // Signed difference: a clock that steps back gives a negative time, not a huge one.
    double elapsed = static_cast<double>(static_cast<std::int64_t>(now - mStart)) / static_cast<double>(mFrequency);
    return static_cast<float>(elapsed);
}

}  // namespace QV

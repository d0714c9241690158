#pragma once

#include <cstdint>

namespace QV {

// The engine's time source; tests pass their own.
class PerformanceCounter {
public:
    virtual ~PerformanceCounter() = default;
    virtual std::uint64_t counter() const;
    virtual std::uint64_t frequency() const;

    // The monotonic clock every timer uses unless told otherwise.
    static PerformanceCounter* system();
};

// A stopwatch: seconds since construction or the last reset.
class WTimer {
public:
    explicit WTimer(const PerformanceCounter* source = nullptr);
    virtual ~WTimer() = default;

    void reset();
    float getElapsed() const;

private:
    const PerformanceCounter* mSource;
    std::uint64_t mStart = 0;
    std::uint64_t mFrequency = 1;
};

}  // namespace QV

#pragma once

#include <cstdint>

#include "singleton.h"
#include "stopwatch.h"

namespace QV {

// Measures the frame delta once per frame. The thread that creates it keeps
// its processors: the monotonic clock reads the same on every one.
class TimerManager : public Singleton<TimerManager> {
public:
    // A run with QV_FIXED_DT set (and no source of its own) steps every
    // frame by exactly that much.
    explicit TimerManager(const PerformanceCounter* source = nullptr);
    ~TimerManager() override = default;

    void update();
    // Seconds between the last two updates; never negative, not capped.
    float getFrameDelta() const { return mFrameDelta; }

private:
    float mFrameDelta = 0.0f;
    std::uint64_t mLastCounter = 0;
    std::uint64_t mFrequency = 1;
    const PerformanceCounter* mSource;
    float mFixedDelta = 0.0f;
};

}  // namespace QV

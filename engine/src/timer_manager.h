#pragma once

#include <cstdint>

#include "platform/cpu_affinity.h"
#include "singleton.h"
#include "stopwatch.h"

namespace QV {

// Measures the frame delta once per frame. Pins the thread that creates it (the
// main thread) to the first processor the process may use, and gives it back
// its previous mask when destroyed.
class TimerManager : public Singleton<TimerManager> {
public:
    // A run with QV_FIXED_DT set (and no source of its own) steps every
    // frame by exactly that much.
    explicit TimerManager(const PerformanceCounter* source = nullptr);
    ~TimerManager() override;

    void update();
    // Seconds between the last two updates; never negative, not capped.
    float getFrameDelta() const { return mFrameDelta; }

private:
    float mFrameDelta = 0.0f;
    Platform::AffinityMask mPreviousAffinity;
    bool mPinned = false;
    std::uint64_t mLastCounter = 0;
    std::uint64_t mFrequency = 1;
    const PerformanceCounter* mSource;
    float mFixedDelta = 0.0f;
};

}  // namespace QV

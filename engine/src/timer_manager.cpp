#include "timer_manager.h"

#include "platform/run_settings.h"

namespace QV {

TimerManager::TimerManager(const PerformanceCounter* source)
    : mSource(source ? source : PerformanceCounter::system()) {
    if (!source) mFixedDelta = static_cast<float>(Platform::runSettings().fixedFrameTime);
    mFrequency = mSource->frequency();
    if (mFrequency == 0) mFrequency = 1;
    mLastCounter = mSource->counter();
    mFrameDelta = 0.0f;
}

void TimerManager::update() {
    std::uint64_t now = mSource->counter();
    std::int64_t counts = static_cast<std::int64_t>(now - mLastCounter);
    float delta = static_cast<float>(static_cast<double>(counts) / static_cast<double>(mFrequency));
    mFrameDelta = delta < 0.0f ? 0.0f : delta;
    if (mFixedDelta > 0.0f) mFrameDelta = mFixedDelta;
    mLastCounter = now;
}

}  // namespace QV

#include "timer_manager.h"

namespace QV {

TimerManager::TimerManager(const PerformanceCounter* source)
    : mSource(source ? source : PerformanceCounter::system()) {
    mFrequency = mSource->frequency();
    if (mFrequency == 0) mFrequency = 1;
    mLastCounter = mSource->counter();
    mFrameDelta = 0.0f;
    mPinned = Platform::pinCurrentThreadToFirstCpu(&mPreviousAffinity);
}

TimerManager::~TimerManager() {
    if (mPinned) Platform::setCurrentThreadAffinity(mPreviousAffinity);
}

void TimerManager::update() {
    std::uint64_t now = mSource->counter();
    std::int64_t counts = static_cast<std::int64_t>(now - mLastCounter);
    float delta = static_cast<float>(static_cast<double>(counts) / static_cast<double>(mFrequency));
    mFrameDelta = delta < 0.0f ? 0.0f : delta;
    mLastCounter = now;
}

}  // namespace QV

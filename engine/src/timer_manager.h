#pragma once

#include "singleton.h"

namespace QV {

// Placeholder until the timers land.
class TimerManager : public Singleton<TimerManager> {
public:
    TimerManager() = default;
    void update() {}
    float getFrameDelta() const { return 1.0f / 60.0f; }
};

}  // namespace QV

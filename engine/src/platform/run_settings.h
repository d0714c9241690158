#pragma once

#include <cstdint>
#include <string>

namespace QV::Platform {

// Settings a scripted run takes from its environment so that it repeats exactly.
struct RunSettings {
    // QV_FIXED_DT: seconds every frame advances, with no pacing sleep; 0 when unset.
    double fixedFrameTime = 0.0;
    // QV_PERF_COUNTER: the value every random seed takes instead of the counter.
    bool fixedCounter = false;
    uint64_t counterValue = 0;
    // One line per variable that is set but cannot be used (it is then ignored).
    std::string errors;
};

// Reads the environment once; later calls return the same settings.
const RunSettings& runSettings();

// Parses the two variables' texts (null = unset); for tests.
RunSettings parseRunSettings(const char* fixedFrameTime, const char* performanceCounter);

}  // namespace QV::Platform

#include "platform/run_settings.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace QV::Platform {

RunSettings parseRunSettings(const char* fixedFrameTime, const char* performanceCounter) {
    RunSettings settings;
    if (fixedFrameTime && *fixedFrameTime) {
        errno = 0;
        char* end = nullptr;
        const double value = std::strtod(fixedFrameTime, &end);
        // Above a second a frame would be no frame at all; the game caps its step anyway.
        if (errno != 0 || *end != '\0' || !std::isfinite(value) || value <= 0.0 || value > 1.0) {
            settings.errors += std::string("ERROR: QV_FIXED_DT '") + fixedFrameTime +
                               "' is not a number of seconds in (0, 1]; frames keep the clock's time\n";
        } else {
            settings.fixedFrameTime = value;
        }
    }
    if (performanceCounter && *performanceCounter) {
        errno = 0;
        char* end = nullptr;
        const unsigned long long value = std::strtoull(performanceCounter, &end, 10);
        if (errno != 0 || *end != '\0' || performanceCounter[0] == '-') {
            settings.errors += std::string("ERROR: QV_PERF_COUNTER '") + performanceCounter +
                               "' is not a non-negative integer; seeds keep the counter\n";
        } else {
            settings.fixedCounter = true;
            settings.counterValue = value;
        }
    }
    return settings;
}

const RunSettings& runSettings() {
    static const RunSettings settings = parseRunSettings(std::getenv("QV_FIXED_DT"), std::getenv("QV_PERF_COUNTER"));
    return settings;
}

}  // namespace QV::Platform

#include "random_seed.h"

#include "platform/monotonic_clock.h"
#include "platform/run_settings.h"

namespace QV {

uint32_t performanceCounterSeed() {
    const Platform::RunSettings& settings = Platform::runSettings();
    if (settings.fixedCounter) return static_cast<uint32_t>(settings.counterValue);
    return static_cast<uint32_t>(Platform::monotonicCounter());
}

}  // namespace QV

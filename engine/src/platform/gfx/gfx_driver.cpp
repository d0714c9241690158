#include <mutex>

#include "platform/gfx/gfx_device.h"

namespace QV::Gfx {

static std::mutex gFactoryMutex;
static DriverFactory gFactory;

IDriver* createDriver(uint32_t sdkVersion) {
    DriverFactory factory;
    {
        std::lock_guard<std::mutex> lock(gFactoryMutex);
        factory = gFactory;
    }
    if (factory) return factory(sdkVersion);
    return createOpenGLDriver(sdkVersion);
}

void setDriverFactory(DriverFactory factory) {
    std::lock_guard<std::mutex> lock(gFactoryMutex);
    gFactory = std::move(factory);
}

}  // namespace QV::Gfx

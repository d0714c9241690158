#pragma once

#include "singleton.h"

class Application;

namespace QV {

// Placeholder until the render system lands: frames are bracketed but draw nothing.
class RenderSystem : public Singleton<RenderSystem> {
public:
    explicit RenderSystem(Application* application) : mApplication(application) {}

    bool createDevice(void* windowHandle) {
        mWindowHandle = windowHandle;
        return true;
    }
    void beginFrame() {}
    void endFrame() {}
    // Returns 0 on success; a lost device answers with the device-lost code.
    long present() { return 0; }
    void releaseRenderData() {}

    bool isDeviceLost() const { return mDeviceLost; }
    void setDeviceLost(bool lost) { mDeviceLost = lost; }

private:
    Application* mApplication;
    void* mWindowHandle = nullptr;
    bool mDeviceLost = false;
};

}  // namespace QV

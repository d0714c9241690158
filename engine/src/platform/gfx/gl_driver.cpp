#include <SDL.h>

#include <string>

#include "log_system.h"
#include "platform/gfx/gl_device.h"
#include "platform/gfx/gl_resources.h"

namespace QV::Gfx {

class GLDriver : public RefCounted<IDriver> {
public:
    uint32_t getAdapterCount() override { return 1; }
    Result getAdapterDisplayMode(uint32_t adapter, DisplayMode* mode) override {
        if (adapter != 0 || !mode) return ERR_INVALIDCALL;
        if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return ERR_NOTAVAILABLE;
        SDL_DisplayMode m;
        if (SDL_GetDesktopDisplayMode(0, &m) != 0) return ERR_NOTAVAILABLE;
        mode->width = uint32_t(m.w);
        mode->height = uint32_t(m.h);
        mode->refreshRate = uint32_t(m.refresh_rate);
        mode->format = FMT_X8R8G8B8;
        return OK;
    }
    Result checkDeviceFormat(uint32_t adapter, uint32_t, uint32_t, uint32_t usage, uint32_t, uint32_t format) override {
        if (adapter != 0) return ERR_INVALIDCALL;
        if (usage & USAGE_DEPTHSTENCIL)
            return (format == FMT_D24S8 || format == FMT_D16 || format == FMT_D24X8) ? OK : ERR_NOTAVAILABLE;
        GLFormat f;
        if (!glFormatOf(format, &f)) return ERR_NOTAVAILABLE;
        if ((usage & USAGE_RENDERTARGET) && (f.compressed || format == FMT_L8 || format == FMT_A8L8))
            return ERR_NOTAVAILABLE;
        return OK;
    }
    Result createDevice(uint32_t adapter, uint32_t, void* focusWindow, uint32_t, PresentParameters* params,
                        IDevice** device) override {
        if (adapter != 0 || !params || !device) return ERR_INVALIDCALL;
        *device = nullptr;
        void* window = params->deviceWindow ? params->deviceWindow : focusWindow;
        std::string reason;
        GLDevice* d = GLDevice::create(window, *params, &reason);
        if (!d) {
            // The caller only sees the result code; say why once in the log.
            if (LogSystem::instancePointer()) logFormat("WARNING: OpenGL device not created: %s", reason.c_str());
            return ERR_NOTAVAILABLE;
        }
        *device = d;
        return OK;
    }
};

IDriver* createOpenGLDriver(uint32_t sdkVersion) {
    if (sdkVersion != SDK_VERSION) return nullptr;
    return new GLDriver();
}

}  // namespace QV::Gfx

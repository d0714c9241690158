#include <cstring>

#include "application.h"
#include "format_string.h"
#include "log_system.h"
#include "render_system.h"
#include "report_assert.h"

namespace QV {

namespace {

const char* supportedText(bool supported) { return supported ? "SUPPORTED" : "NOT SUPPORTED"; }

}  // namespace

RenderSystemDX8::RenderSystemDX8(Application* application) : RenderSystemBase(application) {
    mDevice = new RenderDeviceDX8();
    matrixIdentity(&mDevice->viewProjection);
}

RenderSystemDX8::~RenderSystemDX8() {
    Gfx::safeRelease(mDevice->savedBackBuffer);
    Gfx::safeRelease(mDevice->savedDepthSurface);
    Gfx::safeRelease(mDevice->vertexBuffer);
    Gfx::safeRelease(mDevice->indexBuffer);
    Gfx::safeRelease(mDevice->depthStencilSurface);
    // Managed render textures belong to the texture manager.
    Gfx::safeRelease(mDevice->sceneTexture.own);
    Gfx::safeRelease(mDistortionTexture.own);
    Gfx::safeRelease(mDevice->device);
    Gfx::safeRelease(mDevice->direct3D);
    delete mDevice;
    mDevice = nullptr;
}

bool RenderSystemDX8::createDevice(void* windowHandle) {
    mWindowHandle = windowHandle;
    mDevice->direct3D = Gfx::createDriver(Gfx::SDK_VERSION);
    if (!mDevice->direct3D) QV_FATAL("Failed to initialize Direct3D8");

    Gfx::DisplayMode mode;
    if (Gfx::failed(mDevice->direct3D->getAdapterDisplayMode(0, &mode))) {
        // Without a display mode there is no device to draw with: say so
        // rather than run on without one.
        logLine("ERROR: Failed to get adapter display mode");
        QV_FATAL("Failed to get adapter display mode");
    }

    ApplicationWindow* window = windowRecord();
    Gfx::PresentParameters& params = mDevice->presentParameters;
    params = Gfx::PresentParameters();
    params.backBufferWidth = window ? static_cast<uint32_t>(window->clientWidth) : 0;
    params.backBufferHeight = window ? static_cast<uint32_t>(window->clientHeight) : 0;
    params.backBufferFormat = mode.format;
    params.backBufferCount = 1;
    params.multiSampleType = Gfx::MULTISAMPLE_NONE;
    params.swapEffect = Gfx::SWAPEFFECT_COPY;
    params.deviceWindow = windowHandle;
    params.windowed = true;
    params.enableAutoDepthStencil = true;
    params.autoDepthStencilFormat = Gfx::FMT_D16;

    Gfx::IDriver* driver = mDevice->direct3D;
    Gfx::IDevice* device = nullptr;
    if (Gfx::failed(driver->createDevice(0, Gfx::DEVTYPE_HAL, windowHandle, Gfx::CREATE_HARDWARE_VERTEXPROCESSING,
                                         &params, &device))) {
        logLine("ERROR: Failed to create d3d device with D3DCREATE_HARDWARE_VERTEXPROCESSING, trying "
                "D3DCREATE_MIXED_VERTEXPROCESSING");
        if (Gfx::failed(driver->createDevice(0, Gfx::DEVTYPE_HAL, windowHandle, Gfx::CREATE_MIXED_VERTEXPROCESSING,
                                             &params, &device))) {
            logLine("ERROR: Failed to create d3d device with D3DCREATE_MIXED_VERTEXPROCESSING, trying "
                    "D3DCREATE_SOFTWARE_VERTEXPROCESSING");
            mDevice->vertexUsage = Gfx::USAGE_SOFTWAREPROCESSING;
            if (Gfx::failed(driver->createDevice(0, Gfx::DEVTYPE_HAL, windowHandle,
                                                 Gfx::CREATE_SOFTWARE_VERTEXPROCESSING, &params, &device))) {
                Gfx::safeRelease(device);
                Gfx::safeRelease(mDevice->direct3D);
                QV_FATAL("ERROR! Failed to create DirectX device.");
            }
        }
    }
    mDevice->device = device;
    logCaps();
    static_cast<RenderSystem*>(this)->reset();
    return true;
}

void RenderSystemDX8::logCaps() {
    Gfx::DisplayMode mode;
    if (Gfx::failed(mDevice->direct3D->getAdapterDisplayMode(0, &mode))) return;
    Gfx::Caps caps;
    mDevice->device->getDeviceCaps(&caps);
    mPixelShader14 = caps.pixelShaderVersion >= Gfx::psVersion(1, 4) ? 1 : 0;
    if (!mPixelShader14) logLine("WARNING! Pixel Shader 1.4 is not supported");
    mVertexShader11 = caps.vertexShaderVersion >= Gfx::vsVersion(1, 1) ? 1 : 0;
    if (!mVertexShader11) logLine("WARNING! Vertex Shader 1.1 is not supported");

    logLine("Device Capabilities...");
    logLine(formatString("  Pixel Shader 1.4: %s", supportedText(mPixelShader14)));
    logLine(formatString("  Vertex Shader 1.1: %s", supportedText(mVertexShader11)));
    logLine(formatString("  MaxTextureWidth: %i", static_cast<int>(caps.maxTextureWidth)));
    logLine(formatString("  MaxTextureHeight: %i", static_cast<int>(caps.maxTextureHeight)));

    if (Gfx::failed(mDevice->direct3D->checkDeviceFormat(0, Gfx::DEVTYPE_HAL, mode.format, Gfx::USAGE_DEPTHSTENCIL,
                                                         Gfx::RTYPE_SURFACE, Gfx::FMT_D24S8))) {
        logLine("WARNING! Depth-stencil texture is not supported.");
    }
}

}  // namespace QV

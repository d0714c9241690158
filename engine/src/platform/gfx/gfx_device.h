#pragma once

// The graphics device layer: a small device interface shaped like the subset
// of Direct3D 8 the renderer uses, so the renderer's call sequences stay
// checkable. Back ends: OpenGL (gl_*.cpp) and a recording one for tests.
// This header includes no platform header; engine code may include it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "d3dx_math.h"
#include "platform/gfx/gfx_types.h"
#include "platform/gfx/shader_code.h"

namespace QV::Gfx {

// Reference counted like COM objects: created with one reference, deleted
// at the last release.
class IResource {
public:
    virtual uint32_t addRef() = 0;
    virtual uint32_t release() = 0;

protected:
    virtual ~IResource() = default;
};

class ISurface : public IResource {
public:
    virtual Result getDesc(SurfaceDesc* desc) = 0;
};

class ITexture : public IResource {
public:
    virtual uint32_t getLevelCount() = 0;
    virtual Result getLevelDesc(uint32_t level, SurfaceDesc* desc) = 0;
    // The surface of a level, with a reference the caller releases.
    virtual Result getSurfaceLevel(uint32_t level, ISurface** surface) = 0;
    // rect null: the whole level. The bytes reach the device at unlock.
    virtual Result lockRect(uint32_t level, LockedRect* locked, const void* rect, uint32_t flags) = 0;
    virtual Result unlockRect(uint32_t level) = 0;
};

class IVertexBuffer : public IResource {
public:
    // size 0: to the end of the buffer.
    virtual Result lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) = 0;
    virtual Result unlock() = 0;
    virtual Result getDesc(BufferDesc* desc) = 0;
};

class IIndexBuffer : public IResource {
public:
    virtual Result lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) = 0;
    virtual Result unlock() = 0;
    virtual Result getDesc(BufferDesc* desc) = 0;
};

class IDevice : public IResource {
public:
    virtual Result testCooperativeLevel() = 0;
    virtual Result getDeviceCaps(Caps* caps) = 0;
    virtual Result reset(PresentParameters* params) = 0;
    virtual Result present() = 0;

    virtual Result getBackBuffer(uint32_t index, ISurface** surface) = 0;
    virtual Result getRenderTarget(ISurface** surface) = 0;
    virtual Result getDepthStencilSurface(ISurface** surface) = 0;
    // depthStencil may be null. Resets the viewport to the whole target.
    virtual Result setRenderTarget(ISurface* renderTarget, ISurface* depthStencil) = 0;
    virtual Result setViewport(const Viewport* viewport) = 0;
    virtual Result getViewport(Viewport* viewport) = 0;
    // Clears the flagged buffers of the viewport; rects are not supported
    // (count must be 0). color is 0xAARRGGBB.
    virtual Result clear(uint32_t count, const void* rects, uint32_t flags, uint32_t color, float z,
                         uint32_t stencil) = 0;
    virtual Result beginScene() = 0;
    virtual Result endScene() = 0;

    virtual Result setTransform(uint32_t state, const Matrix4* matrix) = 0;
    virtual Result setRenderState(uint32_t state, uint32_t value) = 0;
    virtual Result getRenderState(uint32_t state, uint32_t* value) = 0;
    virtual Result setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) = 0;
    virtual Result setTexture(uint32_t stage, ITexture* texture) = 0;

    virtual Result createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                 uint32_t format, uint32_t pool, ITexture** texture) = 0;
    virtual Result createDepthStencilSurface(uint32_t width, uint32_t height, uint32_t format,
                                             uint32_t multiSample, ISurface** surface) = 0;
    virtual Result createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                      IVertexBuffer** buffer) = 0;
    virtual Result createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                                     IIndexBuffer** buffer) = 0;
    virtual Result setStreamSource(uint32_t stream, IVertexBuffer* buffer, uint32_t stride) = 0;
    virtual Result setIndices(IIndexBuffer* buffer, uint32_t baseVertexIndex) = 0;
    virtual Result drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) = 0;
    virtual Result drawIndexedPrimitive(uint32_t type, uint32_t minIndex, uint32_t numVertices,
                                        uint32_t startIndex, uint32_t primitiveCount) = 0;

    // Shader handles are never 0; vertex shader handles are odd so that
    // setVertexShader can tell them from a vertex format code.
    virtual Result createVertexShader(const uint32_t* declaration, const ShaderCode* code, uint32_t* handle,
                                      uint32_t usage) = 0;
    virtual Result deleteVertexShader(uint32_t handle) = 0;
    virtual Result setVertexShader(uint32_t handleOrFvf) = 0;
    virtual Result setVertexShaderConstant(uint32_t reg, const void* data, uint32_t count) = 0;
    virtual Result createPixelShader(const ShaderCode* code, uint32_t* handle) = 0;
    virtual Result deletePixelShader(uint32_t handle) = 0;
    virtual Result setPixelShader(uint32_t handle) = 0;
    virtual Result setPixelShaderConstant(uint32_t reg, const void* data, uint32_t count) = 0;

    // Reads the current render target back as top-down BGRA rows (width * 4
    // bytes each). Only the OpenGL device has pixels.
    virtual Result readBack(std::vector<uint8_t>* bgra, uint32_t* width, uint32_t* height) = 0;
};

class IDriver : public IResource {
public:
    virtual uint32_t getAdapterCount() = 0;
    virtual Result getAdapterDisplayMode(uint32_t adapter, DisplayMode* mode) = 0;
    virtual Result checkDeviceFormat(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, uint32_t usage,
                                     uint32_t resourceType, uint32_t checkFormat) = 0;
    virtual Result createDevice(uint32_t adapter, uint32_t deviceType, void* focusWindow, uint32_t behaviorFlags,
                                PresentParameters* params, IDevice** device) = 0;
};

// The driver the engine gets (null when none can start). Tests and tools
// install another factory, e.g. the recording back end.
using DriverFactory = std::function<IDriver*(uint32_t sdkVersion)>;
IDriver* createDriver(uint32_t sdkVersion);
void setDriverFactory(DriverFactory factory);  // empty: back to the OpenGL one
IDriver* createOpenGLDriver(uint32_t sdkVersion);

// Releases and clears a resource pointer.
template <class T>
void safeRelease(T*& p) {
    if (p) {
        p->release();
        p = nullptr;
    }
}

}  // namespace QV::Gfx

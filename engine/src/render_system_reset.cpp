#include <algorithm>
#include <cstring>

#include "engine_notification_dispatcher.h"
#include "format_string.h"
#include "log_system.h"
#include "render_system.h"
#include "report_assert.h"
#include "texture.h"
#include "texture_manager.h"
#include "vertex_format.h"

namespace QV {

namespace {

// Names of generated render textures, counted over the process.
int gRenderTextureCounter = 0;

void logResetFailure(Gfx::Result result) {
    logLine("Failed to reset dx8 device");
    switch (result) {
        case Gfx::ERR_OUTOFVIDEOMEMORY:
            logLine("error code: D3DERR_OUTOFVIDEOMEMORY");
            break;
        case Gfx::ERR_INVALIDCALL:
            logLine("error code: D3DERR_INVALIDCALL");
            break;
        case Gfx::E_OUTOFMEMORY:
            logLine("error code: E_OUTOFMEMORY");
            break;
        default:
            logLine(formatString("error code: %i", static_cast<int>(result)));
            break;
    }
}

}  // namespace

Gfx::ITexture* RenderTexture::handle() const { return managed ? managed->getHandle() : own; }

void RenderSystem::destroyRenderTexture(RenderTexture& target) {
    if (target.managed) {
        if (TextureManager* manager = TextureManager::instancePointer()) manager->destroyTexture(target.managed);
        target.managed = nullptr;
    }
    Gfx::safeRelease(target.own);
    target.width = 0;
    target.height = 0;
}

void RenderSystem::createRenderTexture(RenderTexture& target) {
    if (TextureManager* manager = TextureManager::instancePointer()) {
        target.managed = manager->createRenderTexture();
        target.width = target.managed->getWidth();
        target.height = target.managed->getHeight();
    } else {
        createOwnRenderTexture(target);
    }
    if (!target.handle()) {
        // Every frame draws into it: there is no picture without it.
        QV_FATAL("Failed to create render texture");
    }
}

// The texture manager's render texture, made here: the back buffer's format,
// min(workspace, viewport) per axis, default pool.
void RenderSystem::createOwnRenderTexture(RenderTexture& target) {
    Gfx::IDevice* device = mDevice->device;
    const std::string name = formatString("rendertexture%i", gRenderTextureCounter++);
    logLine(formatString("Creating render texture... (%s)", name.c_str()));
    Gfx::ISurface* backBuffer = nullptr;
    Gfx::SurfaceDesc desc;
    if (Gfx::failed(device->getBackBuffer(0, &backBuffer)) || !backBuffer ||
        Gfx::failed(backBuffer->getDesc(&desc))) {
        Gfx::safeRelease(backBuffer);
        QV_FATAL("Failed to get back buffer");
    }
    Gfx::safeRelease(backBuffer);
    Gfx::Viewport viewport;
    device->getViewport(&viewport);
    const Vector2<int> workspace = getWorkspaceSize();
    target.width = workspace.x > 0 ? std::min(static_cast<uint32_t>(workspace.x), viewport.width) : viewport.width;
    target.height = workspace.y > 0 ? std::min(static_cast<uint32_t>(workspace.y), viewport.height) : viewport.height;
    logLine(formatString("Create texture TU_RENDER_TEXTURE size (%i, %i)", static_cast<int>(target.width),
                         static_cast<int>(target.height)));
    if (Gfx::failed(device->createTexture(target.width, target.height, 1, Gfx::USAGE_RENDERTARGET, desc.format,
                                          Gfx::POOL_DEFAULT, &target.own))) {
        target.own = nullptr;
    }
}

void RenderSystem::releaseDeviceObjects() {
    Gfx::IDevice* device = mDevice->device;
    Gfx::safeRelease(mDevice->savedBackBuffer);
    Gfx::safeRelease(mDevice->savedDepthSurface);
    Gfx::safeRelease(mDevice->depthStencilSurface);

    // The stages may still hold the render textures from the last composite.
    device->setTexture(0, nullptr);
    device->setTexture(1, nullptr);
    destroyRenderTexture(mDevice->sceneTexture);
    destroyRenderTexture(mDistortionTexture);
    if (textureDeviceHooks().destroyQueued) textureDeviceHooks().destroyQueued();

    device->setStreamSource(0, nullptr, VertexLayout::update());
    device->setIndices(nullptr, 0);
    if (mLockedVertices && mDevice->vertexBuffer) mDevice->vertexBuffer->unlock();
    mLockedVertices = nullptr;
    Gfx::safeRelease(mDevice->vertexBuffer);
    Gfx::safeRelease(mDevice->indexBuffer);
    if (textureDeviceHooks().releaseDeviceTextures) textureDeviceHooks().releaseDeviceTextures();
}

void RenderSystem::buildIndexBuffer() {
    Gfx::IDevice* device = mDevice->device;
    if (Gfx::failed(device->createIndexBuffer(kBatchQuadCapacity * 6 * sizeof(uint16_t), Gfx::USAGE_WRITEONLY,
                                              Gfx::FMT_INDEX16, Gfx::POOL_DEFAULT, &mDevice->indexBuffer)) ||
        !mDevice->indexBuffer) {
        mDevice->indexBuffer = nullptr;
        QV_FATAL("Failed to create DirectX Index Buffer");
    }
    uint8_t* bytes = nullptr;
    if (Gfx::failed(mDevice->indexBuffer->lock(0, 0, &bytes, 0)) || !bytes) {
        // A reset that stops here leaves the device without its fixed states
        // and still marked lost: end with a clear report instead.
        logLine("ERROR: Failed to lock DirectX Index Buffer");
        QV_FATAL("Failed to lock DirectX Index Buffer");
    }
    uint16_t* indices = reinterpret_cast<uint16_t*>(bytes);
    for (uint32_t k = 0; k < kBatchQuadCapacity; ++k) {
        const uint16_t base = static_cast<uint16_t>(4 * k);
        uint16_t* quad = indices + 6 * k;
        quad[0] = base;
        quad[1] = static_cast<uint16_t>(base + 1);
        quad[2] = static_cast<uint16_t>(base + 2);
        quad[3] = static_cast<uint16_t>(base + 2);
        quad[4] = static_cast<uint16_t>(base + 3);
        quad[5] = base;
    }
    mDevice->indexBuffer->unlock();
    device->setIndices(mDevice->indexBuffer, 0);
}

void RenderSystem::setFixedStates() {
    Gfx::IDevice* device = mDevice->device;
    device->setRenderState(Gfx::RS_CULLMODE, Gfx::CULL_NONE);
    device->setRenderState(Gfx::RS_LIGHTING, 0);
    device->setRenderState(Gfx::RS_ALPHABLENDENABLE, 1);
    device->setTextureStageState(0, Gfx::TSS_COLOROP, Gfx::TOP_MODULATE);
    device->setTextureStageState(0, Gfx::TSS_COLORARG1, Gfx::TA_TEXTURE);
    device->setTextureStageState(0, Gfx::TSS_COLORARG2, Gfx::TA_DIFFUSE);
    device->setTextureStageState(0, Gfx::TSS_ALPHAOP, Gfx::TOP_MODULATE);
    device->setTextureStageState(0, Gfx::TSS_ALPHAARG1, Gfx::TA_TEXTURE);
    device->setTextureStageState(0, Gfx::TSS_ALPHAARG2, Gfx::TA_DIFFUSE);
    device->setTextureStageState(0, Gfx::TSS_MIPFILTER, Gfx::TEXF_LINEAR);
    device->setTextureStageState(0, Gfx::TSS_MAGFILTER, Gfx::TEXF_LINEAR);
    device->setTextureStageState(0, Gfx::TSS_MINFILTER, Gfx::TEXF_LINEAR);
    device->setRenderState(Gfx::RS_SRCBLEND, Gfx::BLEND_SRCALPHA);
    device->setRenderState(Gfx::RS_DESTBLEND, Gfx::BLEND_INVSRCALPHA);
    device->setRenderState(Gfx::RS_ZWRITEENABLE, 0);
    device->setRenderState(Gfx::RS_ZENABLE, 0);
    device->setRenderState(Gfx::RS_ALPHATESTENABLE, 1);
    device->setRenderState(Gfx::RS_ALPHAREF, 1);
    device->setRenderState(Gfx::RS_ALPHAFUNC, Gfx::CMP_GREATEREQUAL);
    device->setRenderState(Gfx::RS_STENCILENABLE, 0);
}

void RenderSystem::createFadeQuad() {
    delete mFadeQuad;
    mFadeQuad = new RenderData();
    const uint32_t stride = VertexLayout::update();
    uint8_t* bytes = mFadeQuad->allocateVertices(4);
    const Vector2<int> workspace = getWorkspaceSize();
    const float w = static_cast<float>(workspace.x);
    const float h = static_cast<float>(workspace.y);
    const float xs[4] = {0.0f, w, w, 0.0f};
    const float ys[4] = {0.0f, 0.0f, h, h};
    const Color black(0.0f, 0.0f, 0.0f, 1.0f);
    for (int i = 0; i < 4; ++i) {
        uint8_t* vertex = bytes + static_cast<size_t>(i) * stride;
        const float xyz[3] = {xs[i], ys[i], 0.0f};
        std::memcpy(vertex + VertexLayout::positionOffset(), xyz, sizeof(xyz));
        std::memcpy(vertex + VertexLayout::diffuseOffset(), &black, sizeof(black));
    }
}

void RenderSystem::reset() {
    Gfx::IDevice* device = mDevice->device;
    if (!device) return;
    logLine("Resetting DirectX device...");
    releaseDeviceObjects();

    const Vector2<int> window = getWindowSize();
    Gfx::PresentParameters& params = mDevice->presentParameters;
    params.backBufferWidth = static_cast<uint32_t>(window.x);
    params.backBufferHeight = static_cast<uint32_t>(window.y);
    logLine(formatString("RenderSystem::reset, mWndWidth %i, mWndHeight %i", window.x, window.y));
    const Gfx::Result result = device->reset(&params);
    if (Gfx::failed(result)) {
        logResetFailure(result);
        QV_FATAL("Failed to reset DX8 device.");
    }
    if (textureDeviceHooks().resetDeviceTextures) textureDeviceHooks().resetDeviceTextures();

    createRenderTexture(mDevice->sceneTexture);
    createRenderTexture(mDistortionTexture);

    const Vector2<int> workspace = getWorkspaceSize();
    device->createDepthStencilSurface(static_cast<uint32_t>(std::max(workspace.x, 1)),
                                      static_cast<uint32_t>(std::max(workspace.y, 1)), Gfx::FMT_D24S8,
                                      Gfx::MULTISAMPLE_NONE, &mDevice->depthStencilSurface);

    const uint32_t stride = VertexLayout::update();
    if (Gfx::failed(device->createVertexBuffer(stride * kBatchVertexCapacity, Gfx::USAGE_DYNAMIC, VertexLayout::fvf(),
                                               Gfx::POOL_DEFAULT, &mDevice->vertexBuffer)) ||
        !mDevice->vertexBuffer) {
        mDevice->vertexBuffer = nullptr;
        QV_FATAL("Failed to create DirectX Vertex Buffer");
    }
    device->setVertexShader(VertexLayout::fvf());
    device->setStreamSource(0, mDevice->vertexBuffer, stride);
    buildIndexBuffer();
    setFixedStates();

    mTrianglesDrawn = 0;
    mDrawCalls = 0;
    mDevice->deviceLost = 0;
    mBatchVertexCount = 0;
    mBatchPrimitiveCount = 0;
    mBatchStateKnown = false;

    createFadeQuad();
    postEngineNotification(kNotificationDeviceReset);
    logLine("Resetting done.");
}

}  // namespace QV

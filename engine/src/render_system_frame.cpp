#include <cstring>

#include "application.h"
#include "config_manager.h"
#include "log_system.h"
#include "render_system.h"
#include "render_system_projection.h"
#include "vertex_format.h"
#include "video_surface_streamer.h"
#include "window_fit.h"

namespace QV {

RenderSystem::RenderSystem(Application* application) : RenderSystemDX8(application) {
    mDistortionProgram = new ShaderProgram();
    matrixIdentity(&mShaderViewProjection);
    matrixIdentity(&mShaderIdentity);
}

RenderSystem::~RenderSystem() {
    if (mDistortionProgram) {
        deleteShaderProgram(mDistortionProgram);
        delete mDistortionProgram;
        mDistortionProgram = nullptr;
    }
    delete mFadeQuad;
    mFadeQuad = nullptr;
    if (mLockedVertices && mDevice->vertexBuffer) mDevice->vertexBuffer->unlock();
    mLockedVertices = nullptr;
}

Vector2<int> RenderSystem::getWorkspaceSize() const {
    ConfigManager* config = Singleton<ConfigManager>::instancePointer();
    if (!config) return Vector2<int>(0, 0);
    return Vector2<int>(config->resolution().width, config->resolution().height);
}

Vector2<int> RenderSystem::getWindowSize() const {
    ApplicationWindow* window = windowRecord();
    if (!window) return Vector2<int>(0, 0);
    return Vector2<int>(window->clientWidth, window->clientHeight);
}

void RenderSystem::getWorkspaceFit(Vector2<float>& fitSize, Vector2<float>& fitOffset, float& fitScale) const {
    const Vector2<int> workspace = getWorkspaceSize();
    const Vector2<int> window = getWindowSize();
    ConfigManager* config = Singleton<ConfigManager>::instancePointer();
    const int fitType = config ? config->fullscreenFitType() : 0;
    const float zoom = config ? config->workspaceZoom() : 1.0f;
    const float minimalAspect = config ? config->fullscreenMinimalAspect() : 1.0f;
    computeWorkspaceFit(Vector2<float>(static_cast<float>(workspace.x), static_cast<float>(workspace.y)),
                        Vector2<float>(static_cast<float>(static_cast<uint32_t>(window.x)),
                                       static_cast<float>(static_cast<uint32_t>(window.y))),
                        fitType, zoom, minimalAspect, fitSize, fitOffset, fitScale);
}

Vector2<int> RenderSystem::screenToWorkspace(int32_t x, int32_t y) const {
    Vector2<float> fitSize, fitOffset;
    float fitScale = 1.0f;
    getWorkspaceFit(fitSize, fitOffset, fitScale);
    const Vector2<int> workspace = getWorkspaceSize();
    return windowToWorkspace(Vector2<float>(static_cast<float>(workspace.x), static_cast<float>(workspace.y)),
                             fitSize, fitOffset, Vector2<int>(x, y));
}

bool RenderSystem::windowSizeChanged() const {
    const Vector2<int> window = getWindowSize();
    if (window.x <= 0 || window.y <= 0) return false;
    const Gfx::PresentParameters& params = mDevice->presentParameters;
    return static_cast<uint32_t>(window.x) != params.backBufferWidth ||
           static_cast<uint32_t>(window.y) != params.backBufferHeight;
}

void RenderSystem::beginFrame() {
    mFrameOpen = false;
    Gfx::IDevice* device = mDevice->device;
    if (!device) return;
    if (mDevice->deviceLost) {
        logLine("DEVICE LOST!");
        const Gfx::Result level = device->testCooperativeLevel();
        if (level == Gfx::ERR_DEVICELOST) return;
        if (level == Gfx::ERR_DEVICENOTRESET) {
            reset();
        } else if (Gfx::succeeded(level)) {
            // The device works again without a reset: stop reporting it lost.
            mDevice->deviceLost = 0;
        }
    } else if (windowSizeChanged()) {
        // The back buffer follows the window, so a resized window gets a
        // reset at the size it has now.
        reset();
    }

    if (!mDevice->savedBackBuffer) device->getRenderTarget(&mDevice->savedBackBuffer);
    if (!mDevice->savedDepthSurface) device->getDepthStencilSurface(&mDevice->savedDepthSurface);

    Gfx::ISurface* scene = nullptr;
    if (Gfx::ITexture* target = mDevice->sceneTexture.handle()) target->getSurfaceLevel(0, &scene);
    device->setRenderTarget(scene, mDevice->depthStencilSurface);
    Gfx::safeRelease(scene);

    const uint32_t clearColor = 0xFF000000u | (uint32_t(mClearColor.r) << 16) | (uint32_t(mClearColor.g) << 8) |
                                uint32_t(mClearColor.b);
    device->clear(0, nullptr, Gfx::CLEAR_TARGET | Gfx::CLEAR_ZBUFFER, clearColor, 1.0f, 0);
    const Vector2<int> workspace = getWorkspaceSize();
    setViewProjection(workspace.x, workspace.y);
    device->beginScene();

    uint8_t* vertices = nullptr;
    if (mDevice->vertexBuffer && Gfx::succeeded(mDevice->vertexBuffer->lock(0, 0, &vertices, Gfx::LOCK_DISCARD))) {
        mLockedVertices = vertices;
    } else {
        mLockedVertices = nullptr;
    }
    mTrianglesDrawn = 0;
    mDrawCalls = 0;
    mDistortionCleared = 0;
    device->setRenderState(Gfx::RS_FILLMODE, Gfx::FILL_SOLID);
    // Whatever the last frame left on the device, the first record of this
    // one sets every state it needs.
    mBatchStateKnown = false;
    mFrameOpen = true;
}

void RenderSystem::endFrame() {
    if (!mFrameOpen) {
        // A frame that never opened (lost device): nothing reached the device.
        mPixelArea = 0.0f;
        resetBatchState();
        mTrianglesDrawn = 0;
        mDrawCalls = 0;
        mBatchVertexCount = 0;
        mBatchPrimitiveCount = 0;
        return;
    }
    Gfx::IDevice* device = mDevice->device;
    device->setRenderState(Gfx::RS_FILLMODE, Gfx::FILL_SOLID);

    if (mFadeQuad && mFade < 1.0f) {
        const Color color(0.0f, 0.0f, 0.0f, 1.0f - mFade);
        const uint32_t stride = VertexLayout::update();
        uint8_t* bytes = mFadeQuad->vertexData();
        for (uint32_t i = 0; i < mFadeQuad->vertexCount(); ++i) {
            std::memcpy(bytes + static_cast<size_t>(i) * stride + VertexLayout::diffuseOffset(), &color,
                        sizeof(color));
        }
        draw(mFadeQuad);
    }
    flush();

    Vector2<float> fitSize, fitOffset;
    float fitScale = 1.0f;
    getWorkspaceFit(fitSize, fitOffset, fitScale);

    flush();
    device->setRenderTarget(mDevice->savedBackBuffer, mDevice->savedDepthSurface);
    device->clear(0, nullptr, Gfx::CLEAR_TARGET, 0, 1.0f, 0);

    const Camera saved = mCamera;
    setCamera(Camera());
    const Vector2<int> window = getWindowSize();
    setViewProjection(static_cast<int32_t>(static_cast<float>(window.x)),
                      static_cast<int32_t>(static_cast<float>(window.y)));

    Application* app = mApplication ? mApplication : gApplication;
    if (app) app->drawUnderScene(fitSize.x, fitSize.y, fitOffset.x, fitOffset.y);

    if (mPixelShader14 && mDistortionCleared && mDistortionEnabled) {
        bindDistortionProgram();
        drawDeviceQuad(mDevice->sceneTexture.handle(), fitOffset, fitSize);
        flush();
        unbindDistortionProgram();
    } else {
        drawDeviceQuad(mDevice->sceneTexture.handle(), fitOffset, fitSize);
        flush();
    }

    if (app) app->drawOverScene(fitScale);
    flush();
    setCamera(saved);

    if (mDevice->vertexBuffer && mLockedVertices) mDevice->vertexBuffer->unlock();
    mLockedVertices = nullptr;
    device->endScene();
    mFrameOpen = false;
    mPixelArea = 0.0f;

    if (textureDeviceHooks().update) textureDeviceHooks().update();
    Singleton<VideoSurfaceStreamer>::instance()->uploadFrames();

    resetBatchState();
    mTrianglesDrawn = 0;
    mDrawCalls = 0;
    mBatchVertexCount = 0;
    mBatchPrimitiveCount = 0;
}

long RenderSystem::present() {
    Gfx::IDevice* device = mDevice->device;
    if (!device) return 0;
    const Gfx::Result result = device->present();
    return result == Gfx::ERR_DEVICELOST ? static_cast<long>(result) : 0;
}

void RenderSystem::setViewProjection(int32_t width, int32_t height) {
    buildViewProjection(mCamera, width, height, &mDevice->viewProjection);
    matrixTranspose(&mShaderViewProjection, &mDevice->viewProjection);
    matrixIdentity(&mShaderIdentity);
    Gfx::IDevice* device = mDevice->device;
    if (!device) return;
    device->setTransform(Gfx::TS_PROJECTION, &mDevice->viewProjection);
    Matrix4 identity;
    matrixIdentity(&identity);
    device->setTransform(Gfx::TS_VIEW, &identity);
}

void RenderSystem::setCamera(const Camera& camera) {
    if (!cameraChanged(mCamera, camera)) return;
    flush();
    mCamera = camera;
    const Vector2<int> workspace = getWorkspaceSize();
    setViewProjection(workspace.x, workspace.y);
}

void RenderSystem::drawDeviceQuad(Gfx::ITexture* texture, const Vector2<float>& position,
                                  const Vector2<float>& size) {
    if (!mFrameOpen || !mLockedVertices) return;
    flush();
    if (!mLockedVertices) return;
    Gfx::IDevice* device = mDevice->device;
    device->setTexture(0, texture);
    setBlendMode(0);
    // Clamped, so a scaled picture does not pull in the opposite edge.
    setAddressMode(2);
    const uint32_t stride = VertexLayout::update();
    const float xs[4] = {position.x, position.x + size.x, position.x + size.x, position.x};
    const float ys[4] = {position.y, position.y, position.y + size.y, position.y + size.y};
    const float us[4] = {0.0f, 1.0f, 1.0f, 0.0f};
    const float vs[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    const Color white = Color::fromBytes(255, 255, 255, 255);
    std::memset(mLockedVertices, 0, static_cast<size_t>(stride) * 4);
    for (int i = 0; i < 4; ++i) {
        uint8_t* vertex = mLockedVertices + static_cast<size_t>(i) * stride;
        const float xyz[3] = {xs[i], ys[i], 0.0f};
        const float uv[2] = {us[i], vs[i]};
        std::memcpy(vertex + VertexLayout::positionOffset(), xyz, sizeof(xyz));
        std::memcpy(vertex + VertexLayout::diffuseOffset(), &white, sizeof(white));
        std::memcpy(vertex + VertexLayout::texCoordOffset(0), uv, sizeof(uv));
    }
    mBatchVertexCount = 4;
    mBatchPrimitiveCount = 1;
    mBatchState.mPrimitiveKind = 0;
    flush();
    // The device now holds a texture and modes no record asked for.
    mBatchStateKnown = false;
}

}  // namespace QV

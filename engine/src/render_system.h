#pragma once

#include <cstdint>
#include <string>

#include "camera.h"
#include "color.h"
#include "d3dx_math.h"
#include "platform/gfx/gfx_device.h"
#include "render_batch.h"
#include "render_data.h"
#include "shader_program.h"
#include "singleton.h"
#include "vector2.h"

class Application;
struct ApplicationWindow;

namespace QV {

class Texture;

// A render target of the render system, rebuilt by every reset: the texture
// manager's render texture, or, where no texture manager runs (tools), a
// device texture of its own.
struct RenderTexture {
    Texture* managed = nullptr;
    Gfx::ITexture* own = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    Gfx::ITexture* handle() const;
};

// The device and the device objects that are not textures.
struct RenderDeviceDX8 {
    Gfx::IDriver* direct3D = nullptr;
    Gfx::IDevice* device = nullptr;
    Gfx::PresentParameters presentParameters;
    Matrix4 viewProjection;
    uint8_t deviceLost = 0;
    Gfx::IVertexBuffer* vertexBuffer = nullptr;
    Gfx::IIndexBuffer* indexBuffer = nullptr;
    RenderTexture sceneTexture;
    Gfx::ISurface* savedBackBuffer = nullptr;
    Gfx::ISurface* savedDepthSurface = nullptr;
    Gfx::ISurface* depthStencilSurface = nullptr;
    uint32_t vertexUsage = 0;
};

// Fixed render-target slots of the render system. Nothing draws through them:
// render textures serve as targets.
class RenderTargetBase {
public:
    virtual ~RenderTargetBase() = default;
    uint32_t mWidth = 0;
    uint32_t mHeight = 0;
    void* mSurface = nullptr;
};
class RenderTargetDX8 : public RenderTargetBase {};
class RenderTarget : public RenderTargetDX8 {};

// What is independent of the device: batch state, statistics, camera, fade,
// colour mask, distortion bookkeeping.
class RenderSystemBase {
public:
    explicit RenderSystemBase(Application* application);
    virtual ~RenderSystemBase();

    RenderSystemBase(const RenderSystemBase&) = delete;
    RenderSystemBase& operator=(const RenderSystemBase&) = delete;

    // The batch mirrors: no texture, quads, blend 1, address 0. The device
    // keeps what it had, so the mirror is marked unknown until the next
    // record sets every state again.
    void resetBatchState();
    // Frees the textures and vertices of the two scratch records (shut-down).
    void releaseRenderData();

    float getFade() const { return mFade; }
    void setFade(float fade) { mFade = fade; }
    bool getStatisticsEnabled() const { return mStatisticsEnabled != 0; }
    void setStatisticsEnabled(bool enabled) { mStatisticsEnabled = enabled ? 1 : 0; }
    uint32_t getTrianglesDrawn() const { return mTrianglesDrawn; }
    uint32_t getDrawCalls() const { return mDrawCalls; }
    float getPixelArea() const { return mPixelArea; }
    bool isPixelShaderSupported() const { return mPixelShader14 != 0; }
    bool isVertexShaderSupported() const { return mVertexShader11 != 0; }
    bool isDistortionEnabled() const { return mDistortionEnabled != 0; }
    const uint8_t* getColorWriteMask() const { return mColorWriteMask; }
    const uint8_t* getSavedColorWriteMask() const { return mSavedColorWriteMask; }
    const Camera& getCamera() const { return mCamera; }
    Color getClearColor() const { return mClearColor; }
    void setClearColor(const Color& color) { mClearColor = color; }
    uint32_t getBatchVertexCount() const { return mBatchVertexCount; }
    uint32_t getBatchPrimitiveCount() const { return mBatchPrimitiveCount; }
    const RenderData& getBatchState() const { return mBatchState; }
    RenderDeviceDX8* getDeviceRecord() const { return mDevice; }

    // The window record whose client size the frame fits to: the
    // application's unless another was set (tools and tests without an
    // application).
    ApplicationWindow* windowRecord() const;
    void setWindowRecord(ApplicationWindow* window) { mWindowRecord = window; }

protected:
    RenderDeviceDX8* mDevice = nullptr;
    Application* mApplication = nullptr;
    RenderData mBatchState;
    RenderData mScratchData;
    uint8_t* mLockedVertices = nullptr;
    uint32_t mBatchPrimitiveCount = 0;
    uint32_t mTrianglesDrawn = 0;
    uint32_t mDrawCalls = 0;
    Camera mCamera;
    float mFade = 1.0f;
    RenderData* mFadeQuad = nullptr;
    uint8_t mPixelShader14 = 0;
    uint8_t mVertexShader11 = 0;
    uint8_t mColorWriteMask[4] = {1, 1, 1, 1};
    uint8_t mSavedColorWriteMask[4] = {1, 1, 1, 1};
    uint32_t mBatchVertexCount = 0;
    uint8_t mDistortionCleared = 0;
    uint8_t mDistortionEnabled = 1;
    RenderTexture mDistortionTexture;
    float mPixelArea = 0.0f;
    uint8_t mStatisticsEnabled = 0;
    Color mClearColor;

    // Guards beyond the device's own model: a frame opened by beginFrame
    // (false while the device is lost), and whether the batch mirror matches
    // the device.
    bool mFrameOpen = false;
    bool mBatchStateKnown = false;
    ApplicationWindow* mWindowRecord = nullptr;
};

// Adds the device: creation, capabilities, shader programs.
class RenderSystemDX8 : public RenderSystemBase {
public:
    explicit RenderSystemDX8(Application* application);
    ~RenderSystemDX8() override;

    // Creates the device on the window, logs the capabilities and builds the
    // device resources. False when no device could be made.
    bool createDevice(void* windowHandle);
    void logCaps();

    int createPixelShader(ShaderProgramDX8* program, const char* text);
    int createVertexShader(VertexShaderDX8* shader, const char* text);
    int deletePixelShader(ShaderProgramDX8* program);
    int deleteVertexShader(VertexShaderDX8* shader);
    int deleteShaderProgram(ShaderProgram* program);
    int bindShaderProgram(ShaderProgram* program);
    int unbindShaderProgram();

    // Sends the open batch to the device.
    void flush();

    Gfx::IDevice* getDevice() const { return mDevice->device; }
    uint32_t getVertexUsage() const { return mDevice->vertexUsage; }

protected:
    void* mWindowHandle = nullptr;
};

// The engine's renderer.
class RenderSystem : public RenderSystemDX8, public Singleton<RenderSystem> {
public:
    explicit RenderSystem(Application* application);
    ~RenderSystem() override;

    // Frame.
    void beginFrame();
    void endFrame();
    // Shows the back buffer: 0, or the device-lost code.
    long present();
    void reset();
    bool isDeviceLost() const { return mDevice->deviceLost != 0; }
    void setDeviceLost(bool lost) { mDevice->deviceLost = lost ? 1 : 0; }
    bool isFrameOpen() const { return mFrameOpen; }

    // View.
    void setViewProjection(int32_t width, int32_t height);
    void setCamera(const Camera& camera);
    const Matrix4& getShaderViewProjection() const { return mShaderViewProjection; }

    // Window fit.
    void getWorkspaceFit(Vector2<float>& fitSize, Vector2<float>& fitOffset, float& fitScale) const;
    Vector2<int> screenToWorkspace(int32_t x, int32_t y) const;
    Vector2<int> getWorkspaceSize() const;
    Vector2<int> getWindowSize() const;

    // Batching.
    void draw(const RenderData* data);
    void setBlendMode(int32_t blendMode);
    void setAddressMode(int32_t addressMode);

    // Shaders and the distortion pass.
    int createYuvPixelShader(ShaderProgramDX8* program);
    int createYuvVertexShader(VertexShaderDX8* shader);
    ShaderProgram* getDistortionProgram() const { return mDistortionProgram; }
    // Assembles the distortion program from its text; 0 on success.
    int createDistortionProgram(const char* pixelShaderText);
    void beginDistortion();
    void endDistortion();
    void bindDistortionProgram();
    void unbindDistortionProgram();

    // Stencil and colour mask.
    void beginStencilWrite();
    void beginStencilTest();
    void endStencil();
    void clearStencil();
    void setColorWriteMask(bool red, bool green, bool blue, bool alpha);

    const RenderTexture& getSceneTexture() const { return mDevice->sceneTexture; }
    const RenderTexture& getDistortionTexture() const { return mDistortionTexture; }

    // The distortion pixel shader the application assembles at device start.
    static const char* const kDistortionPixelShader;

private:
    void releaseDeviceObjects();
    void createRenderTexture(RenderTexture& target);
    void createOwnRenderTexture(RenderTexture& target);
    void destroyRenderTexture(RenderTexture& target);
    void createFadeQuad();
    void buildIndexBuffer();
    void setFixedStates();
    // Draws a quad of a device texture at a window rectangle, outside the
    // batch mirror (the scene composite).
    void drawDeviceQuad(Gfx::ITexture* texture, const Vector2<float>& position, const Vector2<float>& size);
    bool windowSizeChanged() const;
    void appendToBatch(const RenderData& data, const uint8_t* vertices, uint32_t count, uint32_t stride);

    Matrix4 mShaderViewProjection;
    Matrix4 mShaderIdentity;
    RenderTarget mRenderTargets[8];
    ShaderProgram* mDistortionProgram = nullptr;
};

}  // namespace QV

#pragma once

// A device without pixels for tests: it records every call, keeps the bytes
// written into textures and buffers, enforces the device rules the renderer
// relies on, and follows a scripted fault plan.

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/gfx/gfx_device.h"

namespace QV::Gfx {

struct FaultPlan {
    // Device creation refused per vertex processing kind.
    bool refuseHardwareVertexProcessing = false;
    bool refuseMixedVertexProcessing = false;
    bool refuseSoftwareVertexProcessing = false;
    bool failDisplayMode = false;
    // checkDeviceFormat answers ERR_NOTAVAILABLE for these formats.
    std::set<uint32_t> unsupportedFormats;
    // Capabilities: no shaders at all (versions 0, creation fails).
    bool noShaders = false;
    uint32_t maxTextureSize = 4096;
    // The device goes lost at this present (1 = the first; 0 = never) and
    // testCooperativeLevel then reports lost this many times before it
    // reports the device as resettable.
    int lostAtPresent = 0;
    int lostFrames = 0;
    // Result of reset() calls, in order (OK once these are used up).
    std::vector<Result> resetResults;
    // The next n creations / locks of a kind fail (-1: all of them). Kinds:
    // "texture", "depthstencil", "vertexbuffer", "indexbuffer",
    // "vertexshader", "pixelshader" for creations; "texture",
    // "vertexbuffer", "indexbuffer" for locks.
    std::map<std::string, int> failCreate;
    std::map<std::string, int> failLock;
};

struct RecordedCall {
    std::string name;
    std::vector<uint64_t> args;
    Result result = OK;
    std::string text() const;  // "setRenderState(27, 1)"
};

class RecordingDevice;

// Shared between the driver, its device and every resource, so a resource
// that outlives its device still records safely.
struct RecordingLog {
    std::mutex mutex;
    FaultPlan plan;
    std::vector<RecordedCall> calls;
    std::vector<std::string> errors;  // broken device rules, one line each
    std::set<const void*> liveDefaultPool;
    std::thread::id mainThread;

    void record(const std::string& name, std::vector<uint64_t> args, Result result);
    void error(const std::string& text);
    // Consumes one planned failure of a kind from a table of the plan.
    bool takeFault(std::map<std::string, int>& table, const std::string& kind);
    bool onMainThread(const char* call);
};

class RecordingDriver : public IDriver {
public:
    explicit RecordingDriver(const FaultPlan& plan = FaultPlan());

    uint32_t addRef() override;
    uint32_t release() override;
    uint32_t getAdapterCount() override { return 1; }
    Result getAdapterDisplayMode(uint32_t adapter, DisplayMode* mode) override;
    Result checkDeviceFormat(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, uint32_t usage,
                             uint32_t resourceType, uint32_t checkFormat) override;
    Result createDevice(uint32_t adapter, uint32_t deviceType, void* focusWindow, uint32_t behaviorFlags,
                        PresentParameters* params, IDevice** device) override;

    const std::shared_ptr<RecordingLog>& log() const { return mLog; }
    // The device created last (not counted as a reference).
    RecordingDevice* lastDevice() const { return mLastDevice; }

private:
    ~RecordingDriver() override = default;

    std::atomic<uint32_t> mRefs{1};
    std::shared_ptr<RecordingLog> mLog;
    RecordingDevice* mLastDevice = nullptr;
    DisplayMode mMode;
};

// Installs a factory that hands out recording drivers with this plan; the
// last driver made stays reachable for the test.
void useRecordingDriver(const FaultPlan& plan = FaultPlan());
RecordingDriver* lastRecordingDriver();

class RecordingSurface;
class RecordingTexture;
class RecordingVertexBuffer;
class RecordingIndexBuffer;

class RecordingDevice : public IDevice {
public:
    RecordingDevice(std::shared_ptr<RecordingLog> log, uint32_t behaviorFlags, const PresentParameters& params);

    uint32_t addRef() override;
    uint32_t release() override;
    Result testCooperativeLevel() override;
    Result getDeviceCaps(Caps* caps) override;
    Result reset(PresentParameters* params) override;
    Result present() override;
    Result getBackBuffer(uint32_t index, ISurface** surface) override;
    Result getRenderTarget(ISurface** surface) override;
    Result getDepthStencilSurface(ISurface** surface) override;
    Result setRenderTarget(ISurface* renderTarget, ISurface* depthStencil) override;
    Result setViewport(const Viewport* viewport) override;
    Result getViewport(Viewport* viewport) override;
    Result clear(uint32_t count, const void* rects, uint32_t flags, uint32_t color, float z,
                 uint32_t stencil) override;
    Result beginScene() override;
    Result endScene() override;
    Result setTransform(uint32_t state, const Matrix4* matrix) override;
    Result setRenderState(uint32_t state, uint32_t value) override;
    Result getRenderState(uint32_t state, uint32_t* value) override;
    Result setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override;
    Result setTexture(uint32_t stage, ITexture* texture) override;
    Result createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                         uint32_t pool, ITexture** texture) override;
    Result createDepthStencilSurface(uint32_t width, uint32_t height, uint32_t format, uint32_t multiSample,
                                     ISurface** surface) override;
    Result createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                              IVertexBuffer** buffer) override;
    Result createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                             IIndexBuffer** buffer) override;
    Result setStreamSource(uint32_t stream, IVertexBuffer* buffer, uint32_t stride) override;
    Result setIndices(IIndexBuffer* buffer, uint32_t baseVertexIndex) override;
    Result drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) override;
    Result drawIndexedPrimitive(uint32_t type, uint32_t minIndex, uint32_t numVertices, uint32_t startIndex,
                                uint32_t primitiveCount) override;
    Result createVertexShader(const uint32_t* declaration, const ShaderCode* code, uint32_t* handle,
                              uint32_t usage) override;
    Result deleteVertexShader(uint32_t handle) override;
    Result setVertexShader(uint32_t handleOrFvf) override;
    Result setVertexShaderConstant(uint32_t reg, const void* data, uint32_t count) override;
    Result createPixelShader(const ShaderCode* code, uint32_t* handle) override;
    Result deletePixelShader(uint32_t handle) override;
    Result setPixelShader(uint32_t handle) override;
    Result setPixelShaderConstant(uint32_t reg, const void* data, uint32_t count) override;
    Result readBack(std::vector<uint8_t>* bgra, uint32_t* width, uint32_t* height) override;

    // What a test inspects.
    const std::shared_ptr<RecordingLog>& log() const { return mLog; }
    std::vector<RecordedCall> calls() const;
    std::vector<std::string> callTexts() const;
    std::vector<std::string> errors() const;
    void clearCalls();
    uint32_t behaviorFlags() const { return mBehaviorFlags; }
    const PresentParameters& presentParameters() const { return mParams; }
    bool inScene() const { return mInScene; }
    bool lost() const { return mLost; }
    // Goes lost now: lostFrames cooperative-level tests report lost first.
    void loseDevice(int lostFrames);
    uint32_t renderState(uint32_t state) const { return state < RS_COUNT ? mRenderStates[state] : 0; }
    uint32_t stageState(uint32_t stage, uint32_t type) const;
    ITexture* texture(uint32_t stage) const { return stage < MAX_STAGES ? mTextures[stage] : nullptr; }
    ISurface* renderTarget() const { return mRenderTarget; }
    ISurface* depthStencil() const { return mDepthStencil; }
    const Viewport& viewport() const { return mViewport; }
    Matrix4 transform(uint32_t state) const;
    uint32_t vertexShader() const { return mVertexShader; }
    uint32_t pixelShader() const { return mPixelShader; }
    IVertexBuffer* streamSource() const { return mStream; }
    uint32_t streamStride() const { return mStreamStride; }
    IIndexBuffer* indices() const { return mIndices; }
    const std::vector<float>& vertexShaderConstants() const { return mVsConstants; }
    size_t liveDefaultPoolObjects() const;
    uint32_t drawCalls() const { return mDrawCalls; }
    uint32_t presents() const { return mPresents; }

private:
    ~RecordingDevice() override;
    Result finish(const char* name, std::vector<uint64_t> args, Result r);
    Result refuse(const char* name, std::vector<uint64_t> args, const std::string& why);
    bool checkDraw(const char* name);
    void setTargetViewport(ISurface* target);
    std::atomic<uint32_t> mRefs{1};
    std::shared_ptr<RecordingLog> mLog;
    uint32_t mBehaviorFlags;
    PresentParameters mParams;
    bool mInScene = false;
    bool mLost = false;
    int mLostTestsLeft = 0;
    uint32_t mPresents = 0;
    uint32_t mDrawCalls = 0;
    uint32_t mRenderStates[RS_COUNT] = {};
    uint32_t mStageStates[MAX_STAGES][TSS_COUNT] = {};
    ITexture* mTextures[MAX_STAGES] = {};
    std::map<uint32_t, Matrix4> mTransforms;
    Viewport mViewport;
    RecordingSurface* mBackBuffer = nullptr;
    RecordingSurface* mAutoDepth = nullptr;
    ISurface* mRenderTarget = nullptr;
    ISurface* mDepthStencil = nullptr;
    IVertexBuffer* mStream = nullptr;
    uint32_t mStreamStride = 0;
    IIndexBuffer* mIndices = nullptr;
    uint32_t mVertexShader = 0;
    uint32_t mPixelShader = 0;
    uint32_t mNextShader = 1;
    std::set<uint32_t> mVertexShaders;
    std::set<uint32_t> mPixelShaders;
    std::vector<float> mVsConstants;
    std::vector<float> mPsConstants;
};

// The bytes a recording texture or buffer holds, for tests.
const std::vector<uint8_t>* recordedBytes(ITexture* texture, uint32_t level);
const std::vector<uint8_t>* recordedBytes(IVertexBuffer* buffer);
const std::vector<uint8_t>* recordedBytes(IIndexBuffer* buffer);
bool isLocked(IResource* resource);

}  // namespace QV::Gfx

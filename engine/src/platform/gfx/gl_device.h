#pragma once

// The OpenGL 2.1 back end of the device layer.

#include <atomic>
#include <map>
#include <tuple>
#include <memory>
#include <vector>

#include "platform/gfx/gfx_device.h"
#include "platform/gfx/gl_functions.h"
#include "platform/gfx/glsl_translator.h"

namespace QV::Gfx {

class GLTexture;
class GLSurface;
class GLVertexBuffer;
class GLIndexBuffer;

// What the device's resources share with it; outlives the device while a
// resource still holds it.
struct GLContextState {
    GLFunctions gl;
    void* context = nullptr;  // SDL_GLContext
    void* window = nullptr;   // SDL_Window*
    bool alive = true;
    void makeCurrent();
};

class GLDevice : public IDevice {
public:
    // Creates the context on the window; null with a reason when it cannot.
    static GLDevice* create(void* window, const PresentParameters& params, std::string* reason);

    uint32_t addRef() override { return ++mRefs; }
    uint32_t release() override;
    Result testCooperativeLevel() override { return OK; }
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

    // The last GLSL compile or link failure, for diagnostics.
    const std::string& lastShaderError() const { return mShaderError; }

private:
    GLDevice(std::shared_ptr<GLContextState> state, const PresentParameters& params);
    ~GLDevice() override;

    struct VertexShader {
        std::vector<VertexInput> inputs;
        uint32_t stride = 0;
        GLuint shader = 0;
    };
    struct PixelShader {
        GLuint shader = 0;
    };
    struct Program {
        GLuint program = 0;
        GLint transform = -1, post = -1, alphaFunc = -1, alphaRef = -1, tfactor = -1;
        GLint vsC = -1, psC = -1;
    };

    // `indexed`: `start` is the first index, else the first vertex.
    Result drawCommon(uint32_t type, uint32_t primitiveCount, bool indexed, uint32_t start, uint32_t* mode,
                      uint32_t* count);
    bool vertexRange(bool indexed, uint32_t start, uint32_t count, uint32_t* first, uint32_t* last) const;
    Program* program(const FixedPixelKey& key);
    GLuint fixedPixel(const FixedPixelKey& key);
    GLuint compile(GLenum kind, const std::string& text);
    void applyTarget();
    void applyStates(bool blendNoOp, bool nearestStage0);
    void queued(uint32_t primitives);
    // Whether stage 0's texels land one to one on pixel centres in every
    // triangle of the draw (see texelsLandOnPixels).
    bool texelsMatchPixels(uint32_t type, uint32_t primitiveCount, bool indexed, uint32_t start,
                           const Matrix4& transform, float flip) const;
    void applyViewport();
    void bindVertices(uint32_t baseVertex);
    bool currentTargetIsBackBuffer() const;
    uint32_t targetHeight() const;

    std::atomic<uint32_t> mRefs{1};
    std::shared_ptr<GLContextState> mState;
    GLFunctions& gl;
    PresentParameters mParams;
    GLSurface* mBackBuffer = nullptr;
    GLSurface* mAutoDepth = nullptr;
    GLSurface* mRenderTarget = nullptr;
    GLSurface* mDepthStencil = nullptr;
    GLuint mFramebuffer = 0;
    GLuint mWhiteTexture = 0;
    bool mTargetDirty = true;
    bool mTargetComplete = true;
    Viewport mViewport;
    uint32_t mRenderStates[RS_COUNT] = {};
    uint32_t mStageStates[MAX_STAGES][TSS_COUNT] = {};
    GLTexture* mTextures[MAX_STAGES] = {};
    Matrix4 mWorld, mView, mProjection;
    GLVertexBuffer* mStream = nullptr;
    uint32_t mStreamStride = 0;
    uint32_t mQueuedPrimitives = 0;  // drawn since the last flush
    GLIndexBuffer* mIndices = nullptr;
    uint32_t mBaseVertex = 0;
    uint32_t mVertexShader = 0;  // handle (odd) or vertex format code
    uint32_t mPixelShader = 0;
    uint32_t mNextHandle = 1;
    std::map<uint32_t, VertexShader> mVertexShaders;
    std::map<uint32_t, PixelShader> mPixelShaders;
    std::map<std::tuple<uint32_t, uint32_t, uint64_t>, Program> mPrograms;
    std::map<uint64_t, GLuint> mFixedPixels;
    GLuint mFixedVertex = 0;
    float mVsConstants[96 * 4] = {};
    float mPsConstants[8 * 4] = {};
    std::string mShaderError;
    bool mInScene = false;
};


}  // namespace QV::Gfx

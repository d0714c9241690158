#include <cstring>

#include "platform/gfx/default_states.h"
#include "platform/gfx/recording_driver.h"
#include "platform/gfx/recording_resources.h"

namespace QV::Gfx {

// ---------------------------------------------------------------------------
// Device

RecordingDevice::RecordingDevice(std::shared_ptr<RecordingLog> log, uint32_t behaviorFlags,
                                 const PresentParameters& params)
    : mLog(std::move(log)), mBehaviorFlags(behaviorFlags), mParams(params) {
    setDefaultStates(params.enableAutoDepthStencil, mRenderStates, mStageStates);
    const uint32_t fmt = params.backBufferFormat ? params.backBufferFormat : FMT_X8R8G8B8;
    mBackBuffer = new RecordingSurface(mLog, surfaceDesc(params.backBufferWidth, params.backBufferHeight, fmt,
                                                         USAGE_RENDERTARGET), false);
    bind(mRenderTarget, static_cast<ISurface*>(mBackBuffer));
    if (params.enableAutoDepthStencil) {
        mAutoDepth = new RecordingSurface(mLog, surfaceDesc(params.backBufferWidth, params.backBufferHeight,
                                                            params.autoDepthStencilFormat, USAGE_DEPTHSTENCIL), false);
        bind(mDepthStencil, static_cast<ISurface*>(mAutoDepth));
    }
    setTargetViewport(mRenderTarget);
    mVsConstants.assign(96 * 4, 0.0f);
    mPsConstants.assign(8 * 4, 0.0f);
    if (mLog->plan.lostAtPresent < 0) mLog->plan.lostAtPresent = 0;
}

RecordingDevice::~RecordingDevice() {
    for (ITexture*& t : mTextures) bind(t, static_cast<ITexture*>(nullptr));
    bind(mRenderTarget, static_cast<ISurface*>(nullptr));
    bind(mDepthStencil, static_cast<ISurface*>(nullptr));
    bind(mStream, static_cast<IVertexBuffer*>(nullptr));
    bind(mIndices, static_cast<IIndexBuffer*>(nullptr));
    if (mBackBuffer) mBackBuffer->externalRelease();
    if (mAutoDepth) mAutoDepth->externalRelease();
}

uint32_t RecordingDevice::addRef() { return ++mRefs; }

uint32_t RecordingDevice::release() {
    uint32_t left = --mRefs;
    if (left == 0) delete this;
    return left;
}

Result RecordingDevice::finish(const char* name, std::vector<uint64_t> args, Result r) {
    mLog->record(name, std::move(args), r);
    return r;
}

Result RecordingDevice::refuse(const char* name, std::vector<uint64_t> args, const std::string& why) {
    mLog->error(std::string(name) + ": " + why);
    return finish(name, std::move(args), ERR_INVALIDCALL);
}

#define QV_MAIN_THREAD(name) \
    if (!mLog->onMainThread(name)) return ERR_INVALIDCALL

std::vector<RecordedCall> RecordingDevice::calls() const {
    std::lock_guard<std::mutex> lock(mLog->mutex);
    return mLog->calls;
}

std::vector<std::string> RecordingDevice::callTexts() const {
    std::vector<std::string> out;
    for (const RecordedCall& c : calls()) out.push_back(c.text());
    return out;
}

std::vector<std::string> RecordingDevice::errors() const {
    std::lock_guard<std::mutex> lock(mLog->mutex);
    return mLog->errors;
}

void RecordingDevice::clearCalls() {
    std::lock_guard<std::mutex> lock(mLog->mutex);
    mLog->calls.clear();
    mLog->errors.clear();
}

size_t RecordingDevice::liveDefaultPoolObjects() const {
    std::lock_guard<std::mutex> lock(mLog->mutex);
    return mLog->liveDefaultPool.size();
}

uint32_t RecordingDevice::stageState(uint32_t stage, uint32_t type) const {
    return (stage < MAX_STAGES && type < TSS_COUNT) ? mStageStates[stage][type] : 0;
}

Matrix4 RecordingDevice::transform(uint32_t state) const {
    auto it = mTransforms.find(state);
    if (it != mTransforms.end()) return it->second;
    Matrix4 m;
    matrixIdentity(&m);
    return m;
}

void RecordingDevice::loseDevice(int lostFrames) {
    mLost = true;
    mLostTestsLeft = lostFrames;
}

Result RecordingDevice::testCooperativeLevel() {
    QV_MAIN_THREAD("testCooperativeLevel");
    Result r = OK;
    if (mLost) {
        if (mLostTestsLeft > 0) {
            --mLostTestsLeft;
            r = ERR_DEVICELOST;
        } else {
            r = ERR_DEVICENOTRESET;
        }
    }
    return finish("testCooperativeLevel", {}, r);
}

Result RecordingDevice::getDeviceCaps(Caps* caps) {
    QV_MAIN_THREAD("getDeviceCaps");
    if (!caps) return finish("getDeviceCaps", {}, ERR_INVALIDCALL);
    *caps = Caps();
    caps->maxTextureWidth = caps->maxTextureHeight = mLog->plan.maxTextureSize;
    caps->maxSimultaneousTextures = 8;
    if (!mLog->plan.noShaders) {
        caps->vertexShaderVersion = vsVersion(1, 1);
        caps->maxVertexShaderConst = 96;
        caps->pixelShaderVersion = psVersion(1, 4);
    }
    return finish("getDeviceCaps", {}, OK);
}

Result RecordingDevice::reset(PresentParameters* params) {
    QV_MAIN_THREAD("reset");
    if (!params) return finish("reset", {}, ERR_INVALIDCALL);
    std::vector<uint64_t> args{params->backBufferWidth, params->backBufferHeight};
    if (mInScene) return refuse("reset", args, "reset inside a scene");
    size_t live = liveDefaultPoolObjects();
    if (live) return refuse("reset", args, std::to_string(live) + " default-pool object(s) still alive");
    const uint32_t ownBack = 1;
    if (mBackBuffer->externalRefs() > ownBack || (mAutoDepth && mAutoDepth->externalRefs() > 1))
        return refuse("reset", args, "a back-buffer or depth surface reference is still held");
    if (mLost && mLostTestsLeft > 0) return finish("reset", args, ERR_DEVICELOST);
    if (!mLog->plan.resetResults.empty()) {
        Result planned = mLog->plan.resetResults.front();
        mLog->plan.resetResults.erase(mLog->plan.resetResults.begin());
        if (planned != OK) return finish("reset", args, planned);
    }
    mParams = *params;
    mLost = false;
    // New back buffer and depth surface of the new size; bindings dropped.
    for (ITexture*& t : mTextures) bind(t, static_cast<ITexture*>(nullptr));
    bind(mStream, static_cast<IVertexBuffer*>(nullptr));
    bind(mIndices, static_cast<IIndexBuffer*>(nullptr));
    bind(mRenderTarget, static_cast<ISurface*>(nullptr));
    bind(mDepthStencil, static_cast<ISurface*>(nullptr));
    mBackBuffer->externalRelease();
    const uint32_t fmt = params->backBufferFormat ? params->backBufferFormat : FMT_X8R8G8B8;
    mBackBuffer = new RecordingSurface(mLog, surfaceDesc(params->backBufferWidth, params->backBufferHeight, fmt,
                                                         USAGE_RENDERTARGET), false);
    bind(mRenderTarget, static_cast<ISurface*>(mBackBuffer));
    if (mAutoDepth) {
        mAutoDepth->externalRelease();
        mAutoDepth = nullptr;
    }
    if (params->enableAutoDepthStencil) {
        mAutoDepth = new RecordingSurface(mLog, surfaceDesc(params->backBufferWidth, params->backBufferHeight,
                                                            params->autoDepthStencilFormat, USAGE_DEPTHSTENCIL), false);
        bind(mDepthStencil, static_cast<ISurface*>(mAutoDepth));
    }
    setTargetViewport(mRenderTarget);
    // A reset returns every state to its default, as at creation.
    setDefaultStates(params->enableAutoDepthStencil, mRenderStates, mStageStates);
    mTransforms.clear();
    mVertexShader = 0;
    mPixelShader = 0;
    return finish("reset", args, OK);
}

Result RecordingDevice::present() {
    QV_MAIN_THREAD("present");
    if (mInScene) mLog->error("present: inside a scene");
    ++mPresents;
    if (!mLost && mLog->plan.lostAtPresent > 0 && mPresents == uint32_t(mLog->plan.lostAtPresent))
        loseDevice(mLog->plan.lostFrames);
    return finish("present", {}, mLost ? ERR_DEVICELOST : OK);
}

Result RecordingDevice::getBackBuffer(uint32_t index, ISurface** surface) {
    QV_MAIN_THREAD("getBackBuffer");
    if (index != 0 || !surface) return finish("getBackBuffer", {index}, ERR_INVALIDCALL);
    mBackBuffer->externalAddRef();
    *surface = mBackBuffer;
    return finish("getBackBuffer", {index}, OK);
}

Result RecordingDevice::getRenderTarget(ISurface** surface) {
    QV_MAIN_THREAD("getRenderTarget");
    if (!surface) return finish("getRenderTarget", {}, ERR_INVALIDCALL);
    *surface = mRenderTarget;
    if (mRenderTarget) mRenderTarget->addRef();
    return finish("getRenderTarget", {}, OK);
}

Result RecordingDevice::getDepthStencilSurface(ISurface** surface) {
    QV_MAIN_THREAD("getDepthStencilSurface");
    if (!surface) return finish("getDepthStencilSurface", {}, ERR_INVALIDCALL);
    *surface = mDepthStencil;
    if (!mDepthStencil) return finish("getDepthStencilSurface", {}, ERR_NOTAVAILABLE);
    mDepthStencil->addRef();
    return finish("getDepthStencilSurface", {}, OK);
}

void RecordingDevice::setTargetViewport(ISurface* target) {
    SurfaceDesc d;
    if (target) target->getDesc(&d);
    mViewport = Viewport();
    mViewport.width = d.width;
    mViewport.height = d.height;
}

Result RecordingDevice::setRenderTarget(ISurface* renderTarget, ISurface* depthStencil) {
    QV_MAIN_THREAD("setRenderTarget");
    std::vector<uint64_t> args{uint64_t(reinterpret_cast<uintptr_t>(renderTarget)),
                               uint64_t(reinterpret_cast<uintptr_t>(depthStencil))};
    if (renderTarget) {
        SurfaceDesc d;
        renderTarget->getDesc(&d);
        if (!(d.usage & USAGE_RENDERTARGET)) return refuse("setRenderTarget", args, "surface is not a render target");
        if (depthStencil) {
            SurfaceDesc z;
            depthStencil->getDesc(&z);
            if (!(z.usage & USAGE_DEPTHSTENCIL)) return refuse("setRenderTarget", args, "not a depth-stencil surface");
            if (z.width < d.width || z.height < d.height)
                return refuse("setRenderTarget", args, "depth-stencil surface smaller than the target");
        }
        bind(mRenderTarget, renderTarget);
    }
    bind(mDepthStencil, depthStencil);
    setTargetViewport(mRenderTarget);
    return finish("setRenderTarget", std::move(args), OK);
}

Result RecordingDevice::setViewport(const Viewport* v) {
    QV_MAIN_THREAD("setViewport");
    if (!v) return finish("setViewport", {}, ERR_INVALIDCALL);
    mViewport = *v;
    return finish("setViewport", {v->x, v->y, v->width, v->height}, OK);
}

Result RecordingDevice::getViewport(Viewport* v) {
    QV_MAIN_THREAD("getViewport");
    if (!v) return ERR_INVALIDCALL;
    *v = mViewport;
    return OK;
}

Result RecordingDevice::clear(uint32_t count, const void* rects, uint32_t flags, uint32_t color, float z,
                              uint32_t stencil) {
    QV_MAIN_THREAD("clear");
    (void)z;
    std::vector<uint64_t> args{flags, color, stencil};
    if (count || rects) return finish("clear", args, ERR_INVALIDCALL);
    if ((flags & (CLEAR_ZBUFFER | CLEAR_STENCIL)) && !mDepthStencil)
        return refuse("clear", args, "depth or stencil cleared without a depth-stencil surface");
    return finish("clear", std::move(args), OK);
}

Result RecordingDevice::beginScene() {
    QV_MAIN_THREAD("beginScene");
    if (mInScene) return refuse("beginScene", {}, "already inside a scene");
    mInScene = true;
    return finish("beginScene", {}, OK);
}

Result RecordingDevice::endScene() {
    QV_MAIN_THREAD("endScene");
    if (!mInScene) return refuse("endScene", {}, "no scene begun");
    mInScene = false;
    return finish("endScene", {}, OK);
}

Result RecordingDevice::setTransform(uint32_t state, const Matrix4* matrix) {
    QV_MAIN_THREAD("setTransform");
    if (!matrix) return finish("setTransform", {state}, ERR_INVALIDCALL);
    mTransforms[state] = *matrix;
    return finish("setTransform", {state}, OK);
}

Result RecordingDevice::setRenderState(uint32_t state, uint32_t value) {
    QV_MAIN_THREAD("setRenderState");
    if (state >= RS_COUNT) return finish("setRenderState", {state, value}, ERR_INVALIDCALL);
    mRenderStates[state] = value;
    return finish("setRenderState", {state, value}, OK);
}

Result RecordingDevice::getRenderState(uint32_t state, uint32_t* value) {
    QV_MAIN_THREAD("getRenderState");
    if (state >= RS_COUNT || !value) return ERR_INVALIDCALL;
    *value = mRenderStates[state];
    return OK;
}

Result RecordingDevice::setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    QV_MAIN_THREAD("setTextureStageState");
    if (stage >= MAX_STAGES || type >= TSS_COUNT)
        return finish("setTextureStageState", {stage, type, value}, ERR_INVALIDCALL);
    mStageStates[stage][type] = value;
    return finish("setTextureStageState", {stage, type, value}, OK);
}

Result RecordingDevice::setTexture(uint32_t stage, ITexture* texture) {
    QV_MAIN_THREAD("setTexture");
    std::vector<uint64_t> args{stage, uint64_t(reinterpret_cast<uintptr_t>(texture))};
    if (stage >= MAX_STAGES) return finish("setTexture", args, ERR_INVALIDCALL);
    bind(mTextures[stage], texture);
    return finish("setTexture", std::move(args), OK);
}

Result RecordingDevice::createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                      uint32_t format, uint32_t pool, ITexture** texture) {
    QV_MAIN_THREAD("createTexture");
    std::vector<uint64_t> args{width, height, levels, usage, format, pool};
    if (!texture) return finish("createTexture", args, ERR_INVALIDCALL);
    *texture = nullptr;
    if (width == 0 || height == 0 || width > mLog->plan.maxTextureSize || height > mLog->plan.maxTextureSize ||
        (usage & USAGE_RENDERTARGET && pool != POOL_DEFAULT) || levelSize(format, 1, 1) == 0 || isDepthFormat(format))
        return finish("createTexture", args, ERR_INVALIDCALL);
    if (mLog->takeFault(mLog->plan.failCreate, "texture")) return finish("createTexture", args, ERR_OUTOFVIDEOMEMORY);
    *texture = new RecordingTexture(mLog, width, height, levels, usage, format, pool);
    args.push_back(uint64_t(reinterpret_cast<uintptr_t>(*texture)));
    return finish("createTexture", std::move(args), OK);
}

Result RecordingDevice::createDepthStencilSurface(uint32_t width, uint32_t height, uint32_t format,
                                                  uint32_t multiSample, ISurface** surface) {
    QV_MAIN_THREAD("createDepthStencilSurface");
    std::vector<uint64_t> args{width, height, format, multiSample};
    if (!surface) return finish("createDepthStencilSurface", args, ERR_INVALIDCALL);
    *surface = nullptr;
    if (width == 0 || height == 0 || !isDepthFormat(format)) return finish("createDepthStencilSurface", args, ERR_INVALIDCALL);
    if (mLog->takeFault(mLog->plan.failCreate, "depthstencil"))
        return finish("createDepthStencilSurface", args, ERR_OUTOFVIDEOMEMORY);
    *surface = new RecordingSurface(mLog, surfaceDesc(width, height, format, USAGE_DEPTHSTENCIL), true);
    return finish("createDepthStencilSurface", std::move(args), OK);
}

Result RecordingDevice::createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                           IVertexBuffer** buffer) {
    QV_MAIN_THREAD("createVertexBuffer");
    std::vector<uint64_t> args{length, usage, fvf, pool};
    if (!buffer || length == 0) return finish("createVertexBuffer", args, ERR_INVALIDCALL);
    *buffer = nullptr;
    if (mLog->takeFault(mLog->plan.failCreate, "vertexbuffer"))
        return finish("createVertexBuffer", args, ERR_OUTOFVIDEOMEMORY);
    *buffer = new RecordingVertexBuffer(mLog, "vertexbuffer",
                                        bufferDesc(RTYPE_VERTEXBUFFER, length, usage, FMT_VERTEXDATA, fvf, pool));
    return finish("createVertexBuffer", std::move(args), OK);
}

Result RecordingDevice::createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                                          IIndexBuffer** buffer) {
    QV_MAIN_THREAD("createIndexBuffer");
    std::vector<uint64_t> args{length, usage, format, pool};
    if (!buffer || length == 0 || (format != FMT_INDEX16 && format != FMT_INDEX32))
        return finish("createIndexBuffer", args, ERR_INVALIDCALL);
    *buffer = nullptr;
    if (mLog->takeFault(mLog->plan.failCreate, "indexbuffer"))
        return finish("createIndexBuffer", args, ERR_OUTOFVIDEOMEMORY);
    *buffer = new RecordingIndexBuffer(mLog, "indexbuffer", bufferDesc(RTYPE_INDEXBUFFER, length, usage, format, 0, pool));
    return finish("createIndexBuffer", std::move(args), OK);
}

Result RecordingDevice::setStreamSource(uint32_t stream, IVertexBuffer* buffer, uint32_t stride) {
    QV_MAIN_THREAD("setStreamSource");
    std::vector<uint64_t> args{stream, uint64_t(reinterpret_cast<uintptr_t>(buffer)), stride};
    if (stream != 0) return finish("setStreamSource", args, ERR_INVALIDCALL);
    bind(mStream, buffer);
    mStreamStride = stride;
    return finish("setStreamSource", std::move(args), OK);
}

Result RecordingDevice::setIndices(IIndexBuffer* buffer, uint32_t baseVertexIndex) {
    QV_MAIN_THREAD("setIndices");
    bind(mIndices, buffer);
    return finish("setIndices", {uint64_t(reinterpret_cast<uintptr_t>(buffer)), baseVertexIndex}, OK);
}

bool RecordingDevice::checkDraw(const char* name) {
    if (!mInScene) {
        mLog->error(std::string(name) + ": drawing outside beginScene/endScene");
        return false;
    }
    if (!mStream) {
        mLog->error(std::string(name) + ": no vertex buffer set");
        return false;
    }
    if (isLocked(mStream) || isLocked(mIndices)) {
        mLog->error(std::string(name) + ": drawing from a locked buffer");
        return false;
    }
    return true;
}

Result RecordingDevice::drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
    QV_MAIN_THREAD("drawPrimitive");
    std::vector<uint64_t> args{type, startVertex, primitiveCount};
    if (!checkDraw("drawPrimitive")) return finish("drawPrimitive", args, ERR_INVALIDCALL);
    ++mDrawCalls;
    return finish("drawPrimitive", std::move(args), OK);
}

Result RecordingDevice::drawIndexedPrimitive(uint32_t type, uint32_t minIndex, uint32_t numVertices,
                                             uint32_t startIndex, uint32_t primitiveCount) {
    QV_MAIN_THREAD("drawIndexedPrimitive");
    std::vector<uint64_t> args{type, minIndex, numVertices, startIndex, primitiveCount};
    if (!checkDraw("drawIndexedPrimitive")) return finish("drawIndexedPrimitive", args, ERR_INVALIDCALL);
    if (!mIndices) return refuse("drawIndexedPrimitive", args, "no index buffer set");
    ++mDrawCalls;
    return finish("drawIndexedPrimitive", std::move(args), OK);
}

Result RecordingDevice::createVertexShader(const uint32_t* declaration, const ShaderCode* code, uint32_t* handle,
                                           uint32_t usage) {
    QV_MAIN_THREAD("createVertexShader");
    std::vector<uint64_t> args{usage};
    if (!declaration || !code || !handle || code->pixel) return finish("createVertexShader", args, ERR_INVALIDCALL);
    if (mLog->plan.noShaders || mLog->takeFault(mLog->plan.failCreate, "vertexshader"))
        return finish("createVertexShader", args, ERR_INVALIDCALL);
    *handle = (mNextShader++ << 1) | 1u;
    mVertexShaders.insert(*handle);
    args.push_back(*handle);
    return finish("createVertexShader", std::move(args), OK);
}

Result RecordingDevice::deleteVertexShader(uint32_t handle) {
    QV_MAIN_THREAD("deleteVertexShader");
    if (!mVertexShaders.erase(handle)) return finish("deleteVertexShader", {handle}, ERR_INVALIDCALL);
    if (mVertexShader == handle) mVertexShader = 0;
    return finish("deleteVertexShader", {handle}, OK);
}

Result RecordingDevice::setVertexShader(uint32_t handleOrFvf) {
    QV_MAIN_THREAD("setVertexShader");
    if ((handleOrFvf & 1u) && !mVertexShaders.count(handleOrFvf))
        return refuse("setVertexShader", {handleOrFvf}, "unknown vertex shader handle");
    mVertexShader = handleOrFvf;
    return finish("setVertexShader", {handleOrFvf}, OK);
}

Result RecordingDevice::setVertexShaderConstant(uint32_t reg, const void* data, uint32_t count) {
    QV_MAIN_THREAD("setVertexShaderConstant");
    if (!data || uint64_t(reg) + count > 96) return finish("setVertexShaderConstant", {reg, count}, ERR_INVALIDCALL);
    std::memcpy(&mVsConstants[reg * 4], data, count * 16);
    return finish("setVertexShaderConstant", {reg, count}, OK);
}

Result RecordingDevice::createPixelShader(const ShaderCode* code, uint32_t* handle) {
    QV_MAIN_THREAD("createPixelShader");
    if (!code || !handle || !code->pixel) return finish("createPixelShader", {}, ERR_INVALIDCALL);
    if (mLog->plan.noShaders || mLog->takeFault(mLog->plan.failCreate, "pixelshader"))
        return finish("createPixelShader", {}, ERR_INVALIDCALL);
    *handle = mNextShader++ << 1;
    mPixelShaders.insert(*handle);
    return finish("createPixelShader", {*handle}, OK);
}

Result RecordingDevice::deletePixelShader(uint32_t handle) {
    QV_MAIN_THREAD("deletePixelShader");
    if (!mPixelShaders.erase(handle)) return finish("deletePixelShader", {handle}, ERR_INVALIDCALL);
    if (mPixelShader == handle) mPixelShader = 0;
    return finish("deletePixelShader", {handle}, OK);
}

Result RecordingDevice::setPixelShader(uint32_t handle) {
    QV_MAIN_THREAD("setPixelShader");
    if (handle && !mPixelShaders.count(handle)) return refuse("setPixelShader", {handle}, "unknown pixel shader handle");
    mPixelShader = handle;
    return finish("setPixelShader", {handle}, OK);
}

Result RecordingDevice::setPixelShaderConstant(uint32_t reg, const void* data, uint32_t count) {
    QV_MAIN_THREAD("setPixelShaderConstant");
    if (!data || uint64_t(reg) + count > 8) return finish("setPixelShaderConstant", {reg, count}, ERR_INVALIDCALL);
    std::memcpy(&mPsConstants[reg * 4], data, count * 16);
    return finish("setPixelShaderConstant", {reg, count}, OK);
}

Result RecordingDevice::readBack(std::vector<uint8_t>*, uint32_t*, uint32_t*) { return ERR_NOTAVAILABLE; }

}  // namespace QV::Gfx

#include "platform/gfx/gl_device.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/gfx/default_states.h"
#include "platform/gfx/gl_resources.h"

namespace QV::Gfx {

namespace {

template <class T>
void hold(T*& slot, T* value) {
    if (value) value->addRef();
    if (slot) slot->release();
    slot = value;
}

}  // namespace

GLDevice* GLDevice::create(void* window, const PresentParameters& params, std::string* reason) {
    auto* sdlWindow = static_cast<SDL_Window*>(window);
    if (!sdlWindow || !(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_OPENGL)) {
        if (reason) *reason = "no OpenGL window";
        return nullptr;
    }
    SDL_GLContext context = SDL_GL_CreateContext(sdlWindow);
    if (!context) {
        if (reason) *reason = std::string("SDL_GL_CreateContext: ") + SDL_GetError();
        return nullptr;
    }
    auto state = std::make_shared<GLContextState>();
    state->context = context;
    state->window = window;
    SDL_GL_MakeCurrent(sdlWindow, context);
    const char* missing = nullptr;
    if (!state->gl.load(&missing)) {
        if (reason) *reason = std::string("missing OpenGL entry point ") + (missing ? missing : "");
        SDL_GL_DeleteContext(context);
        return nullptr;
    }
    SDL_GL_SetSwapInterval(params.presentationInterval == 0x80000000u ? 0 : 1);
    auto* device = new GLDevice(state, params);
    if (!device->mFixedVertex || !device->fixedPixel(FixedPixelKey())) {
        if (reason) *reason = "fixed-function programs failed: " + device->mShaderError;
        device->release();
        return nullptr;
    }
    return device;
}

GLDevice::GLDevice(std::shared_ptr<GLContextState> state, const PresentParameters& params)
    : mState(std::move(state)), gl(mState->gl), mParams(params) {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(mState->window), &w, &h);
    if (!mParams.backBufferWidth) mParams.backBufferWidth = uint32_t(w);
    if (!mParams.backBufferHeight) mParams.backBufferHeight = uint32_t(h);
    if (!mParams.backBufferFormat) mParams.backBufferFormat = FMT_X8R8G8B8;

    mBackBuffer = new GLSurface(mState, GLSurface::Kind::BackBuffer,
                                surfaceDesc(mParams.backBufferWidth, mParams.backBufferHeight,
                                            mParams.backBufferFormat, USAGE_RENDERTARGET));
    hold(mRenderTarget, mBackBuffer);
    if (mParams.enableAutoDepthStencil) {
        mAutoDepth = new GLSurface(mState, GLSurface::Kind::AutoDepth,
                                   surfaceDesc(mParams.backBufferWidth, mParams.backBufferHeight,
                                               mParams.autoDepthStencilFormat, USAGE_DEPTHSTENCIL));
        hold(mDepthStencil, mAutoDepth);
    }
    mViewport.width = mParams.backBufferWidth;
    mViewport.height = mParams.backBufferHeight;

    setDefaultStates(mParams.enableAutoDepthStencil, mRenderStates, mStageStates);
    matrixIdentity(&mWorld);
    matrixIdentity(&mView);
    matrixIdentity(&mProjection);

    gl.glGenFramebuffers(1, &mFramebuffer);
    // Stages without a texture sample white.
    const uint8_t white[4] = {255, 255, 255, 255};
    gl.glGenTextures(1, &mWhiteTexture);
    gl.glBindTexture(GL_TEXTURE_2D, mWhiteTexture);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, white);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    mFixedVertex = compile(GL_VERTEX_SHADER, glslFixedVertexShader());
}

GLDevice::~GLDevice() {
    mState->makeCurrent();
    for (GLTexture*& t : mTextures) hold(t, static_cast<GLTexture*>(nullptr));
    if (mRenderTarget && mRenderTarget->texture) mRenderTarget->texture->release();
    hold(mRenderTarget, static_cast<GLSurface*>(nullptr));
    hold(mDepthStencil, static_cast<GLSurface*>(nullptr));
    hold(mStream, static_cast<GLVertexBuffer*>(nullptr));
    hold(mIndices, static_cast<GLIndexBuffer*>(nullptr));
    if (mBackBuffer) mBackBuffer->release();
    if (mAutoDepth) mAutoDepth->release();
    for (auto& p : mPrograms) gl.glDeleteProgram(p.second.program);
    for (auto& s : mVertexShaders) gl.glDeleteShader(s.second.shader);
    for (auto& s : mPixelShaders) gl.glDeleteShader(s.second.shader);
    if (mFixedVertex) gl.glDeleteShader(mFixedVertex);
    for (auto& s : mFixedPixels) gl.glDeleteShader(s.second);
    gl.glDeleteFramebuffers(1, &mFramebuffer);
    gl.glDeleteTextures(1, &mWhiteTexture);
    // Resources released later must not touch the dead context.
    mState->alive = false;
    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(mState->window), nullptr);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(mState->context));
}

uint32_t GLDevice::release() {
    uint32_t left = --mRefs;
    if (left == 0) delete this;
    return left;
}

Result GLDevice::getDeviceCaps(Caps* caps) {
    if (!caps) return ERR_INVALIDCALL;
    mState->makeCurrent();
    GLint size = 0;
    gl.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    *caps = Caps();
    caps->maxTextureWidth = caps->maxTextureHeight = uint32_t(size);
    caps->maxSimultaneousTextures = MAX_STAGES;
    caps->vertexShaderVersion = vsVersion(1, 1);
    caps->maxVertexShaderConst = 96;
    caps->pixelShaderVersion = psVersion(1, 4);
    return OK;
}

Result GLDevice::reset(PresentParameters* params) {
    if (!params || mInScene) return ERR_INVALIDCALL;
    mState->makeCurrent();
    PresentParameters p = *params;
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(mState->window), &w, &h);
    if (!p.backBufferWidth) p.backBufferWidth = uint32_t(w);
    if (!p.backBufferHeight) p.backBufferHeight = uint32_t(h);
    if (!p.backBufferFormat) p.backBufferFormat = FMT_X8R8G8B8;
    mParams = p;
    SDL_GL_SetSwapInterval(p.presentationInterval == 0x80000000u ? 0 : 1);
    mBackBuffer->setDesc(surfaceDesc(p.backBufferWidth, p.backBufferHeight, p.backBufferFormat, USAGE_RENDERTARGET));
    if (mRenderTarget && mRenderTarget->texture) mRenderTarget->texture->release();
    hold(mRenderTarget, mBackBuffer);
    if (mAutoDepth) mAutoDepth->setDesc(surfaceDesc(p.backBufferWidth, p.backBufferHeight,
                                                    p.autoDepthStencilFormat, USAGE_DEPTHSTENCIL));
    hold(mDepthStencil, mAutoDepth);
    for (GLTexture*& t : mTextures) hold(t, static_cast<GLTexture*>(nullptr));
    hold(mStream, static_cast<GLVertexBuffer*>(nullptr));
    hold(mIndices, static_cast<GLIndexBuffer*>(nullptr));
    mViewport = Viewport();
    mViewport.width = p.backBufferWidth;
    mViewport.height = p.backBufferHeight;
    mTargetDirty = true;
    // A reset returns every state to its default, as at creation.
    setDefaultStates(p.enableAutoDepthStencil, mRenderStates, mStageStates);
    matrixIdentity(&mWorld);
    matrixIdentity(&mView);
    matrixIdentity(&mProjection);
    mVertexShader = 0;
    mPixelShader = 0;
    return OK;
}

Result GLDevice::present() {
    mState->makeCurrent();
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    SDL_GL_SwapWindow(static_cast<SDL_Window*>(mState->window));
    mTargetDirty = true;
    return OK;
}

Result GLDevice::getBackBuffer(uint32_t index, ISurface** surface) {
    if (index != 0 || !surface) return ERR_INVALIDCALL;
    mBackBuffer->addRef();
    *surface = mBackBuffer;
    return OK;
}

Result GLDevice::getRenderTarget(ISurface** surface) {
    if (!surface) return ERR_INVALIDCALL;
    *surface = mRenderTarget;
    if (mRenderTarget) mRenderTarget->addRef();
    return OK;
}

Result GLDevice::getDepthStencilSurface(ISurface** surface) {
    if (!surface) return ERR_INVALIDCALL;
    *surface = mDepthStencil;
    if (!mDepthStencil) return ERR_NOTAVAILABLE;
    mDepthStencil->addRef();
    return OK;
}

Result GLDevice::setRenderTarget(ISurface* renderTarget, ISurface* depthStencil) {
    auto* target = static_cast<GLSurface*>(renderTarget);
    auto* depth = static_cast<GLSurface*>(depthStencil);
    if (target) {
        if (!(target->desc().usage & USAGE_RENDERTARGET)) return ERR_INVALIDCALL;
        if (target->kind() == GLSurface::Kind::TextureLevel && !target->texture) return ERR_INVALIDCALL;
    }
    if (depth && !(depth->desc().usage & USAGE_DEPTHSTENCIL)) return ERR_INVALIDCALL;
    if (target) {
        // A texture level target keeps its texture alive while bound.
        if (target->texture) target->texture->addRef();
        if (mRenderTarget && mRenderTarget->texture) mRenderTarget->texture->release();
        hold(mRenderTarget, target);
    }
    hold(mDepthStencil, depth);
    mViewport = Viewport();
    mViewport.width = mRenderTarget->desc().width;
    mViewport.height = mRenderTarget->desc().height;
    mTargetDirty = true;
    return OK;
}

bool GLDevice::currentTargetIsBackBuffer() const {
    return !mRenderTarget || mRenderTarget->kind() == GLSurface::Kind::BackBuffer;
}

uint32_t GLDevice::targetHeight() const { return mRenderTarget ? mRenderTarget->desc().height : 0; }

void GLDevice::applyTarget() {
    mState->makeCurrent();
    if (!mTargetDirty) return;
    mTargetDirty = false;
    mTargetComplete = true;
    if (currentTargetIsBackBuffer()) {
        gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return;
    }
    gl.glBindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
    gl.glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mRenderTarget->texture->id(),
                              GLint(mRenderTarget->level));
    GLuint rb = (mDepthStencil && mDepthStencil->kind() == GLSurface::Kind::DepthStencil) ? mDepthStencil->renderbuffer : 0;
    const bool stencil = rb && mDepthStencil->desc().format == FMT_D24S8;
    gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, rb);
    gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, stencil ? rb : 0);
    mTargetComplete = gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void GLDevice::applyViewport() {
    const Viewport& v = mViewport;
    GLint y = GLint(v.y);
    // The back buffer's rows run bottom-up; render textures are top-down.
    if (currentTargetIsBackBuffer()) y = GLint(targetHeight()) - GLint(v.y) - GLint(v.height);
    gl.glViewport(GLint(v.x), y, GLsizei(v.width), GLsizei(v.height));
    gl.glScissor(GLint(v.x), y, GLsizei(v.width), GLsizei(v.height));
    gl.glDepthRange(v.minZ, v.maxZ);
}

Result GLDevice::setViewport(const Viewport* viewport) {
    if (!viewport) return ERR_INVALIDCALL;
    mViewport = *viewport;
    return OK;
}

Result GLDevice::getViewport(Viewport* viewport) {
    if (!viewport) return ERR_INVALIDCALL;
    *viewport = mViewport;
    return OK;
}

Result GLDevice::clear(uint32_t count, const void* rects, uint32_t flags, uint32_t color, float z, uint32_t stencil) {
    if (count || rects) return ERR_INVALIDCALL;
    applyTarget();
    if (!mTargetComplete) return ERR_INVALIDCALL;
    applyViewport();
    GLbitfield mask = 0;
    if (flags & CLEAR_TARGET) mask |= GL_COLOR_BUFFER_BIT;
    if (flags & CLEAR_ZBUFFER) mask |= GL_DEPTH_BUFFER_BIT;
    if (flags & CLEAR_STENCIL) mask |= GL_STENCIL_BUFFER_BIT;
    // Only the viewport, every channel and bit of the buffers asked for.
    gl.glEnable(GL_SCISSOR_TEST);
    gl.glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl.glDepthMask(GL_TRUE);
    gl.glStencilMask(0xFFFFFFFF);
    gl.glClearColor(float((color >> 16) & 0xFF) / 255.0f, float((color >> 8) & 0xFF) / 255.0f,
                    float(color & 0xFF) / 255.0f, float(color >> 24) / 255.0f);
    gl.glClearDepth(z);
    gl.glClearStencil(GLint(stencil & 0xFF));
    if (mask) gl.glClear(mask);
    gl.glDisable(GL_SCISSOR_TEST);
    return OK;
}

Result GLDevice::beginScene() {
    if (mInScene) return ERR_INVALIDCALL;
    mInScene = true;
    return OK;
}

Result GLDevice::endScene() {
    if (!mInScene) return ERR_INVALIDCALL;
    mInScene = false;
    mState->makeCurrent();
    gl.glFlush();
    mQueuedPrimitives = 0;
    return OK;
}

Result GLDevice::setTransform(uint32_t state, const Matrix4* matrix) {
    if (!matrix) return ERR_INVALIDCALL;
    if (state == TS_WORLD) mWorld = *matrix;
    else if (state == TS_VIEW) mView = *matrix;
    else if (state == TS_PROJECTION) mProjection = *matrix;
    return OK;
}

Result GLDevice::setRenderState(uint32_t state, uint32_t value) {
    if (state >= RS_COUNT) return ERR_INVALIDCALL;
    mRenderStates[state] = value;
    return OK;
}

Result GLDevice::getRenderState(uint32_t state, uint32_t* value) {
    if (state >= RS_COUNT || !value) return ERR_INVALIDCALL;
    *value = mRenderStates[state];
    return OK;
}

Result GLDevice::setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    if (stage >= MAX_STAGES || type >= TSS_COUNT) return ERR_INVALIDCALL;
    mStageStates[stage][type] = value;
    return OK;
}

Result GLDevice::setTexture(uint32_t stage, ITexture* texture) {
    if (stage >= MAX_STAGES) return ERR_INVALIDCALL;
    hold(mTextures[stage], static_cast<GLTexture*>(texture));
    return OK;
}

Result GLDevice::createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                               uint32_t pool, ITexture** texture) {
    if (!texture) return ERR_INVALIDCALL;
    *texture = nullptr;
    GLFormat f;
    if (width == 0 || height == 0 || !glFormatOf(format, &f)) return ERR_INVALIDCALL;
    if ((usage & USAGE_RENDERTARGET) && (pool != POOL_DEFAULT || f.compressed || format == FMT_L8 ||
                                         format == FMT_A8L8))
        return ERR_INVALIDCALL;
    Caps caps;
    getDeviceCaps(&caps);
    if (width > caps.maxTextureWidth || height > caps.maxTextureHeight) return ERR_INVALIDCALL;
    auto* t = new GLTexture(mState, width, height, levels, usage, format, pool);
    if (!t->valid()) {
        t->release();
        return ERR_OUTOFVIDEOMEMORY;
    }
    *texture = t;
    return OK;
}

Result GLDevice::createDepthStencilSurface(uint32_t width, uint32_t height, uint32_t format, uint32_t,
                                           ISurface** surface) {
    if (!surface) return ERR_INVALIDCALL;
    *surface = nullptr;
    if (width == 0 || height == 0 || (format != FMT_D24S8 && format != FMT_D16 && format != FMT_D24X8))
        return ERR_INVALIDCALL;
    *surface = new GLSurface(mState, GLSurface::Kind::DepthStencil,
                             surfaceDesc(width, height, format, USAGE_DEPTHSTENCIL));
    return OK;
}

Result GLDevice::createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                    IVertexBuffer** buffer) {
    if (!buffer || length == 0) return ERR_INVALIDCALL;
    *buffer = new GLVertexBuffer(mState, bufferDesc(RTYPE_VERTEXBUFFER, length, usage, FMT_VERTEXDATA, fvf, pool));
    return OK;
}

Result GLDevice::createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                                   IIndexBuffer** buffer) {
    if (!buffer || length == 0 || (format != FMT_INDEX16 && format != FMT_INDEX32)) return ERR_INVALIDCALL;
    *buffer = new GLIndexBuffer(mState, bufferDesc(RTYPE_INDEXBUFFER, length, usage, format, 0, pool));
    return OK;
}

Result GLDevice::setStreamSource(uint32_t stream, IVertexBuffer* buffer, uint32_t stride) {
    if (stream != 0) return ERR_INVALIDCALL;
    hold(mStream, static_cast<GLVertexBuffer*>(buffer));
    mStreamStride = stride;
    return OK;
}

Result GLDevice::setIndices(IIndexBuffer* buffer, uint32_t baseVertexIndex) {
    hold(mIndices, static_cast<GLIndexBuffer*>(buffer));
    mBaseVertex = baseVertexIndex;
    return OK;
}

Result GLDevice::readBack(std::vector<uint8_t>* bgra, uint32_t* width, uint32_t* height) {
    if (!bgra || !mRenderTarget) return ERR_INVALIDCALL;
    applyTarget();
    const uint32_t w = mRenderTarget->desc().width;
    const uint32_t h = mRenderTarget->desc().height;
    bgra->assign(size_t(w) * h * 4, 0);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.glReadPixels(0, 0, GLsizei(w), GLsizei(h), GL_BGRA, GL_UNSIGNED_BYTE, bgra->data());
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (currentTargetIsBackBuffer()) {
        // Bottom-up rows into top-down order.
        const size_t row = size_t(w) * 4;
        std::vector<uint8_t> tmp(row);
        for (uint32_t y = 0; y < h / 2; ++y) {
            uint8_t* a = bgra->data() + y * row;
            uint8_t* b = bgra->data() + (h - 1 - y) * row;
            std::memcpy(tmp.data(), a, row);
            std::memcpy(a, b, row);
            std::memcpy(b, tmp.data(), row);
        }
    }
    if (width) *width = w;
    if (height) *height = h;
    return OK;
}

}  // namespace QV::Gfx

#include "platform/gfx/gl_device.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "log_system.h"
#include "platform/gfx/default_states.h"
#include "platform/gfx/gl_resources.h"

namespace QV::Gfx {

namespace {

// Fixed attribute locations of the fixed-function program.
enum : GLuint { kPos = 0, kDiffuse = 1, kSpecular = 2, kTex0 = 3 };

GLenum glBlend(uint32_t b) {
    switch (b) {
        case BLEND_ZERO: return GL_ZERO;
        case BLEND_ONE: return GL_ONE;
        case BLEND_SRCCOLOR: return GL_SRC_COLOR;
        case BLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
        case BLEND_SRCALPHA: return GL_SRC_ALPHA;
        case BLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case BLEND_DESTALPHA: return GL_DST_ALPHA;
        case BLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
        case BLEND_DESTCOLOR: return GL_DST_COLOR;
        case BLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
        case BLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
        default: return GL_ONE;
    }
}

GLenum glCompare(uint32_t c) {
    switch (c) {
        case CMP_NEVER: return GL_NEVER;
        case CMP_LESS: return GL_LESS;
        case CMP_EQUAL: return GL_EQUAL;
        case CMP_LESSEQUAL: return GL_LEQUAL;
        case CMP_GREATER: return GL_GREATER;
        case CMP_NOTEQUAL: return GL_NOTEQUAL;
        case CMP_GREATEREQUAL: return GL_GEQUAL;
        default: return GL_ALWAYS;
    }
}

GLenum glStencilOpOf(uint32_t op) {
    switch (op) {
        case STENCILOP_ZERO: return GL_ZERO;
        case STENCILOP_REPLACE: return GL_REPLACE;
        case STENCILOP_INCRSAT: return GL_INCR;
        case STENCILOP_DECRSAT: return GL_DECR;
        case STENCILOP_INVERT: return GL_INVERT;
        case STENCILOP_INCR: return GL_INCR_WRAP;
        case STENCILOP_DECR: return GL_DECR_WRAP;
        default: return GL_KEEP;
    }
}

template <class T>
void hold(T*& slot, T* value) {
    if (value) value->addRef();
    if (slot) slot->release();
    slot = value;
}

SurfaceDesc surfaceDesc(uint32_t w, uint32_t h, uint32_t format, uint32_t usage) {
    SurfaceDesc d;
    d.format = format;
    d.usage = usage;
    d.width = w;
    d.height = h;
    d.size = levelSize(format, w, h);
    return d;
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
    BufferDesc d;
    d.format = FMT_VERTEXDATA;
    d.type = RTYPE_VERTEXBUFFER;
    d.usage = usage;
    d.pool = pool;
    d.size = length;
    d.fvf = fvf;
    *buffer = new GLVertexBuffer(mState, d);
    return OK;
}

Result GLDevice::createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                                   IIndexBuffer** buffer) {
    if (!buffer || length == 0 || (format != FMT_INDEX16 && format != FMT_INDEX32)) return ERR_INVALIDCALL;
    BufferDesc d;
    d.format = format;
    d.type = RTYPE_INDEXBUFFER;
    d.usage = usage;
    d.pool = pool;
    d.size = length;
    *buffer = new GLIndexBuffer(mState, d);
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

GLuint GLDevice::compile(GLenum kind, const std::string& text) {
    mState->makeCurrent();
    GLuint shader = gl.glCreateShader(kind);
    const char* src = text.c_str();
    gl.glShaderSource(shader, 1, &src, nullptr);
    gl.glCompileShader(shader);
    GLint ok = 0;
    gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        gl.glGetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
        mShaderError = log;
        gl.glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint GLDevice::fixedPixel(const FixedPixelKey& key) {
    const uint64_t packed = key.packed();
    auto it = mFixedPixels.find(packed);
    if (it != mFixedPixels.end()) return it->second;
    GLuint shader = compile(GL_FRAGMENT_SHADER, glslFixedPixelShader(key));
    mFixedPixels[packed] = shader;
    return shader;
}

GLDevice::Program* GLDevice::program(const FixedPixelKey& fixed) {
    const bool fixedVertex = !(mVertexShader & 1u);
    const uint32_t vsKey = fixedVertex ? 0 : mVertexShader;
    auto key = std::make_tuple(vsKey, mPixelShader, mPixelShader ? uint64_t(0) : fixed.packed());
    auto it = mPrograms.find(key);
    if (it != mPrograms.end()) return it->second.program ? &it->second : nullptr;
    Program& p = mPrograms[key];
    GLuint vs = fixedVertex ? mFixedVertex : mVertexShaders[vsKey].shader;
    GLuint ps = mPixelShader ? mPixelShaders[mPixelShader].shader : fixedPixel(fixed);
    if (!vs || !ps) return nullptr;
    GLuint prog = gl.glCreateProgram();
    gl.glAttachShader(prog, vs);
    gl.glAttachShader(prog, ps);
    if (fixedVertex) {
        gl.glBindAttribLocation(prog, kPos, "aPos");
        gl.glBindAttribLocation(prog, kDiffuse, "aDiffuse");
        gl.glBindAttribLocation(prog, kSpecular, "aSpecular");
        for (GLuint i = 0; i < GLuint(kGlslTexCoordSets); ++i)
            gl.glBindAttribLocation(prog, kTex0 + i, ("aTex" + std::to_string(i)).c_str());
    } else {
        for (const VertexInput& in : mVertexShaders[vsKey].inputs)
            gl.glBindAttribLocation(prog, in.reg, ("a" + std::to_string(in.reg)).c_str());
    }
    gl.glLinkProgram(prog);
    GLint ok = 0;
    gl.glGetProgramiv(prog, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        gl.glGetProgramInfoLog(prog, sizeof log - 1, nullptr, log);
        mShaderError = log;
        gl.glDeleteProgram(prog);
        return nullptr;
    }
    p.program = prog;
    gl.glUseProgram(prog);
    for (int s = 0; s < int(MAX_STAGES); ++s) {
        GLint loc = gl.glGetUniformLocation(prog, ("s" + std::to_string(s)).c_str());
        if (loc >= 0) gl.glUniform1i(loc, s);
    }
    p.transform = gl.glGetUniformLocation(prog, "uTransform");
    p.post = gl.glGetUniformLocation(prog, "uPost");
    p.alphaFunc = gl.glGetUniformLocation(prog, "uAlphaFunc");
    p.alphaRef = gl.glGetUniformLocation(prog, "uAlphaRef");
    p.tfactor = gl.glGetUniformLocation(prog, "uTFactor");
    p.vsC = gl.glGetUniformLocation(prog, "vsC");
    p.psC = gl.glGetUniformLocation(prog, "psC");
    return &p;
}

void GLDevice::applyStates() {
    const uint32_t* rs = mRenderStates;
    if (rs[RS_ALPHABLENDENABLE]) {
        gl.glEnable(GL_BLEND);
        // One pair of factors for colour and alpha alike.
        gl.glBlendFunc(glBlend(rs[RS_SRCBLEND]), glBlend(rs[RS_DESTBLEND]));
    } else {
        gl.glDisable(GL_BLEND);
    }
    const uint32_t cw = rs[RS_COLORWRITEENABLE];
    gl.glColorMask(cw & COLORWRITE_RED ? GL_TRUE : GL_FALSE, cw & COLORWRITE_GREEN ? GL_TRUE : GL_FALSE,
                   cw & COLORWRITE_BLUE ? GL_TRUE : GL_FALSE, cw & COLORWRITE_ALPHA ? GL_TRUE : GL_FALSE);
    const bool hasDepth = mDepthStencil != nullptr;
    if (rs[RS_ZENABLE] && hasDepth) {
        gl.glEnable(GL_DEPTH_TEST);
        gl.glDepthFunc(glCompare(rs[RS_ZFUNC]));
    } else {
        gl.glDisable(GL_DEPTH_TEST);
    }
    gl.glDepthMask(rs[RS_ZWRITEENABLE] && hasDepth ? GL_TRUE : GL_FALSE);
    if (rs[RS_STENCILENABLE] && hasDepth) {
        gl.glEnable(GL_STENCIL_TEST);
        gl.glStencilFunc(glCompare(rs[RS_STENCILFUNC]), GLint(rs[RS_STENCILREF]), rs[RS_STENCILMASK]);
        gl.glStencilOp(glStencilOpOf(rs[RS_STENCILFAIL]), glStencilOpOf(rs[RS_STENCILZFAIL]),
                       glStencilOpOf(rs[RS_STENCILPASS]));
        gl.glStencilMask(rs[RS_STENCILWRITEMASK]);
    } else {
        gl.glDisable(GL_STENCIL_TEST);
    }
    const bool backBuffer = currentTargetIsBackBuffer();
    if (rs[RS_CULLMODE] == CULL_CW || rs[RS_CULLMODE] == CULL_CCW) {
        // Winding is judged on screen (y down); the back buffer's GL rows
        // run the other way, which mirrors the winding.
        gl.glEnable(GL_CULL_FACE);
        gl.glCullFace(GL_BACK);
        const bool cullScreenCcw = rs[RS_CULLMODE] == CULL_CCW;
        gl.glFrontFace((cullScreenCcw != backBuffer) ? GL_CW : GL_CCW);
    } else {
        gl.glDisable(GL_CULL_FACE);
    }
    gl.glPolygonMode(GL_FRONT_AND_BACK, rs[RS_FILLMODE] == FILL_WIREFRAME ? GL_LINE
                                        : rs[RS_FILLMODE] == FILL_POINT   ? GL_POINT
                                                                          : GL_FILL);
    // Samplers: addressing and filtering come from the stage.
    for (uint32_t s = 0; s < MAX_STAGES; ++s) {
        gl.glActiveTexture(GL_TEXTURE0 + s);
        GLTexture* t = mTextures[s];
        if (t && t->valid()) {
            gl.glBindTexture(GL_TEXTURE_2D, t->id());
            const uint32_t* st = mStageStates[s];
            t->applySampler(st[TSS_ADDRESSU], st[TSS_ADDRESSV], st[TSS_MINFILTER], st[TSS_MAGFILTER], st[TSS_MIPFILTER]);
        } else {
            gl.glBindTexture(GL_TEXTURE_2D, mWhiteTexture);
        }
    }
    gl.glActiveTexture(GL_TEXTURE0);
}

void GLDevice::bindVertices(uint32_t baseVertex) {
    gl.glBindBuffer(GL_ARRAY_BUFFER, mStream->id());
    const uintptr_t base = uintptr_t(baseVertex) * mStreamStride;
    for (GLuint i = 0; i < 16; ++i) gl.glDisableVertexAttribArray(i);
    if (mVertexShader & 1u) {
        for (const VertexInput& in : mVertexShaders[mVertexShader].inputs) {
            static const GLint sizes[] = {1, 2, 3, 4, 4};
            const bool color = in.type == VSDT_D3DCOLOR;
            gl.glEnableVertexAttribArray(in.reg);
            gl.glVertexAttribPointer(in.reg, sizes[in.type], color ? GL_UNSIGNED_BYTE : GL_FLOAT,
                                     color ? GL_TRUE : GL_FALSE, GLsizei(mStreamStride),
                                     reinterpret_cast<const void*>(base + in.offset));
        }
        return;
    }
    const uint32_t fvf = mVertexShader;
    uintptr_t offset = base;
    gl.glEnableVertexAttribArray(kPos);
    gl.glVertexAttribPointer(kPos, 3, GL_FLOAT, GL_FALSE, GLsizei(mStreamStride), reinterpret_cast<const void*>(offset));
    offset += (fvf & 0x004) ? 16 : 12;
    if (fvf & FVF_NORMAL) offset += 12;
    if (fvf & FVF_DIFFUSE) {
        gl.glEnableVertexAttribArray(kDiffuse);
        gl.glVertexAttribPointer(kDiffuse, 4, GL_UNSIGNED_BYTE, GL_TRUE, GLsizei(mStreamStride),
                                 reinterpret_cast<const void*>(offset));
        offset += 4;
    } else {
        gl.glVertexAttrib4f(kDiffuse, 1, 1, 1, 1);  // no colour: white
    }
    if (fvf & FVF_SPECULAR) {
        gl.glEnableVertexAttribArray(kSpecular);
        gl.glVertexAttribPointer(kSpecular, 4, GL_UNSIGNED_BYTE, GL_TRUE, GLsizei(mStreamStride),
                                 reinterpret_cast<const void*>(offset));
        offset += 4;
    } else {
        gl.glVertexAttrib4f(kSpecular, 0, 0, 0, 0);
    }
    const uint32_t sets = (fvf & FVF_TEXCOUNT_MASK) >> FVF_TEXCOUNT_SHIFT;
    for (uint32_t i = 0; i < uint32_t(kGlslTexCoordSets); ++i) {
        if (i < sets) {
            gl.glEnableVertexAttribArray(kTex0 + i);
            gl.glVertexAttribPointer(kTex0 + i, 2, GL_FLOAT, GL_FALSE, GLsizei(mStreamStride),
                                     reinterpret_cast<const void*>(offset + i * 8));
        } else {
            gl.glVertexAttrib4f(kTex0 + i, 0, 0, 0, 1);
        }
    }
}

Result GLDevice::drawCommon(uint32_t type, uint32_t primitiveCount, uint32_t* mode, uint32_t* count) {
    if (!mInScene || !mStream || mStream->locked() || (mIndices && mIndices->locked())) return ERR_INVALIDCALL;
    switch (type) {
        case PT_POINTLIST: *mode = GL_POINTS; *count = primitiveCount; break;
        case PT_LINELIST: *mode = GL_LINES; *count = primitiveCount * 2; break;
        case PT_LINESTRIP: *mode = GL_LINE_STRIP; *count = primitiveCount + 1; break;
        case PT_TRIANGLELIST: *mode = GL_TRIANGLES; *count = primitiveCount * 3; break;
        case PT_TRIANGLESTRIP: *mode = GL_TRIANGLE_STRIP; *count = primitiveCount + 2; break;
        case PT_TRIANGLEFAN: *mode = GL_TRIANGLE_FAN; *count = primitiveCount + 2; break;
        default: return ERR_INVALIDCALL;
    }
    if (primitiveCount == 0) return ERR_INVALIDCALL;
    applyTarget();
    if (!mTargetComplete) return ERR_INVALIDCALL;
    applyViewport();
    const uint32_t* rs = mRenderStates;
    const uint32_t* st = mStageStates[0];
    FixedPixelKey fixed;
    fixed.colorOp = st[TSS_COLOROP];
    fixed.colorArg1 = st[TSS_COLORARG1];
    fixed.colorArg2 = st[TSS_COLORARG2];
    fixed.alphaOp = st[TSS_ALPHAOP];
    fixed.alphaArg1 = st[TSS_ALPHAARG1];
    fixed.alphaArg2 = st[TSS_ALPHAARG2];
    fixed.alphaFunc = rs[RS_ALPHATESTENABLE] ? rs[RS_ALPHAFUNC] : CMP_ALWAYS;
    Program* p = program(fixed);
    if (!p) return ERR_INVALIDCALL;
    gl.glUseProgram(p->program);
    applyStates();
    if (p->transform >= 0) {
        Matrix4 m;
        matrixMultiply(&m, &mWorld, &mView);
        matrixMultiply(&m, &m, &mProjection);
        // Row-major rows read as GL columns: the shader's M * v is v * M here.
        gl.glUniformMatrix4fv(p->transform, 1, GL_FALSE, m.data());
    }
    const float flip = currentTargetIsBackBuffer() ? 1.0f : -1.0f;
    gl.glUniform4f(p->post, 1.0f / float(std::max(1u, mViewport.width)),
                   1.0f / float(std::max(1u, mViewport.height)), flip, 0.0f);
    if (p->alphaFunc >= 0) gl.glUniform1i(p->alphaFunc, GLint(fixed.alphaFunc));
    gl.glUniform1f(p->alphaRef, float(rs[RS_ALPHAREF] & 0xFF));
    if (p->tfactor >= 0) {
        const uint32_t tf = rs[RS_TEXTUREFACTOR];
        gl.glUniform4f(p->tfactor, float((tf >> 16) & 0xFF) / 255.0f, float((tf >> 8) & 0xFF) / 255.0f,
                       float(tf & 0xFF) / 255.0f, float(tf >> 24) / 255.0f);
    }
    if (p->vsC >= 0) gl.glUniform4fv(p->vsC, 96, mVsConstants);
    if (p->psC >= 0) gl.glUniform4fv(p->psC, 8, mPsConstants);
    return OK;
}

Result GLDevice::drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
    uint32_t mode = 0, count = 0;
    Result r = drawCommon(type, primitiveCount, &mode, &count);
    if (failed(r)) return r;
    bindVertices(0);
    gl.glDrawArrays(mode, GLint(startVertex), GLsizei(count));
    gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
    return OK;
}

Result GLDevice::drawIndexedPrimitive(uint32_t type, uint32_t, uint32_t, uint32_t startIndex,
                                      uint32_t primitiveCount) {
    if (!mIndices) return ERR_INVALIDCALL;
    uint32_t mode = 0, count = 0;
    Result r = drawCommon(type, primitiveCount, &mode, &count);
    if (failed(r)) return r;
    bindVertices(mBaseVertex);
    const bool wide = mIndices->format == FMT_INDEX32;
    gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mIndices->id());
    gl.glDrawElements(mode, GLsizei(count), wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                      reinterpret_cast<const void*>(uintptr_t(startIndex) * (wide ? 4 : 2)));
    gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
    return OK;
}

Result GLDevice::createVertexShader(const uint32_t* declaration, const ShaderCode* code, uint32_t* handle,
                                    uint32_t) {
    if (!declaration || !code || !handle || code->pixel) return ERR_INVALIDCALL;
    VertexShader vs;
    std::string error;
    if (!parseDeclaration(declaration, &vs.inputs, &vs.stride, &error)) {
        mShaderError = error;
        return ERR_INVALIDCALL;
    }
    std::string text = glslVertexShader(*code, vs.inputs, &error);
    if (text.empty()) {
        mShaderError = error;
        return ERR_INVALIDCALL;
    }
    vs.shader = compile(GL_VERTEX_SHADER, text);
    if (!vs.shader) return ERR_INVALIDCALL;
    *handle = (mNextHandle++ << 1) | 1u;
    mVertexShaders[*handle] = vs;
    return OK;
}

Result GLDevice::deleteVertexShader(uint32_t handle) {
    auto it = mVertexShaders.find(handle);
    if (it == mVertexShaders.end()) return ERR_INVALIDCALL;
    mState->makeCurrent();
    for (auto p = mPrograms.begin(); p != mPrograms.end();) {
        if (std::get<0>(p->first) == handle) {
            gl.glDeleteProgram(p->second.program);
            p = mPrograms.erase(p);
        } else {
            ++p;
        }
    }
    gl.glDeleteShader(it->second.shader);
    mVertexShaders.erase(it);
    if (mVertexShader == handle) mVertexShader = 0;
    return OK;
}

Result GLDevice::setVertexShader(uint32_t handleOrFvf) {
    if ((handleOrFvf & 1u) && !mVertexShaders.count(handleOrFvf)) return ERR_INVALIDCALL;
    mVertexShader = handleOrFvf;
    return OK;
}

Result GLDevice::setVertexShaderConstant(uint32_t reg, const void* data, uint32_t count) {
    if (!data || uint64_t(reg) + count > 96) return ERR_INVALIDCALL;
    std::memcpy(&mVsConstants[reg * 4], data, size_t(count) * 16);
    return OK;
}

Result GLDevice::createPixelShader(const ShaderCode* code, uint32_t* handle) {
    if (!code || !handle || !code->pixel) return ERR_INVALIDCALL;
    std::string error;
    std::string text = glslPixelShader(*code, &error);
    if (text.empty()) {
        mShaderError = error;
        return ERR_INVALIDCALL;
    }
    PixelShader ps;
    ps.shader = compile(GL_FRAGMENT_SHADER, text);
    if (!ps.shader) return ERR_INVALIDCALL;
    *handle = mNextHandle++ << 1;
    mPixelShaders[*handle] = ps;
    return OK;
}

Result GLDevice::deletePixelShader(uint32_t handle) {
    auto it = mPixelShaders.find(handle);
    if (it == mPixelShaders.end()) return ERR_INVALIDCALL;
    mState->makeCurrent();
    for (auto p = mPrograms.begin(); p != mPrograms.end();) {
        if (std::get<1>(p->first) == handle) {
            gl.glDeleteProgram(p->second.program);
            p = mPrograms.erase(p);
        } else {
            ++p;
        }
    }
    gl.glDeleteShader(it->second.shader);
    mPixelShaders.erase(it);
    if (mPixelShader == handle) mPixelShader = 0;
    return OK;
}

Result GLDevice::setPixelShader(uint32_t handle) {
    if (handle && !mPixelShaders.count(handle)) return ERR_INVALIDCALL;
    mPixelShader = handle;
    return OK;
}

Result GLDevice::setPixelShaderConstant(uint32_t reg, const void* data, uint32_t count) {
    if (!data || uint64_t(reg) + count > 8) return ERR_INVALIDCALL;
    std::memcpy(&mPsConstants[reg * 4], data, size_t(count) * 16);
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

// ---------------------------------------------------------------------------

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

#include "platform/gfx/gl_resources.h"

#include <SDL.h>

#include <algorithm>

namespace QV::Gfx {

void GLContextState::makeCurrent() {
    if (alive && SDL_GL_GetCurrentContext() != context)
        SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window), static_cast<SDL_GLContext>(context));
}

bool glFormatOf(uint32_t format, GLFormat* out) {
    switch (format) {
        case FMT_A8R8G8B8: *out = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false}; return true;
        // No alpha channel: sampling gives alpha 1, whatever the bytes hold.
        case FMT_X8R8G8B8: *out = {GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE, false}; return true;
        case FMT_L8: *out = {GL_LUMINANCE8, GL_LUMINANCE, GL_UNSIGNED_BYTE, false}; return true;
        case FMT_A8L8: *out = {GL_LUMINANCE8_ALPHA8, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, false}; return true;
        case FMT_DXT1: *out = {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, true}; return true;
        case FMT_DXT3: *out = {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, true}; return true;
        case FMT_DXT5: *out = {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, true}; return true;
        default: return false;
    }
}

GLTexture::GLTexture(std::shared_ptr<GLContextState> state, uint32_t w, uint32_t h, uint32_t levels,
                     uint32_t usage, uint32_t format, uint32_t pool)
    : mState(std::move(state)), mUsage(usage), mFormat(format), mPool(pool) {
    GLFormat f;
    if (!glFormatOf(format, &f)) return;
    mLevels = textureLevelDescs(w, h, levels, usage, format, pool);
    GLFunctions& gl = mState->gl;
    mState->makeCurrent();
    while (gl.glGetError() != GL_NO_ERROR) {
    }
    gl.glGenTextures(1, &mTexture);
    gl.glBindTexture(GL_TEXTURE_2D, mTexture);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(mLevels.size() - 1));
    for (uint32_t l = 0; l < mLevels.size(); ++l) {
        const SurfaceDesc& d = mLevels[l];
        if (f.compressed) {
            std::vector<uint8_t> zero(d.size, 0);
            gl.glCompressedTexImage2D(GL_TEXTURE_2D, GLint(l), GLenum(f.internal), GLsizei(d.width),
                                      GLsizei(d.height), 0, GLsizei(d.size), zero.data());
        } else {
            gl.glTexImage2D(GL_TEXTURE_2D, GLint(l), f.internal, GLsizei(d.width), GLsizei(d.height), 0, f.format,
                            f.type, nullptr);
        }
    }
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    if (gl.glGetError() != GL_NO_ERROR) {
        gl.glDeleteTextures(1, &mTexture);
        mTexture = 0;
    }
    mStaging.resize(mLevels.size());
    mSurfaces.resize(mLevels.size(), nullptr);
}

GLTexture::~GLTexture() {
    for (GLSurface* s : mSurfaces)
        if (s) {
            s->texture = nullptr;
            s->release();
        }
    if (mTexture && mState->alive) {
        mState->makeCurrent();
        mState->gl.glDeleteTextures(1, &mTexture);
    }
}

Result GLTexture::getLevelDesc(uint32_t level, SurfaceDesc* desc) {
    if (level >= mLevels.size() || !desc) return ERR_INVALIDCALL;
    *desc = mLevels[level];
    return OK;
}

Result GLTexture::getSurfaceLevel(uint32_t level, ISurface** surface) {
    if (level >= mLevels.size() || !surface) return ERR_INVALIDCALL;
    if (!mSurfaces[level]) {
        mSurfaces[level] = new GLSurface(mState, GLSurface::Kind::TextureLevel, mLevels[level]);
        mSurfaces[level]->texture = this;
        mSurfaces[level]->level = level;
    }
    mSurfaces[level]->addRef();
    *surface = mSurfaces[level];
    return OK;
}

Result GLTexture::lockRect(uint32_t level, LockedRect* locked, const void* rect, uint32_t flags) {
    if (level >= mLevels.size() || !locked || rect || mLockedLevel >= 0) return ERR_INVALIDCALL;
    // Render targets live on the GPU only.
    if (mPool == POOL_DEFAULT && !(mUsage & USAGE_DYNAMIC)) return ERR_INVALIDCALL;
    std::vector<uint8_t>& staging = mStaging[level];
    if (staging.size() != mLevels[level].size) {
        // Managed levels keep no copy between locks: fetch the bytes back
        // unless the caller throws them away anyway.
        staging.assign(mLevels[level].size, 0);
        if (!(flags & LOCK_DISCARD) && mTexture && mState->alive) {
            GLFormat f;
            glFormatOf(mFormat, &f);
            GLFunctions& gl = mState->gl;
            mState->makeCurrent();
            gl.glBindTexture(GL_TEXTURE_2D, mTexture);
            gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
            if (f.compressed) gl.glGetCompressedTexImage(GL_TEXTURE_2D, GLint(level), staging.data());
            else gl.glGetTexImage(GL_TEXTURE_2D, GLint(level), f.format, f.type, staging.data());
            gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
            gl.glBindTexture(GL_TEXTURE_2D, 0);
        }
    }
    mLockedLevel = int(level);
    locked->pitch = int32_t(rowPitch(mFormat, mLevels[level].width));
    locked->bits = mStaging[level].data();
    return OK;
}

Result GLTexture::unlockRect(uint32_t level) {
    if (mLockedLevel != int(level)) return ERR_INVALIDCALL;
    mLockedLevel = -1;
    if (!mState->alive || !mTexture) return OK;
    GLFormat f;
    glFormatOf(mFormat, &f);
    const SurfaceDesc& d = mLevels[level];
    GLFunctions& gl = mState->gl;
    mState->makeCurrent();
    gl.glBindTexture(GL_TEXTURE_2D, mTexture);
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (f.compressed) {
        gl.glCompressedTexSubImage2D(GL_TEXTURE_2D, GLint(level), 0, 0, GLsizei(d.width), GLsizei(d.height),
                                     GLenum(f.internal), GLsizei(d.size), mStaging[level].data());
    } else {
        gl.glTexSubImage2D(GL_TEXTURE_2D, GLint(level), 0, 0, GLsizei(d.width), GLsizei(d.height), f.format, f.type,
                           mStaging[level].data());
    }
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    // Managed textures keep no second copy of their bytes.
    if (mPool == POOL_MANAGED) std::vector<uint8_t>().swap(mStaging[level]);
    return OK;
}

static GLint glAddress(uint32_t a) {
    switch (a) {
        case TADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
        case TADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
        case 4: return GL_CLAMP_TO_BORDER;
        default: return GL_REPEAT;
    }
}

void GLTexture::applySampler(uint32_t addressU, uint32_t addressV, uint32_t minFilter, uint32_t magFilter,
                             uint32_t mipFilter) {
    const uint32_t wanted[5] = {addressU, addressV, minFilter, magFilter, mipFilter};
    if (std::equal(wanted, wanted + 5, mApplied)) return;
    std::copy(wanted, wanted + 5, mApplied);
    GLFunctions& gl = mState->gl;
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, glAddress(addressU));
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, glAddress(addressV));
    const bool linearMin = minFilter >= TEXF_LINEAR;
    GLint min = linearMin ? GL_LINEAR : GL_NEAREST;
    if (mLevels.size() > 1 && mipFilter != TEXF_NONE) {
        const bool linearMip = mipFilter >= TEXF_LINEAR;
        min = linearMin ? (linearMip ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST)
                        : (linearMip ? GL_NEAREST_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
    }
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter >= TEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
}

GLSurface::GLSurface(std::shared_ptr<GLContextState> state, Kind kind, const SurfaceDesc& desc)
    : mState(std::move(state)), mKind(kind), mDesc(desc) {
    if (kind == Kind::DepthStencil) {
        GLFunctions& gl = mState->gl;
        mState->makeCurrent();
        gl.glGenRenderbuffers(1, &renderbuffer);
        gl.glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
        gl.glRenderbufferStorage(GL_RENDERBUFFER, desc.format == FMT_D16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH24_STENCIL8,
                                 GLsizei(desc.width), GLsizei(desc.height));
        gl.glBindRenderbuffer(GL_RENDERBUFFER, 0);
    }
}

GLSurface::~GLSurface() {
    if (renderbuffer && mState->alive) {
        mState->makeCurrent();
        mState->gl.glDeleteRenderbuffers(1, &renderbuffer);
    }
}

}  // namespace QV::Gfx

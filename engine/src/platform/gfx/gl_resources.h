#pragma once

// Resources of the OpenGL device. Device bindings hold a reference, as in
// the interface this layer follows.

#include <memory>
#include <vector>

#include "platform/gfx/gl_device.h"
#include "platform/gfx/ref_counted.h"

namespace QV::Gfx {

class GLTexture : public RefCounted<ITexture> {
public:
    GLTexture(std::shared_ptr<GLContextState> state, uint32_t w, uint32_t h, uint32_t levels, uint32_t usage,
              uint32_t format, uint32_t pool);

    bool valid() const { return mTexture != 0; }
    uint32_t getLevelCount() override { return uint32_t(mLevels.size()); }
    Result getLevelDesc(uint32_t level, SurfaceDesc* desc) override;
    Result getSurfaceLevel(uint32_t level, ISurface** surface) override;
    Result lockRect(uint32_t level, LockedRect* locked, const void* rect, uint32_t flags) override;
    Result unlockRect(uint32_t level) override;

    GLuint id() const { return mTexture; }
    uint32_t format() const { return mFormat; }
    // Sampler state lives on the device's stages; the texture keeps what was
    // last applied to it so unchanged draws skip the calls.
    void applySampler(uint32_t addressU, uint32_t addressV, uint32_t minFilter, uint32_t magFilter,
                      uint32_t mipFilter);

private:
    ~GLTexture() override;

    std::shared_ptr<GLContextState> mState;
    GLuint mTexture = 0;
    uint32_t mUsage, mFormat, mPool;
    std::vector<SurfaceDesc> mLevels;
    std::vector<std::vector<uint8_t>> mStaging;
    std::vector<GLSurface*> mSurfaces;
    int mLockedLevel = -1;
    uint32_t mApplied[5] = {0, 0, 0, 0, 0};
};

class GLSurface : public RefCounted<ISurface> {
public:
    enum class Kind { BackBuffer, AutoDepth, TextureLevel, DepthStencil };
    GLSurface(std::shared_ptr<GLContextState> state, Kind kind, const SurfaceDesc& desc);

    Result getDesc(SurfaceDesc* desc) override {
        if (!desc) return ERR_INVALIDCALL;
        *desc = mDesc;
        return OK;
    }
    Kind kind() const { return mKind; }
    const SurfaceDesc& desc() const { return mDesc; }
    void setDesc(const SurfaceDesc& d) { mDesc = d; }

    GLTexture* texture = nullptr;  // TextureLevel: not counted, the texture owns the surface
    uint32_t level = 0;
    GLuint renderbuffer = 0;       // DepthStencil

private:
    ~GLSurface() override;

    std::shared_ptr<GLContextState> mState;
    Kind mKind;
    SurfaceDesc mDesc;
};

template <class Interface, GLenum Target>
class GLBuffer : public RefCounted<Interface> {
public:
    GLBuffer(std::shared_ptr<GLContextState> state, const BufferDesc& desc)
        : mState(std::move(state)), mDesc(desc), mStaging(desc.size) {
        mState->makeCurrent();
        mState->gl.glGenBuffers(1, &mBuffer);
        mState->gl.glBindBuffer(Target, mBuffer);
        mState->gl.glBufferData(Target, GLsizeiptr(desc.size), nullptr, GL_DYNAMIC_DRAW);
        mState->gl.glBindBuffer(Target, 0);
    }
    Result lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) override {
        if (!data || mLocked || offset > mDesc.size || (size && uint64_t(offset) + size > mDesc.size))
            return ERR_INVALIDCALL;
        mLocked = true;
        mLockOffset = offset;
        mLockSize = size ? size : mDesc.size - offset;
        mDiscard = (flags & LOCK_DISCARD) != 0;
        *data = mStaging.data() + offset;
        return OK;
    }
    // The staged bytes reach the GL buffer here.
    Result unlock() override {
        if (!mLocked) return ERR_INVALIDCALL;
        mLocked = false;
        if (!mState->alive) return OK;
        mState->makeCurrent();
        mState->gl.glBindBuffer(Target, mBuffer);
        if (mDiscard) {
            // Orphan first: re-specifying the same size with data counts as a
            // write into storage queued draws still read, and the driver
            // would wait for them. Fresh storage needs no wait.
            mState->gl.glBufferData(Target, GLsizeiptr(mDesc.size), nullptr, GL_STREAM_DRAW);
            mState->gl.glBufferSubData(Target, 0, GLsizeiptr(mDesc.size), mStaging.data());
        } else if (mLockSize) {
            mState->gl.glBufferSubData(Target, GLintptr(mLockOffset), GLsizeiptr(mLockSize),
                                       mStaging.data() + mLockOffset);
        }
        mState->gl.glBindBuffer(Target, 0);
        return OK;
    }
    Result getDesc(BufferDesc* desc) override {
        if (!desc) return ERR_INVALIDCALL;
        *desc = mDesc;
        return OK;
    }
    GLuint id() const { return mBuffer; }
    bool locked() const { return mLocked; }
    // The bytes last written through a lock, as the GL buffer holds them.
    const uint8_t* bytes() const { return mStaging.data(); }
    size_t size() const { return mStaging.size(); }

protected:
    ~GLBuffer() override {
        if (mState->alive) {
            mState->makeCurrent();
            mState->gl.glDeleteBuffers(1, &mBuffer);
        }
    }

private:
    std::shared_ptr<GLContextState> mState;
    BufferDesc mDesc;
    std::vector<uint8_t> mStaging;
    GLuint mBuffer = 0;
    bool mLocked = false;
    bool mDiscard = false;
    uint32_t mLockOffset = 0, mLockSize = 0;
};

class GLVertexBuffer : public GLBuffer<IVertexBuffer, GL_ARRAY_BUFFER> {
public:
    using GLBuffer::GLBuffer;
};
class GLIndexBuffer : public GLBuffer<IIndexBuffer, GL_ELEMENT_ARRAY_BUFFER> {
public:
    GLIndexBuffer(std::shared_ptr<GLContextState> state, const BufferDesc& desc)
        : GLBuffer(std::move(state), desc), format(desc.format) {}
    uint32_t format;
};

// GL formats of a device format: internal, upload format and type; false
// for formats the back end does not hold.
struct GLFormat {
    GLint internal = 0;
    GLenum format = 0;
    GLenum type = 0;
    bool compressed = false;
};
bool glFormatOf(uint32_t format, GLFormat* out);

}  // namespace QV::Gfx

#pragma once

// The recording device's resources (internal to the recording back end).

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/recording_driver.h"

namespace QV::Gfx {

// ---------------------------------------------------------------------------
// Resources. Bindings on the device hold internal references: they keep the
// object allocated but do not count as the application holding it, so a
// resource the application released no longer blocks a reset.

class RecordingObject {
public:
    explicit RecordingObject(std::shared_ptr<RecordingLog> log, bool defaultPool)
        : mLog(std::move(log)), mDefaultPool(defaultPool) {
        if (mDefaultPool) {
            std::lock_guard<std::mutex> lock(mLog->mutex);
            mLog->liveDefaultPool.insert(this);
        }
    }
    virtual ~RecordingObject() = default;

    uint32_t externalAddRef() { return ++mExternal; }
    uint32_t externalRelease() {
        uint32_t left = --mExternal;
        if (left == 0) {
            if (mDefaultPool) {
                std::lock_guard<std::mutex> lock(mLog->mutex);
                mLog->liveDefaultPool.erase(this);
            }
            if (mInternal == 0) delete this;
        }
        return left;
    }
    void internalAddRef() { ++mInternal; }
    void internalRelease() {
        if (--mInternal == 0 && mExternal == 0) delete this;
    }
    uint32_t externalRefs() const { return mExternal; }
    bool locked() const { return mLocked; }

protected:
    std::shared_ptr<RecordingLog> mLog;
    bool mDefaultPool;
    bool mLocked = false;

private:
    std::atomic<uint32_t> mExternal{1};
    std::atomic<uint32_t> mInternal{0};
};

inline RecordingObject* objectOf(IResource* r) { return r ? dynamic_cast<RecordingObject*>(r) : nullptr; }

#define QV_RECORDING_REFS                                                 \
    uint32_t addRef() override { return externalAddRef(); }              \
    uint32_t release() override { return externalRelease(); }

class RecordingSurface : public ISurface, public RecordingObject {
public:
    RecordingSurface(std::shared_ptr<RecordingLog> log, const SurfaceDesc& desc, bool counted)
        : RecordingObject(std::move(log), counted), mDesc(desc) {}
    QV_RECORDING_REFS
    Result getDesc(SurfaceDesc* desc) override {
        if (!desc) return ERR_INVALIDCALL;
        *desc = mDesc;
        return OK;
    }
    const SurfaceDesc& desc() const { return mDesc; }
    IResource* owner = nullptr;  // the texture of a level surface

private:
    SurfaceDesc mDesc;
};

class RecordingTexture : public ITexture, public RecordingObject {
public:
    RecordingTexture(std::shared_ptr<RecordingLog> log, uint32_t w, uint32_t h, uint32_t levels, uint32_t usage,
                     uint32_t format, uint32_t pool)
        : RecordingObject(log, pool == POOL_DEFAULT), mUsage(usage), mFormat(format), mPool(pool) {
        mLevels = textureLevelDescs(w, h, levels, usage, format, pool);
        for (const SurfaceDesc& d : mLevels) mBytes.emplace_back(d.size, 0);
    }
    ~RecordingTexture() override {
        for (RecordingSurface* s : mSurfaces)
            if (s) s->internalRelease();
    }
    QV_RECORDING_REFS
    uint32_t getLevelCount() override { return uint32_t(mLevels.size()); }
    Result getLevelDesc(uint32_t level, SurfaceDesc* desc) override {
        if (level >= mLevels.size() || !desc) return ERR_INVALIDCALL;
        *desc = mLevels[level];
        return OK;
    }
    Result getSurfaceLevel(uint32_t level, ISurface** surface) override {
        if (level >= mLevels.size() || !surface) return ERR_INVALIDCALL;
        mSurfaces.resize(mLevels.size(), nullptr);
        if (!mSurfaces[level]) {
            // The level surface lives as long as the texture; it is not a
            // default-pool object of its own.
            mSurfaces[level] = new RecordingSurface(mLog, mLevels[level], false);
            mSurfaces[level]->owner = this;
            mSurfaces[level]->internalAddRef();
            mSurfaces[level]->externalRelease();
        }
        mSurfaces[level]->externalAddRef();
        *surface = mSurfaces[level];
        return OK;
    }
    Result lockRect(uint32_t level, LockedRect* locked, const void* rect, uint32_t flags) override {
        std::vector<uint64_t> args{level, flags};
        if (!mLog->onMainThread("lockRect")) return ERR_INVALIDCALL;
        if (level >= mLevels.size() || !locked || rect) return result("lockRect", args, ERR_INVALIDCALL);
        if (mLocked) {
            mLog->error("lockRect: texture already locked");
            return result("lockRect", args, ERR_INVALIDCALL);
        }
        if (mPool == POOL_DEFAULT && !(mUsage & USAGE_DYNAMIC)) {
            mLog->error("lockRect: a default-pool texture cannot be locked");
            return result("lockRect", args, ERR_INVALIDCALL);
        }
        if (mLog->takeFault(mLog->plan.failLock, "texture")) return result("lockRect", args, ERR_INVALIDCALL);
        mLocked = true;
        mLockedLevel = level;
        locked->pitch = int32_t(rowPitch(mFormat, mLevels[level].width));
        locked->bits = mBytes[level].data();
        return result("lockRect", args, OK);
    }
    Result unlockRect(uint32_t level) override {
        if (!mLog->onMainThread("unlockRect")) return ERR_INVALIDCALL;
        if (!mLocked || level != mLockedLevel) {
            mLog->error("unlockRect: level not locked");
            return result("unlockRect", {level}, ERR_INVALIDCALL);
        }
        mLocked = false;
        return result("unlockRect", {level}, OK);
    }
    const std::vector<uint8_t>* bytes(uint32_t level) const {
        return level < mBytes.size() ? &mBytes[level] : nullptr;
    }

private:
    Result result(const char* name, std::vector<uint64_t> args, Result r) {
        args.insert(args.begin(), uint64_t(reinterpret_cast<uintptr_t>(static_cast<ITexture*>(this))));
        mLog->record(std::string("texture.") + name, std::move(args), r);
        return r;
    }

    uint32_t mUsage, mFormat, mPool;
    uint32_t mLockedLevel = 0;
    std::vector<SurfaceDesc> mLevels;
    std::vector<std::vector<uint8_t>> mBytes;
    std::vector<RecordingSurface*> mSurfaces;
};

template <class Interface>
class RecordingBuffer : public Interface, public RecordingObject {
public:
    RecordingBuffer(std::shared_ptr<RecordingLog> log, const char* kind, const BufferDesc& desc)
        : RecordingObject(std::move(log), desc.pool == POOL_DEFAULT), mKind(kind), mDesc(desc), mBytes(desc.size) {}
    QV_RECORDING_REFS
    Result lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) override {
        std::vector<uint64_t> args{offset, size, flags};
        if (!mLog->onMainThread("lock")) return ERR_INVALIDCALL;
        if (!data || offset > mDesc.size || (size && offset + uint64_t(size) > mDesc.size))
            return result("lock", args, ERR_INVALIDCALL);
        if (mLocked) {
            mLog->error(mKind + ".lock: already locked");
            return result("lock", args, ERR_INVALIDCALL);
        }
        if (mLog->takeFault(mLog->plan.failLock, mKind)) return result("lock", args, ERR_INVALIDCALL);
        if (flags & LOCK_DISCARD) std::fill(mBytes.begin(), mBytes.end(), uint8_t(0xCD));
        mLocked = true;
        *data = mBytes.data() + offset;
        return result("lock", args, OK);
    }
    Result unlock() override {
        if (!mLog->onMainThread("unlock")) return ERR_INVALIDCALL;
        if (!mLocked) {
            mLog->error(mKind + ".unlock: not locked");
            return result("unlock", {}, ERR_INVALIDCALL);
        }
        mLocked = false;
        return result("unlock", {}, OK);
    }
    Result getDesc(BufferDesc* desc) override {
        if (!desc) return ERR_INVALIDCALL;
        *desc = mDesc;
        return OK;
    }
    const std::vector<uint8_t>& bytes() const { return mBytes; }

private:
    Result result(const char* name, std::vector<uint64_t> args, Result r) {
        args.insert(args.begin(), uint64_t(reinterpret_cast<uintptr_t>(static_cast<Interface*>(this))));
        mLog->record(mKind + "." + name, std::move(args), r);
        return r;
    }

    std::string mKind;
    BufferDesc mDesc;
    std::vector<uint8_t> mBytes;
};

#undef QV_RECORDING_REFS

class RecordingVertexBuffer : public RecordingBuffer<IVertexBuffer> {
public:
    using RecordingBuffer::RecordingBuffer;
};
class RecordingIndexBuffer : public RecordingBuffer<IIndexBuffer> {
public:
    using RecordingBuffer::RecordingBuffer;
};

template <class T>
inline void bind(T*& slot, T* value) {
    if (RecordingObject* o = objectOf(value)) o->internalAddRef();
    if (RecordingObject* o = objectOf(slot)) o->internalRelease();
    slot = value;
}

}  // namespace QV::Gfx

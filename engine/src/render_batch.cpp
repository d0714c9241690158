#include "render_batch.h"

#include <cstring>

#include "render_batch_stats.h"
#include "render_system.h"
#include "vertex_format.h"

namespace QV {

namespace {

TextureDeviceHooks gTextureHooks;

// Every vertex of the record has diffuse alpha 0.
bool isInvisible(const RenderData& data, uint32_t stride) {
    const uint8_t* bytes = data.vertexData();
    const uint32_t alphaOffset = VertexLayout::diffuseOffset() + 3;
    for (uint32_t i = 0; i < data.vertexCount(); ++i) {
        if (bytes[static_cast<size_t>(i) * stride + alphaOffset] != 0) return false;
    }
    return true;
}

bool anyTextureWaiting(const RenderData& data) {
    for (const Texture* texture : data.mTextures) {
        if (texture && !isTextureUploaded(texture)) return true;
    }
    return false;
}

// Vertices are copied as they are; memcpy picks the widest safe moves.
void copyMemory(uint8_t* destination, const uint8_t* source, size_t size) {
    std::memcpy(destination, source, size);
}

}  // namespace

void setTextureDeviceHooks(const TextureDeviceHooks& hooks) { gTextureHooks = hooks; }

const TextureDeviceHooks& textureDeviceHooks() { return gTextureHooks; }

bool isTextureUploaded(const Texture* texture) {
    return !texture || !gTextureHooks.isUploaded || gTextureHooks.isUploaded(texture);
}

Gfx::ITexture* deviceTextureOf(const Texture* texture) {
    return texture && gTextureHooks.deviceTexture ? gTextureHooks.deviceTexture(texture) : nullptr;
}

uint32_t destinationBlendOf(int32_t blendMode) {
    switch (blendMode) {
        case 0:
            return Gfx::BLEND_INVSRCALPHA;
        case 1:
            return Gfx::BLEND_INVSRCCOLOR;
        case 2:
            return Gfx::BLEND_ONE;
        default:
            return 0;
    }
}

uint32_t textureAddressOf(int32_t addressMode) {
    switch (addressMode) {
        case 1:
            return Gfx::TADDRESS_MIRROR;
        case 2:
            return Gfx::TADDRESS_CLAMP;
        default:
            return Gfx::TADDRESS_WRAP;
    }
}

void RenderSystem::draw(const RenderData* data) {
    if (!data) return;
    const uint32_t stride = VertexLayout::update();
    const uint32_t count = data->vertexCount();
    if (mStatisticsEnabled) {
        mPixelArea += quadRecordArea(data->vertexData(), count, stride, VertexLayout::positionOffset(),
                                     data->mPrimitiveKind) *
                      mCamera.scaleX * mCamera.scaleY;
    }
    if (!data->mTextures.empty() && anyTextureWaiting(*data)) return;
    if (count == 0 || !data->vertexData()) return;
    if (isInvisible(*data, stride)) return;
    // No open frame (device lost, or outside beginFrame/endFrame): nothing to
    // write into.
    if (!mFrameOpen) return;
    // A record larger than the vertex buffer goes in buffer-sized pieces;
    // 4,000 is a whole number of quads and of line segments.
    for (uint32_t first = 0; first < count; first += kBatchVertexCapacity) {
        const uint32_t piece = count - first < kBatchVertexCapacity ? count - first : kBatchVertexCapacity;
        appendToBatch(*data, data->vertexData() + static_cast<size_t>(first) * stride, piece, stride);
    }
}

void RenderSystem::appendToBatch(const RenderData& data, const uint8_t* vertices, uint32_t count, uint32_t stride) {
    Texture* first = data.mTextures.empty() ? nullptr : data.mTextures.front();
    Texture* current = mBatchState.mTextures.empty() ? nullptr : mBatchState.mTextures.front();
    const bool continues = mBatchStateKnown && !data.mTextures.empty() &&
                           mBatchVertexCount + count <= kBatchVertexCapacity && first == current &&
                           data.mBlendMode == mBatchState.mBlendMode &&
                           data.mPrimitiveKind == mBatchState.mPrimitiveKind &&
                           data.mAddressMode == mBatchState.mAddressMode;
    if (!continues) {
        flush();
        if (!mBatchStateKnown || data.mTextures.empty() || first != current) {
            mDevice->device->setTexture(0, deviceTextureOf(first));
        }
        mBatchState.mTextures.assign(1, first);
        if (!mBatchStateKnown || data.mBlendMode != mBatchState.mBlendMode) {
            setBlendMode(data.mBlendMode);
            mBatchState.mBlendMode = data.mBlendMode;
        }
        mBatchState.mPrimitiveKind = data.mPrimitiveKind;
        if (!mBatchStateKnown || data.mAddressMode != mBatchState.mAddressMode) {
            setAddressMode(data.mAddressMode);
            mBatchState.mAddressMode = data.mAddressMode;
        }
        mBatchStateKnown = true;
    }
    if (!mLockedVertices) return;  // the buffer could not be locked again
    copyMemory(mLockedVertices + static_cast<size_t>(mBatchVertexCount) * stride, vertices,
               static_cast<size_t>(count) * stride);
    mBatchVertexCount += count;
    mBatchPrimitiveCount += data.mPrimitiveKind == 0 ? count / 4 : count - 1;
}

void RenderSystemDX8::flush() {
    if (mBatchVertexCount == 0 || !mDevice->vertexBuffer) return;
    Gfx::IDevice* device = mDevice->device;
    mDevice->vertexBuffer->unlock();
    mLockedVertices = nullptr;
    mDrawCalls += 1;
    mTrianglesDrawn += 2 * mBatchPrimitiveCount;
    if (mBatchState.mPrimitiveKind == 0) {
        const uint32_t quads = mBatchPrimitiveCount;
        if (quads > 0) device->drawIndexedPrimitive(Gfx::PT_TRIANGLELIST, 0, 4 * quads, 0, 2 * quads);
    } else if (mBatchState.mPrimitiveKind == 1) {
        if (mBatchVertexCount >= 2) device->drawPrimitive(Gfx::PT_LINELIST, 0, mBatchVertexCount / 2);
    }
    mBatchVertexCount = 0;
    mBatchPrimitiveCount = 0;
    uint8_t* data = nullptr;
    if (Gfx::succeeded(mDevice->vertexBuffer->lock(0, 0, &data, Gfx::LOCK_DISCARD))) mLockedVertices = data;
}

void RenderSystem::setBlendMode(int32_t blendMode) {
    const uint32_t factor = destinationBlendOf(blendMode);
    if (factor == 0 || !mDevice->device) return;
    mDevice->device->setRenderState(Gfx::RS_DESTBLEND, factor);
}

void RenderSystem::setAddressMode(int32_t addressMode) {
    if (!mDevice->device) return;
    const uint32_t value = textureAddressOf(addressMode);
    mDevice->device->setTextureStageState(0, Gfx::TSS_ADDRESSU, value);
    mDevice->device->setTextureStageState(0, Gfx::TSS_ADDRESSV, value);
    mDevice->device->setTextureStageState(0, Gfx::TSS_ADDRESSW, value);
}

}  // namespace QV

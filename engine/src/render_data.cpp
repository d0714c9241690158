#include "render_data.h"

#include <cstring>

#include "vertex_format.h"

namespace QV {

static TextureReferenceHooks gHooks;

void setTextureReferenceHooks(const TextureReferenceHooks& hooks) { gHooks = hooks; }

static void retain(Texture* t) {
    if (t && gHooks.retain) gHooks.retain(t);
}

RenderData::RenderData(const RenderData& other) { copyFrom(other); }

RenderData& RenderData::operator=(const RenderData& other) {
    if (this != &other) {
        releaseTextures();
        releaseVertices();
        copyFrom(other);
    }
    return *this;
}

RenderData::~RenderData() {
    releaseTextures();
    releaseVertices();
}

void RenderData::copyFrom(const RenderData& other) {
    if (other.mVertices) {
        const size_t bytes = size_t(other.mVertices->count) * VertexLayout::update();
        mVertices = new VertexBlock;
        mVertices->count = other.mVertices->count;
        mVertices->data = new uint8_t[bytes];
        if (bytes && other.mVertices->data) std::memcpy(mVertices->data, other.mVertices->data, bytes);
    }
    mTextures = other.mTextures;
    for (Texture* t : mTextures) retain(t);
    mPrimitiveKind = other.mPrimitiveKind;
    mBlendMode = other.mBlendMode;
    mCopiedFlag = other.mCopiedFlag;
    mAddressMode = other.mAddressMode;
    mCopiedValue = other.mCopiedValue;
}

uint8_t* RenderData::allocateVertices(uint32_t count) {
    releaseVertices();
    const size_t bytes = size_t(count) * VertexLayout::update();
    mVertices = new VertexBlock;
    mVertices->count = count;
    mVertices->data = new uint8_t[bytes]();
    return mVertices->data;
}

void RenderData::releaseVertices() {
    if (mVertices) {
        delete[] mVertices->data;
        delete mVertices;
        mVertices = nullptr;
    }
}

void RenderData::addTexture(Texture* texture) {
    mTextures.push_back(texture);
    retain(texture);
}

void RenderData::append(const RenderData& other) {
    if (&other == this) {
        const std::vector<Texture*> copy = other.mTextures;
        for (Texture* t : copy)
            if (t) addTexture(t);
        return;
    }
    for (Texture* t : other.mTextures)
        if (t) addTexture(t);
}

void RenderData::releaseTextures() {
    std::vector<Texture*> list;
    list.swap(mTextures);
    if (gHooks.release)
        for (Texture* t : list) gHooks.release(t);
}

}  // namespace QV

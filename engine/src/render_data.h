#pragma once

#include <cstdint>
#include <vector>

#include "vertex_format.h"

namespace QV {

class Texture;

// Vertices of one record: count * stride bytes of the current format.
struct VertexBlock {
    uint8_t* data = nullptr;  // allocated with new[]
    uint32_t count = 0;
};

// Texture reference counting, installed by the texture manager (a record
// holds one reference per non-null entry of its list). Without hooks the
// lists are plain pointers.
struct TextureReferenceHooks {
    void (*retain)(Texture*) = nullptr;
    void (*release)(Texture*) = nullptr;  // also handed null entries
};
void setTextureReferenceHooks(const TextureReferenceHooks& hooks);

// What a drawable hands to the renderer.
class RenderData {
public:
    RenderData() = default;
    RenderData(const RenderData& other);
    RenderData& operator=(const RenderData& other);
    virtual ~RenderData();

    // Replaces the vertex block with count zeroed vertices of the current
    // stride; returns the bytes.
    uint8_t* allocateVertices(uint32_t count);
    void releaseVertices();
    uint32_t vertexCount() const { return mVertices ? mVertices->count : 0; }
    uint8_t* vertexData() const { return mVertices ? mVertices->data : nullptr; }

    // Adds a texture to the list, taking one reference (null allowed).
    void addTexture(Texture* texture);
    // Appends the other record's non-null textures, one reference each.
    void append(const RenderData& other);
    // Hands every entry back (null ones too) and empties the list.
    void releaseTextures();

    VertexBlock* mVertices = nullptr;
    std::vector<Texture*> mTextures;
    int32_t mPrimitiveKind = 0;  // 0 quads, 1 line list
    int32_t mBlendMode = 0;      // 0 alpha, 1 colour, 2 additive
    int32_t mCopiedFlag = 1;     // carried with the record, read by no draw
    int32_t mAddressMode = 0;    // 0 wrap, 1 mirror, 2 clamp
    int32_t mCopiedValue = 0;    // carried with the record, read by no draw

private:
    void copyFrom(const RenderData& other);
};

}  // namespace QV

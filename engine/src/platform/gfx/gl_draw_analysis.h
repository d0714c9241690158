#pragma once

// What a draw's vertices and stage-0 settings let the OpenGL back end leave
// out without changing a pixel: a multiplication by a colour that is white
// everywhere, or blending whose source alpha is exactly one. Plain data
// work, no GL calls.

#include <cstddef>
#include <cstdint>

namespace QV::Gfx {

// Smallest and largest vertex index of `count` indices from `first`; false
// when the indices lie outside the buffer or there are none.
bool indexRange(const uint8_t* indices, size_t size, bool wide, uint32_t first, uint32_t count, uint32_t* lowest,
                uint32_t* highest);

// Diffuse colours (4 bytes at `offset` in each vertex) of the vertices
// `first` to `last`, both included.
struct DiffuseFacts {
    bool white = false;   // every colour is 0xFFFFFFFF
    bool opaque = false;  // every alpha is 255
};
// Nothing is known (both false) when the range does not fit the buffer.
DiffuseFacts scanDiffuse(const uint8_t* vertices, size_t size, uint32_t stride, uint32_t offset, uint32_t first,
                         uint32_t last);

// Whether stage 0's alpha operation yields exactly one for every pixel,
// given which of its inputs have alpha one everywhere.
struct AlphaSources {
    bool texture = false;  // the bound texture has no alpha channel, or none is bound
    bool diffuse = false;
    bool factor = false;  // the texture factor's alpha is 255
};
bool stageAlphaIsOne(uint32_t alphaOp, uint32_t arg1, uint32_t arg2, const AlphaSources& sources);

}  // namespace QV::Gfx

#pragma once

// What a draw's vertices and stage-0 settings let the OpenGL back end leave
// out without changing a pixel: a multiplication by a colour that is white
// everywhere, blending whose source alpha is exactly one, an alpha test that
// only rejects pixels that would change nothing, or filtering between texels
// when every pixel centre sits on a texel centre. Plain data work, no GL
// calls.

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

// Whether leaving the alpha test out changes no pixel: it rejects nothing
// but alpha zero, and such a pixel adds none of itself (source factor source
// alpha) and keeps all of what is there (destination factor one or inverse
// source alpha), writing no depth or stencil. Also true when the source alpha
// is one everywhere and the test lets 255 pass.
struct PixelWrites {
    bool blend = false;
    uint32_t sourceBlend = 0, destinationBlend = 0;
    bool depthWrite = false;
    bool stencil = false;
    bool sourceAlphaIsOne = false;
};
bool alphaTestChangesNothing(uint32_t func, uint32_t ref, const PixelWrites& writes);

// Where the fixed vertex stage and the rasterizer put a position: clip =
// (x, y, z, 1) * transform (row-major), then the half-pixel shift and row
// flip, then the viewport, in window pixels whose centres lie at +0.5.
struct WindowMapping {
    float transform[16] = {};
    float shiftX = 0.0f, shiftY = 0.0f, flip = 1.0f;
    float viewportX = 0.0f, viewportY = 0.0f, viewportWidth = 0.0f, viewportHeight = 0.0f;
};

// The triangles of a draw: a list, strip or fan (PT_ codes), read through
// 16- or 32-bit indices (added to baseVertex) or straight from firstVertex.
struct TriangleSource {
    uint32_t type = 0;
    uint32_t count = 0;  // triangles
    const uint8_t* indices = nullptr;
    size_t indexBytes = 0;
    bool wideIndices = false;
    uint32_t firstIndex = 0;
    uint32_t baseVertex = 0;
    uint32_t firstVertex = 0;  // without indices
};

// True when in every triangle one texel of a texW x texH texture covers one
// pixel, rows and columns along the window's (mirrored or turned by quarter
// turns), with texel centres on pixel centres: then nearest sampling gives
// the very texel linear filtering would. Positions are three floats at the
// start of each vertex, texture coordinates two floats at texOffset.
bool texelsLandOnPixels(const uint8_t* vertices, size_t size, uint32_t stride, uint32_t texOffset,
                        const TriangleSource& triangles, const WindowMapping& mapping, uint32_t texW, uint32_t texH);

}  // namespace QV::Gfx

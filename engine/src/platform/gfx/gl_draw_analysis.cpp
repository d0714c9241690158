#include "platform/gfx/gl_draw_analysis.h"

#include <cstring>

#include "platform/gfx/gfx_types.h"

namespace QV::Gfx {

bool indexRange(const uint8_t* indices, size_t size, bool wide, uint32_t first, uint32_t count, uint32_t* lowest,
                uint32_t* highest) {
    const size_t width = wide ? 4 : 2;
    if (!indices || count == 0 || (size_t(first) + count) * width > size) return false;
    uint32_t low = UINT32_MAX, high = 0;
    if (wide) {
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t v;
            std::memcpy(&v, indices + (size_t(first) + i) * 4, 4);
            low = v < low ? v : low;
            high = v > high ? v : high;
        }
    } else {
        for (uint32_t i = 0; i < count; ++i) {
            uint16_t v;
            std::memcpy(&v, indices + (size_t(first) + i) * 2, 2);
            low = v < low ? v : low;
            high = v > high ? v : high;
        }
    }
    *lowest = low;
    *highest = high;
    return true;
}

DiffuseFacts scanDiffuse(const uint8_t* vertices, size_t size, uint32_t stride, uint32_t offset, uint32_t first,
                         uint32_t last) {
    DiffuseFacts facts;
    if (!vertices || stride == 0 || offset + 4 > stride || last < first ||
        (size_t(last) + 1) * stride > size)
        return facts;
    bool white = true, opaque = true;
    const uint8_t* p = vertices + size_t(first) * stride + offset;
    for (uint32_t i = first; i <= last && opaque; ++i, p += stride) {
        uint32_t color;
        std::memcpy(&color, p, 4);
        white = white && color == 0xFFFFFFFFu;
        opaque = (color >> 24) == 0xFF;
    }
    facts.white = white && opaque;
    facts.opaque = opaque;
    return facts;
}

namespace {

bool argAlphaIsOne(uint32_t arg, const AlphaSources& s) {
    // Replicating alpha leaves the alpha as it is; a complement of one is zero.
    if (arg & TA_COMPLEMENT) return false;
    switch (arg & 0xF) {
        case TA_TEXTURE: return s.texture;
        case TA_TFACTOR: return s.factor;
        case TA_DIFFUSE:
        case TA_CURRENT: return s.diffuse;  // current is the diffuse colour at stage 0
        default: return false;
    }
}

}  // namespace

bool stageAlphaIsOne(uint32_t alphaOp, uint32_t arg1, uint32_t arg2, const AlphaSources& sources) {
    switch (alphaOp) {
        case TOP_SELECTARG1: return argAlphaIsOne(arg1, sources);
        case TOP_SELECTARG2: return argAlphaIsOne(arg2, sources);
        case TOP_MODULATE: return argAlphaIsOne(arg1, sources) && argAlphaIsOne(arg2, sources);
        case TOP_DISABLE: return sources.diffuse;  // the diffuse colour passes
        default: return false;
    }
}

}  // namespace QV::Gfx

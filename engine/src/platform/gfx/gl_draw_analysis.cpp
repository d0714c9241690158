#include "platform/gfx/gl_draw_analysis.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/gfx/gfx_types.h"

namespace QV::Gfx {

namespace {

// Index i of a 16- or 32-bit index buffer; the caller checks the bounds.
uint32_t readIndex(const uint8_t* indices, bool wide, size_t i) {
    if (wide) {
        uint32_t v;
        std::memcpy(&v, indices + i * 4, 4);
        return v;
    }
    uint16_t v;
    std::memcpy(&v, indices + i * 2, 2);
    return v;
}

}  // namespace

bool indexRange(const uint8_t* indices, size_t size, bool wide, uint32_t first, uint32_t count, uint32_t* lowest,
                uint32_t* highest) {
    const size_t width = wide ? 4 : 2;
    if (!indices || count == 0 || (size_t(first) + count) * width > size) return false;
    uint32_t low = UINT32_MAX, high = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t v = readIndex(indices, wide, size_t(first) + i);
        low = v < low ? v : low;
        high = v > high ? v : high;
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

namespace {

bool alphaPasses(uint32_t func, uint32_t a, uint32_t ref) {
    switch (func) {
        case CMP_NEVER: return false;
        case CMP_LESS: return a < ref;
        case CMP_EQUAL: return a == ref;
        case CMP_LESSEQUAL: return a <= ref;
        case CMP_GREATER: return a > ref;
        case CMP_NOTEQUAL: return a != ref;
        case CMP_GREATEREQUAL: return a >= ref;
        default: return true;
    }
}

}  // namespace

bool alphaTestChangesNothing(uint32_t func, uint32_t ref, const PixelWrites& writes) {
    ref &= 0xFF;
    if (writes.sourceAlphaIsOne && alphaPasses(func, 255, ref)) return true;
    for (uint32_t a = 1; a < 256; ++a)
        if (!alphaPasses(func, a, ref)) return false;
    if (alphaPasses(func, 0, ref)) return true;
    // Only alpha zero is rejected: does such a pixel leave everything as it is?
    return writes.blend && writes.sourceBlend == BLEND_SRCALPHA &&
           (writes.destinationBlend == BLEND_INVSRCALPHA || writes.destinationBlend == BLEND_ONE) &&
           !writes.depthWrite && !writes.stencil;
}

namespace {

struct WindowPoint {
    double x, y, w;
};

WindowPoint toWindow(const float* xyz, const WindowMapping& m) {
    const float* t = m.transform;
    const double x = xyz[0], y = xyz[1], z = xyz[2];
    double cx = x * t[0] + y * t[4] + z * t[8] + t[12];
    double cy = x * t[1] + y * t[5] + z * t[9] + t[13];
    const double cw = x * t[3] + y * t[7] + z * t[11] + t[15];
    cx += m.shiftX * cw;
    cy = (cy - m.shiftY * cw) * m.flip;
    WindowPoint p;
    p.w = cw;
    p.x = m.viewportX + (cx / cw + 1.0) * 0.5 * m.viewportWidth;
    p.y = m.viewportY + (cy / cw + 1.0) * 0.5 * m.viewportHeight;
    return p;
}

// The n-th vertex number of the draw (before indices).
uint32_t corner(uint32_t type, uint32_t triangle, uint32_t k) {
    switch (type) {
        case PT_TRIANGLESTRIP: return triangle + k;
        case PT_TRIANGLEFAN: return k == 0 ? 0 : triangle + k;
        default: return triangle * 3 + k;
    }
}

// One texture axis q over the triangle: q = a x + b y + c with a, b whole
// (-1, 0 or 1) and texel centres (q = n + 0.5) at pixel centres, within a
// small fraction of a texel at every corner (and so everywhere inside).
bool axisLandsOnPixels(const double* x, const double* y, const double* q, double det, int* a, int* b) {
    constexpr double kTolerance = 1.0 / 1024.0;
    const double dx1 = x[1] - x[0], dy1 = y[1] - y[0], dx2 = x[2] - x[0], dy2 = y[2] - y[0];
    const double d1 = q[1] - q[0], d2 = q[2] - q[0];
    const double fa = (d1 * dy2 - d2 * dy1) / det;
    const double fb = (dx1 * d2 - dx2 * d1) / det;
    if (!(std::fabs(fa) < 1.5) || !(std::fabs(fb) < 1.5)) return false;
    *a = int(std::lround(fa));
    *b = int(std::lround(fb));
    double c = q[0] - *a * x[0] - *b * y[0];
    // At the pixel centre (0.5, 0.5) q must be a texel centre.
    const double centre = *a * 0.5 + *b * 0.5 + c - 0.5;
    c -= centre - std::round(centre);
    for (int k = 0; k < 3; ++k)
        if (!(std::fabs(q[k] - (*a * x[k] + *b * y[k] + c)) <= kTolerance)) return false;
    return true;
}

}  // namespace

bool texelsLandOnPixels(const uint8_t* vertices, size_t size, uint32_t stride, uint32_t texOffset,
                        const TriangleSource& triangles, const WindowMapping& mapping, uint32_t texW, uint32_t texH) {
    if (!vertices || stride < 12 || size_t(texOffset) + 8 > stride || triangles.count == 0 || texW == 0 || texH == 0)
        return false;
    if (triangles.type != PT_TRIANGLELIST && triangles.type != PT_TRIANGLESTRIP && triangles.type != PT_TRIANGLEFAN)
        return false;
    const size_t indexWidth = triangles.wideIndices ? 4 : 2;
    double firstW = 0.0;
    for (uint32_t tri = 0; tri < triangles.count; ++tri) {
        double x[3], y[3], s[3], t[3];
        for (uint32_t k = 0; k < 3; ++k) {
            const uint64_t n = corner(triangles.type, tri, k);
            uint64_t vertex;
            if (triangles.indices) {
                const uint64_t at = uint64_t(triangles.firstIndex) + n;
                if ((at + 1) * indexWidth > triangles.indexBytes) return false;
                vertex = uint64_t(triangles.baseVertex) + readIndex(triangles.indices, triangles.wideIndices, at);
            } else {
                vertex = uint64_t(triangles.firstVertex) + n;
            }
            if ((vertex + 1) * stride > size) return false;
            const uint8_t* v = vertices + vertex * stride;
            float xyz[3], uv[2];
            std::memcpy(xyz, v, sizeof xyz);
            std::memcpy(uv, v + texOffset, sizeof uv);
            const WindowPoint p = toWindow(xyz, mapping);
            // Texture coordinates follow the perspective unless w is one value.
            if (!(p.w > 0.0)) return false;
            if (tri == 0 && k == 0) firstW = p.w;
            if (std::fabs(p.w - firstW) > 1e-6 * firstW) return false;
            x[k] = p.x;
            y[k] = p.y;
            s[k] = double(uv[0]) * texW;
            t[k] = double(uv[1]) * texH;
        }
        const double det = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
        if (!std::isfinite(det)) return false;
        if (std::fabs(det) < 1e-9) continue;  // no area, no pixels
        int sa, sb, ta, tb;
        if (!axisLandsOnPixels(x, y, s, det, &sa, &sb) || !axisLandsOnPixels(x, y, t, det, &ta, &tb)) return false;
        // One texel per pixel: a signed permutation of the window's axes.
        if (std::abs(sa * tb - sb * ta) != 1 || (sa != 0) == (sb != 0)) return false;
    }
    return true;
}

}  // namespace QV::Gfx

#include <cstddef>
#include <cstdint>

#include "video_surface.h"

namespace QV {

namespace {

// Fixed-point chroma contributions for every byte value, in 1/128 steps.
struct ChromaTables {
    int16_t rv[256];
    int16_t gu[256];
    int16_t gv[256];
    int16_t bu[256];
    ChromaTables() {
        for (int i = 0; i < 256; ++i) {
            rv[i] = static_cast<int16_t>((175 * i - 22400) >> 7);
            gu[i] = static_cast<int16_t>((44 * i - 5632) >> 7);
            gv[i] = static_cast<int16_t>((91 * i - 11648) >> 7);
            bu[i] = static_cast<int16_t>((226 * i - 28928) >> 7);
        }
    }
};

const ChromaTables& tables() {
    static const ChromaTables t;
    return t;
}

inline uint8_t clampByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Row y of a plane whose stride may be negative (bottom-up storage).
inline const unsigned char* row(const unsigned char* base, int stride, uint32_t y) {
    return base + static_cast<std::ptrdiff_t>(stride) * static_cast<std::ptrdiff_t>(y);
}

bool covers(const yuv_buffer& frame, uint32_t width, uint32_t height) {
    if (!frame.y || !frame.u || !frame.v || width == 0 || height == 0) return false;
    if (frame.y_width < 0 || frame.y_height < 0 || frame.uv_width < 0 || frame.uv_height < 0) return false;
    if (uint32_t(frame.y_width) < width || uint32_t(frame.y_height) < height) return false;
    return uint32_t(frame.uv_width) >= (width + 1) / 2 && uint32_t(frame.uv_height) >= (height + 1) / 2;
}

}  // namespace

bool convertYuvToRgba(const yuv_buffer& frame, uint32_t width, uint32_t height, uint8_t* rgba) {
    if (!rgba || !covers(frame, width, height)) return false;
    const ChromaTables& t = tables();
    for (uint32_t y = 0; y < height; ++y) {
        const unsigned char* ys = row(frame.y, frame.y_stride, y);
        const unsigned char* us = row(frame.u, frame.uv_stride, y / 2);
        const unsigned char* vs = row(frame.v, frame.uv_stride, y / 2);
        uint8_t* out = rgba + static_cast<size_t>(y) * width * 4;
        for (uint32_t x = 0; x < width; ++x, out += 4) {
            const int luma = ys[x];
            const uint8_t u = us[x / 2];
            const uint8_t v = vs[x / 2];
            out[0] = clampByte(luma + t.rv[v]);
            out[1] = clampByte(luma - t.gu[u] - t.gv[v]);
            out[2] = clampByte(luma + t.bu[u]);
            out[3] = 255;
        }
    }
    return true;
}

bool copyYuvPlanes(const yuv_buffer& frame, uint32_t width, uint32_t height, uint8_t* luma, uint8_t* chroma) {
    if (!luma || !chroma || !covers(frame, width, height)) return false;
    for (uint32_t y = 0; y < height; ++y) {
        const unsigned char* ys = row(frame.y, frame.y_stride, y);
        uint8_t* out = luma + static_cast<size_t>(y) * width;
        for (uint32_t x = 0; x < width; ++x) out[x] = ys[x];
    }
    const uint32_t cw = width / 2;
    const uint32_t ch = height / 2;
    for (uint32_t y = 0; y < ch; ++y) {
        const unsigned char* us = row(frame.u, frame.uv_stride, y);
        const unsigned char* vs = row(frame.v, frame.uv_stride, y);
        uint8_t* out = chroma + static_cast<size_t>(y) * cw * 2;
        for (uint32_t x = 0; x < cw; ++x) {
            out[2 * x] = us[x];
            out[2 * x + 1] = vs[x];
        }
    }
    return true;
}

}  // namespace QV

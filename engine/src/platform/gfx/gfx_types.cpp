#include "platform/gfx/gfx_types.h"

#include <algorithm>

namespace QV::Gfx {

uint32_t bytesPerPixel(uint32_t format) {
    switch (format) {
        case FMT_A8R8G8B8:
        case FMT_X8R8G8B8:
        case FMT_D32:
        case FMT_D24S8:
        case FMT_D24X8: return 4;
        case FMT_R8G8B8: return 3;
        case FMT_R5G6B5:
        case FMT_A8L8:
        case FMT_D16: return 2;
        case FMT_L8: return 1;
        default: return 0;
    }
}

bool isDepthFormat(uint32_t format) {
    return format == FMT_D16 || format == FMT_D24S8 || format == FMT_D24X8 || format == FMT_D32;
}

static uint32_t blockBytes(uint32_t format) {
    if (format == FMT_DXT1) return 8;
    if (format == FMT_DXT3 || format == FMT_DXT5) return 16;
    return 0;
}

uint32_t rowPitch(uint32_t format, uint32_t width) {
    if (uint32_t b = blockBytes(format)) return ((width + 3) / 4) * b;
    return width * bytesPerPixel(format);
}

uint32_t levelSize(uint32_t format, uint32_t width, uint32_t height) {
    if (blockBytes(format)) return rowPitch(format, width) * ((height + 3) / 4);
    return rowPitch(format, width) * height;
}

SurfaceDesc surfaceDesc(uint32_t w, uint32_t h, uint32_t format, uint32_t usage, uint32_t pool) {
    SurfaceDesc d;
    d.format = format;
    d.usage = usage;
    d.pool = pool;
    d.width = w;
    d.height = h;
    d.size = levelSize(format, w, h);
    return d;
}

std::vector<SurfaceDesc> textureLevelDescs(uint32_t w, uint32_t h, uint32_t levels, uint32_t usage, uint32_t format,
                                           uint32_t pool) {
    if (levels == 0) {
        levels = 1;
        for (uint32_t s = std::max(w, h); s > 1; s >>= 1) ++levels;
    }
    std::vector<SurfaceDesc> descs;
    for (uint32_t l = 0; l < levels; ++l)
        descs.push_back(surfaceDesc(std::max(1u, w >> l), std::max(1u, h >> l), format, usage, pool));
    return descs;
}

BufferDesc bufferDesc(uint32_t type, uint32_t length, uint32_t usage, uint32_t format, uint32_t fvf, uint32_t pool) {
    BufferDesc d;
    d.format = format;
    d.type = type;
    d.usage = usage;
    d.pool = pool;
    d.size = length;
    d.fvf = fvf;
    return d;
}

uint32_t fvfStride(uint32_t fvf) {
    uint32_t stride = 0;
    if (fvf & FVF_XYZ) stride += 12;
    if (fvf & 0x004) stride += 16;  // pre-transformed x, y, z, rhw
    if (fvf & FVF_NORMAL) stride += 12;
    if (fvf & FVF_DIFFUSE) stride += 4;
    if (fvf & FVF_SPECULAR) stride += 4;
    stride += ((fvf & FVF_TEXCOUNT_MASK) >> FVF_TEXCOUNT_SHIFT) * 8;
    return stride;
}

const char* resultName(Result r) {
    switch (r) {
        case OK: return "D3D_OK";
        case ERR_DEVICELOST: return "D3DERR_DEVICELOST";
        case ERR_DEVICENOTRESET: return "D3DERR_DEVICENOTRESET";
        case ERR_NOTAVAILABLE: return "D3DERR_NOTAVAILABLE";
        case ERR_INVALIDCALL: return "D3DERR_INVALIDCALL";
        case ERR_OUTOFVIDEOMEMORY: return "D3DERR_OUTOFVIDEOMEMORY";
        case ERR_WRONGTEXTUREFORMAT: return "D3DERR_WRONGTEXTUREFORMAT";
        case E_OUTOFMEMORY: return "E_OUTOFMEMORY";
        case E_FAIL: return "E_FAIL";
        default: return "unknown";
    }
}

}  // namespace QV::Gfx

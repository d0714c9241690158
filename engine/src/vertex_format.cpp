#include "vertex_format.h"

#include "config_manager.h"

namespace QV {

int VertexLayout::sFormat = 0;
uint32_t VertexLayout::sStride = 0;
uint32_t VertexLayout::sOffsets[12] = {};

static uint32_t componentSize(uint32_t flag) {
    switch (flag) {
        case VC_POSITION:
        case VC_NORMAL: return 12;
        case VC_DIFFUSE:
        case VC_SPECULAR: return 4;
        default: return (flag >= 16 && flag <= 2048) ? 8 : 0;
    }
}

uint32_t VertexLayout::updateFor(int format) {
    if (format == sFormat && sFormat != 0) return sStride;
    uint32_t offset = 0;
    for (uint32_t bit = 0; bit < 32; ++bit) {
        const uint32_t flag = 1u << bit;
        if (bit < 12) sOffsets[bit] = offset;
        if (uint32_t(format) & flag) offset += componentSize(flag);
    }
    sStride = offset;
    sFormat = format;
    return sStride;
}

uint32_t VertexLayout::update() {
    ConfigManager* config = ConfigManager::instancePointer();
    int format = config ? config->vertexFormat() : (sFormat ? sFormat : kDefaultVertexFormat);
    return updateFor(format);
}

uint32_t VertexLayout::fvfFor(int format) {
    const uint32_t f = uint32_t(format);
    uint32_t code = 0;
    if (f & VC_POSITION) code |= 0x002;
    if (f & VC_NORMAL) code |= 0x010;
    if (f & VC_DIFFUSE) code |= 0x040;
    for (uint32_t set = 0; set < 8; ++set)
        if (f & (VC_TEXCOORD0 << set)) code |= (set + 1) * 0x100;
    return code;
}

uint32_t VertexLayout::fvf() {
    update();
    return fvfFor(sFormat);
}

}  // namespace QV

#pragma once

#include <cstdint>

namespace QV {

// Vertex component flags; a vertex holds the flagged components in
// increasing flag order, packed without gaps.
enum VertexComponent : uint32_t {
    VC_POSITION = 1,   // x, y, z floats
    VC_NORMAL = 2,     // x, y, z floats
    VC_DIFFUSE = 4,    // QV::Color
    VC_SPECULAR = 8,   // QV::Color
    VC_TEXCOORD0 = 16, // u, v floats; sets 1..7 follow as 32 .. 2048
};

// The engine's vertex format: 21 is position, diffuse, one texture set.
constexpr int kDefaultVertexFormat = 21;

// Layout of the configured vertex format, kept process-wide: the stride and
// the offset of each of the 12 component flags (absent components get the
// offset where they would stand). Main thread writes it at start-up.
struct VertexLayout {
    static int sFormat;  // 0 before the first computation
    static uint32_t sStride;
    static uint32_t sOffsets[12];

    // Recomputes when the configured format changed; returns the stride.
    static uint32_t update();
    // The same for an explicit format code.
    static uint32_t updateFor(int format);
    // Flexible vertex format code of the current format.
    static uint32_t fvf();
    static uint32_t fvfFor(int format);

    static uint32_t stride() { return sStride; }
    static uint32_t positionOffset() { return sOffsets[0]; }
    static uint32_t normalOffset() { return sOffsets[1]; }
    static uint32_t diffuseOffset() { return sOffsets[2]; }
    static uint32_t texCoordOffset(unsigned set = 0) { return sOffsets[4 + set]; }
};

}  // namespace QV

#pragma once

#include <cstdint>

namespace QV {

// On-screen area of a quad record: each group of four vertices counts as its
// two triangles (p0 p1 p2 and p0 p2 p3). Records that are not quads or whose
// vertex count is odd or below 4 have no area.
float quadRecordArea(const uint8_t* vertices, uint32_t vertexCount, uint32_t stride, uint32_t positionOffset,
                     int32_t primitiveKind);

}  // namespace QV

#include "render_batch_stats.h"

#include <cmath>
#include <cstring>

#include "vector2.h"

namespace QV {

namespace {

Vector2<float> readPosition(const uint8_t* vertices, uint32_t index, uint32_t stride, uint32_t offset) {
    float xy[2];
    std::memcpy(xy, vertices + static_cast<size_t>(index) * stride + offset, sizeof(xy));
    return Vector2<float>(xy[0], xy[1]);
}

Vector2<float> unit(const Vector2<float>& v) {
    const float length = v.length();
    if (length <= 0.0f) return Vector2<float>(0.0f, 0.0f);
    return v / length;
}

// acos clamped, so rounding just past +-1 gives 0 or pi rather than NaN.
float angleBetween(const Vector2<float>& a, const Vector2<float>& b) {
    const float cosine = unit(a).dot(unit(b));
    if (cosine <= -1.0f) return 3.14159265f;
    if (cosine >= 1.0f) return 0.0f;
    return std::acos(cosine);
}

}  // namespace

float quadRecordArea(const uint8_t* vertices, uint32_t vertexCount, uint32_t stride, uint32_t positionOffset,
                     int32_t primitiveKind) {
    if (primitiveKind != 0 || vertices == nullptr || vertexCount <= 3 || (vertexCount % 2) != 0) return 0.0f;
    float area = 0.0f;
    for (uint32_t i = 0; i + 3 < vertexCount; i += 4) {
        const Vector2<float> p0 = readPosition(vertices, i, stride, positionOffset);
        const Vector2<float> e1 = readPosition(vertices, i + 1, stride, positionOffset) - p0;
        const Vector2<float> e2 = readPosition(vertices, i + 2, stride, positionOffset) - p0;
        const Vector2<float> e3 = readPosition(vertices, i + 3, stride, positionOffset) - p0;
        const float a = angleBetween(e2, e1);
        const float b = angleBetween(e2, e3);
        area += e1.length() * e2.length() / 2.0f * std::sin(a) + e2.length() * e3.length() / 2.0f * std::sin(b);
    }
    return area;
}

}  // namespace QV

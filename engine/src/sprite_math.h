#pragma once

// Small numeric rules both sprite kinds follow when they build vertices.

#include <cmath>

namespace QV {

constexpr float kSpriteDegreesToRadians = 0.017453292f;
// Scales this close to 0 have no inverse (single-precision epsilon).
constexpr float kSpriteScaleEpsilon = 1.1920929e-7f;

// The middle one of value, a and b: value clamped to [a, b] in either order.
inline float median(float value, float a, float b) {
    const float low = a < b ? a : b;
    const float high = a < b ? b : a;
    return value < low ? low : (value > high ? high : value);
}

inline float inverseScale(float scale) { return std::fabs(scale) > kSpriteScaleEpsilon ? 1.0f / scale : 0.0f; }

// Texels of a frame per pixel of size; 0 when either extent is 0.
inline float texelsPerPixel(float size, float extent) {
    const float ratio = size / std::fabs(extent);
    return (ratio != 0.0f && std::isfinite(ratio)) ? 1.0f / ratio : 0.0f;
}

}  // namespace QV

#pragma once

#include <cstdint>

#include "camera.h"
#include "d3dx_math.h"

namespace QV {

// The projection of a w x h target seen through a camera: workspace pixels,
// origin top left, y down; scale and rotation act about the target's centre
// and the picture is shifted half a pixel so texels land on pixels.
void buildViewProjection(const Camera& camera, int32_t width, int32_t height, Matrix4* out);

// Whether setting `next` over `current` must rebuild the projection. A camera
// that uses its matrix always counts as changed.
bool cameraChanged(const Camera& current, const Camera& next);

}  // namespace QV

#pragma once

#include <cstdint>

#include "matrix3.h"

namespace QV {

// The render system's view: position, scale and rotation (degrees) about the
// target's centre, plus an optional full transform applied before them.
struct Camera {
    float x = 0.0f;
    float y = 0.0f;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float angle = 0.0f;
    uint8_t useMatrix = 0;
    Matrix3 matrix;
};

}  // namespace QV

#pragma once

#include "vector2.h"

namespace QV {

// 2D transform, row-major, row-vector convention: a point (x, y) maps to
// (x*m00 + y*m10 + m20, x*m01 + y*m11 + m21). The third column is carried
// along but the renderer does not read it.
struct Matrix3 {
    float m00 = 1, m01 = 0, m02 = 0;
    float m10 = 0, m11 = 1, m12 = 0;
    float m20 = 0, m21 = 0, m22 = 1;

    static Matrix3 identity() { return Matrix3(); }
    bool isIdentity() const;

    Vector2<float> transformPoint(const Vector2<float>& p) const {
        return Vector2<float>(p.x * m00 + p.y * m10 + m20, p.x * m01 + p.y * m11 + m21);
    }
    // this applied first, then o (row vectors: p * this * o).
    Matrix3 operator*(const Matrix3& o) const;
    bool operator==(const Matrix3& o) const;
    bool operator!=(const Matrix3& o) const { return !(*this == o); }

    float* data() { return &m00; }
    const float* data() const { return &m00; }
};

static_assert(sizeof(Matrix3) == 9 * sizeof(float), "nine packed floats");

}  // namespace QV

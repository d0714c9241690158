#include "animationeditor/scene_transform.h"

#include <cmath>

namespace AE {

bool invertMatrix(const QV::Matrix3& m, QV::Matrix3& result) {
    const float det = m.m00 * (m.m11 * m.m22 - m.m12 * m.m21) - m.m01 * (m.m10 * m.m22 - m.m12 * m.m20) +
                      m.m02 * (m.m10 * m.m21 - m.m11 * m.m20);
    if (det == 0.0f || !std::isfinite(det)) return false;
    const float k = 1.0f / det;
    QV::Matrix3 inv;
    inv.m00 = (m.m11 * m.m22 - m.m12 * m.m21) * k;
    inv.m01 = -(m.m01 * m.m22 - m.m02 * m.m21) * k;
    inv.m02 = (m.m01 * m.m12 - m.m02 * m.m11) * k;
    inv.m10 = -(m.m10 * m.m22 - m.m12 * m.m20) * k;
    inv.m11 = (m.m00 * m.m22 - m.m02 * m.m20) * k;
    inv.m12 = -(m.m00 * m.m12 - m.m02 * m.m10) * k;
    inv.m20 = (m.m10 * m.m21 - m.m11 * m.m20) * k;
    inv.m21 = -(m.m00 * m.m21 - m.m01 * m.m20) * k;
    inv.m22 = (m.m00 * m.m11 - m.m01 * m.m10) * k;
    const float* d = inv.data();
    for (int i = 0; i < 9; ++i)
        if (!std::isfinite(d[i])) return false;
    result = inv;
    return true;
}

QV::Matrix3 translationMatrix(const QV::Vector2<float>& v) {
    QV::Matrix3 m;
    m.m20 = v.x;
    m.m21 = v.y;
    return m;
}

QV::Matrix3 scaleMatrix(const QV::Vector2<float>& s) {
    QV::Matrix3 m;
    m.m00 = s.x;
    m.m11 = s.y;
    return m;
}

QV::Matrix3 rotationMatrix(float radians) {
    QV::Matrix3 m;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    m.m00 = c;
    m.m01 = s;
    m.m10 = -s;
    m.m11 = c;
    return m;
}

QV::Matrix3 composeTransform(const QV::Matrix3& shear, const QV::Vector2<float>& scale,
                             const QV::Vector2<float>& pivot, const QV::Vector2<float>& position,
                             float rotationDegrees) {
    const float radians = rotationDegrees * kDegreesToRadians;
    return translationMatrix(-pivot) * scaleMatrix(scale) * shear * rotationMatrix(radians) *
           translationMatrix(position + pivot);
}

float matrixAngle(const QV::Matrix3& m) {
    float angle = std::atan2(m.m01, m.m00);
    if (m.m01 < -0.001f) angle = static_cast<float>(angle + kFullTurn);
    return angle;
}

float wrapToTurn(float x, float a) {
    float c = static_cast<float>(std::fmod(std::fabs(x), kFullTurn));
    if (x < 0.0f) c = -c;
    if (a < 0.0f && c >= 0.0f) a = static_cast<float>(a + kFullTurn);
    if (a >= 0.0f && c < 0.0f) a = static_cast<float>(a - kFullTurn);
    return (x - c) + a;
}

bool decomposeTransform(const QV::Matrix3& m, float rotationDegrees, const QV::Vector2<float>& pivot,
                        DecomposedTransform& out) {
    const float given = rotationDegrees * kDegreesToRadians;
    float r = wrapToTurn(given, matrixAngle(m));

    QV::Matrix3 linear = m;
    linear.m20 = 0.0f;
    linear.m21 = 0.0f;
    QV::Matrix3 aroundPivot;
    if (!invertMatrix(translationMatrix(-pivot) * linear * translationMatrix(pivot), aroundPivot)) return false;
    const QV::Matrix3 moved = aroundPivot * m;
    const QV::Vector2<float> t(moved.m20, moved.m21);

    QV::Matrix3 unturn;
    if (!invertMatrix(rotationMatrix(r) * translationMatrix(t + pivot), unturn)) return false;
    QV::Matrix3 k = translationMatrix(pivot) * m * unturn;
    QV::Vector2<float> s(std::sqrt(k.m00 * k.m00 + k.m01 * k.m01), std::sqrt(k.m10 * k.m10 + k.m11 * k.m11));
    if (s.x == 0.0f || s.y == 0.0f) return false;
    QV::Matrix3 shear = k;
    shear.m00 /= s.x;
    shear.m01 /= s.x;
    shear.m10 /= s.y;
    shear.m11 /= s.y;

    const bool mirrored = (m.m00 * m.m11 - m.m01 * m.m10) < 0.0f;
    const bool far = std::fabs(given - r) > 1.0f;
    // The degrees as given are compared with the radians as found.
    const float side = (rotationDegrees - r) < 0.0f ? -1.0f : 1.0f;
    if (mirrored && far) {
        r -= side * kHalfTurn;
        s.x = -s.x;
        shear.m10 = -shear.m10;
        shear.m11 = -shear.m11;
    } else if (mirrored) {
        s.y = -s.y;
        shear.m10 = -shear.m10;
        shear.m11 = -shear.m11;
    } else if (far) {
        r -= side * kHalfTurn;
        s.x = -s.x;
        s.y = -s.y;
    }
    out.rotation = r;
    out.position = t;
    out.scale = s;
    out.shear = shear;
    return true;
}

QV::Vector2<float> basisCoordinates(const QV::Vector2<float>& u, const QV::Vector2<float>& v,
                                    const QV::Vector2<float>& w) {
    const float kFloor = 0.00001f;
    float d1 = u.y * v.x - v.y * u.x;
    float d2 = v.y * u.x - u.y * v.x;
    if (std::fabs(d1) < kFloor) d1 = kFloor;
    if (std::fabs(d2) < kFloor) d2 = kFloor;
    return QV::Vector2<float>((w.y * v.x - v.y * w.x) / d1, (w.y * u.x - u.y * w.x) / d2);
}

}  // namespace AE

#pragma once

#include "matrix3.h"
#include "vector2.h"

namespace AE {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kRadiansToDegrees = 57.2957763671875f;
constexpr double kFullTurn = 6.2831854820251465;
constexpr float kHalfTurn = 3.141592502593994f;
// Inputs that moved by no more than this keep the old matrices.
constexpr float kTransformThreshold = 0.001f;

// The inverse by the adjugate. A singular matrix (a node scaled to 0) has none:
// the result is then false and `result` is left as it was.
bool invertMatrix(const QV::Matrix3& m, QV::Matrix3& result);

// Named matrices of the transform chain.
QV::Matrix3 translationMatrix(const QV::Vector2<float>& v);
QV::Matrix3 scaleMatrix(const QV::Vector2<float>& s);
QV::Matrix3 rotationMatrix(float radians);

// T(-pivot) x S(scale) x shear x R(rotation) x T(position + pivot): the node
// scales, shears and turns about its pivot, then moves to its position.
QV::Matrix3 composeTransform(const QV::Matrix3& shear, const QV::Vector2<float>& scale,
                             const QV::Vector2<float>& pivot, const QV::Vector2<float>& position,
                             float rotationDegrees);

struct DecomposedTransform {
    float rotation = 0.0f;  // radians
    QV::Vector2<float> position;
    QV::Vector2<float> scale{1.0f, 1.0f};
    QV::Matrix3 shear;
};

// Recovers the parameters that compose `m` about `pivot`, choosing the turn
// and mirroring closest to `rotationDegrees`. False (and `out` untouched) when
// `m` is singular.
bool decomposeTransform(const QV::Matrix3& m, float rotationDegrees, const QV::Vector2<float>& pivot,
                        DecomposedTransform& out);

// atan2(m01, m00), lifted into [0, 2pi) except just below 0.
float matrixAngle(const QV::Matrix3& m);

// The angle `a` placed in the same whole turn as `x`.
float wrapToTurn(float x, float a);

// (alpha, beta) with alpha * u + beta * v = w.
QV::Vector2<float> basisCoordinates(const QV::Vector2<float>& u, const QV::Vector2<float>& v,
                                    const QV::Vector2<float>& w);

}  // namespace AE

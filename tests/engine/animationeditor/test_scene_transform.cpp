#include <gtest/gtest.h>

#include <cmath>

#include "animationeditor/scene_transform.h"

namespace {

using V = QV::Vector2<float>;
constexpr float kEps = 1e-4f;

QV::Matrix3 shearOf(float m00, float m01, float m10, float m11) {
    QV::Matrix3 h;
    h.m00 = m00;
    h.m01 = m01;
    h.m10 = m10;
    h.m11 = m11;
    return h;
}

TEST(SceneTransform, ComposeMapsPoints) {
    struct Case {
        const char* what;
        V position, pivot, scale;
        float rotation;
        QV::Matrix3 shear;
        V in, expected;
    } cases[] = {
        {"translation", {10, 20}, {0, 0}, {1, 1}, 0, {}, {0, 0}, {10, 20}},
        {"turn about pivot keeps the pivot", {0, 0}, {5, 5}, {1, 1}, 90, {}, {5, 5}, {5, 5}},
        {"positive angle turns x toward +y", {0, 0}, {5, 5}, {1, 1}, 90, {}, {6, 5}, {5, 6}},
        {"scale about pivot", {0, 0}, {2, 2}, {3, 2}, 0, {}, {3, 3}, {5, 4}},
        {"shear", {0, 0}, {0, 0}, {1, 1}, 0, shearOf(1, 0, 0.5f, 1), {0, 2}, {1, 2}},
        {"rotate 180 then move", {100, 0}, {0, 0}, {1, 1}, 180, {}, {1, 0}, {99, 0}},
        {"mirror x", {0, 0}, {0, 0}, {-1, 1}, 0, {}, {3, 4}, {-3, 4}},
    };
    for (const Case& c : cases) {
        QV::Matrix3 m = AE::composeTransform(c.shear, c.scale, c.pivot, c.position, c.rotation);
        V out = m.transformPoint(c.in);
        EXPECT_NEAR(out.x, c.expected.x, kEps) << c.what;
        EXPECT_NEAR(out.y, c.expected.y, kEps) << c.what;
    }
}

TEST(SceneTransform, DecomposeRecoversComposedParameters) {
    struct Case {
        float rotation;
        V position, pivot, scale;
        QV::Matrix3 shear;
    } cases[] = {
        {0, {0, 0}, {0, 0}, {1, 1}, {}},
        {30, {10, -20}, {4, 7}, {2, 0.5f}, {}},
        {180, {3, 4}, {0, 0}, {1, 1}, {}},
        {-45, {-5, 2}, {1, -1}, {0.25f, 3}, {}},
        {725, {1, 1}, {2, 2}, {1, 1}, {}},  // stays near 725 degrees, not 5
        {60, {0, 0}, {3, 0}, {1.5f, 1}, shearOf(1, 0, 0.6f, 0.8f)},
    };
    for (const Case& c : cases) {
        QV::Matrix3 m = AE::composeTransform(c.shear, c.scale, c.pivot, c.position, c.rotation);
        AE::DecomposedTransform d;
        ASSERT_TRUE(AE::decomposeTransform(m, c.rotation, c.pivot, d)) << c.rotation;
        EXPECT_NEAR(d.rotation * AE::kRadiansToDegrees, c.rotation, 1e-2f) << c.rotation;
        EXPECT_NEAR(d.position.x, c.position.x, 1e-3f) << c.rotation;
        EXPECT_NEAR(d.position.y, c.position.y, 1e-3f) << c.rotation;
        EXPECT_NEAR(d.scale.x, c.scale.x, kEps) << c.rotation;
        EXPECT_NEAR(d.scale.y, c.scale.y, kEps) << c.rotation;
        EXPECT_NEAR(d.shear.m10, c.shear.m10, kEps) << c.rotation;
        EXPECT_NEAR(d.shear.m11, c.shear.m11, kEps) << c.rotation;
    }
}

TEST(SceneTransform, DecomposeMirrorChoosesByGivenRotation) {
    QV::Matrix3 mirror = AE::scaleMatrix(V(-1, 1));
    struct Case {
        float given;
        float rotation;  // degrees
        V scale;
    } cases[] = {
        {180, 180, {1, -1}},  // mirrored, near: y flips
        {0, 360, {-1, 1}},    // mirrored, far: half turn and x flips
    };
    for (const Case& c : cases) {
        AE::DecomposedTransform d;
        ASSERT_TRUE(AE::decomposeTransform(mirror, c.given, V(0, 0), d));
        EXPECT_NEAR(d.rotation * AE::kRadiansToDegrees, c.rotation, 1e-3f) << c.given;
        EXPECT_NEAR(d.scale.x, c.scale.x, kEps) << c.given;
        EXPECT_NEAR(d.scale.y, c.scale.y, kEps) << c.given;
        EXPECT_NEAR(d.shear.m00, 1, kEps);
        EXPECT_NEAR(d.shear.m01, 0, kEps);
        EXPECT_NEAR(d.shear.m10, 0, kEps);
        EXPECT_NEAR(d.shear.m11, 1, kEps);
        // Both compose back to the mirror.
        QV::Matrix3 back =
            AE::composeTransform(d.shear, d.scale, V(0, 0), d.position, d.rotation * AE::kRadiansToDegrees);
        const float* a = back.data();
        const float* b = mirror.data();
        for (int i = 0; i < 9; ++i) EXPECT_NEAR(a[i], b[i], kEps) << c.given << " " << i;
    }
}

TEST(SceneTransform, SingularMatrixHasNoInverseAndNoNaN) {
    QV::Matrix3 flat = AE::composeTransform(QV::Matrix3(), V(0, 1), V(0, 0), V(5, 5), 0);
    QV::Matrix3 untouched = AE::translationMatrix(V(7, 7));
    EXPECT_FALSE(AE::invertMatrix(flat, untouched));
    EXPECT_EQ(untouched, AE::translationMatrix(V(7, 7)));
    AE::DecomposedTransform d;
    d.position = V(1, 2);
    EXPECT_FALSE(AE::decomposeTransform(flat, 0, V(0, 0), d));
    EXPECT_EQ(d.position, V(1, 2));

    QV::Matrix3 m = AE::composeTransform(QV::Matrix3(), V(2, 4), V(1, 1), V(3, -3), 30);
    QV::Matrix3 inv;
    ASSERT_TRUE(AE::invertMatrix(m, inv));
    QV::Matrix3 id = m * inv;
    const float* p = id.data();
    const QV::Matrix3 identity;
    const float* e = identity.data();
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(p[i], e[i], kEps);
}

TEST(SceneTransform, AnglesAndTurns) {
    EXPECT_NEAR(AE::wrapToTurn(12.6f, 0.1f), 12.666f, 1e-3f);
    EXPECT_NEAR(AE::wrapToTurn(-0.5f, 0.3f), 0.3f - 6.2831853f, 1e-5f);
    EXPECT_NEAR(AE::wrapToTurn(0.0f, -0.2f), 6.2831853f - 0.2f, 1e-5f);  // sign of 0 is positive
    EXPECT_NEAR(AE::matrixAngle(AE::rotationMatrix(-0.0005f)), -0.0005f, 1e-6f);
    EXPECT_NEAR(AE::matrixAngle(AE::rotationMatrix(-0.01f)), 6.2831853f - 0.01f, 1e-5f);
    EXPECT_NEAR(AE::matrixAngle(AE::rotationMatrix(1.0f)), 1.0f, 1e-6f);
}

TEST(SceneTransform, BasisCoordinates) {
    V ab = AE::basisCoordinates(V(1, 0), V(0, 1), V(3, 4));
    EXPECT_NEAR(ab.x, 3, kEps);
    EXPECT_NEAR(ab.y, 4, kEps);
    ab = AE::basisCoordinates(V(2, 0), V(1, 1), V(4, 2));  // 1*u + 2*v
    EXPECT_NEAR(ab.x, 1, kEps);
    EXPECT_NEAR(ab.y, 2, kEps);
    ab = AE::basisCoordinates(V(1, 1), V(2, 2), V(1, 0));  // parallel: floored, finite
    EXPECT_TRUE(std::isfinite(ab.x));
    EXPECT_TRUE(std::isfinite(ab.y));
}

}  // namespace

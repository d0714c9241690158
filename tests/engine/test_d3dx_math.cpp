#include <gtest/gtest.h>

#include <cmath>

#include "d3dx_math.h"

namespace {

void expectPoint(const QV::Matrix4& m, float x, float y, float ex, float ey, const char* what) {
    float out[4];
    QV::transformPoint(m, x, y, 0, out);
    EXPECT_NEAR(out[0] / out[3], ex, 1e-5f) << what;
    EXPECT_NEAR(out[1] / out[3], ey, 1e-5f) << what;
}

TEST(D3dxMath, OrthoOffCenterAndTransforms) {
    QV::Matrix4 m;
    QV::matrixOrthoOffCenterLH(&m, 0, 200, 0, 100, 0, 128);
    expectPoint(m, 0, 0, -1, -1, "bottom left");
    expectPoint(m, 200, 100, 1, 1, "top right");
    float out[4];
    QV::transformPoint(m, 0, 0, 128, out);
    EXPECT_FLOAT_EQ(out[2], 1.0f);

    QV::Matrix4 r;
    QV::matrixRotationZ(&r, 3.14159265f / 2);
    expectPoint(r, 1, 0, 0, 1, "a quarter turn");
    QV::Matrix4 t, s, ts;
    QV::matrixTranslation(&t, 5, 6, 0);
    QV::matrixScaling(&s, 2, 3, 1);
    QV::matrixMultiply(&ts, &s, &t);  // scale, then move
    expectPoint(ts, 1, 1, 7, 9, "scale then translate");
    QV::Matrix4 tt;
    QV::matrixTranspose(&tt, &t);
    EXPECT_EQ(tt.m[0][3], 5.0f);
    QV::matrixMultiply(&t, &t, &t);  // aliasing is allowed
    EXPECT_EQ(t.m[3][0], 10.0f);
}

TEST(D3dxMath, WorkspaceOriginLandsHalfAPixelUpLeft) {
    // The renderer's view-projection for a 64 x 48 target, identity camera.
    const float W = 64, H = 48;
    QV::Matrix4 m, t;
    QV::matrixScaling(&m, 1, -1, 1);
    QV::matrixTranslation(&t, -W / 2, H - H / 2, 0);
    QV::matrixMultiply(&m, &m, &t);
    QV::matrixTranslation(&t, W / 2 - 0.5f, H / 2 + 0.5f, 0);
    QV::matrixMultiply(&m, &m, &t);
    QV::matrixOrthoOffCenterLH(&t, 0, W, 0, H, 0, 128);
    QV::matrixMultiply(&m, &m, &t);
    // One pixel is 2 / W wide in clip space: half a pixel left, half up.
    expectPoint(m, 0, 0, -1 - 1 / W, 1 + 1 / H, "origin");
    expectPoint(m, W, H, 1 - 1 / W, -1 + 1 / H, "far corner");
}

}  // namespace

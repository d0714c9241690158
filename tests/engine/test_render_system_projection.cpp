#include <gtest/gtest.h>

#include <vector>

#include "render_batch_stats.h"
#include "render_system_projection.h"

namespace {

// Window coordinates (pixels, y down) of a workspace point on a w x h target.
void project(const QV::Camera& camera, int w, int h, float x, float y, float& px, float& py) {
    QV::Matrix4 m;
    QV::buildViewProjection(camera, w, h, &m);
    float out[4];
    QV::transformPoint(m, x, y, 0.0f, out);
    px = (out[0] / out[3] + 1.0f) * 0.5f * w;
    py = (1.0f - out[1] / out[3]) * 0.5f * h;
}

TEST(RenderSystemProjection, MapsWorkspacePointsWithHalfPixelShift) {
    struct Case {
        QV::Camera camera;
        float x, y, expectX, expectY;
    };
    QV::Camera plain;
    QV::Camera moved;
    moved.x = 10.0f;
    moved.y = 20.0f;
    QV::Camera zoomed;
    zoomed.scaleX = 2.0f;
    zoomed.scaleY = 2.0f;
    QV::Camera turned;
    turned.angle = 180.0f;
    QV::Camera matrix;
    matrix.useMatrix = 1;
    matrix.matrix.m20 = 5.0f;
    matrix.matrix.m21 = 7.0f;
    const std::vector<Case> cases = {
        {plain, 0, 0, -0.5f, -0.5f},          // half a pixel left of and above the corner
        {plain, 100, 50, 99.5f, 49.5f},
        {moved, 0, 0, 9.5f, 19.5f},           // a camera position moves the picture by (+x, +y)
        {zoomed, 50, 25, 49.5f, 24.5f},       // the centre stays
        {zoomed, 0, 0, -50.5f, -25.5f},
        {turned, 0, 0, 99.5f, 49.5f},         // half a turn about the centre
        {matrix, 0, 0, 4.5f, 6.5f},
    };
    for (const Case& c : cases) {
        float px, py;
        project(c.camera, 100, 50, c.x, c.y, px, py);
        EXPECT_NEAR(px, c.expectX, 1e-3f) << c.x << "," << c.y;
        EXPECT_NEAR(py, c.expectY, 1e-3f) << c.x << "," << c.y;
    }
}

TEST(RenderSystemProjection, CameraChangeRules) {
    QV::Camera a;
    QV::Camera b;
    EXPECT_FALSE(QV::cameraChanged(a, b));
    b.x = 1e-8f;  // below FLT_EPSILON
    EXPECT_FALSE(QV::cameraChanged(a, b));
    b.x = 0.01f;
    EXPECT_TRUE(QV::cameraChanged(a, b));
    b = a;
    b.angle = 1.0f;
    EXPECT_TRUE(QV::cameraChanged(a, b));
    b = a;
    b.scaleY = 2.0f;
    EXPECT_TRUE(QV::cameraChanged(a, b));
    b = a;
    b.useMatrix = 1;
    EXPECT_TRUE(QV::cameraChanged(a, b));
    a.useMatrix = 1;
    EXPECT_TRUE(QV::cameraChanged(a, b));  // a matrix camera always counts as changed
}

TEST(RenderSystemProjection, QuadAreaCountsBothTriangles) {
    // Stride 24, position at 0: a 10 x 20 axis-aligned quad and a 4 x 4 one.
    std::vector<float> v(6 * 8, 0.0f);
    auto put = [&](int i, float x, float y) { v[i * 6] = x; v[i * 6 + 1] = y; };
    put(0, 0, 0); put(1, 10, 0); put(2, 10, 20); put(3, 0, 20);
    put(4, 5, 5); put(5, 9, 5); put(6, 9, 9); put(7, 5, 9);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(v.data());
    EXPECT_NEAR(QV::quadRecordArea(bytes, 8, 24, 0, 0), 216.0f, 1e-2f);
    EXPECT_NEAR(QV::quadRecordArea(bytes, 4, 24, 0, 0), 200.0f, 1e-2f);
    EXPECT_EQ(QV::quadRecordArea(bytes, 4, 24, 0, 1), 0.0f);  // lines have no area
    EXPECT_EQ(QV::quadRecordArea(bytes, 3, 24, 0, 0), 0.0f);
    EXPECT_EQ(QV::quadRecordArea(bytes, 5, 24, 0, 0), 0.0f);
}

}  // namespace

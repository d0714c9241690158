#include <gtest/gtest.h>

#include <cmath>

#include "window_fit.h"

namespace {

using V = QV::Vector2<float>;

struct FitCase {
    const char* name;
    V workspace, window;
    int type;
    float zoom, minimalAspect;
    V size, offset;
    float scale;
};

TEST(WindowFit, Table) {
    const FitCase cases[] = {
        {"same size", {1024, 768}, {1024, 768}, 0, 1, 0, {1024, 768}, {0, 0}, 1},
        {"wide window, bars", {1024, 768}, {1280, 720}, 0, 1, 0, {960, 720}, {160, 0}, 0.9375f},
        {"fit 1 wide enough", {1024, 768}, {1280, 720}, 1, 1, 1.5f, {960, 720}, {160, 0}, 0.9375f},
        {"fit 1 square, cropped", {1024, 768}, {1024, 1024}, 1, 1, 1.5f, {1536, 1152}, {-256, -64}, 1.5f},
        {"fit 2 zoomed", {1024, 768}, {1280, 720}, 2, 1.25f, 1.5f, {1200, 900}, {40, -90}, 1.171875f},
        {"tall window, bars", {1024, 768}, {1024, 1024}, 0, 1, 0, {1024, 768}, {0, 128}, 1},
        {"portrait", {768, 1024}, {720, 1280}, 0, 1, 0, {720, 960}, {0, 160}, 0.9375f},
        {"square counts as portrait", {512, 512}, {1000, 500}, 0, 1, 0, {500, 500}, {250, 0}, 500.0f / 512},
        {"portrait fit 1", {768, 1024}, {1024, 1024}, 1, 1, 1.5f, {1152, 1536}, {-64, -256}, 1.5f},
    };
    for (const FitCase& c : cases) {
        V size, offset;
        float scale = -1;
        QV::computeWorkspaceFit(c.workspace, c.window, c.type, c.zoom, c.minimalAspect, size, offset, scale);
        EXPECT_FLOAT_EQ(size.x, c.size.x) << c.name;
        EXPECT_FLOAT_EQ(size.y, c.size.y) << c.name;
        EXPECT_FLOAT_EQ(offset.x, c.offset.x) << c.name;
        EXPECT_FLOAT_EQ(offset.y, c.offset.y) << c.name;
        EXPECT_FLOAT_EQ(scale, c.scale) << c.name;
    }
}

TEST(WindowFit, DegenerateSizesStayFinite) {
    const V sizes[][2] = {{{1024, 768}, {0, 0}}, {{0, 0}, {800, 600}}, {{0, 0}, {0, 0}},
                          {{1024, 0}, {800, 0}}, {{NAN, 768}, {800, 600}}};
    for (int type = 0; type < 3; ++type) {
        for (const auto& s : sizes) {
            V size, offset;
            float scale;
            QV::computeWorkspaceFit(s[0], s[1], type, 1.25f, 1.5f, size, offset, scale);
            EXPECT_TRUE(std::isfinite(size.x) && std::isfinite(size.y)) << type;
            EXPECT_TRUE(std::isfinite(offset.x) && std::isfinite(offset.y)) << type;
            EXPECT_TRUE(std::isfinite(scale) && scale > 0) << type;
            QV::Vector2<int> p = QV::windowToWorkspace(s[0], size, offset, {10, 10});
            (void)p;  // must not trap under the sanitizers
        }
    }
}

TEST(WindowFit, MouseRoundTrip) {
    V size, offset;
    float scale;
    QV::computeWorkspaceFit({1024, 768}, {1280, 720}, 0, 1, 0, size, offset, scale);
    struct Case {
        QV::Vector2<int> window, workspace;
    } cases[] = {
        {{160, 0}, {0, 0}}, {{1119, 719}, {1022, 766}}, {{100, 10}, {-64, 10}}, {{640, 360}, {512, 384}},
    };
    for (const Case& c : cases) {
        QV::Vector2<int> p = QV::windowToWorkspace({1024, 768}, size, offset, c.window);
        EXPECT_EQ(p.x, c.workspace.x) << c.window.x << "," << c.window.y;
        EXPECT_EQ(p.y, c.workspace.y) << c.window.x << "," << c.window.y;
    }
    // Every workspace pixel's window position maps back to it at scale >= 1.
    QV::computeWorkspaceFit({320, 240}, {1280, 720}, 0, 1, 0, size, offset, scale);
    for (int x = 0; x < 320; x += 7) {
        float wx = offset.x + (x + 0.5f) * scale;
        QV::Vector2<int> p = QV::windowToWorkspace({320, 240}, size, offset, {int(wx), int(offset.y + 5.5f * scale)});
        EXPECT_EQ(p.x, x);
        EXPECT_EQ(p.y, 5);
    }
}

}  // namespace

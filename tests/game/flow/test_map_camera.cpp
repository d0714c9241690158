#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow/map_camera.h"

namespace {

TEST(MapCamera, MarkersConfigureBoundsAndOverscrollInBothForms) {
    struct Case {
        std::vector<std::string> names;
        CameraBounds landscape, portrait;
        float overX, overY;
    } cases[] = {
        {{"#over:20"}, {}, {}, 20, 20},
        {{"#over:20:40"}, {}, {}, 20, 40},
        {{"#over:20x40"}, {}, {}, 20, 40},  // any one character separates two numbers
        {{"#h:bound-hor:100:-50", "#h:bound-ver:0:1440"}, {-50, 0, 100, 1440}, {}, 0, 0},
        {{"#v:bound-hor:3.5:7", "#v:bound-ver:-720:0"}, {}, {3.5f, -720, 7, 0}, 0, 0},
        // A key counts only at the start; a key without its two numbers changes nothing.
        {{"x#over:20", "#h:bound-hor:5", "init"}, {}, {}, 0, 0},
        // A later marker overwrites only what it names.
        {{"#over:10", "#over:30:5", "#h:bound-ver:9:1"}, {0, 1, 0, 9}, {}, 30, 5},
    };
    for (const Case& c : cases) {
        CameraConfig config;
        for (const std::string& name : c.names) readCameraMarker(name, &config);
        const std::string what = c.names.front();
        EXPECT_FLOAT_EQ(config.overscroll.x, c.overX) << what;
        EXPECT_FLOAT_EQ(config.overscroll.y, c.overY) << what;
        EXPECT_FLOAT_EQ(config.landscape.minX, c.landscape.minX) << what;
        EXPECT_FLOAT_EQ(config.landscape.minY, c.landscape.minY) << what;
        EXPECT_FLOAT_EQ(config.landscape.maxX, c.landscape.maxX) << what;
        EXPECT_FLOAT_EQ(config.landscape.maxY, c.landscape.maxY) << what;
        EXPECT_FLOAT_EQ(config.portrait.minX, c.portrait.minX) << what;
        EXPECT_FLOAT_EQ(config.portrait.minY, c.portrait.minY) << what;
        EXPECT_FLOAT_EQ(config.portrait.maxX, c.portrait.maxX) << what;
        EXPECT_FLOAT_EQ(config.portrait.maxY, c.portrait.maxY) << what;
    }
}

TEST(MapCamera, AReleasedDragKeepsOnlySpeedsOfSixtyUnitsPerSecondAndMore) {
    // 1 unit in 0.02 s is 39 units/s after damping: no inertia.
    QV::Vector2<float> v = releaseVelocity({100, 100}, {99, 99}, 0.02f);
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    // 10 units in 0.02 s: 390 units/s on y only.
    v = releaseVelocity({100, 100}, {100.5f, 90}, 0.02f);
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_FLOAT_EQ(v.y, 390.0f);
    // A frame time of 0 hands over nothing (no division by zero).
    v = releaseVelocity({0, 0}, {50, 50}, 0.0f);
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
}

TEST(MapCamera, InertiaDecaysUntilBelowSixtyUnitsPerSecond) {
    QV::Vector2<float> camera(0, 0), velocity(0, -2000);
    int frames = 0;
    while (inertiaStep(&camera, &velocity, 0.02f)) ASSERT_LT(++frames, 200);
    EXPECT_GT(frames, 10);
    EXPECT_EQ(velocity.y, 0.0f);
    EXPECT_LT(camera.y, -300.0f);  // the wheel's impulse carried the camera up
    EXPECT_GT(camera.y, -500.0f);
    EXPECT_EQ(camera.x, 0.0f);
}

}  // namespace

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "flow/window_size.h"

namespace {

QV::Platform::DisplayMetrics display(int workWidth, int workHeight, int frame = 4, int caption = 24) {
    QV::Platform::DisplayMetrics d;
    d.desktopWidth = workWidth;
    d.desktopHeight = workHeight + 40;
    d.workLeft = 0;
    d.workTop = 0;
    d.workWidth = workWidth;
    d.workHeight = workHeight;
    d.frameWidth = frame;
    d.captionHeight = caption;
    return d;
}

TEST(WindowSize, FitsTheConfiguredSizeIntoTheWorkArea) {
    struct Case {
        const char* what;
        int configuredWidth, configuredHeight, fitType;
        float minimalAspect;
        QV::Platform::DisplayMetrics display;
        int clientWidth, clientHeight;
    };
    const Case cases[] = {
        {"room enough", 1280, 720, 0, 1.33f, display(1920, 1040), 1280, 720},
        {"too small, aspect kept, height bound", 1280, 720, 0, 1.33f, display(1366, 688), 1166, 656},
        {"too small, aspect kept, width bound", 1280, 720, 0, 1.33f, display(1000, 1000), 992, 558},
        // Fit type 1 lets the aspect shrink to the minimal one: the fitted 992x720 (1.378) stays.
        {"fit type 1 keeps a fitted aspect above the minimum", 1280, 720, 1, 1.33f, display(1000, 1000), 992,
         720},
        // Fitted 792x720 (1.1) is below 1.33: the height shrinks to the minimal aspect.
        {"fit type 1 narrows to the minimal aspect", 1280, 720, 1, 1.33f, display(800, 1000), 792, 595},
        {"portrait configuration", 720, 1280, 0, 1.33f, display(1920, 1040), 567, 1008},
        {"exactly the available area", 1280, 720, 0, 1.33f, display(1288, 752), 1280, 720},
    };
    for (const Case& c : cases) {
        WindowSizeInput in;
        in.configuredWidth = c.configuredWidth;
        in.configuredHeight = c.configuredHeight;
        in.fitType = c.fitType;
        in.minimalAspect = c.minimalAspect;
        in.display = c.display;
        const WindowSize out = computeWindowSize(in);
        EXPECT_EQ(out.clientWidth, c.clientWidth) << c.what;
        EXPECT_EQ(out.clientHeight, c.clientHeight) << c.what;
        EXPECT_EQ(out.outerWidth, out.clientWidth + 2 * c.display.frameWidth) << c.what;
        EXPECT_EQ(out.outerHeight, out.clientHeight + 2 * c.display.frameWidth + c.display.captionHeight) << c.what;
    }
}

TEST(WindowSize, CentresInTheWorkAreaAndFillsTheDesktopInFullScreen) {
    WindowSizeInput in;
    in.configuredWidth = 800;
    in.configuredHeight = 600;
    in.display = display(1920, 1040);
    in.display.workLeft = 100;
    in.display.workTop = 30;
    WindowSize out = computeWindowSize(in);
    EXPECT_EQ(out.x, 100 + 960 - 400);
    EXPECT_EQ(out.y, 30 + 520 - 12 - 300);

    in.fullscreen = true;
    out = computeWindowSize(in);
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.y, 0);
    EXPECT_EQ(out.clientWidth, 1920);
    EXPECT_EQ(out.clientHeight, 1080);
}

TEST(WindowSize, AResolutionFileDecidesTheSizeByTheConfiguredOrientation) {
    WindowSizeInput in;
    in.configuredWidth = 1280;
    in.configuredHeight = 720;
    in.display = display(800, 600);  // too small, but the file decides
    in.hasResolutionFile = true;
    in.fileFirst = 1280;
    in.fileSecond = 720;
    WindowSize out = computeWindowSize(in);
    EXPECT_EQ(out.clientWidth, 1280);
    EXPECT_EQ(out.clientHeight, 720);

    in.configuredWidth = 720;
    in.configuredHeight = 1280;
    out = computeWindowSize(in);
    EXPECT_EQ(out.clientWidth, 720);
    EXPECT_EQ(out.clientHeight, 1280);
}

TEST(WindowSize, ResolutionFileIsUsedOnlyWithTwoPositiveNumbers) {
    qvtest::TempDir dir;
    struct Case {
        const char* text;
        bool used;
        int first, second;
    };
    const Case cases[] = {
        {"1280\n720\n", true, 1280, 720},
        {"1280\r\n720", true, 1280, 720},
        {" 640\n480 trailing words\n", true, 640, 480},
        {"1280\n", false, 0, 0},
        {"", false, 0, 0},
        {"wide\ntall\n", false, 0, 0},
        {"0\n720\n", false, 0, 0},
        {"-1280\n720\n", false, 0, 0},
        {"1280\n-720\n", false, 0, 0},
        {"99999999999999999999\n720\n", false, 0, 0},
        {"1280000000000000000000000000000000000000000000000000000000000000000000000\n720\n", false, 0, 0},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file("resolution.txt");
        qvtest::writeFile(path, c.text);
        int32_t first = 0, second = 0;
        EXPECT_EQ(readResolutionFile(path, first, second), c.used) << c.text;
        if (c.used) {
            EXPECT_EQ(first, c.first) << c.text;
            EXPECT_EQ(second, c.second) << c.text;
        }
    }
    int32_t first = 0, second = 0;
    EXPECT_FALSE(readResolutionFile(dir.file("missing.txt"), first, second));
}

}  // namespace

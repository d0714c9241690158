#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/captured_run.h"
#include "support/child_process.h"
#include "support/font_fixture.h"
#include "support/temp_dir.h"

namespace {

// The engine started over the shipped content, one job running: the frame
// draws "FPS 10.000000" and "Loading..." in the debug font at the top left.
TEST(LoadingScreen, ShowsTheFrameRateAndLoadingLinesWhileAJobRuns) {
    qvtest::TempDir dir;
    std::filesystem::copy(QV_SOURCE_DIR "/media", dir.file("media"), std::filesystem::copy_options::recursive);
    qvtest::CapturedRunOptions options;
    options.workingDirectory = dir.path();
    options.env = {{"SDL_VIDEODRIVER", "offscreen"}, {"ALSOFT_DRIVERS", "null"}, {"QV_NO_MESSAGE_BOX", "1"}};
    const qvtest::CapturedRun run =
        qvtest::runCaptured(qvtest::testProgram("loading_screen_prog"), {dir.file("screen.png")}, options);
    ASSERT_TRUE(run.exited) << run.err;
    ASSERT_EQ(run.exitCode, 0) << run.err << run.out;
    EXPECT_NE(run.out.find("Init TextureManager..."), std::string::npos);
    EXPECT_EQ(run.out.find("Debug font"), std::string::npos) << "the debug font is listed";

    std::vector<uint8_t> rgba;
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(qvtest::decodePngRgba(qvtest::readFile(dir.file("screen.png")), &rgba, &width, &height));
    EXPECT_EQ(width, 1280u);
    EXPECT_EQ(height, 720u);
    // Both lines carry white text; below them the screen stays clear.
    auto litPixels = [&](uint32_t top, uint32_t bottom) {
        size_t lit = 0;
        for (uint32_t y = top; y < bottom; ++y) {
            for (uint32_t x = 0; x < 200; ++x) lit += rgba[(size_t(y) * width + x) * 4] > 128;
        }
        return lit;
    };
    EXPECT_GT(litPixels(0, 19), 100u);
    EXPECT_GT(litPixels(20, 39), 50u);
    EXPECT_EQ(litPixels(45, 720), 0u);
    const std::string mismatch = qvtest::compareWithExpected("loading_screen.png", rgba, width, height, 24, 40);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
}

}  // namespace

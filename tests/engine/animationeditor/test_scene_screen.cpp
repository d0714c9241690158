#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/captured_run.h"
#include "support/child_process.h"
#include "support/font_fixture.h"
#include "support/temp_dir.h"

namespace {

struct SceneRun {
    qvtest::CapturedRun run;
    std::vector<uint8_t> rgba;
    uint32_t width = 0;
    uint32_t height = 0;
};

// The engine over a copy of the shipped content, showing one of our scenes
// while a job runs.
SceneRun runScene(const std::string& mode) {
    qvtest::TempDir dir;
    std::filesystem::copy(QV_SOURCE_DIR "/media", dir.file("media"), std::filesystem::copy_options::recursive);
    qvtest::CapturedRunOptions options;
    options.workingDirectory = dir.path();
    options.env = {{"SDL_VIDEODRIVER", "offscreen"}, {"ALSOFT_DRIVERS", "null"}, {"QV_NO_MESSAGE_BOX", "1"}};
    SceneRun result;
    result.run = qvtest::runCaptured(qvtest::testProgram("scene_screen_prog"), {mode, dir.file("screen.png")}, options);
    if (result.run.exited && result.run.exitCode == 0) {
        qvtest::decodePngRgba(qvtest::readFile(dir.file("screen.png")), &result.rgba, &result.width, &result.height);
    }
    return result;
}

// Pixels of a box that are not black.
size_t litPixels(const SceneRun& r, uint32_t left, uint32_t top, uint32_t right, uint32_t bottom) {
    size_t lit = 0;
    for (uint32_t y = top; y < bottom; ++y) {
        for (uint32_t x = left; x < right; ++x) {
            const uint8_t* p = &r.rgba[(size_t(y) * r.width + x) * 4];
            lit += (p[0] + p[1] + p[2]) > 60;
        }
    }
    return lit;
}

// 0.3 s into the looping loading scene: the panel, its title, the ring a
// little over a quarter turn round and the dots on their second frame.
TEST(SceneScreen, ShowsTheLoopingLoadingSceneWhileAJobRuns) {
    const SceneRun r = runScene("loading");
    ASSERT_TRUE(r.run.exited) << r.run.err;
    ASSERT_EQ(r.run.exitCode, 0) << r.run.err << r.run.out;
    ASSERT_EQ(r.width, 1280u);
    ASSERT_EQ(r.height, 720u);
    EXPECT_EQ(r.run.out.find("Failed to create sprite"), std::string::npos) << r.run.out;
    EXPECT_EQ(litPixels(r, 0, 0, 1280, 290), 0u);  // nothing above the panel
    EXPECT_GT(litPixels(r, 512, 296, 768, 424), 256u * 128u * 9 / 10);
    const std::string mismatch = qvtest::compareWithExpected("loading_scene.png", r.rgba, r.width, r.height, 8, 40);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
}

// Half a second of the effect scene's "init": the badge grows, the burst
// throws particles, the click starts.
TEST(SceneScreen, EffectScenePlaysItsSpriteParticlesAndSound) {
    const SceneRun r = runScene("effect");
    ASSERT_TRUE(r.run.exited) << r.run.err;
    ASSERT_EQ(r.run.exitCode, 0) << r.run.err << r.run.out;
    int particles = -1, handle = -1, playing = -1, device = -1;
    const size_t at = r.run.out.find("particles ");
    ASSERT_NE(at, std::string::npos) << r.run.out;
    ASSERT_EQ(std::sscanf(r.run.out.c_str() + at, "particles %d\nsound handle %d playing %d device %d", &particles,
                          &handle, &playing, &device),
              4);
    EXPECT_GT(particles, 0);
    if (device == 1) {
        EXPECT_GT(handle, 0);
        EXPECT_NE(r.run.out.find("SoundSceneNode::updateDerived, createAndPlay(mID "), std::string::npos);
    }
    EXPECT_GT(litPixels(r, 600, 320, 680, 400), 3000u);  // the badge around the centre
    EXPECT_GT(litPixels(r, 440, 160, 840, 560) - litPixels(r, 560, 280, 720, 440), 20u);  // particles outside it
}

}  // namespace

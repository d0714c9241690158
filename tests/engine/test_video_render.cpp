// What the video player puts on screen, read back from a real OpenGL window:
// the CPU conversion, and the "yuv2rgb" shader pair when the content has it.

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "input_manager.h"
#include "platform/scripted_input_source.h"
#include "platform/window.h"
#include "render_system.h"
#include "stopwatch.h"
#include "support/gl_required.h"
#include "support/font_fixture.h"
#include "support/sprite_fixture.h"
#include "support/temp_dir.h"
#include "support/theora_fixture.h"
#include "support/theora_reference.h"
#include "texture_manager.h"
#include "ui/ui_font_manager.h"
#include "video_player.h"
#include "video_surface.h"
#include "video_surface_streamer.h"

namespace {

class FakeClock : public QV::PerformanceCounter {
public:
    std::uint64_t counter() const override { return mTicks.load(); }
    std::uint64_t frequency() const override { return 1000; }
    void set(double seconds) { mTicks = static_cast<std::uint64_t>(std::llround(seconds * 1000.0)); }

private:
    std::atomic<std::uint64_t> mTicks{0};
};

bool alwaysActive() { return true; }

// 48 x 32, two halves of different luma and chroma: the chroma texture is
// wider than its plane, so its coordinates must be scaled to it.
uint8_t halves(int, int plane, int x, int) {
    const bool left = plane == 0 ? x < 24 : x < 12;
    if (plane == 0) return left ? 80 : 170;
    if (plane == 1) return left ? 100 : 160;
    return left ? 180 : 90;
}

std::string shaderText(const char* file) {
    return qvtest::readFile(std::string(QV_SOURCE_DIR) + "/media/shaders/" + file);
}

struct Pixel {
    int r, g, b;
};

class VideoRender : public testing::TestWithParam<bool> {
protected:
    void TearDown() override {
        QV::VideoSurfaceStreamer::setActivityProbe(nullptr);
        QV::VideoSurfaceStreamer::setClockSource(nullptr);
    }
};

TEST_P(VideoRender, TheFrameFillsTheWindowInItsColours) {
    const bool shaders = GetParam();
    qvtest::TheoraFixture fixture;
    fixture.width = 48;
    fixture.height = 32;
    fixture.frames = 2;
    fixture.sample = &halves;
    const std::string video = qvtest::encodeTheora(fixture);
    const std::vector<qvtest::ReferenceFrame> reference = qvtest::decodeTheoraReference(video);
    ASSERT_EQ(reference.size(), 2u);
    const std::vector<uint8_t> expected = reference[0].rgba();

    std::vector<qvtest::SpriteMediaFile> files = {{"clip_ogv", "/video/clip.ogv", video}};
    if (shaders) {
        files.push_back({"yuv2rgb_ps", "/shaders/yuv2rgb_ps.psh", shaderText("yuv2rgb_ps.psh")});
        files.push_back({"yuv2rgb_vs", "/shaders/yuv2rgb_vs.vsh", shaderText("yuv2rgb_vs.vsh")});
    }
    FakeClock clock;
    QV::VideoSurfaceStreamer::setActivityProbe(&alwaysActive);
    QV::VideoSurfaceStreamer::setClockSource(&clock);
    qvtest::SpriteWorld world(files, qvtest::SpriteWorld::Device::OpenGL, 64, 64);
    if (!world.ready()) QV_GL_UNAVAILABLE() << "no OpenGL window here: " << QV::Platform::Window::lastError();

    QV::VideoPlayer player;
    QV::VideoEntry entry;
    entry.videoName = "clip_ogv";
    ASSERT_TRUE(player.enqueue(entry));
    player.update();
    QV::VideoSurface* surface = player.entry(0)->surface;
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->isShaderMode(), shaders);

    // The first frame is due after 0.04 s; the clock then stands still.
    clock.set(0.01);
    // The decoder thread takes as long as a busy machine lets it: ctest's limit is the only clock.
    while (surface->getFramesDecoded() < 1) usleep(1000);
    ASSERT_EQ(surface->getFramesDecoded(), 1);
    for (int i = 0; i < 2; ++i) {  // textures reach the device, then the frame reaches them
        world.textures().update();
        player.update();
        player.renderBlocking();
    }
    std::vector<uint8_t> bgra;
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(world.readBack(&bgra, &width, &height));
    ASSERT_EQ(width, 64u);

    // 48 x 32 letterboxed into 64 x 64: scale 4 / 3, rows 10.7 .. 53.3.
    struct Probe {
        int x, y, videoX, videoY;
    };
    const Probe probes[] = {{12, 32, 9, 16}, {52, 32, 39, 16}, {12, 20, 9, 7}, {52, 44, 39, 25}};
    const int tolerance = shaders ? 6 : 2;
    for (const Probe& p : probes) {
        const uint8_t* got = bgra.data() + (static_cast<size_t>(p.y) * width + p.x) * 4;
        const uint8_t* want = expected.data() + (static_cast<size_t>(p.videoY) * reference[0].width + p.videoX) * 4;
        EXPECT_NEAR(got[2], want[0], tolerance) << "red at " << p.x << "," << p.y;
        EXPECT_NEAR(got[1], want[1], tolerance) << "green at " << p.x << "," << p.y;
        EXPECT_NEAR(got[0], want[2], tolerance) << "blue at " << p.x << "," << p.y;
    }
    // The bars stay black.
    const uint8_t* bar = bgra.data() + (static_cast<size_t>(2) * width + 32) * 4;
    EXPECT_LT(bar[0] + bar[1] + bar[2], 10);
}

INSTANTIATE_TEST_SUITE_P(CpuAndShaders, VideoRender, testing::Values(false, true));

}  // namespace

namespace {

// Captions and the skip label over a dark video, with a font of white boxes:
// a caption shows in its time span only, in the track's colour; the label
// dims while the mouse is over the skip area.
TEST(VideoCaptions, CaptionInItsSpanAndTheLabelDimmedUnderTheMouse) {
    qvtest::TheoraFixture fixture;
    fixture.width = 64;
    fixture.height = 32;
    fixture.frames = 40;
    fixture.sample = [](int, int plane, int, int) -> uint8_t { return plane == 0 ? 16 : 128; };
    const QV::Color white = QV::Color::fromBytes(255, 255, 255, 255);
    std::vector<qvtest::GlyphEntry> glyphs = {{32, 0, 0, 4, 10}, {'a', 0, 0, 10, 10}, {'b', 0, 0, 10, 10}};
    const std::vector<qvtest::FontMediaFile> files = {
        {"default", "clip_ogv", "/video/clip.ogv", qvtest::encodeTheora(fixture)},
        {"default", "box_fnt", "/fonts/box.lua", "Image = 'box_image'\n" + qvtest::charListLua("CharList", glyphs)},
        {"default", "box_image", "/fonts/box.png", qvtest::cellPng(64, 64, {white})},
    };
    FakeClock clock;
    QV::VideoSurfaceStreamer::setActivityProbe(&alwaysActive);
    QV::VideoSurfaceStreamer::setClockSource(&clock);
    qvtest::FontWorldOptions options;
    options.workspaceWidth = 256;
    options.workspaceHeight = 128;
    options.device = qvtest::FontWorldOptions::Device::OpenGL;
    {
        qvtest::FontWorld world(files, options);
        if (!world.ready()) QV_GL_UNAVAILABLE() << "no OpenGL window here: " << QV::Platform::Window::lastError();
        QV::InputManager input(nullptr);
        auto* mouse = new QV::Platform::ScriptedInputSource();
        mouse->moveMouse(1, 180, 70);  // over the skip area from the second poll
        input.init(mouse);

        QV::VideoPlayer player;
        QV::VideoEntry entry;
        entry.videoName = "clip_ogv";
        entry.subtitles.font = world.fonts().getFont("box_fnt");
        QV::SubtitleItem item;
        item.text = u"aa";
        item.start = 0.2f;
        item.end = 1.0f;
        entry.subtitles.items.push_back(item);
        entry.subtitles.position = QV::Vector2<float>(8.0f, 100.0f);
        entry.subtitles.size = QV::Vector2<float>(12.0f, 6.0f);  // smaller than "aa": it grows
        entry.subtitles.useStyle = true;
        entry.subtitles.color = QV::Color::fromBytes(255, 0, 0, 255);
        entry.labelFont = world.fonts().getFont("box_fnt");
        entry.labelText = u"b";
        entry.labelHAlign = 0;
        entry.labelVAlign = 0;
        entry.skipSize = QV::Vector2<float>(20.0f, 12.0f);  // at (172, 64)
        ASSERT_TRUE(player.enqueue(entry));

        auto shoot = [&](double seconds, std::vector<uint8_t>* bgra) {
            clock.set(seconds);
            QV::VideoSurface* surface = player.entry(0)->surface;
            for (int i = 0; i < 500 && std::fabs(surface->getTime() - float(seconds)) > 1e-3f; ++i) {
                QV::VideoSurfaceStreamer::instance()->uploadFrames();
                usleep(1000);
            }
            for (int i = 0; i < 2; ++i) {
                world.textures().update();
                input.pollMouse();
                player.update();
                player.renderBlocking();
            }
            uint32_t w = 0, h = 0;
            return world.readBack(bgra, &w, &h) && w == 256;
        };
        auto pixel = [](const std::vector<uint8_t>& bgra, int x, int y) {
            const uint8_t* p = bgra.data() + (static_cast<size_t>(y) * 256 + x) * 4;
            return Pixel{p[2], p[1], p[0]};
        };
        player.update();
        ASSERT_NE(player.entry(0)->surface, nullptr);

        std::vector<uint8_t> before, during, after;
        ASSERT_TRUE(shoot(0.1, &before));
        ASSERT_TRUE(shoot(0.5, &during));
        ASSERT_TRUE(shoot(1.2, &after));
        EXPECT_TRUE(player.isSkipHovered());

        // The caption box grew to 20 x 10 up and left: its bottom-right corner stayed at (20, 106).
        const QV::SubtitleItem& laidOut = player.entry(0)->subtitles.items[0];
        EXPECT_TRUE(laidOut.laidOut);
        EXPECT_FLOAT_EQ(laidOut.boxSize.x, 20.0f);
        EXPECT_FLOAT_EQ(laidOut.boxSize.y, 10.0f);
        EXPECT_FLOAT_EQ(laidOut.position.x, 0.0f);
        EXPECT_FLOAT_EQ(laidOut.position.y, 96.0f);
        // The caption's second box: red while shown, the video's dark grey otherwise.
        for (const auto* shot : {&before, &after}) EXPECT_LT(pixel(*shot, 13, 105).r, 40);
        const Pixel caption = pixel(during, 13, 105);
        EXPECT_GT(caption.r, 230);
        EXPECT_LT(caption.g, 40);
        // The label in white modulated by 0.85, alpha included, over the video.
        const Pixel label = pixel(during, 177, 69);
        const int video = pixel(during, 150, 69).r;
        const int expected = (217 * 217 + video * (255 - 217)) / 255;
        EXPECT_NEAR(label.r, expected, 4);
        EXPECT_NEAR(label.g, expected, 4);
    }
}

}  // namespace

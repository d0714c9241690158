// The video player's queue: starting, fitting, ending and skipping entries,
// their sound tracks, and the application frame around it.

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "application.h"
#include "file_system.h"
#include "input_manager.h"
#include "platform/gfx/recording_driver.h"
#include "platform/scripted_input_source.h"
#include "sound_system/sound_manager.h"
#include "sprite.h"
#include "stopwatch.h"
#include "support/font_fixture.h"
#include "support/media_fixture.h"
#include "support/sound_fixtures.h"
#include "support/sprite_fixture.h"
#include "support/temp_dir.h"
#include "support/theora_fixture.h"
#include "video_player.h"
#include "video_surface.h"
#include "video_surface_streamer.h"

namespace {

using Button = QV::Platform::ScriptedInputSource::Button;

class FakeClock : public QV::PerformanceCounter {
public:
    std::uint64_t counter() const override { return mTicks.load(); }
    std::uint64_t frequency() const override { return 1000; }
    void set(double seconds) { mTicks = static_cast<std::uint64_t>(std::llround(seconds * 1000.0)); }

private:
    std::atomic<std::uint64_t> mTicks{0};
};

std::atomic<bool> gActive{false};
bool probeActive() { return gActive.load(); }

std::string clip(int frames = 10, int badFrame = -1) {
    qvtest::TheoraFixture fixture;
    fixture.frames = frames;
    fixture.badFrame = badFrame;
    return qvtest::encodeTheora(fixture);
}

QV::VideoEntry entryFor(const std::string& video, const std::string& sound = "",
                        QV::Vector2<float> skipSize = QV::Vector2<float>()) {
    QV::VideoEntry entry;
    entry.videoName = video;
    entry.soundName = sound;
    entry.skipSize = skipSize;
    return entry;
}

// Render system on the recording device (window and workspace 320 x 240),
// sound on a loopback device, scripted mouse, and the player.
class VideoPlayerTest : public testing::Test {
protected:
    void SetUp() override {
        gActive = false;
        QV::VideoSurfaceStreamer::setActivityProbe(&probeActive);
        QV::VideoSurfaceStreamer::setClockSource(&mClock);
        mWorld = std::make_unique<qvtest::SpriteWorld>(
            std::vector<qvtest::SpriteMediaFile>{
                {"clip_ogv", "/video/clip.ogv", clip()},
                {"short_ogv", "/video/short.ogv", clip(3)},
                {"bad_ogv", "/video/bad.ogv", clip(10, 2)},
                {"track_ogg", "/sounds/track.ogg", qvtest::makeToneOgg(44100)},
                {"bg_ogg", "/sounds/bg.ogg", qvtest::makeToneOgg(44100)},
            },
            qvtest::SpriteWorld::Device::Recording, 320, 240);
        ASSERT_TRUE(mWorld->ready());
        QV::SoundOutput output;
        output.loopback = true;
        output.sampleRate = 22050;
        mSound = std::make_unique<QV::SoundManager>(output);
        mInput = std::make_unique<QV::InputManager>(nullptr);
        newInput();
        mPlayer = std::make_unique<QV::VideoPlayer>();
    }
    void TearDown() override {
        mPlayer.reset();
        mInput.reset();
        mSound.reset();
        mWorld.reset();
        QV::Gfx::setDriverFactory(nullptr);
        QV::VideoSurfaceStreamer::setActivityProbe(nullptr);
        QV::VideoSurfaceStreamer::setClockSource(nullptr);
    }

    QV::Platform::ScriptedInputSource* newInput() {
        mSource = new QV::Platform::ScriptedInputSource();
        mInput->init(mSource);
        return mSource;
    }

    // One update as the frame runs it: the mouse poll, then the player.
    void frame() {
        mInput->pollMouse();
        mPlayer->update();
    }

    // Frames until the queue is empty, letting the decoding thread run; the
    // clock moves a second a frame.
    bool playOut(int maxFrames = 2000) {
        for (int i = 0; i < maxFrames && mPlayer->entryCount() != 0; ++i) {
            mClock.set(i + 1.0);
            frame();
            QV::VideoSurfaceStreamer::instance()->uploadFrames();
            usleep(1000);
        }
        return mPlayer->entryCount() == 0;
    }

    int playBackground() {
        QV::SoundDescription description;
        description.fileName = "bg_ogg";
        description.looped = true;
        return mSound->play(mSound->loadResource(description));
    }

    FakeClock mClock;
    std::unique_ptr<qvtest::SpriteWorld> mWorld;
    std::unique_ptr<QV::SoundManager> mSound;
    std::unique_ptr<QV::InputManager> mInput;
    QV::Platform::ScriptedInputSource* mSource = nullptr;
    std::unique_ptr<QV::VideoPlayer> mPlayer;
};

TEST_F(VideoPlayerTest, AMissingVideoIsRemovedAtTheFirstUpdateAndTheNextStartsAfter) {
    ASSERT_TRUE(mPlayer->enqueue(entryFor("missing_ogv")));
    ASSERT_TRUE(mPlayer->enqueue(entryFor("clip_ogv")));
    EXPECT_EQ(mPlayer->entryCount(), 2);
    EXPECT_TRUE(mPlayer->isPlaying());

    frame();
    EXPECT_EQ(mPlayer->entryCount(), 1);
    EXPECT_EQ(mPlayer->currentIndex(), -1);
    EXPECT_EQ(mPlayer->entry(0)->videoName, "clip_ogv");
    EXPECT_EQ(mPlayer->entry(0)->surface, nullptr);

    frame();
    EXPECT_EQ(mPlayer->currentIndex(), 0);
    ASSERT_NE(mPlayer->entry(0)->surface, nullptr);
    EXPECT_EQ(QV::VideoSurfaceStreamer::instance()->surfaceCount(), 1u);
}

TEST_F(VideoPlayerTest, TheVideoIsLetterboxedIntoTheWorkspaceOneUnitOverEachEdge) {
    ASSERT_TRUE(mPlayer->enqueue(entryFor("clip_ogv")));
    frame();
    QV::VideoSurface* surface = mPlayer->entry(0)->surface;
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(mPlayer->entry(0)->videoSize.x, 32.0f);
    // 32 x 32 in 320 x 240: 240 x 240 at (40, 0).
    QV::Sprite* sprite = surface->currentSprite(0);
    ASSERT_NE(sprite, nullptr);
    EXPECT_FLOAT_EQ(sprite->getPosition().x, 39.0f);
    EXPECT_FLOAT_EQ(sprite->getPosition().y, -1.0f);
    EXPECT_FLOAT_EQ(sprite->getSize().x, 242.0f);
    EXPECT_FLOAT_EQ(sprite->getSize().y, 242.0f);
}

TEST_F(VideoPlayerTest, StartingAnEntryStopsEverySoundAndPlaysItsTrack) {
    const int background = playBackground();
    ASSERT_NE(background, 0);
    ASSERT_TRUE(mSound->isPlaying(background));
    ASSERT_TRUE(mPlayer->enqueue(entryFor("clip_ogv", "track_ogg")));
    frame();
    EXPECT_FALSE(mSound->isPlaying(background));
    const int track = mPlayer->entry(0)->soundHandle;
    ASSERT_NE(track, 0);
    EXPECT_TRUE(mSound->isPlaying(track));
    EXPECT_NE(mPlayer->entry(0)->soundId, 0);
}

TEST_F(VideoPlayerTest, APressInsideTheSkipAreaDropsTheEntryAndItsTrack) {
    // Window = workspace 320 x 240: a 100 x 40 area spans x 156..256, y 64..104.
    struct Case {
        int x, y;
        Button button;
        float width;
        bool dropped;
    };
    const Case cases[] = {
        {200, 80, Button::Left, 100.0f, true},  {200, 80, Button::Right, 100.0f, true},
        {156, 80, Button::Left, 100.0f, false},  // edges are outside
        {200, 64, Button::Left, 100.0f, false}, {10, 10, Button::Left, 100.0f, false},
        {200, 80, Button::Left, 0.0f, false},  // no area
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " width " << c.width);
        mPlayer.reset();
        mPlayer = std::make_unique<QV::VideoPlayer>();
        QV::Platform::ScriptedInputSource* input = newInput();
        input->moveMouse(1, c.x, c.y);
        input->pressButton(2, c.button);
        input->releaseButton(3, c.button);
        ASSERT_TRUE(mPlayer->enqueue(entryFor("clip_ogv", "track_ogg", QV::Vector2<float>(c.width, 40.0f))));
        frame();  // starts the entry
        const int track = mPlayer->entry(0)->soundHandle;
        ASSERT_NE(track, 0);
        frame();  // the mouse moves
        EXPECT_EQ(mPlayer->isSkipHovered(), c.dropped);
        EXPECT_FLOAT_EQ(mPlayer->entry(0)->skipPos.x, 320.0f - 64.0f - c.width);
        EXPECT_FLOAT_EQ(mPlayer->entry(0)->skipPos.y, 64.0f);
        frame();  // the button goes down
        frame();
        EXPECT_EQ(mPlayer->entryCount(), c.dropped ? 0 : 1);
        EXPECT_EQ(mSound->isPlaying(track), !c.dropped);
    }
}

TEST_F(VideoPlayerTest, EntriesEndWithTheirVideoOrAClosedSurface) {
    gActive = true;
    mClock.set(0.0);
    ASSERT_TRUE(mPlayer->enqueue(entryFor("short_ogv", "track_ogg")));
    ASSERT_TRUE(mPlayer->enqueue(entryFor("bad_ogv")));
    frame();
    const int track = mPlayer->entry(0)->soundHandle;
    ASSERT_TRUE(playOut());
    EXPECT_FALSE(mSound->isPlaying(track));
    EXPECT_EQ(QV::VideoSurfaceStreamer::instance()->surfaceCount(), 0u);
    EXPECT_EQ(mPlayer->currentIndex(), -1);
}

TEST_F(VideoPlayerTest, TheQueueHoldsEightEntriesWithNamesThatFit) {
    for (int i = 0; i < QV::VideoPlayer::kMaxEntries; ++i) EXPECT_TRUE(mPlayer->enqueue(entryFor("clip_ogv"))) << i;
    EXPECT_FALSE(mPlayer->enqueue(entryFor("clip_ogv")));
    EXPECT_EQ(mPlayer->entryCount(), 8);

    QV::VideoPlayer fresh;
    const std::string longest(63, 'v');
    EXPECT_FALSE(fresh.enqueue(entryFor("")));
    EXPECT_FALSE(fresh.enqueue(entryFor(longest + "v")));
    EXPECT_FALSE(fresh.enqueue(entryFor("clip_ogv", longest + "s")));
    EXPECT_TRUE(fresh.enqueue(entryFor(longest, longest)));
    EXPECT_EQ(fresh.entryCount(), 1);
}

// The application frame: while videos are queued neither the game's update
// nor its render runs; once the queue is empty both come back.
class RecordingApplication : public Application {
public:
    void update() override { calls.push_back("update"); }
    void render() override { calls.push_back("render"); }
    std::vector<std::string> calls;
};

TEST(VideoPlayerFrame, TheGameFrameReturnsWhenTheQueueIsEmpty) {
    qvtest::TempDir dir;
    qvtest::writeFile(dir.file("media/video/short.ogv"), clip(3));
    qvtest::writeMedia(dir.file("media"), {{"default", {{"short_ogv", "/video/short.ogv"}}}});
    qvtest::ScopedChdir cd(dir.path());
    QV::gContentDirectory = "./media/";
    QV::Gfx::useRecordingDriver();
    auto* app = new RecordingApplication();
    app->getWindow()->clientWidth = 320;
    app->getWindow()->clientHeight = 240;
    app->initDevices();
    gApplication = app;  // as the game's application does; video time runs while it is active

    QV::VideoPlayer* player = app->getVideoPlayer();
    ASSERT_NE(player, nullptr);
    ASSERT_TRUE(player->enqueue(entryFor("missing_ogv")));
    ASSERT_TRUE(player->enqueue(entryFor("short_ogv")));
    for (int i = 0; i < 300 && player->isPlaying(); ++i) {
        ASSERT_TRUE(app->calls.empty()) << i;
        app->updateFrame();
        app->renderFrame();
    }
    EXPECT_FALSE(player->isPlaying());

    app->calls.clear();
    app->updateFrame();
    app->renderFrame();
    EXPECT_EQ(app->calls, (std::vector<std::string>{"update", "render"}));
    app->shutDown();
    gApplication = nullptr;
    delete app;
    QV::Gfx::setDriverFactory(nullptr);
}

}  // namespace

namespace {

// The skip area keeps 64 units from the window's top-right corner, letterbox
// bars included, and the mouse reaches it through the window fit.
TEST(VideoPlayerSkipArea, FollowsTheWindowCornerThroughTheLetterbox) {
    struct Case {
        int windowWidth, windowHeight;
        float skipX, skipY;
        int pressX, pressY;  // window pixels inside the area
    };
    const Case cases[] = {
        {320, 240, 156.0f, 64.0f, 200, 80},
        {640, 240, 316.0f, 64.0f, 520, 80},   // bars left and right, 160 wide
        {320, 480, 156.0f, -56.0f, 200, 80},  // bars above and below, 120 high
        {640, 480, 156.0f, 64.0f, 460, 184},  // scale 2, no bars
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.windowWidth << " x " << c.windowHeight);
        qvtest::FontWorldOptions options;
        options.workspaceWidth = 320;
        options.workspaceHeight = 240;
        options.device = qvtest::FontWorldOptions::Device::Recording;
        qvtest::FontWorld world({{"default", "clip_ogv", "/video/clip.ogv", clip()}}, options);
        ASSERT_TRUE(world.ready());
        world.setWindowSize(c.windowWidth, c.windowHeight);
        QV::InputManager input(nullptr);
        auto* mouse = new QV::Platform::ScriptedInputSource();
        mouse->moveMouse(1, c.pressX, c.pressY);
        mouse->pressButton(2, Button::Left);
        input.init(mouse);

        QV::VideoPlayer player;
        ASSERT_TRUE(player.enqueue(entryFor("clip_ogv", "", QV::Vector2<float>(100.0f, 40.0f))));
        for (int i = 0; i < 2; ++i) {
            input.pollMouse();
            player.update();
        }
        EXPECT_FLOAT_EQ(player.entry(0)->skipPos.x, c.skipX);
        EXPECT_FLOAT_EQ(player.entry(0)->skipPos.y, c.skipY);
        EXPECT_TRUE(player.isSkipHovered());
        input.pollMouse();
        player.update();
        EXPECT_EQ(player.entryCount(), 0);
        QV::Gfx::setDriverFactory(nullptr);
    }
}

}  // namespace

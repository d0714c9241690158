// Video surfaces on the CPU path: opening, timing by the play clock, the
// pause while the window is inactive, the RGBA conversion, refusals and the
// surface limit. The decoding pass is stepped by the test on a fake clock.

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <memory>

#include "stopwatch.h"
#include "support/sprite_fixture.h"
#include "support/sound_fixtures.h"
#include "support/theora_fixture.h"
#include "support/theora_reference.h"
#include "video_surface.h"
#include "video_surface_streamer.h"

namespace {

class FakeClock : public QV::PerformanceCounter {
public:
    std::uint64_t counter() const override { return mTicks.load(); }
    std::uint64_t frequency() const override { return 1000000; }
    void set(double seconds) { mTicks = static_cast<std::uint64_t>(std::llround(seconds * 1e6)); }

private:
    std::atomic<std::uint64_t> mTicks{0};
};

std::atomic<bool> gActive{true};
bool probeActive() { return gActive.load(); }

class VideoSurfaceTest : public testing::Test {
protected:
    void SetUp() override {
        gActive = true;
        mClock.set(0.0);
        QV::VideoSurfaceStreamer::setActivityProbe(&probeActive);
        QV::VideoSurfaceStreamer::setClockSource(&mClock);
    }
    void TearDown() override {
        mStreamer.reset();
        mWorld.reset();
        QV::VideoSurfaceStreamer::setActivityProbe(nullptr);
        QV::VideoSurfaceStreamer::setClockSource(nullptr);
    }

    // A content folder holding the files, and a streamer without its thread.
    void start(const std::vector<qvtest::SpriteMediaFile>& files) {
        mWorld = std::make_unique<qvtest::SpriteWorld>(files);
        mStreamer = std::make_unique<QV::VideoSurfaceStreamer>(false);
    }

    // Steps the clock to t and runs what the two threads would: a pass and an upload.
    void stepTo(double seconds) {
        mClock.set(seconds);
        mStreamer->runPass();
        mStreamer->uploadFrames();
    }

    FakeClock mClock;
    std::unique_ptr<qvtest::SpriteWorld> mWorld;
    std::unique_ptr<QV::VideoSurfaceStreamer> mStreamer;
};

TEST_F(VideoSurfaceTest, DeliversEveryFrameOnTimeAsTheDecoderProducedIt) {
    qvtest::TheoraFixture fixture;
    fixture.width = 40;  // coded as 48 x 32
    fixture.height = 24;
    const std::string bytes = qvtest::encodeTheora(fixture);
    ASSERT_FALSE(bytes.empty());
    const std::vector<qvtest::ReferenceFrame> reference = qvtest::decodeTheoraReference(bytes);
    ASSERT_EQ(reference.size(), 10u);
    start({{"clip_ogv", "/video/clip.ogv", bytes}});

    QV::VideoSurface* surface = mStreamer->createSurface("clip_ogv");
    ASSERT_NE(surface, nullptr);
    EXPECT_FALSE(surface->isShaderMode());
    EXPECT_FLOAT_EQ(surface->getFps(), 25.0f);
    EXPECT_EQ(surface->frameSize().x, 48.0f);
    EXPECT_EQ(surface->frameSize().y, 32.0f);

    int seen = 0;
    for (int step = 0; step <= 60; ++step) {
        const double t = step * 0.01;
        stepTo(t);
        const int decoded = surface->getFramesDecoded();
        // Frame n (from 0) is never decoded before n / 25 s.
        ASSERT_LT((decoded - 1) / 25.0, t + 1e-9) << "at " << t;
        ASSERT_GE(decoded, std::min(10, static_cast<int>(std::floor(t * 25.0 + 1e-9)))) << "at " << t;
        if (decoded > seen) {
            ASSERT_EQ(decoded, seen + 1);
            bool dirty = true;
            EXPECT_EQ(surface->planePixels(0, &dirty), reference[decoded - 1].rgba()) << "frame " << decoded - 1;
            EXPECT_FALSE(dirty);
            seen = decoded;
        }
    }
    EXPECT_EQ(seen, 10);
    EXPECT_TRUE(surface->isEnded());
    EXPECT_TRUE(surface->isFinished());
    EXPECT_EQ(mStreamer->removeSurface(surface), 0);
    EXPECT_EQ(mStreamer->removeSurface(surface), 1);
}

TEST_F(VideoSurfaceTest, ClockStandsStillWhileTheWindowIsInactive) {
    qvtest::TheoraFixture fixture;
    fixture.frames = 20;
    start({{"clip_ogv", "/video/clip.ogv", qvtest::encodeTheora(fixture)}});
    QV::VideoSurface* surface = mStreamer->createSurface("clip_ogv");
    ASSERT_NE(surface, nullptr);

    for (int ms = 0; ms <= 190; ms += 10) stepTo(ms / 1000.0);
    EXPECT_EQ(surface->getFramesDecoded(), 5);

    gActive = false;
    for (int ms = 190; ms <= 10190; ms += 500) stepTo(ms / 1000.0);
    EXPECT_EQ(surface->getFramesDecoded(), 5);
    EXPECT_NEAR(surface->getTime(), 0.19f, 1e-4);

    // Ten seconds later the video goes on from the same point.
    gActive = true;
    for (int ms = 10190; ms <= 10290; ms += 10) stepTo(ms / 1000.0);
    EXPECT_EQ(surface->getFramesDecoded(), 8);
    EXPECT_NEAR(surface->getTime(), 0.29f, 1e-3);
}

TEST_F(VideoSurfaceTest, AFrameNotYetUploadedHoldsTheNextOneBack) {
    start({{"clip_ogv", "/video/clip.ogv", qvtest::encodeTheora(qvtest::TheoraFixture())}});
    QV::VideoSurface* surface = mStreamer->createSurface("clip_ogv");
    ASSERT_NE(surface, nullptr);
    mClock.set(5.0);
    for (int i = 0; i < 5; ++i) mStreamer->runPass();
    EXPECT_EQ(surface->getFramesDecoded(), 1);
    mStreamer->uploadFrames();
    mStreamer->runPass();
    EXPECT_EQ(surface->getFramesDecoded(), 2);
}

TEST_F(VideoSurfaceTest, OtherLogicalStreamsAreSkipped) {
    for (bool vorbisFirst : {false, true}) {
        qvtest::TheoraFixture fixture;
        fixture.withVorbis = true;
        fixture.vorbisFirst = vorbisFirst;
        fixture.frames = 30;
        mClock.set(0.0);
        start({{"clip_ogv", "/video/clip.ogv", qvtest::encodeTheora(fixture)}});
        QV::VideoSurface* surface = mStreamer->createSurface("clip_ogv");
        ASSERT_NE(surface, nullptr) << vorbisFirst;
        for (int ms = 0; ms <= 1400; ms += 10) stepTo(ms / 1000.0);
        EXPECT_EQ(surface->getFramesDecoded(), 30) << vorbisFirst;
        EXPECT_TRUE(surface->isEnded()) << vorbisFirst;
        mStreamer.reset();
        mWorld.reset();
    }
}

TEST_F(VideoSurfaceTest, UnplayableVideosAreRefusedAtOpen) {
    const std::string good = qvtest::encodeTheora(qvtest::TheoraFixture());
    qvtest::TheoraFixture f444;
    f444.pixelFormat = 3;
    qvtest::TheoraFixture f422;
    f422.pixelFormat = 2;
    qvtest::TheoraFixture huge;  // announces 4112 x 4112, past the 4096 x 4096 limit
    huge.announcedMacroblocks = 257;
    qvtest::TheoraFixture largest;  // 4096 x 4096 is still taken
    largest.announcedMacroblocks = 256;
    const std::vector<qvtest::SpriteMediaFile> files = {
        {"sound_ogv", "/video/sound.ogv", qvtest::makeToneOgg(4000)},
        {"garbage_ogv", "/video/garbage.ogv", std::string(10000, '\x5a')},
        {"empty_ogv", "/video/empty.ogv", ""},
        {"cut_ogv", "/video/cut.ogv", good.substr(0, 200)},
        {"yuv444_ogv", "/video/444.ogv", qvtest::encodeTheora(f444)},
        {"yuv422_ogv", "/video/422.ogv", qvtest::encodeTheora(f422)},
        {"huge_ogv", "/video/huge.ogv", qvtest::encodeTheora(huge)},
        {"largest_ogv", "/video/largest.ogv", qvtest::encodeTheora(largest)},
    };
    start(files);
    for (const std::string name : {"missing_ogv", "sound_ogv", "garbage_ogv", "empty_ogv", "cut_ogv", "yuv444_ogv",
                                   "yuv422_ogv", "huge_ogv"}) {
        EXPECT_EQ(mStreamer->createSurface(name), nullptr) << name;
    }
    EXPECT_EQ(mStreamer->surfaceCount(), 0u);
    QV::VideoSurface* atLimit = mStreamer->createSurface("largest_ogv");
    ASSERT_NE(atLimit, nullptr);
    EXPECT_EQ(atLimit->frameSize().x, 4096.0f);
}

TEST_F(VideoSurfaceTest, ABadPacketClosesTheSurfaceAndCountsAsFinished) {
    qvtest::TheoraFixture fixture;
    fixture.badFrame = 3;
    start({{"bad_ogv", "/video/bad.ogv", qvtest::encodeTheora(fixture)}});
    QV::VideoSurface* surface = mStreamer->createSurface("bad_ogv");
    ASSERT_NE(surface, nullptr);
    for (int ms = 0; ms <= 1000; ms += 10) stepTo(ms / 1000.0);
    EXPECT_EQ(surface->getFramesDecoded(), 3);
    EXPECT_FALSE(surface->isPlaying());
    EXPECT_FALSE(surface->isEnded());
    EXPECT_TRUE(surface->isFinished());
    EXPECT_EQ(surface->currentSprite(0), nullptr);  // planes and sprites freed
}

TEST_F(VideoSurfaceTest, The128thSurfaceIsRefused) {
    qvtest::TheoraFixture fixture;
    fixture.width = fixture.height = 16;
    fixture.frames = 1;
    start({{"tiny_ogv", "/video/tiny.ogv", qvtest::encodeTheora(fixture)}});
    std::vector<QV::VideoSurface*> surfaces;
    for (size_t i = 0; i < QV::VideoSurfaceStreamer::kMaxSurfaces; ++i) {
        QV::VideoSurface* s = mStreamer->createSurface("tiny_ogv");
        ASSERT_NE(s, nullptr) << i;
        surfaces.push_back(s);
    }
    EXPECT_EQ(mStreamer->surfaceCount(), 127u);
    EXPECT_EQ(mStreamer->createSurface("tiny_ogv"), nullptr);
    EXPECT_EQ(mStreamer->removeSurface(surfaces.back()), 0);
    EXPECT_NE(mStreamer->createSurface("tiny_ogv"), nullptr);
}

// The thread itself: with the clock moved past the end, every frame comes
// while the main thread keeps uploading.
TEST_F(VideoSurfaceTest, DecodingThreadPlaysToTheEnd) {
    mWorld = std::make_unique<qvtest::SpriteWorld>(std::vector<qvtest::SpriteMediaFile>{
        {"clip_ogv", "/video/clip.ogv", qvtest::encodeTheora(qvtest::TheoraFixture())}});
    mStreamer = std::make_unique<QV::VideoSurfaceStreamer>();
    ASSERT_TRUE(mStreamer->isThreadStarted());
    QV::VideoSurface* surface = mStreamer->createSurface("clip_ogv");
    ASSERT_NE(surface, nullptr);
    mClock.set(100.0);
    for (int i = 0; i < 2000 && !surface->isEnded(); ++i) {
        mStreamer->uploadFrames();
        usleep(1000);
    }
    EXPECT_TRUE(surface->isEnded());
    EXPECT_EQ(surface->getFramesDecoded(), 10);
}

}  // namespace

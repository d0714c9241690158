// What really comes out of OpenAL, read back through a loopback device.
#include <cmath>

#include "sound_test_fixture.h"

namespace {

using soundtest::SoundTest;

constexpr double kAudible = 0.05;
// Output dither leaves about half a step of noise in silence.
constexpr double kSilent = 0.001;

// Last frame of a stereo render whose samples are above a small threshold.
int lastAudibleFrame(const std::vector<int16_t>& pcm) {
    for (int i = static_cast<int>(pcm.size()) - 1; i >= 0; --i)
        if (std::abs(pcm[i]) > 300) return i / 2;
    return -1;
}

TEST_F(SoundTest, ShortSoundPlaysItsFramesThenGoesSilent) {
    addTone("tone", 20000);
    startManager();
    int id = load("tone");
    ASSERT_GT(id, 0);
    int handle = mManager->play(id);
    ASSERT_GT(handle, 0);
    EXPECT_TRUE(mManager->isPlaying(handle));

    std::vector<int16_t> pcm = render(30000);
    EXPECT_GT(level(pcm, 0, 1000), kAudible);
    EXPECT_GT(level(pcm, 19000, 900), kAudible);
    int last = lastAudibleFrame(pcm);
    EXPECT_GE(last, 19800);
    EXPECT_LE(last, 20100);
    EXPECT_LT(level(pcm, 20200, 9800), kSilent);

    // Played out: no longer playing and, a few updates later, reclaimed.
    EXPECT_FALSE(mManager->isPlaying(handle));
    EXPECT_EQ(mManager->getChannel(handle), nullptr);
    // Its chunk buffers went with it: nothing decoded is left.
    for (const QV::SoundChunk& chunk : mManager->getResource(id)->chunks) {
        EXPECT_FALSE(chunk.uploaded);
        EXPECT_EQ(chunk.references, 0);
    }
    EXPECT_EQ(countInLog("OpenAL Error"), 0) << log();
}

TEST_F(SoundTest, LoopedSoundWrapsWithoutGapAndTwoBuffersAtMost) {
    addTone("loop", 20000);  // three chunks, the last one short
    startManager();
    int id = load("loop", 1, 1.0f, true);
    int handle = mManager->play(id);
    ASSERT_GT(handle, 0);
    QV::SoundChannel* channel = mManager->getChannel(handle);
    std::vector<int> order{channel->lastQueued};
    const int block = 512;
    double quietest = 1.0;
    std::vector<int16_t> pcm(block * 2);
    for (int done = 0; done < 75000; done += block) {
        mManager->device().render(pcm.data(), block);
        quietest = std::min(quietest, level(pcm, 0, block));
        mManager->update();
        EXPECT_LE(sourceInt(handle, AL_BUFFERS_QUEUED), 2);
        if (channel->lastQueued != order.back()) order.push_back(channel->lastQueued);
    }
    EXPECT_GT(quietest, kAudible);
    EXPECT_TRUE(mManager->isPlaying(handle));
    // 75,000 frames are more than three passes over the chunks 0, 1, 2.
    ASSERT_GE(order.size(), 9u);
    for (size_t i = 1; i < order.size(); ++i) EXPECT_EQ(order[i], (order[i - 1] + 1) % 3) << i;

    EXPECT_EQ(mManager->stop(handle), 0);
    EXPECT_FALSE(mManager->isPlaying(handle));
    std::vector<int16_t> after = render(4096);
    EXPECT_LT(level(after, 1024, 3072), kSilent);
    EXPECT_EQ(countInLog("OpenAL Error"), 0) << log();
}

TEST_F(SoundTest, OneChunkLoopQueuesTheSameChunkTwice) {
    addTone("blip", 3000);
    startManager();
    int handle = mManager->play(load("blip", 1, 1.0f, true));
    render(1024);
    EXPECT_EQ(sourceInt(handle, AL_BUFFERS_QUEUED), 2);
    std::vector<int16_t> pcm = render(12000, 256);
    EXPECT_GT(level(pcm, 8000, 4000), kAudible);
    EXPECT_EQ(mManager->getResource(1)->chunks[0].references, 2);
}

// Scene sound nodes set the looped flag right after starting a sound.
TEST_F(SoundTest, LoopedFlagSetAfterStartKeepsTheSoundGoing) {
    addTone("blip", 3000);
    startManager();
    int id = load("blip", 1);
    int handle = mManager->play(id);
    ASSERT_TRUE(mManager->setResourceLooped(id, true));
    std::vector<int16_t> pcm = render(12000, 256);
    EXPECT_GT(level(pcm, 8000, 4000), kAudible);
    EXPECT_TRUE(mManager->isPlaying(handle));
    ASSERT_TRUE(mManager->setResourceLooped(id, false));
    pcm = render(12000, 256);
    // What was queued (two chunks of 3,000 frames at most) plays out.
    EXPECT_LT(level(pcm, 6500, 5500), kSilent);
    EXPECT_EQ(mManager->getChannel(handle), nullptr);
}

TEST_F(SoundTest, TwoChannelsShareChunkBuffers) {
    addTone("shared", 20000);
    startManager();
    int id = load("shared", 1);
    int first = mManager->play(id);
    int second = mManager->play(id);
    QV::SoundResource* resource = mManager->getResource(id);
    EXPECT_EQ(resource->chunks[0].references, 2);
    unsigned buffer = resource->chunks[0].buffer;
    mManager->stop(first);
    EXPECT_TRUE(resource->chunks[0].uploaded);
    EXPECT_EQ(resource->chunks[0].buffer, buffer);
    mManager->stop(second);
    EXPECT_FALSE(resource->chunks[0].uploaded);
    EXPECT_EQ(countInLog("OpenAL Error"), 0) << log();
}

// The gain of a source: application, group, resource and own volume, clamped.
TEST_F(SoundTest, GainRule) {
    addTone("music", 20000);
    startManager();
    struct Case {
        float group, resourceVolume, own;
        float gain;
    } cases[] = {
        {1.0f, 1.0f, 1.0f, 1.0f}, {0.5f, 1.0f, 1.0f, 0.5f}, {0.5f, 0.5f, 0.5f, 0.125f},
        {1.0f, 2.0f, 1.0f, 1.0f},  // clamped
        {1.0f, 1.0f, -1.0f, 0.0f}, {0.0f, 1.0f, 1.0f, 0.0f},
    };
    int i = 0;
    for (const Case& c : cases) {
        int handle = mManager->play(load("music#" + std::to_string(i++), 1, c.resourceVolume));
        ASSERT_GT(handle, 0);
        mManager->setGroupVolume1(c.group);
        EXPECT_EQ(mManager->setVolume(handle, c.own), 0);
        EXPECT_FLOAT_EQ(sourceGain(handle), c.gain) << c.group << " " << c.resourceVolume << " " << c.own;
        EXPECT_FLOAT_EQ(mManager->getGroupVolume(1), c.group);
        mManager->stop(handle);
    }
    EXPECT_FLOAT_EQ(mManager->getGroupVolume(7), 1.0f);
}

TEST_F(SoundTest, GroupVolumeHalvesTheLevel) {
    addTone("music", 60000);
    startManager();
    mManager->play(load("music", 1));
    double full = level(render(8192), 2048, 6144);
    mManager->setGroupVolume1(0.5f);
    double half = level(render(8192), 2048, 6144);
    ASSERT_GT(full, kAudible);
    EXPECT_NEAR(half / full, 0.5, 0.03);
    // Other groups are unaffected by group 1.
    mManager->setGroupVolume0(0.25f);
    EXPECT_NEAR(level(render(8192), 2048, 6144) / full, 0.5, 0.03);
}

TEST_F(SoundTest, InactiveApplicationIsSilent) {
    addTone("music", 80000);
    startManager();
    int first = mManager->play(load("music", 1));
    ASSERT_GT(level(render(4096), 1024, 3072), kAudible);

    QV::SoundManager::setApplicationActive(false);
    mManager->updateListenerGain();
    EXPECT_FLOAT_EQ(mManager->device().listenerGain(), 0.0f);
    EXPECT_LT(level(render(8192), 2048, 6144), kSilent);
    mManager->setVolume(first, 1.0f);
    EXPECT_FLOAT_EQ(sourceGain(first), 0.0f);

    QV::SoundManager::setApplicationActive(true);
    mManager->updateListenerGain();
    mManager->setVolume(first, 1.0f);
    EXPECT_FLOAT_EQ(mManager->device().listenerGain(), 1.0f);
    EXPECT_GT(level(render(8192), 2048, 6144), kAudible);
}

}  // namespace

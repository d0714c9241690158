#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "animationeditor/frame_data.h"
#include "animationeditor/sound_scene_node.h"
#include "animationeditor/vector_stream.h"
#include "format_string.h"
#include "scene_world.h"
#include "sound_system/sound_manager.h"

namespace {

using AE::SoundSceneNode;

// A sound node over "tone_sound" (0.2 s) in a world with a sound manager on
// an OpenAL loopback device; each step advances the node by one frame (1/24 s)
// and mixes as much sound.
class SoundNodeTest : public testing::Test {
protected:
    void SetUp() override {
        QV::SoundOutput output;
        output.loopback = true;
        output.sampleRate = 22050;
        manager = std::make_unique<QV::SoundManager>(output);
        if (!manager->hasDevice()) GTEST_SKIP() << "no OpenAL loopback device";
        node = std::make_unique<SoundSceneNode>();
        node->setSound("tone_sound", 0);
    }
    void TearDown() override {
        node.reset();
        manager.reset();
        QV::SoundManager::clearApplication();
    }
    void step(int frames = 1) {
        for (int i = 0; i < frames; ++i) {
            std::vector<int16_t> pcm(22050 / 24 * 2);
            manager->device().render(pcm.data(), 22050 / 24);
            manager->update();
            node->update(1.0f / 24.0f);
        }
    }
    int lines(const std::string& start) {
        int n = 0;
        for (const std::string& line : world.log().lines) n += line.rfind(start, 0) == 0;
        return n;
    }

    scenetest::SceneWorld world{{}};
    std::unique_ptr<QV::SoundManager> manager;
    std::unique_ptr<SoundSceneNode> node;
};

TEST_F(SoundNodeTest, StartsOnItsPlayKeyStopsOnTheNextAndNeverRestartsAnEndedSound) {
    node->setKeyValues(0, 0, 1.0f);
    node->setKeyValues(10, 1, 1.0f);
    node->setKeyValues(40, 0, 1.0f);
    node->play(false);
    step(10);
    ASSERT_EQ(node->mHandle, 0);
    step(1);  // the time reaches frame 10
    ASSERT_NE(node->mHandle, 0);
    const int handle = node->mHandle;
    EXPECT_TRUE(world.log().has(
        QV::formatString("SoundSceneNode::updateDerived, createAndPlay(mID %i); handle = %i B ", node->mID, handle)));
    step(20);  // the tone ends by itself long before frame 40
    EXPECT_FALSE(manager->isPlaying(handle));
    EXPECT_EQ(node->mHandle, handle);
    step(10);
    EXPECT_EQ(node->mHandle, 0);
    EXPECT_EQ(lines("SoundSceneNode::updateDerived, createAndPlay("), 1);
    EXPECT_TRUE(world.log().has(QV::formatString("SoundSceneNode::updateDerived, stop(mHandle %i); A", handle)));
}

TEST_F(SoundNodeTest, StopHaltAndSetPlayingEndThePlayingSound) {
    struct Case {
        const char* how;
        const char* line;  // the line logged, "" for none
        bool atOnce;       // stopped before the next update
    };
    const Case cases[] = {
        {"stop", "SoundSceneNode::stopDerived, stop(mHandle %i); ", true},
        {"halt", "SoundSceneNode::updateDerived, stop(mHandle %i); C ", false},
        {"setPlaying", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        node = std::make_unique<SoundSceneNode>();
        node->setSound("tone_sound", 0);
        node->setKeyValues(0, 1, 1.0f);
        node->mLoop = true;  // the resource loops, so the sound is still playing when stopped
        node->play(false);
        step(2);
        const int handle = node->mHandle;
        ASSERT_NE(handle, 0);
        world.log().lines.clear();
        if (std::string(c.how) == "stop") node->stop(false);
        if (std::string(c.how) == "halt") node->halt(false);
        if (std::string(c.how) == "setPlaying") node->setPlaying(false, false);
        EXPECT_EQ(!manager->isPlaying(handle), c.atOnce);
        step(1);
        EXPECT_FALSE(manager->isPlaying(handle));
        EXPECT_EQ(node->mHandle, 0);
        if (*c.line) {
            EXPECT_TRUE(world.log().has(QV::formatString(c.line, handle))) << world.log().lines.size();
            EXPECT_EQ(node->mPlay, 0);
        } else {
            EXPECT_EQ(lines("SoundSceneNode"), 0);
        }
    }
}

TEST_F(SoundNodeTest, FadingFollowsTheWorldAlphaAndAMissingSoundIsReportedOnce) {
    node->setKeyValues(0, 1, 1.0f);
    node->mTimeline->getColorKey("color", 0).value = QV::Color::fromBytes(255, 255, 255, 128);
    node->mFading = true;
    node->play(false);
    step(2);
    ASSERT_NE(manager->getChannel(node->mHandle), nullptr);
    EXPECT_NEAR(manager->getChannel(node->mHandle)->volume, 128.0f / 255.0f, 1e-4);

    // A node that holds no resource (none was ever registered for it).
    std::unique_ptr<SoundSceneNode> missing(new SoundSceneNode());
    missing->setKeyValues(0, 1, 1.0f);
    missing->play(false);
    world.log().lines.clear();
    for (int i = 0; i < 5; ++i) missing->update(1.0f / 24.0f);
    EXPECT_EQ(missing->mHandle, 0);
    EXPECT_EQ(lines("SoundSceneNode::updateDerived, createAndPlay("), 1);
}

TEST_F(SoundNodeTest, KeysAndSnapshots) {
    node->mColor = QV::Color::fromBytes(10, 20, 30, 40);
    node->setKeyValues(0, 1, 0.5f);
    node->setKeyValues(10, 0, 0.25f);
    AE::NodeTimeline& t = *node->mTimeline;
    EXPECT_EQ(t.getColorKey("color", 1).value, node->mColor);
    EXPECT_EQ(t.getFloatKey("scaleX", 1).value, 1.0f);
    node->setTime(7.0f / 24.0f, false);
    node->insertKeyFrame(5);
    EXPECT_EQ(t.getIntKey("play", 1).value, 1);
    EXPECT_EQ(t.getFloatKey("volume", 1).value, 0.5f);
    node->copyKeyFrame(10, 20);
    EXPECT_EQ(t.getFloatKey("volume", 3).value, 0.25f);
    std::unique_ptr<AE::IFrameData> data(node->createFrameData(10, false));
    auto* sound = dynamic_cast<AE::SoundFrameData*>(data.get());
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->volume, 0.25f);

    node->mSoundGroup = 2;
    node->mFading = true;
    std::unique_ptr<AE::ISceneNodeData> snap(node->createNodeData(false));
    EXPECT_EQ(snap->getType(), 129);
    EXPECT_EQ(dynamic_cast<AE::SoundSceneNodeData&>(*snap).group, 2);
    std::vector<uint8_t> bytes;
    AE::VectorStream out(&bytes);
    node->write(out, false);
    SoundSceneNode back;
    AE::VectorStream in(&bytes);
    back.read(in);
    EXPECT_EQ(in.position(), bytes.size());
    EXPECT_EQ(back.mFileName, "tone_sound");
    EXPECT_EQ(back.mSoundGroup, 2);
    EXPECT_TRUE(back.mFading);
    EXPECT_EQ(back.mID, node->mID);  // the same resource, shared
    EXPECT_EQ(back.getKeyFrames(), node->getKeyFrames());
}

}  // namespace

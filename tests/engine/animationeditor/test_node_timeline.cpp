#include <gtest/gtest.h>

#include <vector>

#include "animationeditor/node_timeline.h"
#include "animationeditor/vector_stream.h"

namespace {

using V = QV::Vector2<float>;

// A timeline with one float parameter "x" keyed 0 at the first frame and 100 at the second.
struct Track {
    AE::NodeTimeline timeline;
    float x = -1;
    int held = -1;
    Track(int first, int second) {
        timeline.bindFloat("x", &x);
        timeline.bindInt("held", &held, false);
        timeline.addKeyFrame(first);
        timeline.addKeyFrame(second);
        timeline.getFloatKey("x", 1).value = 100;
        timeline.getIntKey("held", 0).value = 1;
        timeline.getIntKey("held", 1).value = 2;
    }
};

TEST(NodeTimeline, SegmentsAndCoefficients) {
    struct Case {
        const char* what;
        int first, second;
        bool loop;
        float time;
        int segment;
        float x;  // 100 x coefficient
        float timeAfter;
        int held;
    } cases[] = {
        {"middle of the segment", 0, 24, false, 0.5f, 0, 50, 0.5f, 1},
        {"exactly on the first key", 0, 24, false, 0.0f, 0, 0, 0.0f, 1},
        {"exactly on the last key", 0, 24, false, 1.0f, 1, 100, 1.0f, 2},
        {"before the first key", 10, 20, false, 0.2f, -1, 0, 0.2f, 1},
        {"past the last key", 0, 24, false, 1.5f, 1, 100, 1.5f, 2},
        {"past the last key, looped", 0, 24, true, 1.5f, 0, 50, 0.5f, 1},
        {"a whole duration does not wrap", 0, 24, true, 1.0f, 1, 100, 1.0f, 2},
        {"several turns", 0, 24, true, 3.25f, 0, 25, 0.25f, 1},
    };
    for (const Case& c : cases) {
        Track t(c.first, c.second);
        t.timeline.mLoop = c.loop;
        t.timeline.mTime = c.time;
        t.timeline.update(0);
        EXPECT_EQ(t.timeline.findSegment(), c.segment) << c.what;
        EXPECT_NEAR(t.x, c.x, 1e-3f) << c.what;
        EXPECT_NEAR(t.timeline.mTime, c.timeAfter, 1e-5f) << c.what;
        EXPECT_EQ(t.held, c.held) << c.what;
    }
}

TEST(NodeTimeline, StepsAdvanceOnlyWhileRunning) {
    Track t(0, 24);
    t.timeline.update(0.25f);
    EXPECT_FLOAT_EQ(t.x, 25);
    t.timeline.mRunning = false;
    t.timeline.update(0.25f);
    EXPECT_FLOAT_EQ(t.timeline.mTime, 0.25f);
    t.timeline.mRunning = true;
    t.timeline.update(-0.5f);  // negative time: the first key applies
    EXPECT_FLOAT_EQ(t.timeline.mTime, -0.25f);
    EXPECT_FLOAT_EQ(t.x, 0);
    EXPECT_FLOAT_EQ(t.timeline.mDuration, 1.0f);
    t.timeline.setTime(-3);
    EXPECT_EQ(t.timeline.mTime, 0.0f);
}

TEST(NodeTimeline, WithoutKeyFramesNothingChanges) {
    AE::NodeTimeline timeline;
    float x = 42;
    timeline.bindFloat("x", &x);
    timeline.mTime = 0.5f;
    timeline.update(1.0f);
    EXPECT_EQ(x, 42);
    EXPECT_EQ(timeline.mTime, 0.5f);
    EXPECT_FALSE(timeline.isLooping());
    timeline.mLoop = true;
    EXPECT_FALSE(timeline.isLooping());  // looping needs a key frame
}

TEST(NodeTimeline, EasingSubTimelineScalesTheCoefficient) {
    Track t(0, 24);
    ASSERT_NE(t.timeline.mLerpTimeline, nullptr);
    EXPECT_TRUE(t.timeline.mLerpTimeline->mSub);
    t.timeline.mLerpTimeline->addKeyFrame(0);
    t.timeline.mLerpTimeline->getFloatKey("mLerpCoeff", 0).value = 0.5f;
    t.timeline.mTime = 0.5f;
    t.timeline.update(0);
    EXPECT_FLOAT_EQ(t.x, 25);  // 0.5 x 0.5
    t.timeline.mLerpTimeline->getFloatKey("mLerpCoeff", 0).value = 4.0f;
    t.timeline.update(0);
    EXPECT_FLOAT_EQ(t.x, 100);  // clamped to 1
}

TEST(NodeTimeline, KeyFrameListEditing) {
    Track t(10, 20);
    EXPECT_FALSE(t.timeline.addKeyFrame(10));
    EXPECT_EQ(t.timeline.getFloatKey("x", 0).value, 0.f);
    t.timeline.addKeyFrame(21);
    EXPECT_TRUE(t.timeline.moveKeyFrame(10, 20));  // 20 and 21 are taken
    EXPECT_EQ(t.timeline.mKeyFrames, (std::vector<int32_t>{20, 21, 22}));
    // Keys moved with their frames: the old first key (x 0) now sits last.
    EXPECT_EQ(t.timeline.getFloatKey("x", 2).value, 0.f);
    EXPECT_EQ(t.timeline.getFloatKey("x", 2).frame, 22u);
    EXPECT_FALSE(t.timeline.moveKeyFrame(5, 6));
    EXPECT_FALSE(t.timeline.moveKeyFrame(20, 20));
    t.timeline.removeKeyAt(0);
    EXPECT_EQ(t.timeline.mKeyFrames, (std::vector<int32_t>{21, 22}));
    EXPECT_EQ(t.timeline.findContainer("x")->keyCount(), 2u);
    t.timeline.removeKeyAt(5);
    EXPECT_EQ(t.timeline.mKeyFrames.size(), 2u);
}

TEST(NodeTimeline, BindingReusesContainersByName) {
    AE::NodeTimeline timeline;
    float a = 0, b = 0;
    bool flag = true;
    timeline.bindFloat("x", &a);
    timeline.bindFloat("x", &b);
    timeline.bindBool("flag", &flag);
    ASSERT_EQ(timeline.mContainers.size(), 2u);
    timeline.addKeyFrame(0);
    timeline.getFloatKey("x", 0).value = 3;
    timeline.update(0);
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, 3);
    EXPECT_FALSE(flag);
    auto* held = dynamic_cast<AE::SceneNodeAnimation::Container<bool>*>(timeline.findContainer("flag"));
    ASSERT_NE(held, nullptr);
    EXPECT_FALSE(held->mInterpolate);
}

TEST(NodeTimeline, CopyIsDeepAndRebindable) {
    Track t(0, 24);
    t.timeline.mLoop = true;
    t.timeline.mTime = 0.5f;
    AE::NodeTimeline copy(t.timeline);
    float x = -1;
    copy.bindFloat("x", &x);
    copy.getFloatKey("x", 1).value = 200;
    copy.update(0);
    EXPECT_FLOAT_EQ(x, 100);
    EXPECT_EQ(t.timeline.getFloatKey("x", 1).value, 100);  // the source keeps its keys
    EXPECT_TRUE(copy.mLoop);
    ASSERT_NE(copy.mLerpTimeline, nullptr);
    copy.mLerpTimeline->addKeyFrame(0);
    copy.mLerpTimeline->getFloatKey("mLerpCoeff", 0).value = 0.5f;
    copy.update(0);
    EXPECT_FLOAT_EQ(copy.mLerpCoeff, 0.5f);  // bound to the copy, not the source
    EXPECT_FLOAT_EQ(x, 50);  // a quarter of the way from 0 to 200
}

TEST(NodeTimeline, StreamRoundTrip) {
    Track source(4, 30);
    source.timeline.mLoop = true;
    source.timeline.mTime = 0.75f;
    source.timeline.getFloatKey("x", 0).bezierFlag = true;
    source.timeline.mLerpTimeline->addKeyFrame(3);
    source.timeline.mLerpTimeline->getFloatKey("mLerpCoeff", 0).value = 0.5f;
    std::vector<uint8_t> bytes;
    AE::VectorStream out(&bytes);
    source.timeline.write(out);

    AE::NodeTimeline fresh;
    float x = -1;
    int held = -1;
    fresh.bindFloat("x", &x);
    fresh.bindInt("held", &held, false);
    AE::VectorStream in(&bytes);
    fresh.read(in);
    EXPECT_EQ(in.position(), bytes.size());
    EXPECT_EQ(fresh.mKeyFrames, source.timeline.mKeyFrames);
    EXPECT_TRUE(fresh.mLoop);
    EXPECT_EQ(fresh.mTime, 0.75f);
    EXPECT_TRUE(fresh.getFloatKey("x", 0).bezierFlag);
    EXPECT_EQ(fresh.getFloatKey("x", 1).value, 100);
    ASSERT_NE(fresh.mLerpTimeline, nullptr);
    EXPECT_EQ(fresh.mLerpTimeline->mKeyFrames, (std::vector<int32_t>{3}));
    fresh.update(0);
    EXPECT_EQ(held, 1);  // frame 18 lies in the first segment
    source.timeline.update(0);
    EXPECT_GT(x, 0);
    EXPECT_EQ(x, source.x);  // the same keys, easing and time give the same value
}

}  // namespace

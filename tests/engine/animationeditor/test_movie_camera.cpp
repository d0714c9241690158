#include <gtest/gtest.h>

#include <memory>

#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/vector_stream.h"
#include "engine/animationeditor/scene_test_support.h"

namespace {

using AE::ISceneNode;
using AE::KeepTransform;
using AE::MovieCamera;
using V = QV::Vector2<float>;
using scenetest::node;

MovieCamera* camera(ISceneNode* parent, std::initializer_list<int> activations) {
    MovieCamera* c = new MovieCamera();
    parent->addChild(c, KeepTransform::Local);
    for (int frame : activations) {
        c->mTimeline->addKeyFrame(frame);
        c->addActivationFrame(frame);
    }
    return c;
}

TEST(MovieCamera, RecordFollowsTheNode) {
    std::unique_ptr<ISceneNode> root(node("root"));
    MovieCamera* c = camera(root.get(), {});
    EXPECT_EQ(c->getType(), 5);
    EXPECT_FALSE(c->mParallax);
    EXPECT_EQ(c->getSize(), V(0.5f, 0.5f));
    c->setPosition(V(100, 0));
    c->play(false);
    c->setRotation(30);
    c->setScaleX(2);
    root->update(0.1f);
    QV::Camera record = c->getCamera();
    EXPECT_EQ(record.x, -100);
    EXPECT_EQ(record.y, 0);
    EXPECT_EQ(record.angle, 30);
    EXPECT_EQ(record.scaleX, 2);
    EXPECT_EQ(record.scaleY, 1);
    EXPECT_EQ(c->getWorldTransform().x, -100);
    std::unique_ptr<ISceneNode> copy(c->clone(nullptr));
    EXPECT_EQ(copy->getType(), 0);
    EXPECT_EQ(copy->mPosition, V(100, 0));
}

TEST(MovieCamera, ActivationValuesAdvanceWithTheClock) {
    std::unique_ptr<ISceneNode> root(node("root"));
    MovieCamera* c = camera(root.get(), {24, 48, 72});
    EXPECT_EQ(c->getActivationFrames(), (std::vector<int32_t>{24, 48, 72}));
    c->setTime(0, false);
    c->play(false);
    struct Expect {
        float clock, value;
    } steps[] = {{0.75f, 0}, {1.25f, 1}, {2.25f, 2}, {3.25f, 2}, {4.0f, 2}};
    float clock = 0;
    for (const Expect& e : steps) {
        while (clock < e.clock) {
            root->update(0.25f);
            clock += 0.25f;
        }
        EXPECT_FLOAT_EQ(c->mClock, e.clock);
        EXPECT_FLOAT_EQ(c->mActivationValue, e.value) << e.clock;
    }
    root->mUseCameras = false;
    root->update(0.25f);
    EXPECT_FLOAT_EQ(c->mClock, 4.0f);  // the scene does not use cameras: the clock stands
}

TEST(MovieCamera, SetTimeFindsTheLatestActivation) {
    std::unique_ptr<ISceneNode> root(node("root"));
    MovieCamera* c = camera(root.get(), {24, 48, 72});
    struct Case {
        float time, value, next;
        float index;
    } cases[] = {
        {0, 0, 1, 0}, {1.5f, 1, 2, 1}, {2.5f, 2, 3, 2},
        {5, 3, 3, 0},  // past the end: the index stays 0, next keeps its value
    };
    for (const Case& c2 : cases) {
        c->setTime(c2.time, false);
        EXPECT_FLOAT_EQ(c->mActivationValue, c2.value) << c2.time;
        EXPECT_FLOAT_EQ(c->mNextActivation, c2.next) << c2.time;
        EXPECT_FLOAT_EQ(c->mActivationIndex, c2.index) << c2.time;
    }
}

TEST(MovieCamera, TwoCamerasHandOver) {
    std::unique_ptr<ISceneNode> root(node("root"));
    MovieCamera* first = camera(root.get(), {0, 48});
    MovieCamera* second = camera(root.get(), {72});
    first->play(false);
    second->play(false);
    first->mActivationValue = 2.0f;
    second->mActivationValue = 1.0f;
    root->selectActiveCamera();
    EXPECT_EQ(root->mActiveCamera, first);
    // The second passes an activation at 3.0 s.
    second->setTime(2.9f, false);
    first->setTime(2.9f, false);
    EXPECT_EQ(root->mActiveCamera, first);  // frame 69: the first's latest is 48, the second has none yet
    for (int i = 0; i < 3; ++i) root->update(0.1f);
    EXPECT_FLOAT_EQ(second->mActivationValue, 3.0f);
    EXPECT_EQ(root->mActiveCamera, second);
    second->setTime(3.2f, false);
    EXPECT_EQ(root->mActiveCamera, second);  // frame 76: 4 frames after 72
}

TEST(MovieCamera, KeyFramesAndActivations) {
    std::unique_ptr<ISceneNode> root(node("root"));
    MovieCamera* c = camera(root.get(), {});
    c->addActivationFrame(10);  // not a key frame: ignored
    EXPECT_TRUE(c->getActivationFrames().empty());
    c->setKeyValues(10, 45, 1, 2, 3, 4);
    EXPECT_TRUE(c->getActivationFrames().empty());  // not the active camera yet
    root->mActiveCamera = c;
    c->setKeyValues(20, 0, 5, 6, 1, 1);
    c->setKeyValues(10, 45, 1, 2, 3, 4);
    EXPECT_EQ(c->getActivationFrames(), (std::vector<int32_t>{10, 20}));
    EXPECT_EQ(c->mTimeline->getFloatKey("rotation", 0).value, 45);
    EXPECT_EQ(c->mTimeline->getFloatKey("scaleY", 0).value, 4);
    EXPECT_EQ(c->mTimeline->getFloatKey("shear00", 0).value, 1);
    c->moveKeyFrame(10, 30);
    EXPECT_EQ(c->getKeyFrames(), (std::vector<int32_t>{20, 30}));
    EXPECT_EQ(c->getActivationFrames(), (std::vector<int32_t>{20, 30}));
    c->removeKeyFrame(20);
    EXPECT_EQ(c->getActivationFrames(), (std::vector<int32_t>{30}));
    c->setPosition(V(8, 9));
    c->addKeyFrame(40);
    EXPECT_EQ(c->mTimeline->getFloatKey("posX", 1).value, 8);
    EXPECT_EQ(c->getActivationFrames(), (std::vector<int32_t>{30, 40}));
}

// The camera's own fields survive a node snapshot and a binary snapshot: the
// binary one writes the base record, the 60-byte view record, the clock and
// activation state, the activation frames and the parallax coefficient.
TEST(MovieCamera, SnapshotsRoundTrip) {
    std::unique_ptr<ISceneNode> root(node("root"));
    MovieCamera* c = camera(root.get(), {3, 9});
    c->setPosition(V(40, -20));
    c->setRotation(15);
    c->play(false);
    root->update(0.5f);
    c->mCamera.useMatrix = 1;
    c->mCamera.matrix.m20 = 7;
    c->mParallaxCoef = 0.25f;
    c->mNextActivation = 1.5f;
    c->mActivationIndex = 2;
    c->mActivationValue = 0.125f;

    std::unique_ptr<AE::ISceneNodeData> data(c->createNodeData(false));
    ASSERT_EQ(data->getType(), 192);
    auto* cameraData = dynamic_cast<AE::CameraData*>(data.get());
    ASSERT_NE(cameraData, nullptr);
    EXPECT_EQ(cameraData->activationFrameCount, 2);
    MovieCamera applied;
    applied.applyNodeData(*data);
    cameraData->activationFrames.push_back(99);  // the node keeps a copy of its own
    EXPECT_EQ(applied.getActivationFrames(), (std::vector<int32_t>{3, 9}));
    EXPECT_EQ(applied.mClock, c->mClock);
    EXPECT_EQ(applied.mParallaxCoef, 0.25f);
    EXPECT_EQ(applied.getCamera().x, c->getCamera().x);
    EXPECT_EQ(applied.getCamera().matrix.m20, 7);

    std::vector<uint8_t> baseBytes, bytes;
    AE::VectorStream baseOut(&baseBytes);
    c->ISceneNode::write(baseOut, false);
    AE::VectorStream out(&bytes);
    c->write(out, false);
    EXPECT_EQ(bytes.size(), baseBytes.size() + 60 + 16 + 4 + 2 * 4 + 4);
    MovieCamera read;
    AE::VectorStream in(&bytes);
    read.read(in);
    EXPECT_EQ(in.position(), bytes.size());
    const QV::Camera a = read.getCamera(), b = c->getCamera();
    EXPECT_EQ((std::vector<float>{a.x, a.y, a.scaleX, a.scaleY, a.angle, a.matrix.m20, float(a.useMatrix)}),
              (std::vector<float>{b.x, b.y, b.scaleX, b.scaleY, b.angle, b.matrix.m20, float(b.useMatrix)}));
    EXPECT_EQ(read.mClock, c->mClock);
    EXPECT_EQ(read.mNextActivation, 1.5f);
    EXPECT_EQ(read.mActivationIndex, 2);
    EXPECT_EQ(read.mActivationValue, 0.125f);
    EXPECT_EQ(read.getActivationFrames(), (std::vector<int32_t>{3, 9}));
    EXPECT_EQ(read.mParallaxCoef, 0.25f);
    EXPECT_EQ(read.mPosition, c->mPosition);
}

}  // namespace

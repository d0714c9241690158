#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "animationeditor/frame_data.h"
#include "animationeditor/scene_node_data.h"
#include "animationeditor/scene_transform.h"
#include "animationeditor/vector_stream.h"
#include "scene_test_support.h"

namespace {

using AE::ISceneNode;
using scenetest::keyPosX;

const QV::Color kWhite = QV::Color::fromBytes(255, 255, 255, 255);

void keyAt(ISceneNode* n, int frame, float x, float y = 0.0f, float rotation = 0.0f, float scale = 1.0f) {
    n->setKeyValues(frame, x, y, 0.0f, rotation, scale, scale, kWhite, QV::Matrix3(), QV::Vector2<float>());
}

TEST(SceneNodeKeys, AddInsertCopyRemove) {
    std::unique_ptr<ISceneNode> n(scenetest::node("n"));
    n->setPosition(QV::Vector2<float>(5.0f, 6.0f));
    n->addKeyFrame(10);
    EXPECT_EQ(n->getKeyFrames(), std::vector<int32_t>{10});
    EXPECT_EQ(n->mTimeline->getFloatKey("posX", 0).value, 5.0f);
    n->removeKeyFrame(11);
    n->copyKeyFrame(10, 10);
    n->copyKeyFrame(3, 20);
    EXPECT_EQ(n->getKeyFrames(), std::vector<int32_t>{10});

    std::unique_ptr<ISceneNode> m(scenetest::node("m"));
    keyAt(m.get(), 0, 0.0f);
    keyAt(m.get(), 24, 24.0f);
    m->mTimeline->getFloatKey("posX", 0).bezierCoeff = 0.9f;
    m->setTime(0.5f, false);
    m->insertKeyFrame(12);  // the current key's value, not the interpolated 12
    ASSERT_EQ(m->getKeyFrames(), (std::vector<int32_t>{0, 12, 24}));
    EXPECT_EQ(m->mTimeline->getFloatKey("posX", 1).value, 0.0f);
    m->copyKeyFrame(24, 30);
    EXPECT_EQ(m->mTimeline->getFloatKey("posX", 3).value, 24.0f);
    EXPECT_EQ(m->mTimeline->getFloatKey("posX", 3).bezierCoeff, 0.5f);  // easing not copied
}

// Without any key there is no key to repeat or read: inserting keys the
// node's current values, and a record keeps its defaults.
TEST(SceneNodeKeys, NodesWithoutKeysInsertTheirValuesAndGiveDefaultRecords) {
    std::unique_ptr<ISceneNode> n(scenetest::node("n"));
    n->setPosition(QV::Vector2<float>(4.0f, 0.0f));
    std::unique_ptr<AE::IFrameData> none(n->createFrameData(0, true));
    EXPECT_EQ(none->x, 0.0f);
    EXPECT_EQ(none->scaleX, 0.0f);
    n->insertKeyFrame(6);
    EXPECT_EQ(n->getKeyFrames(), std::vector<int32_t>{6});
    EXPECT_EQ(n->mTimeline->getFloatKey("posX", 0).value, 4.0f);
}

TEST(SceneNodeKeys, WorldMatrixAtAFrameUsesTheLastKeyAtOrBeforeIt) {
    std::unique_ptr<ISceneNode> parent(scenetest::node("p"));
    ISceneNode* child = scenetest::node("c", parent.get());
    keyAt(child, 0, 1.0f);
    keyAt(child, 24, 2.0f);
    keyAt(child, 48, 3.0f);
    parent->setPosition(QV::Vector2<float>(100.0f, 0.0f));
    parent->update(0.0f);
    struct Case {
        int frame;
        float x;
    };
    for (const Case& c : {Case{12, 1.0f}, Case{30, 2.0f}, Case{60, 3.0f}, Case{-5, 1.0f}, Case{24, 2.0f}})
        EXPECT_FLOAT_EQ(child->getWorldMatrixAtFrame(c.frame).m20, 100.0f + c.x) << c.frame;
}

TEST(SceneNodeKeys, FrameDataHoldsTheKeyExactlyOrItsWorldForm) {
    AE::IFrameData blank;
    EXPECT_EQ(blank.scaleX, 0.0f);
    EXPECT_EQ(blank.scaleY, 0.0f);
    EXPECT_TRUE(blank.shear.isIdentity());
    EXPECT_EQ(blank.kindCode(), 124);

    std::unique_ptr<ISceneNode> parent(scenetest::node("p"));
    ISceneNode* child = scenetest::node("c", parent.get());
    keyAt(parent.get(), 0, 0.0f, 0.0f, 90.0f);
    keyAt(child, 0, 0.0f);
    keyAt(child, 10, 10.0f, 0.0f, 15.0f);
    child->mTimeline->getFloatKey("posX", 1).bezierOffset = 3.0f;
    child->mTimeline->getFloatKey("posX", 1).bezierFlag = true;
    child->setTime(0.0f, false);
    std::unique_ptr<AE::IFrameData> local(child->createFrameData(10, false));
    EXPECT_EQ(local->x, 10.0f);
    EXPECT_EQ(local->angle, 15.0f);
    EXPECT_EQ(local->bezierX, 3.0f);
    EXPECT_TRUE(local->positionBezier);
    std::unique_ptr<AE::IFrameData> world(child->createFrameData(10, true));
    EXPECT_NEAR(world->x, 0.0f, 1e-4);
    EXPECT_NEAR(world->y, 10.0f, 1e-4);
    // The turn is 90 + 15 degrees; the decomposition may state it as the
    // opposite turn with both scales negative, the same placement.
    const QV::Matrix3 placed = AE::composeTransform(world->shear, QV::Vector2<float>(world->scaleX, world->scaleY),
                                                    QV::Vector2<float>(), QV::Vector2<float>(world->x, world->y),
                                                    world->angle);
    const QV::Matrix3 expected = AE::composeTransform(QV::Matrix3(), QV::Vector2<float>(1.0f, 1.0f),
                                                      QV::Vector2<float>(), QV::Vector2<float>(0.0f, 10.0f), 105.0f);
    EXPECT_NEAR(placed.m00, expected.m00, 1e-4);
    EXPECT_NEAR(placed.m01, expected.m01, 1e-4);
    EXPECT_NEAR(placed.m10, expected.m10, 1e-4);
    EXPECT_NEAR(placed.m11, expected.m11, 1e-4);
    EXPECT_EQ(world->bezierX, 3.0f);
    // A root's world form is its local form.
    std::unique_ptr<AE::IFrameData> root(parent->createFrameData(0, true));
    EXPECT_NEAR(root->x, 0.0f, 1e-4);
    EXPECT_NEAR(std::fmod(root->angle + 360.0f, 360.0f), 90.0f, 1e-3);
    // Stored into another node it becomes that node's key frame.
    std::unique_ptr<ISceneNode> other(scenetest::node("o"));
    other->storeKeyFrame(4, *local);
    EXPECT_EQ(other->getKeyFrames(), std::vector<int32_t>{4});
    EXPECT_EQ(other->mTimeline->getFloatKey("posX", 0).bezierOffset, 3.0f);
    EXPECT_EQ(other->mTimeline->getFloatKey("rotation", 0).value, 15.0f);
}

TEST(SceneNodeKeys, NodeDataAndBinarySnapshotsRoundTrip) {
    std::unique_ptr<ISceneNode> parent(scenetest::node("p"));
    ISceneNode* n = scenetest::node("n", parent.get());
    n->mFileName = "file";
    n->mResourceName = "res";
    n->setPosition(QV::Vector2<float>(3.0f, 4.0f));
    n->setRotation(30.0f);
    n->mPosZ = 2.0f;
    n->mColor = QV::Color::fromBytes(1, 2, 3, 4);
    n->mLoop = true;
    n->mFromFrame = 5;
    n->mToFrame = 9;
    keyAt(n, 0, 3.0f, 4.0f, 30.0f);
    keyAt(n, 12, 6.0f, 8.0f, 60.0f);
    parent->setPosition(QV::Vector2<float>(10.0f, 0.0f));
    parent->update(0.0f);

    std::unique_ptr<AE::ISceneNodeData> data(n->createNodeData(true));
    EXPECT_EQ(data->getType(), 115);
    EXPECT_NEAR(data->position.x, 3.0f, 1e-4);  // re-derived relative to the parent
    EXPECT_NEAR(data->rotation, 30.0f, 1e-3);
    std::unique_ptr<ISceneNode> copy(scenetest::node("copy"));
    copy->applyNodeData(*data);
    EXPECT_EQ(copy->mColor, n->mColor);
    EXPECT_TRUE(copy->mLoop);
    EXPECT_EQ(copy->mWorldMatrix, n->mWorldMatrix);

    std::vector<uint8_t> bytes;
    AE::VectorStream out(&bytes);
    n->write(out, false);
    EXPECT_EQ(bytes.back(), 0u);  // not relative
    std::unique_ptr<ISceneNode> back(new ISceneNode());
    AE::VectorStream in(&bytes);
    back->read(in);
    EXPECT_EQ(in.position(), bytes.size());
    EXPECT_EQ(back->mName, "n");
    EXPECT_EQ(back->mFileName, "file");
    EXPECT_EQ(back->mResourceName, "res");
    EXPECT_EQ(back->mPosition, n->mPosition);
    EXPECT_EQ(back->mRotation, 30.0f);
    EXPECT_EQ(back->mPosZ, n->mPosZ);
    EXPECT_EQ(back->mColor, n->mColor);
    EXPECT_EQ(back->mFromFrame, 5);
    EXPECT_EQ(back->mToFrame, 9);
    EXPECT_EQ(back->mWorldMatrix, n->mWorldMatrix);
    EXPECT_EQ(back->getKeyFrames(), n->getKeyFrames());
    EXPECT_EQ(back->mTimeline->getFloatKey("rotation", 1).value, 60.0f);

    // A relative write with a parent marks itself; a stream that ends early stops at the range check.
    std::vector<uint8_t> relative;
    AE::VectorStream rel(&relative);
    n->write(rel, true);
    EXPECT_EQ(relative.back(), 1u);
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
    EXPECT_EXIT(
        {
            AE::VectorStream short_(&cut);
            ISceneNode target;
            target.read(short_);
        },
        testing::ExitedWithCode(255), "Read data from out of range!");
}

}  // namespace

#include <gtest/gtest.h>

#include <memory>

#include "animationeditor/frame_data.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/vector_stream.h"
#include "platform/gfx/recording_driver.h"
#include "render_data.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "scene_world.h"
#include "support/gl_required.h"

namespace {

using AE::SpriteSceneNode;
using Device = qvtest::SpriteWorld::Device;

const QV::Color kWhite = QV::Color::fromBytes(255, 255, 255, 255);

// The "strip" description: three 16 x 16 frames side by side.
SpriteSceneNode* stripNode() {
    SpriteSceneNode* node = new SpriteSceneNode();
    node->loadSprite("frames_sprites", "strip");
    node->loadFrames(AE::FrameRange(), "strip");
    return node;
}

void key(SpriteSceneNode* n, int frame, int frameIndex, float texX = 0.0f, float x = 0.0f, uint8_t alpha = 255,
         bool clip = false, const QV::Rect& clipRect = QV::Rect()) {
    n->setKeyValues(x, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, QV::Color::fromBytes(255, 255, 255, alpha), 0, 0.0f, 0.0f,
                    frameIndex, texX, 0.0f, QV::Matrix3(), false, clip, clipRect, frame);
}

TEST(SpriteSceneNode, FramesSwitchExactlyAtTheirKeyAndTextureOffsetsMoveTheDrawnRectangle) {
    scenetest::SceneWorld w({});
    std::unique_ptr<SpriteSceneNode> n(stripNode());
    ASSERT_EQ(n->frameCount(), 3u);
    key(n.get(), 0, 0);
    key(n.get(), 10, 1, 5.0f);
    for (int frame = 0; frame <= 12; ++frame) {
        n->gotoFrame(frame);
        EXPECT_EQ(n->mSrcRect.left, frame < 10 ? 0.0f : 16.0f) << frame;
    }
    // At frame 10 the offset (5, 0) moves the drawn rectangle, not the stored frame.
    EXPECT_EQ(n->mDrawRect, QV::Rect(21.0f, 0.0f, 37.0f, 16.0f));
    EXPECT_EQ(n->frameRect(1), QV::Rect(16.0f, 0.0f, 32.0f, 16.0f));
    // A frame index past the frames keeps the rectangle of the previous update.
    key(n.get(), 20, 3);
    n->gotoFrame(20);
    EXPECT_EQ(n->mSrcRect.left, 16.0f);
}

TEST(SpriteSceneNode, DrawsWithTheDrawRectangleUnlessAlphaIsOneOrLess) {
    scenetest::SceneWorld w({}, Device::Recording);
    std::unique_ptr<SpriteSceneNode> n(stripNode());
    key(n.get(), 0, 2, 5.0f);
    n->gotoFrame(0);
    w.world().frame([] {});  // uploads the picture
    struct Case {
        uint8_t alpha;
        bool drawn;
    };
    for (const Case& c : {Case{0, false}, Case{1, false}, Case{2, true}, Case{255, true}}) {
        n->mTimeline->getColorKey("color", 0).value = QV::Color::fromBytes(255, 255, 255, c.alpha);
        n->update(0.0f);
        size_t vertices = 0;
        w.world().frame([&] {
            AE::drawScene(n.get());
            vertices = w.world().flushBatch().size();
        });
        EXPECT_EQ(vertices > 0, c.drawn) << int(c.alpha);
    }
    EXPECT_EQ(n->mSprite->mFrames[0], QV::Rect(37.0f, 0.0f, 53.0f, 16.0f));
    EXPECT_EQ(n->frameRect(2), QV::Rect(32.0f, 0.0f, 48.0f, 16.0f));
}

TEST(SpriteSceneNode, ClipRectangleIsTheBoxOfTwoTransformedCorners) {
    scenetest::SceneWorld w({}, Device::Recording);
    std::unique_ptr<SpriteSceneNode> n(stripNode());
    key(n.get(), 0, 0, 0.0f, 0.0f, 255, true, QV::Rect(2.0f, 3.0f, 10.0f, 12.0f));
    n->mTimeline->getFloatKey("rotation", 0).value = 90.0f;
    n->mTimeline->getFloatKey("posX", 0).value = 40.0f;
    n->gotoFrame(0);
    w.world().frame([&] { n->draw(); });
    const QV::Matrix3& m = n->mWorldMatrix;
    const QV::Vector2<float> a = m.transformPoint(QV::Vector2<float>(2.0f, 3.0f));
    const QV::Vector2<float> b = m.transformPoint(QV::Vector2<float>(10.0f, 12.0f));
    EXPECT_TRUE(n->mSprite->mClip);
    EXPECT_EQ(n->mSprite->mClipRect, QV::Rect(a.x, a.y, b.x, b.y));
    EXPECT_NE(a.x, 2.0f);  // really turned
}

TEST(SpriteSceneNode, HitTestsFollowTheTransformAndMirroredOrPictureLessNodesNeverHit) {
    scenetest::SceneWorld w({});
    struct Case {
        float rotation;
        float scaleX;
        QV::Vector2<float> local;
        bool hit;
    };
    const Case cases[] = {
        {0.0f, 1.0f, {10.0f, 5.0f}, true},   {0.0f, 1.0f, {70.0f, 5.0f}, false},
        {90.0f, 1.0f, {10.0f, 5.0f}, true},  {90.0f, 1.0f, {-5.0f, 5.0f}, false},
        {30.0f, 1.0f, {60.0f, 30.0f}, true}, {0.0f, -1.0f, {10.0f, 5.0f}, false},
    };
    for (const Case& c : cases) {
        std::unique_ptr<SpriteSceneNode> n(new SpriteSceneNode());
        ASSERT_TRUE(n->loadImage("pic_png"));
        // A child covering the point: asked only when the node itself is not mirrored.
        SpriteSceneNode* child = new SpriteSceneNode();
        child->loadImage("pic_png");
        n->addChild(child, AE::KeepTransform::Local);
        child->setPosition(QV::Vector2<float>(200.0f, 200.0f));
        n->setPosition(QV::Vector2<float>(100.0f, 100.0f));
        n->setRotation(c.rotation);
        n->setScaleX(std::abs(c.scaleX));
        n->update(0.0f);
        const QV::Vector2<float> p = n->mWorldMatrix.transformPoint(c.local);
        n->setScaleX(c.scaleX);
        n->update(0.0f);
        EXPECT_EQ(n->hitTest(int(std::lround(p.x)), int(std::lround(p.y)), true), c.hit)
            << c.rotation << " " << c.scaleX << " " << c.local.x;
    }
    std::unique_ptr<SpriteSceneNode> empty(new SpriteSceneNode());
    empty->setSprite(nullptr);
    EXPECT_FALSE(empty->hitTest(0, 0, false));
    EXPECT_EQ(empty->getSize(), QV::Vector2<float>(0.0f, 0.0f));
}

TEST(SpriteSceneNode, SetSpriteAndMissingPictures) {
    scenetest::SceneWorld w({});
    auto& sprites = w.world().sprites();
    const size_t before = sprites.spriteCount();
    std::unique_ptr<SpriteSceneNode> n(stripNode());
    QV::Sprite* own = n->mSprite;
    n->setSprite(own);
    EXPECT_EQ(n->mSprite, own);
    n->setSprite(nullptr);
    EXPECT_EQ(n->mSprite, nullptr);
    EXPECT_EQ(sprites.spriteCount(), before);  // the old one went back to the manager
    // A picture no package lists leaves no sprite (the loader then drops the node).
    std::unique_ptr<SpriteSceneNode> missing(new SpriteSceneNode());
    EXPECT_FALSE(missing->loadImage("absent_png"));
    EXPECT_EQ(missing->mSprite, nullptr);
    // A table missing from the XML twin comes from the Lua script of the same names.
    AE::contentVersion = 1;
    std::unique_ptr<SpriteSceneNode> lua(stripNode());
    AE::contentVersion = 0;
    ASSERT_NE(lua->mSprite, nullptr);
    EXPECT_EQ(lua->frameCount(), 3u);
    EXPECT_EQ(lua->mResourceName, "strip");
}

TEST(SpriteSceneNode, FrameRangesTakeEveryStepthRectangleAndIgnoreImpossibleRanges) {
    scenetest::SceneWorld w({});
    struct Case {
        AE::FrameRange range;
        std::vector<int32_t> sources;
    };
    const Case cases[] = {
        {{0, 0, 1}, {0, 1, 2}}, {{1, 0, 1}, {1, 2}}, {{0, 0, 2}, {0, 2}}, {{0, 1, 1}, {0, 1}},
        {{0, 9, 1}, {0, 1, 2}},  // past the description: its end
        {{3, 0, 1}, {}}, {{-1, 0, 1}, {}}, {{0, 0, 0}, {}}, {{0, 0, -1}, {}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<SpriteSceneNode> n(new SpriteSceneNode());
        n->loadSprite("frames_sprites", "strip");
        n->loadFrames(c.range, "strip");
        EXPECT_EQ(n->mFrameSources, c.sources) << c.range.first << " " << c.range.last << " " << c.range.step;
        EXPECT_EQ(n->frameCount(), c.sources.size());
    }
}

TEST(SpriteSceneNode, CloneShowsFrameZeroUntilItsTimelineApplies) {
    scenetest::SceneWorld w({});
    std::unique_ptr<AE::ISceneNode> root(new AE::ISceneNode());
    SpriteSceneNode* n = stripNode();
    root->addChild(n, AE::KeepTransform::Local);
    key(n, 0, 2, 4.0f);
    n->gotoFrame(0);
    auto* copy = static_cast<SpriteSceneNode*>(n->clone(root.get()));
    EXPECT_EQ(copy->mFrameIndex, 0);
    EXPECT_EQ(copy->mTexPos, QV::Vector2<float>(0.0f, 0.0f));
    EXPECT_EQ(copy->mFrameSources, n->mFrameSources);
    EXPECT_NE(copy->mSprite, n->mSprite);
    copy->gotoFrame(0);
    EXPECT_EQ(copy->mFrameIndex, 2);
    EXPECT_EQ(copy->mTexPos, QV::Vector2<float>(4.0f, 0.0f));
    EXPECT_EQ(copy->mSrcRect, n->mSrcRect);
}

TEST(SpriteSceneNode, KeyEditingAndSnapshotsRoundTrip) {
    scenetest::SceneWorld w({});
    std::unique_ptr<SpriteSceneNode> n(stripNode());
    key(n.get(), 0, 1, 3.0f, 7.0f);
    key(n.get(), 10, 2, 6.0f, 9.0f);
    n->mTimeline->getIntKey("blendMode", 0).value = 2;
    n->setTime(7.0f / 24.0f, false);
    // Inserting repeats the key at the current index (key 0), not an interpolated value.
    n->insertKeyFrame(5);
    AE::NodeTimeline& t = *n->mTimeline;
    ASSERT_EQ(n->getKeyFrames(), (std::vector<int32_t>{0, 5, 10}));
    EXPECT_EQ(t.getFloatKey("posX", 1).value, 7.0f);
    EXPECT_EQ(t.getIntKey("frameIndex", 1).value, 1);
    EXPECT_EQ(t.getIntKey("blendMode", 1).value, 2);
    n->copyKeyFrame(10, 10);
    n->copyKeyFrame(3, 12);
    EXPECT_EQ(n->getKeyFrames(), (std::vector<int32_t>{0, 5, 10}));
    n->copyKeyFrame(10, 20);
    EXPECT_EQ(t.getIntKey("frameIndex", 3).value, 2);

    // Frame data out of one node into another.
    std::unique_ptr<AE::IFrameData> data(n->createFrameData(10, false));
    EXPECT_EQ(data->kindCode(), 144);
    std::unique_ptr<SpriteSceneNode> other(stripNode());
    other->storeKeyFrame(4, *data);
    EXPECT_EQ(other->mTimeline->getFloatKey("posX", 0).value, 9.0f);
    EXPECT_EQ(other->mTimeline->getVector2Key("texPos", 0).value, QV::Vector2<float>(6.0f, 0.0f));

    // Node snapshot: three frame records; applied to a node with one frame leaves three.
    std::unique_ptr<AE::ISceneNodeData> snap(n->createNodeData(false));
    auto* sprite = dynamic_cast<AE::SpriteSceneNodeData*>(snap.get());
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getType(), 176);
    EXPECT_EQ(sprite->frames.size(), 3u);
    std::unique_ptr<SpriteSceneNode> single(new SpriteSceneNode());
    single->loadImage("pic_png");
    single->applyNodeData(*snap);
    EXPECT_EQ(single->frameCount(), 3u);
    EXPECT_EQ(single->mFrameSources, (std::vector<int32_t>{0, 1, 2}));

    // Binary snapshot of a plain picture: the picture comes back from its file name.
    std::unique_ptr<SpriteSceneNode> pic(new SpriteSceneNode());
    pic->loadImage("pic_png");
    pic->mResourceName = "default";
    pic->mName = "pic";
    pic->mUseStencil = 1;
    pic->mClipRect = QV::Rect(1, 2, 3, 4);
    key(pic.get(), 3, 0, 2.0f);
    std::vector<uint8_t> bytes;
    AE::VectorStream out(&bytes);
    pic->write(out, false);
    std::unique_ptr<SpriteSceneNode> back(new SpriteSceneNode());
    AE::VectorStream in(&bytes);
    back->read(in);
    EXPECT_EQ(in.position(), bytes.size());
    EXPECT_EQ(back->mName, "pic");
    EXPECT_EQ(back->mFileName, "pic_png");
    EXPECT_EQ(back->mUseStencil, 1);
    EXPECT_EQ(back->mClipRect, QV::Rect(1, 2, 3, 4));
    EXPECT_EQ(back->getKeyFrames(), std::vector<int32_t>{3});
    EXPECT_EQ(back->mTimeline->getVector2Key("texPos", 0).value, QV::Vector2<float>(2.0f, 0.0f));
    ASSERT_NE(back->mSprite, nullptr);
    EXPECT_EQ(back->getSize(), QV::Vector2<float>(64.0f, 32.0f));
}

// Two masks, each the red left quarter of pic_png squeezed to 16 x 32, each
// with two masked pictures stretched over 64 pixels: the pictures show only
// inside their mask's shape, and the masks themselves are not drawn.
TEST(SpriteSceneNode, MaskedNodesDrawOnlyInsideTheirMaskShape) {
    scenetest::SceneWorld w({}, Device::OpenGL, 64, 64);
    if (!w.world().ready()) QV_GL_UNAVAILABLE() << "no OpenGL window";
    std::unique_ptr<AE::ISceneNode> root(new AE::ISceneNode());
    auto makeMask = [&](float x) {
        SpriteSceneNode* mask = new SpriteSceneNode();
        mask->setSprite(w.world().sprites().createSpriteFromImage("pic_png", "default"));
        mask->mUseStencil = AE::kStencilMask;
        root->addChild(mask, AE::KeepTransform::Local);
        mask->setPosition(QV::Vector2<float>(x, 0.0f));
        mask->setScaleX(0.25f);  // 16 wide: the red half only
        return mask;
    };
    SpriteSceneNode* left = makeMask(0.0f);
    SpriteSceneNode* right = makeMask(40.0f);
    auto masked = [&](SpriteSceneNode* mask) {
        for (int i = 0; i < 2; ++i) {
            SpriteSceneNode* n = new SpriteSceneNode();
            n->loadImage("pic_png");
            n->mUseStencil = AE::kStencilMasked;
            mask->addChild(n, AE::KeepTransform::Local);
            n->setScaleX(4.0f);  // back to 64 wide in the world, 64 tall below
            n->setScaleY(1.0f + i);
        }
    };
    masked(left);
    masked(right);
    root->update(0.0f);
    w.world().frame([] {});
    w.world().frame([&] { AE::drawScene(root.get()); });
    std::vector<uint8_t> bgra;
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(w.world().readBack(&bgra, &width, &height));
    auto red = [&](uint32_t x, uint32_t y) { return bgra[(size_t(y) * width + x) * 4 + 2]; };
    auto blue = [&](uint32_t x, uint32_t y) { return bgra[(size_t(y) * width + x) * 4]; };
    // Inside each mask the masked pictures show (their red left part); outside nothing.
    EXPECT_GT(red(4, 10), 200);
    EXPECT_GT(red(12, 10), 200);  // the mask's own blue part is not drawn
    EXPECT_LT(blue(12, 10), 30);
    EXPECT_GT(red(44, 10), 200);
    EXPECT_LT(red(24, 10), 30);
    EXPECT_LT(blue(24, 10), 30);
    EXPECT_LT(red(60, 10), 30);
    EXPECT_LT(red(4, 40), 30);  // below the masks' shape
}

}  // namespace

namespace {

// Consecutive masked nodes under one mask share its stencil image: the
// stencil is cleared and a mask drawn only when the mask changes.
TEST(SpriteSceneNode, TheStencilIsClearedOnlyWhenTheMaskChanges) {
    scenetest::SceneWorld w({}, Device::Recording);
    std::unique_ptr<AE::ISceneNode> root(new AE::ISceneNode());
    auto mask = [&](float z, int children) {
        SpriteSceneNode* m = new SpriteSceneNode();
        m->loadImage("pic_png");
        m->mUseStencil = AE::kStencilMask;
        m->mPosZ = z;
        root->addChild(m, AE::KeepTransform::Local);
        for (int i = 0; i < children; ++i) {
            SpriteSceneNode* n = new SpriteSceneNode();
            n->loadImage("pic_png");
            n->mUseStencil = AE::kStencilMasked;
            n->mPosZ = z;
            m->addChild(n, AE::KeepTransform::Local);
        }
        return m;
    };
    SpriteSceneNode* first = mask(2.0f, 2);
    SpriteSceneNode* second = mask(1.0f, 1);
    root->update(0.0f);
    w.world().frame([] {});
    auto& calls = QV::Gfx::lastRecordingDriver()->log()->calls;
    calls.clear();
    w.world().frame([&] { AE::drawScene(root.get()); });
    int stencilClears = 0;
    for (const QV::Gfx::RecordedCall& call : calls)
        if (call.name == "clear" && !call.args.empty() && (call.args[0] & QV::Gfx::CLEAR_STENCIL)) ++stencilClears;
    EXPECT_EQ(stencilClears, 2);  // once per mask, not once per masked node
    EXPECT_EQ(AE::currentClipNode(), second);
    (void)first;
}

}  // namespace

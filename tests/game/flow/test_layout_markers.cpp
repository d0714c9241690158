#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "flow/layout_markers.h"
#include "log_system.h"
#include "support/temp_dir.h"

namespace {

AE::ISceneNode* nodeWith(const std::vector<std::string>& markers, float x = 5.0f, float y = 7.0f) {
    auto* node = new AE::ISceneNode();
    node->setPosition(QV::Vector2<float>(x, y));
    for (const std::string& name : markers) node->addMarker(new AE::Marker(name));
    return node;
}

LayoutContext context(int portrait, float marginX = 0.0f, float marginY = 0.0f) {
    LayoutContext c;
    c.portrait = portrait;
    c.width = portrait ? 970.0f : 1726.0f;
    c.height = portrait ? 1726.0f : 970.0f;
    c.marginX = marginX;
    c.marginY = marginY;
    return c;
}

TEST(LayoutMarkers, PlaceNodesByTheMarkerOfTheCurrentOrientation) {
    struct Case {
        const char* what;
        std::vector<std::string> markers;
        LayoutContext ctx;
        float x, y;
    };
    const Case cases[] = {
        {"left and top", {"#hor:l-20t-30"}, context(0), 20, 30},
        {"left and top in a cut window", {"#hor:l-20t-30"}, context(0, 50), 70, 30},
        {"'!' ignores the cut", {"#hor:l!-20t-30"}, context(0, 50), 20, 30},
        {"right and bottom", {"#hor:r-100b-40"}, context(0), 1626, 930},
        {"right and bottom in a cut window", {"#hor:r-100b-40"}, context(0, 10, 20), 1616, 910},
        {"centre with a negative offset, portrait", {"#ver:ch--50"}, context(1), 435, 7},
        {"a portrait marker in landscape keeps the node", {"#ver:ch--50"}, context(0), 5, 7},
        {"left and right together centre with the last value", {"#hor:l-10r-30"}, context(0), 893, 7},
        {"top and bottom together centre", {"#hor:t-10b-20"}, context(0), 5, 505},
        {"centre vertically", {"#hor:cv-15"}, context(0), 5, 500},
        {"first marker of the prefix wins", {"#hor:l-1", "#hor:l-2"}, context(0), 1, 7},
        {"other markers are ignored", {"show", "#part:1", "#hor:t-3"}, context(0), 5, 3},
        {"unknown letters are skipped", {"#hor:xyl-4 zt-6"}, context(0), 4, 6},
        {"a dash-less number is 0", {"#hor:l12"}, context(0), 0, 7},
        {"at most six digits", {"#hor:l-1234567"}, context(0), 123456, 7},
        {"no marker", {}, context(0), 5, 7},
    };
    for (const Case& c : cases) {
        AE::ISceneNode* node = nodeWith(c.markers);
        adaptSceneLayout(node, c.ctx);
        EXPECT_FLOAT_EQ(node->getPosition().x, c.x) << c.what;
        EXPECT_FLOAT_EQ(node->getPosition().y, c.y) << c.what;
        delete node;
    }
}

TEST(LayoutMarkers, RotateScaleAndEnable) {
    AE::ISceneNode* node = nodeWith({"#hor:sh-1.5a--90"});
    node->setScaleY(0.5f);
    adaptSceneLayout(node, context(0));
    EXPECT_FLOAT_EQ(node->getScale().x, 1.5f);
    EXPECT_FLOAT_EQ(node->getScale().y, 0.5f);
    EXPECT_FLOAT_EQ(node->getRotation(), -90.0f);
    delete node;

    AE::ISceneNode* parent = nodeWith({"#hor:e0", "#ver:e1"});
    AE::ISceneNode* child = nodeWith({});
    parent->addChild(child, AE::KeepTransform::Local);
    adaptSceneLayout(parent, context(0));
    EXPECT_FALSE(parent->mEnabled);
    EXPECT_FALSE(child->mEnabled);
    adaptSceneLayout(parent, context(1));
    EXPECT_TRUE(parent->mEnabled);
    EXPECT_TRUE(child->mEnabled);
    delete parent;
}

TEST(LayoutMarkers, ChildrenOfANodeWithoutMarkerStillGetTheirs) {
    AE::ISceneNode* root = nodeWith({});
    AE::ISceneNode* child = nodeWith({"#hor:l-11t-12"});
    AE::ISceneNode* grandchild = nodeWith({"#hor:r-0"});
    root->addChild(child, AE::KeepTransform::Local);
    child->addChild(grandchild, AE::KeepTransform::Local);
    adaptSceneLayout(root, context(0));
    EXPECT_FLOAT_EQ(root->getPosition().x, 5);
    EXPECT_FLOAT_EQ(child->getPosition().x, 11);
    EXPECT_FLOAT_EQ(child->getPosition().y, 12);
    EXPECT_FLOAT_EQ(grandchild->getPosition().x, 1726);
    delete root;
}

TEST(LayoutMarkers, NoSceneIsNoCrashButAnError) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    {
        QV::LogSystem log;
        adaptSceneLayout(nullptr, context(0));
    }
    EXPECT_NE(qvtest::readFile(dir.file("QV.log")).find("ERROR: adaptSceneLayout"), std::string::npos);
}

TEST(LayoutMarkers, ParsesScalesAndEnableRuns) {
    const LayoutCommands c = parseLayoutCommands("sv-0.25sh_2e-1cx");
    EXPECT_TRUE(c.hasScaleY);
    EXPECT_FLOAT_EQ(c.scaleY, 0.25f);
    EXPECT_TRUE(c.hasScaleX);
    EXPECT_FLOAT_EQ(c.scaleX, 2.0f);
    EXPECT_TRUE(c.hasEnable);
    EXPECT_EQ(c.enable, -1);
    EXPECT_FALSE(c.centreH);
    EXPECT_FALSE(c.centreV);
}

TEST(LayoutMarkers, LevelMarkersByOrientationWithPlaceAndDepth) {
    std::unique_ptr<AE::ISceneNode> scene(new AE::ISceneNode());
    AE::ISceneNode* holder = nodeWith({}, 100.0f, 50.0f);
    scene->addChild(holder, AE::KeepTransform::Local);
    AE::ISceneNode* landscape = nodeWith({}, 10.0f, 20.0f);
    landscape->mName = "@h:score";
    landscape->mPosZ = 7.9f;
    AE::ISceneNode* portrait = nodeWith({}, 30.0f, 40.0f);
    portrait->mName = "@v:score";
    portrait->mPosZ = -2.0f;
    holder->addChild(landscape, AE::KeepTransform::Local);
    holder->addChild(portrait, AE::KeepTransform::Local);
    scene->update(0.0f);

    const LevelLayoutMarker h = findLevelLayoutMarker(scene.get(), "score", 0);
    ASSERT_TRUE(h.found);
    EXPECT_FLOAT_EQ(h.x, 110.0f);
    EXPECT_FLOAT_EQ(h.y, 70.0f);
    EXPECT_EQ(h.depth, 7);
    const LevelLayoutMarker v = findLevelLayoutMarker(scene.get(), "score", 1);
    ASSERT_TRUE(v.found);
    EXPECT_FLOAT_EQ(v.x, 130.0f);
    EXPECT_EQ(v.depth, -2);
    EXPECT_FALSE(findLevelLayoutMarker(scene.get(), "moves", 0).found);
    EXPECT_FALSE(findLevelLayoutMarker(nullptr, "score", 0).found);
}

}  // namespace

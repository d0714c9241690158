#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "animationeditor/marker.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "engine/animationeditor/scene_test_support.h"

namespace {

using AE::ISceneNode;
using AE::KeepTransform;
using V = QV::Vector2<float>;
using scenetest::node;

void expectNear(const V& a, const V& b, const char* what) {
    EXPECT_NEAR(a.x, b.x, 1e-3f) << what;
    EXPECT_NEAR(a.y, b.y, 1e-3f) << what;
}

TEST(SceneNode, ConstructionDefaults) {
    ISceneNode n;
    EXPECT_EQ(n.mName, "default");
    EXPECT_EQ(n.mResourceName, "default");
    EXPECT_EQ(n.getType(), 0);
    EXPECT_EQ(n.mColor.word(), 0xFFFFFFFFu);
    EXPECT_TRUE(n.mEnabled);
    EXPECT_TRUE(n.mParallax);
    EXPECT_TRUE(n.mUseCameras);
    EXPECT_EQ(n.mTimeline->mContainers.size(), 12u);  // the twelve parameters, in binding order
    EXPECT_EQ(n.mTimeline->mContainers[0]->mName, "posX");
    EXPECT_EQ(n.mTimeline->mContainers[7]->mName, "color");
    EXPECT_EQ(n.mTimeline->mContainers[11]->mName, "shear11");
}

TEST(SceneNode, ChildUnderTurnedParent) {
    struct Case {
        const char* what;
        V parentPosition;
        float parentRotation;
        V parentScale;
        V childPosition;
        V childWorld;
    } cases[] = {
        {"turned 90 at (0, 10)", {0, 10}, 90, {1, 1}, {10, 0}, {0, 20}},
        {"turned 180", {5, 5}, 180, {1, 1}, {10, 0}, {-5, 5}},
        {"scaled", {0, 0}, 0, {2, 3}, {10, 10}, {20, 30}},
        {"mirrored", {100, 0}, 0, {-1, 1}, {10, 4}, {90, 4}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<ISceneNode> root(node("root"));
        ISceneNode* child = node("child", root.get());
        root->setPosition(c.parentPosition);
        root->mRotation = c.parentRotation;
        root->mScale = c.parentScale;
        child->setPosition(c.childPosition);
        root->update(0);
        expectNear(child->mWorldPosition, c.childWorld, c.what);
        expectNear(V(child->mWorldMatrix.m20, child->mWorldMatrix.m21), c.childWorld, c.what);
    }
}

TEST(SceneNode, SmallMovesKeepTheOldMatrices) {
    std::unique_ptr<ISceneNode> root(node("root"));
    ISceneNode* child = node("child", root.get());
    root->update(0);
    root->setPosition(V(0.0005f, 0));
    root->update(0);
    EXPECT_EQ(root->mWorldMatrix.m20, 0.0f);  // moved by 0.001 or less: kept
    EXPECT_FALSE(root->mTransformChanged);
    root->setPosition(V(0.002f, 0));
    root->update(0);
    EXPECT_FLOAT_EQ(root->mWorldMatrix.m20, 0.002f);
    EXPECT_TRUE(root->mTransformChanged);
    // The child's inputs did not move, but it follows its parent.
    EXPECT_FLOAT_EQ(child->mWorldMatrix.m20, 0.002f);
    EXPECT_TRUE(child->mTransformChanged);
}

TEST(SceneNode, ReparentingKeepsLocalOrWorldPlacement) {
    for (KeepTransform keep : {KeepTransform::World, KeepTransform::Local}) {
        std::unique_ptr<ISceneNode> root(node("root"));
        ISceneNode* a = node("a", root.get());
        ISceneNode* b = node("b", root.get());
        a->setPosition(V(100, 0));
        a->mRotation = 30;
        a->mScale = V(2, 2);
        b->setPosition(V(-50, 20));
        b->mRotation = -45;
        ISceneNode* child = node("child", a);
        child->setPosition(V(10, 5));
        child->mRotation = 10;
        root->update(0);
        const QV::Matrix3 before = child->mWorldMatrix;

        b->addChild(child, keep);
        root->update(0);
        ASSERT_EQ(child->mParent, b);
        ASSERT_EQ(a->mChildren.size(), 0u);
        ASSERT_EQ(b->mChildren.size(), 1u);
        if (keep == KeepTransform::World) {
            const float* p = child->mWorldMatrix.data();
            const float* q = before.data();
            for (int i = 0; i < 9; ++i) EXPECT_NEAR(p[i], q[i], 1e-3f) << i;
        } else {
            EXPECT_EQ(child->mPosition, V(10, 5));
            EXPECT_EQ(child->mRotation, 10);
            EXPECT_EQ(child->mScale, V(1, 1));
            EXPECT_NE(child->mWorldMatrix, before);
        }
        // Detached: re-derived against the parent it leaves, so the local values stay.
        const V local = child->mPosition;
        b->removeChild(child, KeepTransform::World);
        std::unique_ptr<ISceneNode> orphan(child);
        EXPECT_EQ(child->mParent, nullptr);
        expectNear(child->mPosition, local, "detached");
    }
}

TEST(SceneNode, FlatParentLeavesValuesAlone) {
    std::unique_ptr<ISceneNode> root(node("root"));
    root->mScale = V(0, 0);  // common in scenes that pop things in
    ISceneNode* child = node("child", root.get());
    child->setPosition(V(3, 4));
    root->update(0);
    child->setWorldPosition(V(50, 50));
    EXPECT_EQ(child->mPosition, V(3, 4));
    std::unique_ptr<ISceneNode> other(node("other"));
    other->addChild(child, KeepTransform::World);
    EXPECT_EQ(child->mPosition, V(3, 4));
    EXPECT_TRUE(std::isfinite(child->mRotation));
    EXPECT_TRUE(std::isfinite(child->mScale.x));
}

TEST(SceneNode, WorldPositionSetters) {
    std::unique_ptr<ISceneNode> root(node("root"));
    root->setPosition(V(0, 10));
    root->mRotation = 90;
    ISceneNode* child = node("child", root.get());
    root->update(0);
    child->setWorldPosition(V(0, 20));
    expectNear(child->mPosition, V(10, 0), "inverse of the parent");
    expectNear(child->mWorldPosition, V(0, 20), "placed at once");
    child->setWorldX(-5);
    expectNear(child->mWorldPosition, V(-5, 20), "x only");
    child->setWorldY(30);
    expectNear(child->mWorldPosition, V(-5, 30), "y only");
    EXPECT_FLOAT_EQ(child->getWorldRotation(), 90);
}

TEST(SceneNode, AddChildTwiceKeepsOneEntry) {
    std::unique_ptr<ISceneNode> root(node("root"));
    ISceneNode* a = node("a", root.get());
    root->addChild(a, KeepTransform::World);
    EXPECT_EQ(root->mChildren.size(), 1u);
}

TEST(SceneNode, FindNodeIsBreadthFirst) {
    std::unique_ptr<ISceneNode> root(node("root"));
    ISceneNode* a = node("a", root.get());
    ISceneNode* b = node("b", root.get());
    ISceneNode* deep = node("x", node("a1", a));
    ISceneNode* shallowFirst = node("x", a);
    ISceneNode* shallowSecond = node("x", b);
    EXPECT_EQ(root->findNode("x"), shallowFirst);
    EXPECT_NE(root->findNode("x"), deep);
    EXPECT_NE(root->findNode("x"), shallowSecond);
    EXPECT_EQ(root->findNode("root"), root.get());
    EXPECT_EQ(root->findNode("X"), nullptr);  // exact, case-sensitive
    EXPECT_EQ(b->findNode("x"), shallowSecond);
    std::vector<ISceneNode*> all = root->collectDescendants();
    ASSERT_EQ(all.size(), 6u);
    EXPECT_EQ(all[0], a);
    EXPECT_EQ(all[1], b);
    EXPECT_EQ(all[5], deep);
}

TEST(SceneNode, PathsFindTheirNodes) {
    std::unique_ptr<ISceneNode> root(node("root"));
    ISceneNode* a = node("a", root.get());
    ISceneNode* b = node("b", a);
    struct Case {
        const char* path;
        ISceneNode* expected;
    } cases[] = {
        {"root/a/b", b}, {"/a/b", b},        {"ro/a/b", b},        {"root", root.get()}, {"root/", root.get()},
        {"root/a", a},   {"root/a/bc", nullptr}, {"root/ab", nullptr}, {"x/a", nullptr},     {"rootx", nullptr},
    };
    for (const Case& c : cases) EXPECT_EQ(root->findNodeByPath(c.path), c.expected) << c.path;

    EXPECT_EQ(root->getPath(nullptr), "root");
    EXPECT_EQ(b->getPath(nullptr), "/a/b");
    EXPECT_EQ(b->getPath(a), "/b");
    EXPECT_EQ(a->getPath(a), "/");
    for (ISceneNode* from : {root.get(), a, b})
        for (ISceneNode* n : {root.get(), a, b}) {
            if (n != from && n->mParent == nullptr) continue;  // a root is not below anything
            bool below = false;
            for (ISceneNode* p = n; p; p = p->mParent) below = below || p == from;
            if (below) {
                EXPECT_EQ(from->findNodeByPath(n->getPath(from)), n) << n->getPath(from);
            }
        }
}

TEST(SceneNode, RemovingAChildDropsItsMarkerEntries) {
    std::unique_ptr<ISceneNode> root(node("root"));
    ISceneNode* a = node("a", root.get());
    ISceneNode* b = node("b", a);
    ISceneNode* c = node("c", b);
    ISceneNode* other = node("other", a);
    AE::Marker* top = new AE::Marker("top");
    top->addEntry(b, 0, 10, false, false);
    top->addEntry(c, 0, 10, false, false);
    top->addEntry(other, 0, 10, false, false);
    top->addEntry(nullptr, 0, 10, false, false);  // ignored
    top->addEntry(other, 0, 5, false, false);      // one entry per node
    root->addMarker(top);
    AE::Marker* mid = new AE::Marker("mid");
    mid->addEntry(c, 0, 10, false, false);
    a->addMarker(mid);
    ASSERT_EQ(top->mEntries.size(), 3u);

    a->removeChild(b, KeepTransform::Local);
    std::unique_ptr<ISceneNode> removed(b);
    ASSERT_EQ(top->mEntries.size(), 1u);
    EXPECT_EQ(top->mEntries[0]->node, other);
    EXPECT_TRUE(mid->mEntries.empty());
    EXPECT_EQ(root->findMarker("mid"), nullptr);
    EXPECT_EQ(a->findMarker("mid"), mid);
}

TEST(SceneNode, PlayStopHalt) {
    std::unique_ptr<ISceneNode> root(node("root"));
    ISceneNode* child = node("child", root.get());
    root->mTimeline->mTime = 0.5f;
    child->mTimeline->mTime = 0.5f;
    root->mFromFrame = 3;
    root->playDirected(true, true);
    EXPECT_TRUE(root->mPlaying && child->mPlaying && root->mBackwards && child->mBackwards);
    EXPECT_EQ(root->mFromFrame, 0);
    root->halt(true);
    EXPECT_FALSE(root->mPlaying || child->mPlaying);
    EXPECT_EQ(root->mTimeline->mTime, 0.5f);   // the node keeps its time
    EXPECT_EQ(child->mTimeline->mTime, 0.0f);  // its subtree is stopped
    EXPECT_FALSE(root->mTimeline->mRunning);
    root->setPlaying(false, false);
    EXPECT_TRUE(root->mTimeline->mRunning);  // left running either way
    root->play(false);
    EXPECT_TRUE(root->mPlaying);
    EXPECT_FALSE(child->mPlaying);
    root->stop(true);
    EXPECT_EQ(root->mTimeline->mTime, 0.0f);
    root->setEnabled(false);
    EXPECT_FALSE(child->mEnabled);
}

TEST(SceneNode, SetTimeAppliesKeyedValues) {
    std::unique_ptr<ISceneNode> root(node("root"));
    ISceneNode* child = node("child", root.get());
    scenetest::keyPosX(child, 0, 0);
    scenetest::keyPosX(child, 24, 100);
    root->setTime(0.25f, true);
    EXPECT_FLOAT_EQ(child->mPosition.x, 25);
    EXPECT_FLOAT_EQ(child->mWorldPosition.x, 25);  // transforms follow at once
    root->setTime(-1, true);
    EXPECT_EQ(child->mTimeline->mTime, 0.0f);
    child->gotoFrame(12);
    EXPECT_FLOAT_EQ(child->mPosition.x, 50);
    EXPECT_FLOAT_EQ(AE::getCurrentKeyFloat(child, "posX"), 0);  // the key, not the value
}

TEST(SceneNode, SizesAndHits) {
    std::unique_ptr<ISceneNode> root(node("root"));
    ISceneNode* child = node("child", root.get());
    child->mScale = V(2, 0.5f);
    EXPECT_EQ(root->getSize(), V(0, 0));
    EXPECT_EQ(child->getSize(), V(128, 32));
    child->setPosition(V(10, 20));
    root->update(0);
    EXPECT_EQ(root->getBoundsSize(), V(138, 52));
    EXPECT_FALSE(child->hitTest(10, 20, false));  // a plain node without children
    EXPECT_FALSE(root->hitTest(10, 20, false));   // hits only through drawable kinds
    root->mScale = V(-1, 1);
    EXPECT_FALSE(root->hitTest(10, 20, false));
}

TEST(SceneNode, CloneCopiesTreeAndMarkers) {
    std::unique_ptr<ISceneNode> root(node("root"));
    ISceneNode* a = node("a", root.get());
    ISceneNode* b = node("b", a);
    a->setPosition(V(7, 8));
    a->mLoop = true;
    a->mPlaying = true;
    scenetest::keyPosX(b, 0, 1);
    AE::MovieCamera* camera = new AE::MovieCamera();
    camera->mName = "cam";
    root->addChild(camera, KeepTransform::Local);
    root->mActiveCamera = camera;
    AE::Marker* show = new AE::Marker("show");
    show->addEntry(b, 0, 24, true, false);
    show->addEntry(a, -1, -1, false, false);  // no frames: dropped
    root->addMarker(show);

    std::unique_ptr<ISceneNode> copy(root->clone(nullptr));
    ASSERT_EQ(copy->mChildren.size(), 2u);
    ISceneNode* a2 = copy->mChildren[0];
    EXPECT_NE(a2, a);
    EXPECT_EQ(a2->mPosition, V(7, 8));
    EXPECT_TRUE(a2->mLoop);
    EXPECT_FALSE(a2->mPlaying);
    ISceneNode* b2 = copy->findNode("b");
    ASSERT_NE(b2, nullptr);
    EXPECT_EQ(b2->mParent, a2);
    EXPECT_EQ(b2->mTimeline->getFloatKey("posX", 0).value, 1);
    // The copy's parameters are bound to the copy.
    b2->mTimeline->getFloatKey("posX", 0).value = 9;
    b2->setTime(0, false);
    EXPECT_EQ(b2->mPosition.x, 9);
    EXPECT_EQ(b->mPosition.x, 0);
    // Cameras are copied as plain nodes; the copy keeps no pointer into the source.
    EXPECT_EQ(copy->mChildren[1]->getType(), 0);
    EXPECT_EQ(copy->mActiveCamera, nullptr);
    // Markers point into the copy.
    AE::Marker* show2 = copy->findMarker("show");
    ASSERT_NE(show2, nullptr);
    ASSERT_EQ(show2->mEntries.size(), 1u);
    EXPECT_EQ(show2->mEntries[0]->node, b2);
    EXPECT_TRUE(show2->mEntries[0]->recursive);

    ISceneNode* attached = a->clone(copy.get());
    EXPECT_EQ(attached->mParent, copy.get());
    EXPECT_EQ(copy->mChildren.back(), attached);
    ISceneNode plainCopy(*b);
    EXPECT_EQ(plainCopy.mName, "b");
    EXPECT_EQ(plainCopy.mParent, nullptr);
}

TEST(SceneNode, DeletingACameraClearsItFromItsScene) {
    std::unique_ptr<ISceneNode> root(node("root"));
    ISceneNode* child = node("child", root.get());
    AE::MovieCamera* camera = new AE::MovieCamera();
    root->addChild(camera, KeepTransform::Local);
    root->mActiveCamera = camera;
    child->mActiveCamera = camera;
    delete camera;
    EXPECT_EQ(root->mActiveCamera, nullptr);
    EXPECT_EQ(child->mActiveCamera, nullptr);
    EXPECT_TRUE(root->mChildren.size() == 1u);
}

TEST(SceneNode, MarkerLookupLogsOnlyWhenAsked) {
    scenetest::LoggedTest logged;
    std::unique_ptr<ISceneNode> root(node("window"));
    root->addMarker(new AE::Marker("show"));
    EXPECT_NE(root->getMarker("show"), nullptr);
    EXPECT_EQ(root->findMarker("hide"), nullptr);
    root->playMarker("hide");  // silent
    EXPECT_EQ(root->getMarker("hide"), nullptr);
    const std::string logText = qvtest::readFile("QV.log");
    EXPECT_NE(logText.find("ERROR: Can't find marker 'hide' in node 'window'"), std::string::npos) << logText;
    EXPECT_EQ(logText.find("show"), std::string::npos);
}

struct CountingListener : AE::SceneLoadListener {
    int calls = 0;
    ISceneNode* last = nullptr;
    void onSceneLoaded(ISceneNode* root) override {
        ++calls;
        last = root;
    }
};

ISceneNode* fakeLoader(const std::string& name) {
    if (name != "window_xml") return nullptr;
    ISceneNode* root = node(name);
    AE::registerLiveScene(root);
    return root;
}

TEST(SceneNode, LoadingAndTheLiveSceneList) {
    scenetest::LoggedTest logged;
    EXPECT_EQ(AE::loadScene("window_xml"), nullptr);  // no loader yet
    AE::setSceneLoader(fakeLoader);
    CountingListener listener;
    AE::addSceneLoadListener(&listener);
    EXPECT_EQ(AE::loadScene("missing_xml"), nullptr);
    EXPECT_EQ(listener.calls, 0);
    std::unique_ptr<ISceneNode> first(AE::loadScene("window_xml"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(listener.last, first.get());
    std::unique_ptr<ISceneNode> second(AE::loadScene("window_xml"));
    second->mName = "second";
    AE::removeSceneLoadListener(&listener);
    AE::setSceneLoader(nullptr);

    AE::dumpScenes();
    first.reset();
    EXPECT_EQ(AE::liveScenes(), std::vector<ISceneNode*>{second.get()});
    AE::dumpScenes();
    const std::string text = qvtest::readFile("QV.log");
    const std::string dump =
        "----------------SCENES DUMP\n--SCENE window_xml\n--SCENE second\n----------------SCENES DUMP END\n"
        "----------------SCENES DUMP\n--SCENE second\n----------------SCENES DUMP END\n";
    EXPECT_NE(text.find(dump), std::string::npos) << text;
    second.reset();
    EXPECT_TRUE(AE::liveScenes().empty());
}

TEST(SceneNode, LiveSceneListTakesScenesFromManyThreads) {
    // Jobs build scenes while the main thread deletes others.
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 300; ++i) {
                ISceneNode* root = new ISceneNode();
                AE::registerLiveScene(root);
                delete root;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_TRUE(AE::liveScenes().empty());
}

}  // namespace

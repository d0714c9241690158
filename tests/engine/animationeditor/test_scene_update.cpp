#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "camera.h"
#include "engine/animationeditor/scene_test_support.h"
#include "platform/gfx/recording_driver.h"
#include "render_system.h"
#include "support/render_fixture.h"

namespace {

using AE::ISceneNode;
using AE::KeepTransform;
using V = QV::Vector2<float>;
using scenetest::node;

// Stands in for the render system's camera.
struct RecordingTarget : AE::SceneCameraTarget {
    QV::Camera camera;
    int sets = 0;
    QV::Camera getCamera() override { return camera; }
    void setCamera(const QV::Camera& c) override {
        camera = c;
        ++sets;
    }
};

struct Drawn {
    std::string name;
    float cameraX, cameraY;
};

// A drawing kind that records the order of drawing and the camera it saw.
struct Probe : ISceneNode {
    std::vector<Drawn>* log;
    Probe(const std::string& name, float z, std::vector<Drawn>* out, ISceneNode* parent) : log(out) {
        mName = name;
        mPosZ = z;
        if (parent) parent->addChild(this, KeepTransform::Local);
    }
    void draw() override {
        applyCameraView();
        QV::Camera c = AE::sceneCameraTarget()->getCamera();
        log->push_back({mName, c.x, c.y});
    }
};

class SceneDraw : public testing::Test {
protected:
    void SetUp() override { AE::setSceneCameraTarget(&target); }
    void TearDown() override { AE::setSceneCameraTarget(nullptr); }
    RecordingTarget target;
    std::vector<Drawn> drawn;
};

TEST_F(SceneDraw, DeeperNodesDrawFirst) {
    std::unique_ptr<ISceneNode> root(new Probe("root", 0, &drawn, nullptr));
    new Probe("near", 1, &drawn, root.get());
    ISceneNode* far = new Probe("far", 2, &drawn, root.get());
    new Probe("front", -3, &drawn, far);
    AE::drawScene(root.get());
    std::vector<std::string> order;
    for (const Drawn& d : drawn) order.push_back(d.name);
    EXPECT_EQ(order, (std::vector<std::string>{"far", "near", "root", "front"}));
    const std::vector<ISceneNode*>& list = AE::collectSceneDrawList(root.get());
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.front()->mName, "front");
    EXPECT_EQ(list.back()->mName, "far");
}

TEST_F(SceneDraw, MovieCameraViewAndRestore) {
    target.camera.x = 7;  // whatever the caller had
    std::unique_ptr<ISceneNode> root(node("root"));
    AE::MovieCamera* camera = new AE::MovieCamera();
    root->addChild(camera, KeepTransform::Local);
    camera->setPosition(V(100, 40));
    camera->play(false);
    new Probe("plain", 0, &drawn, root.get());
    Probe* deep = new Probe("deep", -2, &drawn, root.get());
    root->update(0.0f);
    ASSERT_EQ(root->mActiveCamera, camera);  // value 0 may be chosen
    AE::drawScene(root.get());
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].cameraX, -100);  // the camera's parallax is off by default
    EXPECT_EQ(drawn[1].cameraX, -100);
    EXPECT_EQ(target.camera.x, 7);  // restored after drawing

    struct Case {
        float z, coefficient;
        V view;
    } cases[] = {
        {0, 1, {-100, -40}},   // depth 0 counts as 1
        {-2, 1, {-50, -20}},   // half the offset
        {4, 0.5f, {-50, -20}},
        {3, 0, {-100, -40}},   // no coefficient: undivided
    };
    camera->mParallax = true;
    for (const Case& c : cases) {
        drawn.clear();
        deep->mPosZ = c.z;
        camera->mParallaxCoef = c.coefficient;
        AE::drawScene(deep);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_FLOAT_EQ(drawn[0].cameraX, c.view.x) << c.z << " " << c.coefficient;
        EXPECT_FLOAT_EQ(drawn[0].cameraY, c.view.y) << c.z << " " << c.coefficient;
    }
    deep->mParallax = false;
    drawn.clear();
    AE::drawScene(deep);
    EXPECT_FLOAT_EQ(drawn[0].cameraX, -100);
}

TEST_F(SceneDraw, TwoThousandNodes) {
    std::unique_ptr<ISceneNode> root(node("root"));
    int drawnCount = 0;
    struct Counter : ISceneNode {
        int* count;
        void draw() override { ++*count; }
    };
    std::vector<ISceneNode*> all;
    for (int i = 0; i < 2000; ++i) {
        Counter* c = new Counter();
        c->count = &drawnCount;
        c->mPosZ = static_cast<float>((i * 7919) % 2000);
        (i % 3 == 0 ? root.get() : all.back())->addChild(c, KeepTransform::Local);
        all.push_back(c);
    }
    root->update(0.0f);
    AE::drawScene(root.get());
    EXPECT_EQ(drawnCount, 2000);
    const std::vector<ISceneNode*>& list = AE::collectSceneDrawList(root.get());
    ASSERT_EQ(list.size(), 2001u);
    for (size_t i = 1; i < list.size(); ++i) ASSERT_LE(list[i - 1]->mPosZ, list[i]->mPosZ);
}

TEST_F(SceneDraw, NestedDrawSceneKeepsTheOuterList) {
    std::unique_ptr<ISceneNode> inner(new Probe("inner", 0, &drawn, nullptr));
    struct Host : ISceneNode {
        ISceneNode* scene;
        void draw() override { AE::drawScene(scene); }
    };
    std::unique_ptr<ISceneNode> root(new Probe("back", 5, &drawn, nullptr));
    Host* host = new Host();
    host->scene = inner.get();
    host->mPosZ = 1;
    root->addChild(host, KeepTransform::Local);
    new Probe("front", 0, &drawn, root.get());
    AE::drawScene(root.get());
    std::vector<std::string> order;
    for (const Drawn& d : drawn) order.push_back(d.name);
    EXPECT_EQ(order, (std::vector<std::string>{"back", "inner", "front"}));
}

TEST(SceneDrawOnRenderSystem, MovieCameraSetsTheRenderCameraAndDrawingRestoresIt) {
    QV::Gfx::useRecordingDriver();
    auto engine = std::make_unique<qvtest::RenderEngine>();
    QV::RenderSystem* render = engine->createRenderSystem();
    ASSERT_TRUE(render->createDevice(nullptr));
    render->beginFrame();
    {
        std::vector<Drawn> drawn;
        std::unique_ptr<ISceneNode> root(node("root"));
        AE::MovieCamera* camera = new AE::MovieCamera();
        root->addChild(camera, KeepTransform::Local);
        camera->setPosition(V(100, 40));
        camera->play(false);
        new Probe("back", 3, &drawn, root.get());
        new Probe("front", 1, &drawn, root.get());
        root->update(0.0f);
        AE::drawScene(root.get());
        ASSERT_EQ(drawn.size(), 2u);
        EXPECT_EQ(drawn[0].name, "back");
        EXPECT_EQ(drawn[0].cameraX, -100);
        EXPECT_EQ(drawn[1].cameraY, -40);
        EXPECT_EQ(render->getCamera().x, 0);  // restored
        EXPECT_EQ(render->getCamera().y, 0);
    }
    render->endFrame();
    engine.reset();
    QV::Gfx::setDriverFactory(nullptr);
}

TEST(SceneUpdate, DisabledRootStillAdvancesItsTime) {
    std::unique_ptr<ISceneNode> root(node("root"));
    AE::Marker* marker = new AE::Marker("m");
    marker->play(true);
    root->addMarker(marker);
    root->mEnabled = false;
    root->update(0.25f);
    root->update(0.25f);
    EXPECT_FLOAT_EQ(root->mTimeline->mTime, 0.5f);
    EXPECT_EQ(marker->getElapsed(), 0.0f);  // markers do not update
    root->mEnabled = true;
    root->update(0.25f);
    EXPECT_FLOAT_EQ(root->mTimeline->mTime, 0.5f);  // not playing: kept
    EXPECT_FLOAT_EQ(marker->getElapsed(), 0.25f);
}

TEST(SceneUpdate, WorldColourOfDisabledNodes) {
    std::unique_ptr<ISceneNode> root(node("root"));
    ISceneNode* off = node("off", root.get());
    ISceneNode* leaf = node("leaf", off);
    root->update(0);
    off->mEnabled = false;
    root->mColor = QV::Color::fromBytes(127, 127, 127, 255);
    off->mColor = QV::Color::fromBytes(0, 0, 0, 255);
    root->update(0);
    EXPECT_EQ(root->mWorldColor.r, 127);
    EXPECT_EQ(off->mWorldColor.word(), 0xFFFFFFFFu);  // kept from before
    EXPECT_EQ(leaf->mWorldColor.r, 255);            // its enabled child updates from it
    off->mEnabled = true;
    root->update(0);
    EXPECT_EQ(off->mWorldColor.r, 0);
    EXPECT_EQ(leaf->mWorldColor.r, 0);  // (0 + 1) * 255 >> 8
    EXPECT_EQ(leaf->mWorldColor.a, 255);
}

TEST(SceneUpdate, PlayRangeLoopsOnlyInPlayMode) {
    struct Case {
        int mode;
        bool backwards;
        float timeAfterRange;
        bool playing;
    } cases[] = {
        {1, false, 0.0f, true},
        {0, false, 1.0f, false},
        {1, true, 1.0f, true},
        {0, true, 0.0f, false},
    };
    for (const Case& c : cases) {
        AE::contentVersion = c.mode;
        std::unique_ptr<ISceneNode> root(node("root"));
        scenetest::keyPosX(root.get(), 0, 0);
        scenetest::keyPosX(root.get(), 24, 100);
        root->playDirected(c.backwards, false);
        root->mFromFrame = 0;
        root->mToFrame = 24;
        root->mLoop = true;
        root->mTimeline->mTime = c.backwards ? 1.0f : 0.0f;
        for (int i = 0; i < 3; ++i) root->update(0.25f);
        EXPECT_FLOAT_EQ(root->mTimeline->mTime, c.backwards ? 0.25f : 0.75f);
        root->update(0.25f);  // the range ends
        EXPECT_FLOAT_EQ(root->mTimeline->mTime, c.timeAfterRange) << c.mode << c.backwards;
        EXPECT_EQ(root->mPlaying, c.playing) << c.mode << c.backwards;
        EXPECT_FLOAT_EQ(root->mPosition.x, c.timeAfterRange * 100) << c.mode << c.backwards;
        if (!c.playing) {
            EXPECT_FALSE(root->mTimeline->mRunning);
        }
    }
    AE::contentVersion = 0;
}

TEST(SceneUpdate, BackwardsWithoutRangeGoesBelowZero) {
    std::unique_ptr<ISceneNode> root(node("root"));
    scenetest::keyPosX(root.get(), 0, 10);
    scenetest::keyPosX(root.get(), 24, 20);
    root->playDirected(true, false);
    root->update(0.25f);
    EXPECT_FLOAT_EQ(root->mTimeline->mTime, -0.25f);
    EXPECT_FLOAT_EQ(root->mPosition.x, 10);  // the first key applies
}

TEST(SceneUpdate, CameraChoice) {
    std::unique_ptr<ISceneNode> root(node("root"));
    AE::MovieCamera* first = new AE::MovieCamera();
    AE::MovieCamera* second = new AE::MovieCamera();
    root->addChild(first, KeepTransform::Local);
    root->addChild(second, KeepTransform::Local);
    first->mPlaying = second->mPlaying = true;
    first->mActivationValue = second->mActivationValue = 3;
    root->selectActiveCamera();
    EXPECT_EQ(root->mActiveCamera, second);  // a tie goes to the later child
    first->mActivationValue = 4;
    root->selectActiveCamera();
    EXPECT_EQ(root->mActiveCamera, first);
    first->mActivationValue = second->mActivationValue = -1;
    root->selectActiveCamera();
    EXPECT_EQ(root->mActiveCamera, first);  // none qualifies: unchanged
    first->mActivationValue = 9;
    first->mPlaying = false;
    second->mActivationValue = 0;
    root->selectActiveCamera();
    EXPECT_EQ(root->mActiveCamera, second);
    root->mUseCameras = false;
    second->mActivationValue = -5;
    first->mPlaying = true;
    root->selectActiveCamera();
    EXPECT_EQ(root->mActiveCamera, second);
}

}  // namespace

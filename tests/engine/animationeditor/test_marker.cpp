#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "engine/animationeditor/scene_test_support.h"

namespace {

using AE::ISceneNode;
using AE::Marker;
using scenetest::node;

struct Listener : AE::MarkerListener {
    int calls = 0;
    float elapsedAtCall = -1;
    bool restart = false;
    void onMarkerFinished(Marker* marker) override {
        ++calls;
        elapsedAtCall = marker->getElapsed();
        if (restart) {
            restart = false;
            marker->play(true);
        }
    }
};

// A root owning one marker whose single entry drives `actor`, keyed posX 0 at
// frame 0 and 100 at frame 24.
struct Scene {
    std::unique_ptr<ISceneNode> root{node("root")};
    ISceneNode* actor = node("actor", root.get());
    Marker* marker = new Marker("show");
    Listener listener;
    Scene(int from, int to, bool looped = false) {
        scenetest::keyPosX(actor, 0, 0);
        scenetest::keyPosX(actor, 24, 100);
        marker->addEntry(actor, from, to, false, looped);
        marker->addListener(&listener);
        marker->addListener(&listener);  // no duplicates
        root->addMarker(marker);
    }
    void step(float dt = 0.25f) { root->update(dt); }
};

TEST(Marker, WalkThroughInQuarterSeconds) {
    Scene s(0, 24);
    s.marker->play(true);
    EXPECT_EQ(s.marker->getState(), Marker::kPlaying);
    struct Expect {
        float x;
        int calls;
        int state;
    } steps[] = {
        {25, 0, Marker::kPlaying}, {50, 0, Marker::kPlaying},  {75, 0, Marker::kPlaying},
        {100, 1, Marker::kFinished}, {100, 1, Marker::kFinished}, {100, 1, Marker::kFinished},
    };
    int n = 0;
    for (const Expect& e : steps) {
        s.step();
        ++n;
        EXPECT_FLOAT_EQ(s.actor->mPosition.x, e.x) << n * 0.25f << " s";
        EXPECT_EQ(s.listener.calls, e.calls) << n * 0.25f << " s";
        EXPECT_EQ(s.marker->getState(), e.state) << n * 0.25f << " s";
    }
    EXPECT_FLOAT_EQ(s.listener.elapsedAtCall, 1.0f);
    EXPECT_FALSE(s.actor->mPlaying);
    EXPECT_FLOAT_EQ(s.actor->mTimeline->mTime, 1.0f);
}

TEST(Marker, PlayVariants) {
    struct Case {
        const char* what;
        int from, to;
        float startTime;     // the node's time before play
        float finishAfter;   // seconds of 0.25 s steps until the listener is told
        float xAtHalfSecond;
    } cases[] = {
        {"forward", 0, 24, 0, 1.0f, 50},
        {"reversed", 24, 0, 0, 1.0f, 50},
        {"to-frame only, from where the node was", -1, 24, 0.5f, 0.5f, 100},
        {"to-frame 48 only", -1, 48, 0.5f, 1.5f, 100},
    };
    for (const Case& c : cases) {
        Scene s(c.from, c.to);
        s.actor->mTimeline->mTime = c.startTime;
        s.marker->play(true);
        int steps = 0;
        while (s.listener.calls == 0 && steps < 40) {
            s.step();
            ++steps;
            if (steps == 2) {
                EXPECT_FLOAT_EQ(s.actor->mPosition.x, c.xAtHalfSecond) << c.what;
            }
        }
        EXPECT_FLOAT_EQ(steps * 0.25f, c.finishAfter) << c.what;
        EXPECT_FLOAT_EQ(s.actor->mTimeline->mTime, std::max(c.to, 0) / 24.0f) << c.what;
    }
}

TEST(Marker, LoopedEntryFinishesAtOnceAndKeepsLooping) {
    Scene s(0, 12, true);
    s.marker->play(true);
    s.step();
    EXPECT_EQ(s.listener.calls, 1);
    EXPECT_EQ(s.marker->getState(), Marker::kFinished);
    s.step();  // 0.5 s: wraps to the start
    EXPECT_FLOAT_EQ(s.actor->mTimeline->mTime, 0.0f);
    s.step();  // 0.75 s
    EXPECT_FLOAT_EQ(s.actor->mTimeline->mTime, 0.25f);
    EXPECT_FLOAT_EQ(s.actor->mPosition.x, 25);
    EXPECT_EQ(s.listener.calls, 1);
    s.marker->stop(false);  // looped entries keep playing
    EXPECT_TRUE(s.actor->mPlaying);
    s.marker->stop(true);
    EXPECT_FALSE(s.actor->mPlaying);
}

TEST(Marker, PauseDoesNotUseUpTheEntry) {
    Scene s(0, 24);
    s.marker->play(true);
    s.step(0.25f);
    s.step(0.125f);
    s.marker->stop(false);
    EXPECT_EQ(s.marker->getState(), Marker::kPaused);
    for (int i = 0; i < 8; ++i) s.step();  // 2 s paused
    EXPECT_FLOAT_EQ(s.actor->mTimeline->mTime, 0.375f);
    EXPECT_EQ(s.listener.calls, 0);
    s.marker->play(false);  // resumes
    float resumed = 0;
    while (s.listener.calls == 0 && resumed < 5) {
        s.step(0.125f);
        resumed += 0.125f;
    }
    EXPECT_FLOAT_EQ(resumed, 0.625f);
    EXPECT_FLOAT_EQ(s.actor->mPosition.x, 100);
}

TEST(Marker, StopBeforeAnyTimeIsStopped) {
    Scene s(0, 24);
    s.marker->play(true);
    s.marker->stop(false);
    EXPECT_EQ(s.marker->getState(), Marker::kStopped);
    s.step();
    EXPECT_EQ(s.marker->getElapsed(), 0.0f);  // a stopped marker does not advance
}

TEST(Marker, SkipToEndTellsNoListener) {
    Scene s(0, 24);
    s.marker->skipToEnd();
    EXPECT_EQ(s.marker->getState(), Marker::kFinished);
    EXPECT_FLOAT_EQ(s.actor->mPosition.x, 100);
    EXPECT_FALSE(s.actor->mPlaying);
    s.step();
    EXPECT_EQ(s.listener.calls, 0);
}

TEST(Marker, ReversedHalfWayReturnsInHalfTheTime) {
    Scene s(0, 24);
    s.marker->play(true);
    s.step();
    s.step();
    s.marker->setReversed(true);
    EXPECT_TRUE(s.marker->isReversed());
    EXPECT_EQ(s.marker->mEntries[0]->fromFrame, 24);
    s.step();
    EXPECT_FLOAT_EQ(s.actor->mPosition.x, 25);
    EXPECT_EQ(s.listener.calls, 0);
    s.step();
    EXPECT_EQ(s.listener.calls, 1);
    EXPECT_FLOAT_EQ(s.actor->mPosition.x, 0);
    s.marker->setReversed(true);  // unchanged: nothing happens
    EXPECT_EQ(s.marker->getState(), Marker::kFinished);
    s.marker->setReversed(false);  // not playing: stopped
    EXPECT_EQ(s.marker->getState(), Marker::kStopped);
}

TEST(Marker, ListenerMayRestartTheMarker) {
    Scene s(0, 24);
    s.listener.restart = true;
    s.marker->play(true);
    for (int i = 0; i < 4; ++i) s.step();
    EXPECT_EQ(s.listener.calls, 1);
    EXPECT_EQ(s.marker->getState(), Marker::kPlaying);
    EXPECT_EQ(s.marker->getElapsed(), 0.0f);
    for (int i = 0; i < 4; ++i) s.step();
    EXPECT_EQ(s.listener.calls, 2);
    s.marker->removeListener(&s.listener);
    s.marker->play(true);
    for (int i = 0; i < 4; ++i) s.step();
    EXPECT_EQ(s.listener.calls, 2);
}

struct Deleter : AE::MarkerListener {
    std::unique_ptr<ISceneNode>* scene = nullptr;
    void onMarkerFinished(Marker*) override { scene->reset(); }
};

TEST(Marker, ListenerMayDeleteTheScene) {
    std::unique_ptr<ISceneNode> root(node("root"));
    ISceneNode* actor = node("actor", root.get());
    scenetest::keyPosX(actor, 0, 0);
    scenetest::keyPosX(actor, 24, 100);
    Marker* marker = new Marker("hide");
    marker->addEntry(actor, 0, 24, false, false);
    root->addMarker(marker);
    Deleter deleter;
    deleter.scene = &root;
    marker->addListener(&deleter);
    marker->play(true);
    // Driven directly: the marker is gone when its listener returns.
    marker->update(1.0f);
    EXPECT_EQ(root, nullptr);
}

// Through the scene's own update: markers on the root and deep in the tree
// finish in one frame, the first listener deletes the whole scene, and the
// walk, the kinds' own per-frame work and the camera choice must not touch it
// again (ASan reports any use of the freed nodes); the other marker, gone
// with the scene, is never told.
TEST(Marker, ListenerDeletesItsSceneDuringTheSceneUpdate) {
    struct Recorder : AE::MarkerListener {
        std::unique_ptr<ISceneNode>* scene = nullptr;
        std::vector<std::string> told;
        void onMarkerFinished(Marker* marker) override {
            told.push_back(marker->getName());
            if (scene) scene->reset();
        }
    };
    for (bool deleteOnFirst : {true, false}) {
        std::unique_ptr<ISceneNode> root(node("root"));
        ISceneNode* window = node("window", root.get());
        ISceneNode* deep = node("deep", node("panel", window));
        for (ISceneNode* n : {window, deep}) {
            scenetest::keyPosX(n, 0, 0);
            scenetest::keyPosX(n, 24, 100);
        }
        Marker* hide = new Marker("hide");
        hide->addEntry(window, 0, 24, false, false);
        window->addMarker(hide);
        Marker* inner = new Marker("inner");
        inner->addEntry(deep, 0, 12, false, false);
        deep->addMarker(inner);
        Recorder recorder;
        if (deleteOnFirst) recorder.scene = &root;
        hide->addListener(&recorder);
        inner->addListener(&recorder);
        hide->play(true);
        inner->play(true);
        root->update(0.25f);
        EXPECT_TRUE(recorder.told.empty());
        root->update(1.0f);  // both finish in this walk
        if (deleteOnFirst) {
            EXPECT_EQ(root, nullptr);
            EXPECT_EQ(recorder.told, std::vector<std::string>{"hide"});
        } else {
            ASSERT_NE(root, nullptr);
            EXPECT_EQ(recorder.told, (std::vector<std::string>{"hide", "inner"}));
            EXPECT_EQ(hide->getState(), Marker::kFinished);
            EXPECT_EQ(window->mPosition.x, 100);
        }
    }
}

TEST(Marker, EndOnAHeldKeyShowsThatKey) {
    Scene s(0, 7);
    s.actor->mTimeline->getFloatKey("posX", 1).frame = 7;
    s.actor->mTimeline->mKeyFrames[1] = 7;
    s.actor->mTimeline->getFloatKey("posX", 1).value = 70;
    auto* posX = dynamic_cast<AE::SceneNodeAnimation::Container<float>*>(s.actor->mTimeline->findContainer("posX"));
    posX->mInterpolate = false;  // a step track
    s.marker->play(true);
    s.step(0.5f);
    EXPECT_EQ(s.listener.calls, 1);
    EXPECT_EQ(s.actor->mPosition.x, 70);
}

TEST(Marker, ResetMarkersStopsInBulk) {
    Scene s(0, 24);
    ISceneNode* inner = node("inner", s.actor);
    Marker* nested = new Marker("nested");
    nested->addEntry(inner, 0, 24, false, false);
    s.actor->addMarker(nested);
    s.marker->play(true);
    nested->play(true);
    s.step();
    s.root->resetMarkers(AE::MarkerScope::NodeOnly, AE::MarkerReplay::No);
    EXPECT_EQ(s.marker->getState(), Marker::kPaused);
    EXPECT_FALSE(s.actor->mPlaying);
    EXPECT_EQ(nested->getState(), Marker::kPlaying);
    s.root->resetMarkers(AE::MarkerScope::Subtree, AE::MarkerReplay::FromStart);
    EXPECT_EQ(s.marker->getState(), Marker::kStopped);
    EXPECT_EQ(nested->getState(), Marker::kStopped);
    EXPECT_EQ(s.actor->mTimeline->mTime, 0.0f);
    EXPECT_FALSE(inner->mPlaying);
}

TEST(Marker, EntriesWithoutToFrame) {
    Scene s(6, -1);
    s.marker->play(true);
    EXPECT_TRUE(s.actor->mPlaying);
    s.step();
    EXPECT_FLOAT_EQ(s.actor->mTimeline->mTime, 0.5f);
    EXPECT_EQ(s.listener.calls, 1);  // nothing pending: finishes at once
    for (int i = 0; i < 4; ++i) s.step();
    EXPECT_FLOAT_EQ(s.actor->mTimeline->mTime, 1.5f);  // plays on with no end
}

}  // namespace

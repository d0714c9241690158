#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "dialogs/dialog_window.h"
#include "dialogs/dialog_window_listener.h"
#include "dialogs/dialog_window_manager.h"
#include "engine/animationeditor/scene_test_support.h"

namespace {

using AE::ISceneNode;
using Journal = std::vector<std::string>;

// A window scene: "show" runs frames 0..12 and "hide" 12..24 (half a second
// each at 24 frames a second), "init" holds frame 0.
ISceneNode* windowScene() {
    ISceneNode* root = scenetest::node("root");
    ISceneNode* panel = scenetest::node("panel", root);
    scenetest::keyPosX(panel, 0, 0);
    scenetest::keyPosX(panel, 12, 100);
    scenetest::keyPosX(panel, 24, 0);
    const struct {
        const char* name;
        int from, to;
    } markers[] = {{"init", 0, 0}, {"show", 0, 12}, {"hide", 12, 24}};
    for (const auto& m : markers) {
        auto* marker = new AE::Marker(m.name);
        marker->addEntry(panel, m.from, m.to, true, false);
        root->addMarker(marker);
    }
    return root;
}

Journal& journal() {
    static Journal entries;
    return entries;
}

class TestWindow : public DialogWindow {
public:
    TestWindow(ISceneNode* scene, const std::string& name) : DialogWindow(scene, name), mName(name) {}
    void update(float) override { journal().push_back(mName + ":update"); }
    // The click handler pattern: only while shown; the result first, then hide.
    void onOk() {
        if (mState != Shown) return;
        mResult = 1;
        hide();
    }
    std::string mName;
};

struct Listener : DialogWindowListener {
    explicit Listener(std::string name) : mName(std::move(name)) {}
    void onWindowShown(DialogWindow* w) override {
        journal().push_back(mName + ":shown " + static_cast<TestWindow*>(w)->mName);
    }
    void onWindowClosed(DialogWindow* w) override {
        journal().push_back(mName + ":closed " + static_cast<TestWindow*>(w)->mName + " result " +
                            std::to_string(w->mResult));
        if (onClosed) onClosed(w);
    }
    std::string mName;
    std::function<void(DialogWindow*)> onClosed;
};

// Windows over bare scenes; the scenes outlive every window of a test.
class DialogWindows : public testing::Test {
protected:
    void SetUp() override { journal().clear(); }
    void TearDown() override {
        windows.clear();
        EXPECT_EQ(manager.mWindows.size(), 0u);
    }
    TestWindow* make(const std::string& name) {
        scenes.emplace_back(windowScene());
        windows.push_back(std::make_unique<TestWindow>(scenes.back().get(), name));
        windows.back()->addListener(&owner);
        return windows.back().get();
    }
    // Frames of 1/24 s for every scene.
    void run(float seconds) {
        for (int i = 0; i < static_cast<int>(seconds * 24.0f + 0.5f); ++i) {
            for (auto& scene : scenes) scene->update(1.0f / 24.0f);
            manager.update(1.0f / 24.0f);
        }
    }
    Journal take(bool withUpdates = false) {
        Journal out;
        for (const std::string& line : journal()) {
            if (withUpdates || line.find(":update") == std::string::npos) out.push_back(line);
        }
        journal().clear();
        return out;
    }
    std::vector<DialogWindow*> visible() { return manager.mVisible; }

    scenetest::LoggedTest logged;
    DialogWindowManager manager;
    Listener owner{"owner"};
    std::vector<std::unique_ptr<ISceneNode>> scenes;
    std::vector<std::unique_ptr<TestWindow>> windows;
};

TEST_F(DialogWindows, WindowWalksThroughItsStatesOnItsMarkers) {
    TestWindow* w = make("w");
    EXPECT_EQ(w->mState, DialogWindow::Hidden);
    EXPECT_EQ(manager.mWindows, std::vector<DialogWindow*>{w});

    w->show(false);
    EXPECT_EQ(w->mState, DialogWindow::Showing);
    EXPECT_EQ(visible(), std::vector<DialogWindow*>{w});
    w->onOk();  // not shown yet: ignored
    w->hide();  // ignored while showing
    run(0.25f);
    EXPECT_EQ(w->mState, DialogWindow::Showing);
    run(0.75f);
    EXPECT_EQ(w->mState, DialogWindow::Shown);
    EXPECT_EQ(take(), (Journal{"owner:shown w"}));

    w->show(false);  // ignored while shown
    w->onOk();
    EXPECT_EQ(w->mState, DialogWindow::Hiding);
    w->onOk();  // ignored while hiding
    run(0.75f);
    EXPECT_EQ(w->mState, DialogWindow::Hidden);
    EXPECT_TRUE(visible().empty());
    EXPECT_EQ(take(), (Journal{"owner:closed w result 1"}));
    run(1.0f);
    EXPECT_TRUE(take().empty());  // told once
}

TEST_F(DialogWindows, ShowWhileHidingRestartsTheShowWithoutAClose) {
    TestWindow* w = make("w");
    w->show(false);
    run(0.75f);
    w->hide();
    run(0.25f);
    take();
    w->show(false);
    EXPECT_EQ(w->mState, DialogWindow::Showing);
    EXPECT_NE(w->mHideMarker->getState(), AE::Marker::kPlaying);
    run(0.75f);
    EXPECT_EQ(w->mState, DialogWindow::Shown);
    EXPECT_EQ(take(), (Journal{"owner:shown w"}));
}

TEST_F(DialogWindows, QueuedWindowWaitsAndShowsWhenTheFirstCloses) {
    TestWindow* a = make("a");
    TestWindow* b = make("b");
    a->show(true);  // nothing on screen: at once
    EXPECT_EQ(visible(), std::vector<DialogWindow*>{a});
    run(0.75f);
    b->show(true);
    EXPECT_EQ(manager.mPending, b);
    EXPECT_EQ(b->mState, DialogWindow::Hidden);
    EXPECT_EQ(a->mState, DialogWindow::Hiding);  // the top window is asked to close
    EXPECT_TRUE(manager.isWindowOpen());
    run(0.75f);
    EXPECT_EQ(a->mState, DialogWindow::Hidden);
    EXPECT_EQ(b->mState, DialogWindow::Showing);
    EXPECT_EQ(visible(), std::vector<DialogWindow*>{b});
    EXPECT_EQ(manager.mPending, nullptr);
    run(0.75f);
    EXPECT_EQ(take(), (Journal{"owner:shown a", "owner:closed a result 0", "owner:shown b"}));
}

TEST_F(DialogWindows, PendingSlotRules) {
    TestWindow* a = make("a");
    TestWindow* b = make("b");
    TestWindow* c = make("c");
    TestWindow* d = make("d");

    // A later queued window replaces the pending one, which is never shown.
    a->show(false);
    run(0.75f);
    b->show(true);
    c->show(true);
    EXPECT_EQ(manager.mPending, c);
    run(0.75f);
    EXPECT_EQ(visible(), std::vector<DialogWindow*>{c});
    EXPECT_EQ(b->mState, DialogWindow::Hidden);
    run(0.75f);

    // A not-queued show puts a second window on top; a queued one then hides only the top.
    d->show(false);
    EXPECT_EQ(visible(), (std::vector<DialogWindow*>{c, d}));
    run(0.75f);
    a->show(true);
    EXPECT_EQ(d->mState, DialogWindow::Hiding);
    EXPECT_EQ(c->mState, DialogWindow::Shown);
    run(0.75f);
    EXPECT_EQ(visible(), std::vector<DialogWindow*>{c});
    EXPECT_EQ(manager.mPending, a);  // still waits: c is on screen
    c->hide();
    run(0.75f);
    EXPECT_EQ(visible(), std::vector<DialogWindow*>{a});

    // While the top window is still showing, it ignores the hide; the pending
    // one waits until that window closes by other means.
    take();
    b->show(true);
    EXPECT_EQ(a->mState, DialogWindow::Showing);
    EXPECT_EQ(manager.mPending, b);
    run(0.75f);
    EXPECT_EQ(a->mState, DialogWindow::Shown);
    a->hide();
    run(0.75f);
    EXPECT_EQ(visible(), std::vector<DialogWindow*>{b});

    // Showing a shown window changes nothing, not even the pending slot.
    run(0.75f);
    ASSERT_EQ(b->mState, DialogWindow::Shown);
    b->show(true);
    b->show(false);
    EXPECT_EQ(manager.mPending, nullptr);
    EXPECT_EQ(b->mState, DialogWindow::Shown);
}

TEST_F(DialogWindows, VisibleWindowsAreUpdatedEachFrame) {
    TestWindow* a = make("a");
    make("b");
    a->show(false);
    manager.update(0.01f);
    EXPECT_EQ(take(true), (Journal{"a:update"}));
}

// Destroying or releasing the last visible window shows the pending one, so
// the game never waits on a window that nobody shows.
TEST_F(DialogWindows, DestroyOrReleaseInEveryStateLeavesNothingBehind) {
    const int states[] = {DialogWindow::Hidden, DialogWindow::Showing, DialogWindow::Shown,
                          DialogWindow::Hiding, -1 /* pending */};
    for (bool release : {false, true}) {
        for (int state : states) {
            SCOPED_TRACE((release ? "release in state " : "destroy in state ") + std::to_string(state));
            TestWindow* other = make("other");
            TestWindow* w = make("w");
            if (state == -1) {
                other->show(false);
                run(0.75f);
                w->show(true);
                ASSERT_EQ(manager.mPending, w);
            } else {
                if (state != DialogWindow::Hidden) w->show(false);
                if (state == DialogWindow::Shown || state == DialogWindow::Hiding) run(0.75f);
                if (state == DialogWindow::Hiding) w->hide();
                ASSERT_EQ(w->mState, state);
                other->show(true);  // waits behind w when w is on screen
            }
            if (release) {
                // The owner gives it up; the manager frees it at its update.
                w->mReleased = true;
                windows[1].release();
                windows.erase(windows.begin() + 1);
                manager.update(0.0f);
            } else {
                windows.erase(windows.begin() + 1);
            }
            EXPECT_EQ(manager.mWindows, std::vector<DialogWindow*>{other});
            EXPECT_NE(manager.mPending, w);
            for (DialogWindow* v : visible()) EXPECT_NE(v, w);
            run(1.0f);  // marker ends reach no freed window
            // A pending w had asked `other` to close; otherwise `other` got the screen.
            EXPECT_EQ(other->mState, state == -1 ? DialogWindow::Hidden : DialogWindow::Shown);
            take();
            windows.clear();
            scenes.clear();
        }
    }
}

TEST_F(DialogWindows, ListenerMayDeleteTheWindowWhenItCloses) {
    TestWindow* a = make("a");
    TestWindow* b = make("b");
    owner.onClosed = [&](DialogWindow* w) {
        if (w == a) windows.erase(windows.begin());
    };
    a->show(false);
    run(0.75f);
    b->show(true);
    run(0.75f);
    EXPECT_EQ(visible(), std::vector<DialogWindow*>{b});
    EXPECT_EQ(take(), (Journal{"owner:shown a", "owner:closed a result 0"}));
    run(0.75f);
    EXPECT_EQ(take(), (Journal{"owner:shown b"}));
}

TEST_F(DialogWindows, DeadListenerIsNeverTold) {
    TestWindow* w = make("w");
    {
        Listener shortLived("gone");
        w->addListener(&shortLived);
        w->addListener(&shortLived);
        EXPECT_EQ(w->mListeners.size(), 2u);  // owner, then no duplicate
    }
    EXPECT_EQ(w->mListeners.size(), 1u);
    w->show(false);
    run(0.75f);
    EXPECT_EQ(take(), (Journal{"owner:shown w"}));
}

// A state that leaves closes every window at once, answers nobody, and no
// window that was waiting pops up afterwards.
TEST_F(DialogWindows, HideAllForciblyClosesEveryWindowAndDropsThePendingOne) {
    TestWindow* a = make("a");
    TestWindow* b = make("b");
    TestWindow* c = make("c");
    a->show(false);
    run(0.75f);
    b->show(false);  // still Showing: it ignores the hide that c's queued show asks for
    c->show(true);
    ASSERT_EQ(manager.mPending, c);
    ASSERT_EQ(visible(), (std::vector<DialogWindow*>{a, b}));
    take();

    manager.hideAllForcibly();
    EXPECT_TRUE(visible().empty());
    EXPECT_EQ(manager.mPending, nullptr);
    EXPECT_FALSE(manager.isWindowOpen());
    for (TestWindow* w : {a, b, c}) EXPECT_EQ(w->mState, DialogWindow::Hidden) << w->mName;
    run(2.0f);  // the stopped markers end nothing; c never shows
    EXPECT_EQ(take(), Journal{});
    EXPECT_EQ(c->mState, DialogWindow::Hidden);

    // The next state's windows open as on an empty screen.
    c->show(true);
    EXPECT_EQ(c->mState, DialogWindow::Showing);
    run(0.75f);
    EXPECT_EQ(take(), (Journal{"owner:shown c"}));
    EXPECT_EQ(visible(), std::vector<DialogWindow*>{c});
}

// A window that plays another marker as its show listens to it too; once the
// window is gone no marker of its scene (which lives on) knows it.
TEST_F(DialogWindows, DestroyedWindowLeavesEveryMarkerItListenedTo) {
    class SwappingWindow : public TestWindow {
    public:
        SwappingWindow(ISceneNode* scene, AE::Marker* show) : TestWindow(scene, "swapping") {
            mShowMarker = show;
            listenTo(show);
        }
    };
    scenes.emplace_back(windowScene());
    ISceneNode* scene = scenes.back().get();
    auto* wide = new AE::Marker("show_h");
    wide->addEntry(scene->mChildren[0], 0, 6, true, false);
    scene->addMarker(wide);
    auto window = std::make_unique<SwappingWindow>(scene, wide);
    window->addListener(&owner);
    window->show(false);
    run(0.5f);
    EXPECT_EQ(window->mState, DialogWindow::Shown) << "the swapped-in show ends the opening";
    EXPECT_EQ(take(), (Journal{"owner:shown swapping"}));
    window->hide();
    window.reset();
    for (AE::Marker* marker : scene->mMarkers) EXPECT_TRUE(marker->mListeners.empty()) << marker->getName();
    wide->play(true);
    run(1.0f);  // ends reach nobody
    EXPECT_EQ(take(), Journal{});
}

}  // namespace

namespace {

struct CountedWindow : TestWindow {
    CountedWindow(ISceneNode* scene, int* deleted) : TestWindow(scene, "counted"), mDeleted(deleted) {}
    ~CountedWindow() override { ++*mDeleted; }
    int* mDeleted;
};

// A window given up after the manager's last update (its owner went at
// shut-down) is freed with the manager, never lost; others are not its to free.
TEST(DialogWindowManagerEnd, WindowsReleasedAfterTheLastUpdateGoWithTheManager) {
    std::unique_ptr<ISceneNode> sceneA(windowScene()), sceneB(windowScene());
    int deleted = 0;
    auto manager = std::make_unique<DialogWindowManager>();
    auto* released = new CountedWindow(sceneA.get(), &deleted);
    CountedWindow kept(sceneB.get(), &deleted);
    released->show(false);
    released->mReleased = true;
    manager.reset();
    EXPECT_EQ(deleted, 1);
}

}  // namespace

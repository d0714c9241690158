#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "function.h"
#include "lex_binded_function_manager.h"
#include "support/ui_fixture.h"
#include "ui/ui_button.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_state.h"

namespace {

using QV::UIButton;
using QV::UICheckBox;
using QV::UIManager;
using QV::UIPCController;
using QV::UIState;
using QV::UIWidget;
using V = QV::Vector2<float>;

// A callback that records its tag and can run something more.
class Call : public QV::IFunction {
public:
    Call(std::vector<std::string>* log, std::string tag, std::function<void()> then = {}, bool* deleted = nullptr)
        : mLog(log), mTag(std::move(tag)), mThen(std::move(then)), mDeleted(deleted) {}
    ~Call() override {
        if (mDeleted) *mDeleted = true;
    }
    void call() override {
        mLog->push_back(mTag);
        if (mThen) mThen();
    }

private:
    std::vector<std::string>* mLog;
    std::string mTag;
    std::function<void()> mThen;
    bool* mDeleted;
};

UIState* fade(UIWidget* w, const std::string& name, float to) {
    UIState* s = new UIState(name);
    s->addChange(new UIState::PropertyChange<float>(w, 0.0f, &w->mTransparency, to));
    return s;
}

// Every visual state a button uses, so state names can be read back.
void giveStates(UIWidget* w) {
    for (const char* name : {"onIdle", "onSelect", "onPress", "onDisable", "onHide"}) {
        UIState* s = fade(w, name, std::string(name) == "onHide" ? 0.0f : 1.0f);
        if (!w->addState(name, s)) delete s;
    }
}

template <class W = UIWidget>
W* add(UIWidget* parent, const std::string& name, V position, V size) {
    W* w = new W(name, parent);
    w->mPosition = position;
    w->mSize = size;
    parent->addChild(w, -1);
    giveStates(w);
    return w;
}

class UIInput : public testing::Test {
protected:
    // A shown root window of the workspace's size at (x, y).
    UIWidget* window(const std::string& name, V position = V(), V size = V(400, 300)) {
        UIWidget* root = new UIWidget(name, nullptr);
        root->mPosition = position;
        root->mSize = size;
        ui().addRootWidget(root);
        return root;
    }
    void finish(UIWidget* root) {
        giveStates(root);
        root->showForcibly();
    }
    UIManager& ui() { return world.ui(); }
    UIPCController& pc() { return *ui().getPCController(); }
    QV::Platform::ScriptedInputSource& input() { return world.input(); }

    qvtest::UIWorld world;
    std::vector<std::string> calls;
};

TEST(UIMessage, OneMessageAFrameByPriority) {
    uint8_t none[256] = {}, a[256] = {}, ab[256] = {};
    a[0x41] = 0x80;
    ab[0x41] = ab[0x42] = 0x80;
    struct Case {
        const char* what;
        bool leftNow, leftBefore;
        const uint8_t *now, *before;
        int wheel;
        int32_t expected;
    };
    const Case cases[] = {
        {"press", true, false, none, none, 0, 1},
        {"held", true, true, none, none, 0, 2},
        {"release", false, true, none, none, 0, 3},
        {"press beats a key going down", true, false, a, none, 0, 1},
        {"lower key of two", false, false, ab, none, 0, 4 | (0x41 << 16)},
        {"key held", false, false, a, a, 0, 5 | (0x41 << 16)},
        {"key up", false, false, none, a, 0, 6 | (0x41 << 16)},
        {"key beats the wheel", false, false, a, none, 120, 4 | (0x41 << 16)},
        {"wheel up", false, false, none, none, 120, 7},
        {"wheel down", false, false, none, none, -120, 8},
        {"nothing", false, false, none, none, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UIPCController::chooseMessage(c.leftNow, c.leftBefore, c.now, c.before, c.wheel), c.expected)
            << c.what;
    }
}

TEST_F(UIInput, ButtonFiresOnPressReleaseInsideAfterTheDispatch) {
    UIWidget* root = window("win");
    UIButton* ok = add<UIButton>(root, "ok", V(10, 10), V(100, 40));
    finish(root);
    ok->connect("clicked", new Call(&calls, "ok", [&] {
                    // Runs after every widget reacted: the button already took its release state.
                    EXPECT_EQ(ok->getCurrentStateName(), "onSelect");
                    EXPECT_EQ(ui().getCapturedWidget(), nullptr);
                }));
    // Press, hold two frames, release inside.
    input().moveMouse(0, 50, 30);
    input().pressButton(1, QV::Platform::ScriptedInputSource::Button::Left);
    input().releaseButton(4, QV::Platform::ScriptedInputSource::Button::Left);
    world.frames(3);
    EXPECT_EQ(ok->getCurrentStateName(), "onPress");
    EXPECT_EQ(ui().getCapturedWidget(), ok);
    EXPECT_FALSE(ui().isExclusiveCapture());
    world.frames(3);
    EXPECT_EQ(calls, std::vector<std::string>{"ok"});
}

TEST_F(UIInput, ButtonIgnoresDragOutAndDragIn) {
    UIWidget* root = window("win");
    UIButton* ok = add<UIButton>(root, "ok", V(10, 10), V(100, 40));
    finish(root);
    ok->connect("clicked", new Call(&calls, "ok"));
    using B = QV::Platform::ScriptedInputSource::Button;
    // Pressed inside, released outside: no click, but the capture is given back.
    input().moveMouse(0, 50, 30);
    input().pressButton(1, B::Left);
    input().moveMouse(3, 300, 200);
    input().releaseButton(4, B::Left);
    // Pressed outside, dragged in, released inside: no press, no click.
    input().pressButton(6, B::Left);
    input().moveMouse(7, 50, 30);
    input().releaseButton(9, B::Left);
    world.frames(4);
    EXPECT_EQ(ui().getCapturedWidget(), ok) << "the capture follows the press out of the button";
    world.frames(2);
    EXPECT_EQ(ui().getCapturedWidget(), nullptr);
    EXPECT_EQ(ok->getCurrentStateName(), "onIdle") << "onSelect after the release, then idle when the pointer left";
    world.frames(3);
    EXPECT_NE(ok->getCurrentStateName(), "onPress");
    world.frames(2);
    EXPECT_TRUE(calls.empty());
}

TEST_F(UIInput, HoverEntersAndLeaves) {
    UIWidget* root = window("win");
    UIButton* ok = add<UIButton>(root, "ok", V(10, 10), V(100, 40));
    finish(root);
    input().moveMouse(0, 50, 30);
    input().moveMouse(2, 300, 200);
    world.frame();
    EXPECT_TRUE(ok->mHovered);
    EXPECT_EQ(ok->getCurrentStateName(), "onSelect");
    world.frames(2);
    EXPECT_FALSE(ok->mHovered);
    EXPECT_EQ(ok->getCurrentStateName(), "onIdle");
}

TEST_F(UIInput, ModalRootBlocksWhatLiesBeneath) {
    UIWidget* lower = window("lower");
    UIButton* under = add<UIButton>(lower, "under", V(10, 10), V(100, 40));
    finish(lower);
    under->connect("clicked", new Call(&calls, "under"));
    input().moveMouse(0, 50, 30);
    world.frame();
    ASSERT_TRUE(under->mHovered);
    UIWidget* upper = window("upper", V(200, 200), V(50, 50));
    finish(upper);
    EXPECT_EQ(ui().getTopVisibleWidget(), upper);
    world.frame();
    EXPECT_FALSE(under->mHovered) << "the button under a modal window loses its highlight";
    EXPECT_EQ(under->getCurrentStateName(), "onIdle");
    world.clickAt(50, 30);
    world.frames(3);
    EXPECT_TRUE(calls.empty());
    // A root that is not modal lets input through to the next shown tree.
    upper->mModal = false;
    world.clickAt(50, 30);
    world.frames(3);
    EXPECT_EQ(calls, std::vector<std::string>{"under"});
}

TEST_F(UIInput, OutsidePressHidesAMarkedWidget) {
    UIWidget* popup = window("popup", V(0, 0), V(100, 100));
    popup->mHideWidgetOnOutsideClick = true;
    finish(popup);
    using B = QV::Platform::ScriptedInputSource::Button;
    // A key and a release outside do nothing; a press outside hides.
    input().moveMouse(0, 300, 300);
    input().tapKey(0, 0x41);
    world.frames(3);
    EXPECT_TRUE(popup->mShown);
    input().pressButton(world.frameIndex(), B::Left);
    input().releaseButton(world.frameIndex() + 1, B::Left);
    world.frame();
    EXPECT_FALSE(popup->mShown);
    // Not modal: never hidden that way.
    popup->showForcibly();
    popup->mModal = false;
    world.frame();
    input().pressButton(world.frameIndex(), B::Left);
    world.frames(2);
    EXPECT_TRUE(popup->mShown);
}

TEST_F(UIInput, CallbacksRunInConnectionOrderOncePerPointer) {
    UIWidget* root = window("win");
    UIButton* ok = add<UIButton>(root, "ok", V(10, 10), V(100, 40));
    finish(root);
    Call* first = new Call(&calls, "first");
    bool otherDeleted = false;
    ok->connect("clicked", first);
    ok->connect("clicked", new Call(&calls, "second"));
    ok->connect("clicked", first);
    ok->connect("pressed", new Call(&calls, "never", {}, &otherDeleted));
    EXPECT_TRUE(otherDeleted) << "a callback of another event is deleted at once";
    // A programmatic click works wherever the pointer is.
    EXPECT_EQ(ok->processMessage(QV::kUIMessageClick), 1);
    EXPECT_TRUE(calls.empty()) << "queued, not run inside the delivery";
    ui().runPendingCallbacks();
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "second"}));
}

TEST_F(UIInput, CheckBoxTogglesOnReleaseInsideAndShowsItsThumb) {
    UIWidget* root = window("win");
    UICheckBox* box = add<UICheckBox>(root, "music", V(10, 10), V(30, 30));
    UIWidget* tick = add(box, "tick", V(), V(30, 30));
    box->mThumbName = "tick";
    finish(root);
    world.frame();
    EXPECT_FALSE(tick->mVisible);
    world.clickAt(20, 20);
    world.frames(3);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(tick->mVisible);
    // A press elsewhere released over the box still toggles it.
    using B = QV::Platform::ScriptedInputSource::Button;
    input().moveMouse(world.frameIndex(), 200, 200);
    input().pressButton(world.frameIndex(), B::Left);
    input().moveMouse(world.frameIndex() + 2, 20, 20);
    input().releaseButton(world.frameIndex() + 3, B::Left);
    world.frames(5);
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(tick->mVisible);
}

TEST_F(UIInput, CaptureNeverSticksToADisabledOrHiddenWidget) {
    UIWidget* root = window("win");
    UIButton* held = add<UIButton>(root, "held", V(10, 10), V(100, 40));
    UIButton* other = add<UIButton>(root, "other", V(10, 100), V(100, 40));
    finish(root);
    other->connect("clicked", new Call(&calls, "other"));
    using B = QV::Platform::ScriptedInputSource::Button;
    input().moveMouse(0, 50, 30);
    input().pressButton(0, B::Left);
    world.frames(2);
    ASSERT_EQ(ui().getCapturedWidget(), held);
    held->disable();
    input().releaseButton(world.frameIndex(), B::Left);
    world.frame();
    EXPECT_EQ(ui().getCapturedWidget(), nullptr);
    world.clickAt(50, 120);
    world.frames(3);
    EXPECT_EQ(calls, std::vector<std::string>{"other"}) << "input goes on after the held button was disabled";
    // Hiding the window of a held button gives the capture back too.
    input().moveMouse(world.frameIndex(), 50, 120);
    input().pressButton(world.frameIndex(), B::Left);
    world.frames(2);
    ASSERT_EQ(ui().getCapturedWidget(), other);
    root->hideForcibly();
    EXPECT_EQ(ui().getCapturedWidget(), nullptr);
}

TEST_F(UIInput, QueuedCallbacksOfADeletedTreeNeverRun) {
    UIWidget* a = window("a");
    UIButton* ba = add<UIButton>(a, "ba", V(0, 0), V(10, 10));
    finish(a);
    UIWidget* b = window("b");
    UIButton* bb = add<UIButton>(b, "bb", V(0, 0), V(10, 10));
    finish(b);
    ba->connect("clicked", new Call(&calls, "a", [&] {
                    if (b) ui().destroyWidget(b);
                    b = nullptr;
                }));
    bool bDeleted = false;
    bb->connect("clicked", new Call(&calls, "b", {}, &bDeleted));
    ba->processMessage(QV::kUIMessageClick);
    bb->processMessage(QV::kUIMessageClick);
    ui().runPendingCallbacks();
    EXPECT_EQ(calls, std::vector<std::string>{"a"});
    EXPECT_TRUE(bDeleted);
    EXPECT_EQ(ui().pendingCallbackCount(), 0u);
    // A callback that deletes its own tree stops its list there.
    ba->connect("clicked", new Call(&calls, "after"));
    ba->connect("clicked", new Call(&calls, "self", [&] { ui().destroyWidget(a); }));
    ba->connect("clicked", new Call(&calls, "never"));
    calls.clear();
    ba->processMessage(QV::kUIMessageClick);
    ui().runPendingCallbacks();
    EXPECT_EQ(calls, (std::vector<std::string>{"a", "after", "self"}));
    EXPECT_TRUE(ui().getRoots().empty());
}

TEST_F(UIInput, ManagerListsZOrderAndRemoval) {
    UIWidget* a = new UIWidget("a", nullptr);
    UIWidget* panel = add(a, "panel", V(), V(10, 10));
    giveStates(a);
    // Loaded hidden: not in the shown list until shown.
    a->setStateImmediately("onHide");
    ui().addRootWidget(a);
    EXPECT_TRUE(ui().getShownList().empty());
    UIWidget* b = window("b");
    finish(b);
    a->show();
    EXPECT_EQ(ui().getShownList(), (std::vector<UIWidget*>{b, a}));
    b->show();
    EXPECT_EQ(ui().getShownList(), (std::vector<UIWidget*>{a, b}));
    // A child shown by name gets an entry of its own, which leaves with its root.
    auto show = std::unique_ptr<QV::LexBindedFunction>(
        QV::Singleton<QV::LexBindedFunctionManager>::instance()->bindCommand("show: panel"));
    ASSERT_TRUE(show);
    show->invoke();
    EXPECT_EQ(ui().getShownList().back(), panel);
    EXPECT_EQ(ui().destroyWidget(a), 0);
    EXPECT_EQ(ui().getShownList(), std::vector<UIWidget*>{b});
    // Non-root: detached from its parent, then deleted.
    UIWidget* leaf = add(b, "leaf", V(), V());
    EXPECT_EQ(ui().destroyWidget(leaf), 1);
    EXPECT_EQ(b->findChild("leaf"), nullptr);
    EXPECT_EQ(ui().destroyWidget(nullptr), 1);
    // hideAllForcibly keeps the list but clears every shown flag.
    ui().hideAllForcibly();
    EXPECT_EQ(ui().getShownList().size(), 1u);
    EXPECT_EQ(ui().getTopVisibleWidget(), nullptr);
    // Marked for removal by a callback: deleted later in the same update.
    finish(b);
    UIButton* close = add<UIButton>(b, "close", V(), V(10, 10));
    close->connect("clicked", new Call(&calls, "close", [&] { b->mMarkedForRemoval = true; }));
    close->processMessage(QV::kUIMessageClick);
    world.frame();
    EXPECT_TRUE(ui().getRoots().empty());
    EXPECT_TRUE(ui().getShownList().empty());
}

TEST_F(UIInput, FrameTimeIsCappedAtATenth) {
    UIWidget* root = window("win");
    UIState* slide = new UIState("slide");
    slide->addChange(new UIState::PropertyChange<V>(root, 1.0f, &root->mOffset, V(100, 0)));
    root->addState("slide", slide);
    root->mOffset = V();
    root->setState("slide");
    world.frame(0.5f);
    EXPECT_NEAR(root->mOffset.x, 100.0f / 9.0f, 1e-3) << "one step of 0.1 s of a 1 s slide";
}

TEST_F(UIInput, KeysReachAccessibleWidgetsButNotUnderDisabledOnes) {
    struct KeyProbe : UIWidget {
        using UIWidget::UIWidget;
        int32_t processMessage(int32_t m) override {
            if (QV::isUIKeyMessage(m)) ++keys;
            return 0;
        }
        int keys = 0;
    };
    UIWidget* root = window("win");
    KeyProbe* off = add<KeyProbe>(root, "off", V(), V(10, 10));
    KeyProbe* below = add<KeyProbe>(off, "below", V(), V(10, 10));
    finish(root);
    off->disable();
    input().moveMouse(0, 300, 290);
    input().tapKey(0, 0x41);
    world.frame();
    EXPECT_EQ(off->keys, 1) << "a disabled widget still hears keys";
    EXPECT_EQ(below->keys, 0);
}

}  // namespace

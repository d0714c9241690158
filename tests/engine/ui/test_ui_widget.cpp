#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/ui_state.h"
#include "ui/ui_widget.h"

namespace {

using QV::Color;
using QV::Rect;
using QV::UIState;
using QV::UIWidget;
using V = QV::Vector2<float>;

// Counts its own draws and records state hooks.
class Probe : public UIWidget {
public:
    using UIWidget::UIWidget;
    void drawSelf() override { ++draws; }
    void onStateChanged(UIState* state) override { hooks.push_back(state->mName); }
    int draws = 0;
    std::vector<std::string> hooks;
};

template <class W = UIWidget>
W* child(UIWidget* parent, const std::string& name, V position, V size) {
    W* w = new W(name, parent);
    w->mPosition = position;
    w->mSize = size;
    parent->addChild(w, -1);
    return w;
}

UIState* fade(UIWidget* w, const std::string& name, float duration, float to) {
    UIState* s = new UIState(name);
    s->addChange(new UIState::PropertyChange<float>(w, duration, &w->mTransparency, to));
    return s;
}

TEST(UIWidgetTree, AddChildFindAndAncestry) {
    UIWidget root("root", nullptr);
    UIWidget* a = child(&root, "a", V(), V());
    UIWidget* b = child(&root, "b", V(), V());
    UIWidget* deep = child(a, "b", V(), V());
    UIWidget* first = new UIWidget("first", nullptr);
    EXPECT_EQ(root.addChild(first, 0), 0);
    EXPECT_EQ(root.addChild(a, 0), 1);  // already a child: order unchanged
    ASSERT_EQ(root.mChildren.size(), 3u);
    EXPECT_EQ(root.mChildren[0], first);
    EXPECT_EQ(first->mParent, &root);
    // Depth first, pre-order: the "b" under "a" comes before the root's own "b".
    EXPECT_EQ(root.findChild("b"), deep);
    EXPECT_NE(root.findChild("b"), b);
    EXPECT_EQ(root.findChild("root"), &root);
    EXPECT_EQ(root.findChild("none"), nullptr);
    EXPECT_TRUE(root.isAncestorOf(deep));
    EXPECT_FALSE(root.isAncestorOf(&root));
    EXPECT_FALSE(a->isAncestorOf(b));
    // A deleted child leaves its parent's list.
    delete a;
    EXPECT_EQ(root.findChild("b"), b);
    EXPECT_EQ(root.mChildren.size(), 2u);
}

TEST(UIWidgetGeometry, WorldPositionAndContentSize) {
    UIWidget root("root", nullptr);
    root.mPosition = V(100, 50);
    root.mOffset = V(1, 2);
    root.mSize = V(10, 10);
    UIWidget* c = child(&root, "c", V(20, 5), V(10, 10));
    EXPECT_EQ(c->getWorldPosition(), V(121, 57));
    EXPECT_EQ(root.getContentSize(), V(30, 15));
    // Children to the left or above never shrink the result.
    child(&root, "left", V(-50, -50), V(5, 5));
    EXPECT_EQ(root.getContentSize(), V(30, 15));
}

TEST(UIWidgetGeometry, HitTest) {
    UIWidget container("container", nullptr);
    UIWidget* button = child(&container, "button", V(10, 10), V(20, 10));
    struct Case {
        const char* what;
        V point;
        bool hit;
    };
    // A container of size 0 is hit wherever a child is; edges are inclusive.
    for (const Case& c : {Case{"inside child", V(15, 15), true}, Case{"left edge", V(10, 12), true},
                          Case{"bottom-right corner", V(30, 20), true}, Case{"beside", V(31, 15), false}}) {
        EXPECT_EQ(container.hitTest(c.point), c.hit) << c.what;
    }
    container.mEnableCustomContentRect = true;
    container.mCustomContentRect = Rect(0, 0, 12, 12);
    EXPECT_TRUE(container.hitTest(V(11, 11)));
    EXPECT_FALSE(container.hitTest(V(20, 15))) << "a custom rectangle does not grow by its children";
    container.mEnableCustomContentRect = false;
    button->mNotSelecting = true;
    EXPECT_FALSE(container.hitTest(V(15, 15)));
    button->mNotSelecting = false;
    container.setClipRect(Rect(0, 0, 20, 100));
    EXPECT_TRUE(button->mClip) << "the clip rectangle reaches the children";
    EXPECT_TRUE(container.hitTest(V(15, 15)));
    EXPECT_FALSE(container.hitTest(V(25, 15))) << "inside the button but outside the clip";
    EXPECT_FALSE(button->isClippedAway());
    container.setClipRect(Rect(100, 100, 120, 120));
    EXPECT_TRUE(button->isClippedAway());
}

TEST(UIWidgetDraw, OncePerFrameTransparencyAndVisibility) {
    Probe root("root", nullptr);
    Probe* c = child<Probe>(&root, "c", V(), V());
    root.mTransparency = 0.0f;
    root.draw();
    root.draw();
    EXPECT_EQ(root.draws, 0) << "a fully transparent container does not draw itself";
    EXPECT_EQ(c->draws, 1) << "but draws its children, once per frame";
    root.clearDrawnMarks();
    c->draw(true);
    c->draw(true);
    EXPECT_EQ(c->draws, 3) << "forced drawing skips the mark";
    root.draw();
    EXPECT_EQ(c->draws, 3) << "and still sets it";
    root.clearDrawnMarks();
    root.mVisible = false;
    root.draw();
    EXPECT_EQ(c->draws, 3) << "an invisible container draws nothing of its subtree";
}

TEST(UIStateStep, StepLawAndExample) {
    UIWidget w("w", nullptr);
    w.mTransparency = 0.0f;
    w.addState("fadeIn", fade(&w, "fadeIn", 0.25f, 1.0f));
    w.mTransparency = 0.0f;
    w.setState("fadeIn");
    w.updateTree(0.1f);
    EXPECT_NEAR(w.mTransparency, 0.6667f, 1e-3);
    w.updateTree(0.1f);
    EXPECT_FLOAT_EQ(w.mTransparency, 1.0f);
    // Duration 0 arrives in the first step.
    UIWidget z("z", nullptr);
    z.addState("now", fade(&z, "now", 0.0f, 0.5f));
    z.mTransparency = 0.0f;
    z.setState("now");
    z.updateTree(0.016f);
    EXPECT_FLOAT_EQ(z.mTransparency, 0.5f);
}

TEST(UIStateStep, ColourFallsMonotonicallyToItsTarget) {
    UIWidget w("w", nullptr);
    UIState* s = new UIState("dim");
    s->addChange(new UIState::PropertyChange<Color>(&w, 1.0f, &w.mColor, Color::fromBytes(0, 40, 255, 0)));
    w.addState("dim", s);
    w.mColor = Color::fromBytes(255, 255, 255, 255);
    w.setState("dim");
    int previous = 256;
    for (int i = 0; i < 40; ++i) {
        w.updateTree(1.0f / 30.0f);
        EXPECT_LE(w.mColor.a, previous);
        previous = w.mColor.a;
    }
    EXPECT_EQ(w.mColor, Color::fromBytes(0, 40, 255, 0));
    EXPECT_EQ(QV::stepColor(Color::fromBytes(0, 0, 0, 0), Color::fromBytes(255, 255, 255, 255), 1.0f),
              Color::fromBytes(255, 255, 255, 255));
}

TEST(UIStateEnter, RulesOfNamesHoverAndCascade) {
    Probe root("root", nullptr);
    Probe* a = child<Probe>(&root, "a", V(), V());
    Probe* b = child<Probe>(a, "b", V(), V());
    for (UIWidget* w : std::vector<UIWidget*>{&root, a, b}) {
        w->addState("onIdle", fade(w, "onIdle", 0.25f, 1.0f));
        w->addState("onHide", fade(w, "onHide", 0.25f, 0.0f));
        w->addState("onDisable", fade(w, "onDisable", 0.0f, 0.5f));
        w->addState("onSelect", fade(w, "onSelect", 0.0f, 0.9f));
    }
    EXPECT_EQ(root.getCurrentStateName(), "onSelect");
    UIWidget never("never", nullptr);
    EXPECT_EQ(never.getCurrentStateName(), "");

    // "onHide" reaches the whole tree and clears the shown flags.
    root.setStateImmediately("onHide");
    EXPECT_FALSE(root.mShown);
    EXPECT_FALSE(b->mShown);
    EXPECT_FLOAT_EQ(b->mTransparency, 0.0f);

    // A disabled widget: "onSelect" is ignored (hover too), "onIdle" becomes "onDisable" and stops there.
    a->disable();
    a->mHovered = true;
    a->setState("onSelect");
    EXPECT_TRUE(a->mHovered);
    EXPECT_EQ(a->getCurrentStateName(), "onDisable");
    root.setStateImmediately("onIdle");
    EXPECT_EQ(root.getCurrentStateName(), "onIdle");
    EXPECT_EQ(a->getCurrentStateName(), "onDisable");
    EXPECT_EQ(b->getCurrentStateName(), "onHide") << "a disabled widget's children receive nothing";

    // enable after disable ends in "onIdle"; show of a disabled widget enters "onDisable".
    a->enable();
    EXPECT_EQ(a->getCurrentStateName(), "onIdle");
    a->disable();
    a->show();
    EXPECT_EQ(a->getCurrentStateName(), "onDisable");

    // A missing state changes nothing but hover, and "onHide" still passes down.
    UIWidget bare("bare", nullptr);
    Probe* inner = child<Probe>(&bare, "inner", V(), V());
    inner->addState("onHide", fade(inner, "onHide", 0.0f, 0.0f));
    inner->setStateImmediately("onIdle");
    bare.mHovered = true;
    bare.setState("onHide");
    EXPECT_FALSE(bare.mHovered);
    EXPECT_TRUE(bare.mShown);
    EXPECT_FALSE(inner->mShown);
    // A missing "onIdle" still shows: the widget is shown with its tree.
    bare.setState("onIdle");
    EXPECT_TRUE(inner->mShown);
    EXPECT_EQ(inner->getCurrentStateName(), "onHide");
}

TEST(UIStateEnter, ReenteringRestartsWithoutHook) {
    Probe w("w", nullptr);
    w.addState("go", fade(&w, "go", 1.0f, 1.0f));
    ASSERT_EQ(w.hooks.size(), 1u);
    w.mTransparency = 0.0f;
    w.setState("go");
    w.updateTree(0.25f);
    const float half = w.mTransparency;
    w.setState("go");
    EXPECT_EQ(w.hooks.size(), 1u) << "the hook is told only of a different state";
    w.updateTree(0.25f);
    EXPECT_GT(w.mTransparency, half);
    EXPECT_LT(w.mTransparency, 1.0f) << "the motion restarted from the present value";
}

TEST(UIStateDefaults, HideStateDurationsAndDuplicates) {
    UIWidget root("root", nullptr);
    UIWidget* early = child(&root, "early", V(), V());
    early->addDefaultHideState();  // made with 0.25 s
    UIWidget* late = child(&root, "late", V(), V());
    root.mHideStateDuration = 0.5f;
    root.addDefaultHideState();
    EXPECT_FLOAT_EQ(late->mHideStateDuration, 0.5f);
    EXPECT_FLOAT_EQ(early->mHideStateDuration, 0.5f);
    // The root fades over 0.5 s, the child that had its own "onHide" keeps 0.25 s.
    root.mTransparency = early->mTransparency = 1.0f;
    root.setState("onHide");
    root.updateTree(0.1f);
    root.updateTree(0.1f);
    EXPECT_GT(root.mTransparency, 0.0f);
    EXPECT_FLOAT_EQ(early->mTransparency, 0.0f);
    // A second state of the same name is not taken.
    UIState* other = new UIState("onHide");
    EXPECT_FALSE(root.addState("onHide", other));
    delete other;
}

}  // namespace

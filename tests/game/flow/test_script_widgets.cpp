#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "function.h"
#include "flow/layout_markers.h"
#include "flow/script_actions.h"
#include "support/render_fixture.h"
#include "support/ui_fixture.h"
#include "ui/ui_button.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_state.h"

namespace {

using QV::UIButton;
using QV::UIWidget;

class Tag : public QV::IFunction {
public:
    Tag(std::vector<std::string>* log, std::string tag) : mLog(log), mTag(std::move(tag)) {}
    void call() override { mLog->push_back(mTag); }

private:
    std::vector<std::string>* mLog;
    std::string mTag;
};

void giveStates(UIWidget* w) {
    for (const char* name : {"onIdle", "onSelect", "onPress", "onDisable", "onHide"}) {
        auto* s = new QV::UIState(name);
        s->addChange(new QV::UIState::PropertyChange<float>(w, 0.0f, &w->mTransparency,
                                                              std::string(name) == "onHide" ? 0.0f : 1.0f));
        if (!w->addState(name, s)) delete s;
    }
}

class ScriptWidgets : public testing::Test {
protected:
    // A shown root with one button of the given name.
    UIButton* window(const std::string& root, const std::string& button) {
        auto* r = new UIWidget(root, nullptr);
        giveStates(r);
        auto* b = new UIButton(button, r);
        r->addChild(b, -1);
        giveStates(b);
        b->connect("clicked", new Tag(&clicks, root + "/" + button));
        world.ui().addRootWidget(r);
        r->showForcibly();
        return b;
    }

    qvtest::UIWorld world;
    std::vector<std::string> clicks;
};

TEST_F(ScriptWidgets, AButtonLineClicksTheTopmostShownWidgetOfThatId) {
    window("below", "btnPlay");
    UIButton* upper = window("above", "btnPlay");
    window("other", "btnClose");

    ASSERT_TRUE(clickShownWidget("btnPlay"));
    world.frame();
    EXPECT_EQ(clicks, (std::vector<std::string>{"above/btnPlay"}));

    // Hidden, the upper one gives way to the one beneath.
    clicks.clear();
    upper->hideForcibly();
    ASSERT_TRUE(clickShownWidget("btnPlay"));
    world.frame();
    EXPECT_EQ(clicks, (std::vector<std::string>{"below/btnPlay"}));
}

TEST_F(ScriptWidgets, AnIdNoShownWidgetHasIsAnErrorLine) {
    UIButton* hidden = window("root", "btnHidden");
    hidden->hideForcibly();
    EXPECT_FALSE(clickShownWidget("btnHidden"));
    EXPECT_FALSE(clickShownWidget("btnNowhere"));
    world.frame();
    EXPECT_TRUE(clicks.empty());
    EXPECT_TRUE(world.log().has("ERROR: No shown widget 'btnNowhere' to click"));
    EXPECT_TRUE(world.log().has("ERROR: No shown widget 'btnHidden' to click"));
}

TEST_F(ScriptWidgets, WidgetLayoutReachesTheScenesOfSceneWidgetsAtAnyDepth) {
    auto* root = new UIWidget("root", nullptr);
    auto* panel = new UIWidget("panel", root);
    root->addChild(panel, -1);
    auto* scene = new AE::ISceneNode();
    scene->addMarker(new AE::Marker("#hor:l-20t-30"));
    auto* sceneWidget = new QV::UISceneNode("gui", panel, scene, true);
    panel->addChild(sceneWidget, -1);
    world.ui().addRootWidget(root);

    LayoutContext context;
    context.width = 1280;
    context.height = 720;
    adaptWidgetLayout(root, context);
    EXPECT_FLOAT_EQ(scene->getPosition().x, 20.0f);
    EXPECT_FLOAT_EQ(scene->getPosition().y, 30.0f);
}

}  // namespace

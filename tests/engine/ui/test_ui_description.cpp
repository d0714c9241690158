#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "fast_sprite.h"
#include "lex_binded_function_manager.h"
#include "lua_script2.h"
#include "support/font_fixture.h"
#include "support/temp_dir.h"
#include "support/ui_fixture.h"
#include "ui/ui_button.h"
#include "ui/ui_controller.h"
#include "ui/ui_label.h"
#include "ui/ui_manager.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_sprite.h"
#include "ui/ui_state.h"

extern "C" {
#include <lauxlib.h>
}

namespace {

using QV::UIWidget;
using V = QV::Vector2<float>;
using qvtest::mediaFile;

const char* kSprites = R"(
knob = { Image0 = "ui_test_png", SrcRect0 = {0, 0, 16, 16} }
fill = { Image0 = "ui_test_png", SrcRect0 = {0, 16, 64, 32} }
)";

// A window with a button-shaped sprite node and markers for two states.
const char* kScene = R"(<?xml version="1.0" encoding="utf-8"?>
<Scene>
  <Object name="window">
    <Parameters X="0" Y="0" scaleX="1" scaleY="1" R="1" G="1" B="1" A="1" Enable="1"/>
    <Childs>
      <Object type="Sprite" name="#button" filename="ui_test_png" tablename="default">
        <Parameters X="0" Y="0" scaleX="1" scaleY="1" R="1" G="1" B="1" A="1" Enable="1"/>
      </Object>
    </Childs>
  </Object>
  <markers>
    <marker><name>onIdle</name><playList><item path="/window" from="0" to="0" recursive="1"/></playList></marker>
    <marker><name>onHide</name><playList><item path="/window" from="0" to="0" recursive="1"/></playList></marker>
  </markers>
</Scene>
)";

std::vector<qvtest::FontMediaFile> files(const std::string& description) {
    return {mediaFile("ui/test.lua", description),
            mediaFile("ui/other.lua", R"(
other = { id = "other", class = "UIWidget", position = {5, 5}, initialState = "onIdle",
          states = { { id = "onIdle", propertyChanges = { { target = "other", property = "transparency", value = 1 } } } } }
bare = { id = "bare", class = "UIWidget" })"),
            mediaFile("ui/test_sprites.lua", kSprites),
            mediaFile("ui/ui_test.png", qvtest::cellPng(64, 32, {QV::Color::fromBytes(200, 40, 40, 255)})),
            mediaFile("ui/win.xml", kScene),
            qvtest::repositoryFile("particle_burst_fx", "particles/burst.xml"),
            qvtest::repositoryFile("system_font_fnt", "fonts/system_font.lua"),
            qvtest::repositoryFile("font2_image", "fonts/font2.png")};
}

// The options-style window of tests/engine/ui/options_window.lua.
std::string optionsWindow() { return qvtest::readFile(std::string(QV_SOURCE_DIR) + "/tests/engine/ui/options_window.lua"); }

struct Recorder {
    void record(std::string argument) { arguments.push_back(argument); }
    std::vector<std::string> arguments;
};

TEST(UIDescription, EveryKeyLoads) {
    qvtest::UIWorld world(files(optionsWindow()));
    Recorder recorder;
    QV::Singleton<QV::LexBindedFunctionManager>::instance()->registerBinder(
        "record", new QV::LexBinder1<std::string, Recorder>(&recorder, &Recorder::record));
    QV::UIManager& ui = world.ui();
    UIWidget* root = ui.loadUI("test_lua", "options", nullptr, "default");
    ASSERT_NE(root, nullptr);
    // "related" loaded its tree as a root before this one.
    ASSERT_EQ(ui.getRoots().size(), 2u);
    EXPECT_EQ(ui.getRoots()[0]->mName, "other");
    EXPECT_EQ(ui.getRoots()[1], root);

    // Common keys.
    EXPECT_EQ(root->mPosition, V(20, 10));
    EXPECT_FALSE(root->mModal);
    EXPECT_FLOAT_EQ(root->mHideStateDuration, 0.5f);
    EXPECT_EQ(root->mHotkey, 44) << "300 kept in 8 bits";
    EXPECT_EQ(root->mTabOrder, 4) << "numeric text";
    EXPECT_EQ(root->mDefaultChildTabOrder, 2);
    EXPECT_EQ(root->mTabNavigation, 1);
    EXPECT_EQ(root->mProcessMessageReturnValue, 3);
    EXPECT_TRUE(root->mHideWidgetOnOutsideClick);
    EXPECT_TRUE(root->mEnableCustomContentRect);
    EXPECT_EQ(root->mCustomContentRect, QV::Rect(0, 0, 360, 240));
    EXPECT_EQ(root->getCurrentStateName(), "onIdle") << "initialState";
    EXPECT_TRUE(root->mShown);
    EXPECT_FLOAT_EQ(root->mTransparency, 1.0f);

    // A button with a translated-style caption made for it, sized to its content.
    auto* play = dynamic_cast<QV::UIButton*>(root->findChild("play"));
    ASSERT_NE(play, nullptr);
    auto* caption = dynamic_cast<QV::UILabel*>(play->findChild("caption"));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(play->mChildren.back(), caption);
    EXPECT_EQ(caption->mSize, V(120, 40));
    EXPECT_EQ(caption->mHalign, 1);
    EXPECT_EQ(caption->mValign, 1);
    EXPECT_EQ(caption->getText(), u"!ERROR!") << "a text id without a text";
    EXPECT_EQ(caption->findState("onIdle") != nullptr, true);
    // captionOrder 0 puts the caption first; an existing "caption" child is reused.
    UIWidget* back = root->findChild("back");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->mChildren.front()->mName, "caption");
    UIWidget* help = root->findChild("help");
    ASSERT_EQ(help->mChildren.size(), 1u);
    auto* own = dynamic_cast<QV::UILabel*>(help->mChildren[0]);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->getText(), u"?");
    EXPECT_EQ(own->mSize, V(32, 32)) << "resized to the button's content";
    // A negative captionOrder makes no caption (and leaks none).
    EXPECT_EQ(root->findChild("silent")->findChild("caption"), nullptr);

    // Label keys.
    auto* title = dynamic_cast<QV::UILabel*>(root->findChild("title"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->getText(), u"Options \xFFE9");
    EXPECT_EQ(title->mSize, V(300, 30));
    EXPECT_EQ(title->mHalign, 1);
    EXPECT_EQ(title->mValign, 2);
    EXPECT_TRUE(title->mWordWrap);
    EXPECT_FLOAT_EQ(title->mXcoeff, 0.5f);
    EXPECT_FLOAT_EQ(title->mYcoeff, 0.25f);
    EXPECT_FALSE(title->mPixelPrecision);
    EXPECT_EQ(title->mTextColor, QV::Color::fromBytes(10, 20, 30, 40));
    auto* sized = dynamic_cast<QV::UILabel*>(root->findChild("sized"));
    EXPECT_EQ(sized->mSize, V(120, 40)) << "sizeof the play button";

    // Check box, progress bar, sprites.
    auto* music = dynamic_cast<QV::UICheckBox*>(root->findChild("music"));
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(music->mThumbName, "tick");
    auto* volume = dynamic_cast<QV::UIProgressBar*>(root->findChild("volume"));
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->mBarName, "fill");
    EXPECT_EQ(volume->mThumbName, "knob");
    EXPECT_FLOAT_EQ(volume->mLrOffsets[0], 4.0f);
    EXPECT_FLOAT_EQ(volume->mLrOffsets[1], 6.0f);
    EXPECT_EQ(volume->mOrientation, 0);
    EXPECT_TRUE(volume->mKinetic);
    EXPECT_FLOAT_EQ(volume->mKineticSpeed, 2.0f);
    EXPECT_FLOAT_EQ(volume->mStep, 0.1f);
    EXPECT_FALSE(volume->mLocked);
    auto* tick = dynamic_cast<QV::UISprite*>(root->findChild("tick"));
    ASSERT_NE(tick, nullptr);
    ASSERT_NE(tick->getSprite(), nullptr);
    EXPECT_EQ(tick->mSize, V(20, 20));
    EXPECT_EQ(tick->getSize(), V(40, 20)) << "scaled";
    EXPECT_EQ(tick->mBaseColor, QV::Color::fromBytes(255, 255, 0, 255));
    // Each declared state is entered as it is added: the last one left the box scaled.
    EXPECT_EQ(static_cast<QV::UISprite*>(root->findChild("box"))->mScale, V(1.5f, 1.5f));

    // Scene widgets: an owned scene and a node borrowed from it.
    auto* gui = dynamic_cast<QV::UISceneNode*>(root->findChild("gui"));
    ASSERT_NE(gui, nullptr);
    ASSERT_NE(gui->getNode(), nullptr);
    EXPECT_TRUE(gui->ownsNode());
    auto* inner = dynamic_cast<QV::UISceneNode*>(root->findChild("inner"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->getNode(), gui->getNode()->findNode("#button"));
    EXPECT_FALSE(inner->ownsNode());
    EXPECT_EQ(root->findChild("sparks")->getType(), QV::kUIParticleFX);

    // Disabled in the description: in "onDisable", its other states stored but not entered.
    UIWidget* locked = root->findChild("locked");
    EXPECT_FALSE(locked->mEnabled);
    EXPECT_EQ(locked->getCurrentStateName(), "onDisable");
    EXPECT_NE(locked->findState("onIdle"), nullptr);
    // An enabled widget without "onHide" of its own or initial state ends its own loading
    // hidden (transparency 0); its window's "onIdle" shows it, idle state or not.
    EXPECT_TRUE(root->findChild("plain")->mShown);
    EXPECT_FLOAT_EQ(root->findChild("plain")->mTransparency, 0.0f);

    // States: the bad change and the bad state logged and left out.
    EXPECT_TRUE(world.log().has(
        "ERROR: UIManager::createState bad target widget specified 'nobody', widget 'options'"));
    EXPECT_TRUE(world.log().has("ERROR: UIManager::createState bad property change specified 'size', widget 'options'"));
    EXPECT_EQ(root->findState("broken"), nullptr);
    ASSERT_NE(root->findState("onSelect"), nullptr);
    EXPECT_EQ(root->findState("onSelect")->mChanges.size(), 2u);

    // Events: the "hide" command and a command of our own with its arguments cleaned.
    play->processMessage(QV::kUIMessageClick);
    ui.runPendingCallbacks();
    EXPECT_EQ(recorder.arguments, std::vector<std::string>{"first"});
    EXPECT_FALSE(ui.getRoots()[0]->mShown) << "hide: other";
    EXPECT_EQ(play->getClickedCallbacks().size(), 2u) << "the one-letter command connected nothing";
}

TEST(UIDescription, InstanceEmbedsAnotherDescriptionOnce) {
    qvtest::UIWorld world(files(R"(
top = { id = "top", class = "UIWidget", instance = "#other_lua:other", position = {1, 2} }
holder = { id = "holder", class = "UIWidget", childs = { { id = "inside", class = "UIWidget", instance = "#other_lua:other" } } }
twice = { id = "twice", class = "UIWidget", related = { { filename = "other_lua", id = "other" } },
          childs = { { id = "a", class = "UIWidget", instance = "#other_lua:other" },
                     { id = "b", class = "UIWidget", instance = "#other_lua:other" } } }
)"));
    QV::UIManager& ui = world.ui();
    UIWidget* top = ui.loadUI("test_lua", "top", nullptr, "default");
    EXPECT_EQ(top->mName, "top");
    EXPECT_EQ(top->mPosition, V(1, 2)) << "the embedding table's keys override";
    EXPECT_EQ(ui.getRoots().size(), 1u) << "a top-level instance is a root once";
    UIWidget* holder = ui.loadUI("test_lua", "holder", nullptr, "default");
    UIWidget* inside = holder->findChild("inside");
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(inside->mParent, holder);
    EXPECT_EQ(inside->mPosition, V(5, 5));
    EXPECT_EQ(ui.getRoots().size(), 2u);
    // The same description beside itself, or related and embedded, is no loop.
    UIWidget* twice = ui.loadUI("test_lua", "twice", nullptr, "default");
    EXPECT_NE(twice->findChild("a"), nullptr);
    EXPECT_NE(twice->findChild("b"), nullptr);
    EXPECT_EQ(ui.getRoots().size(), 4u) << "the related copy and the tree";
}

TEST(UIDescription, LoadedTreeAnswersTheCommandsAndTheMouse) {
    qvtest::UIWorld world(files(optionsWindow()));
    QV::UIManager& ui = world.ui();
    UIWidget* root = ui.loadUI("test_lua", "options", nullptr, "default");
    auto* music = dynamic_cast<QV::UICheckBox*>(root->findChild("music"));
    const V at = music->getWorldPosition() + V(5, 5);
    world.frame();
    EXPECT_FALSE(root->findChild("tick")->mVisible);
    world.clickAt(at.x, at.y);
    world.frames(3);
    EXPECT_TRUE(music->isChecked());
    EXPECT_TRUE(root->findChild("tick")->mVisible);
    auto hide = std::unique_ptr<QV::LexBindedFunction>(
        QV::Singleton<QV::LexBindedFunctionManager>::instance()->bindCommand("hideForcibly:options"));
    hide->invoke();
    EXPECT_FALSE(root->mShown);
    ASSERT_NE(ui.getTopVisibleWidget(), nullptr);
    EXPECT_EQ(ui.getTopVisibleWidget()->mName, "other") << "the related root is still shown";
    auto show = std::unique_ptr<QV::LexBindedFunction>(
        QV::Singleton<QV::LexBindedFunctionManager>::instance()->bindCommand("showForcibly:options"));
    show->invoke();
    EXPECT_EQ(ui.getTopVisibleWidget(), root);
}

struct Malformed {
    const char* what;
    const char* description;
    const char* report;
};

TEST(UIDescriptionDeathTest, MalformedDescriptionsAreFatalWithAClearReport) {
    const Malformed cases[] = {
        {"no id", "t = { class = 'UIWidget' }", "Failed to read UI identity"},
        {"no class", "t = { id = 'w' }", "Failed to read UI class name"},
        {"unknown class", "t = { id = 'w', class = 'UIWidget', childs = { { id = 'odd', class = 'UIButon' } } }",
         "Unknown UI class 'UIButon' of widget 'odd' in test_lua:t"},
        {"instance without table", "t = { id = 'w', class = 'UIWidget', instance = '#other_lua' }",
         "Bad url specified in UI"},
        {"instance without script", "t = { id = 'w', class = 'UIWidget', instance = '#:other' }",
         "Bad url specified in UI"},
        {"sprite without table", "t = { id = 'w', class = 'UISprite', imagename = 'test_sprites_lua' }",
         "UISprite 'w' in test_lua:t needs both imagename and tablename"},
        {"particle without file", "t = { id = 'w', class = 'UIParticleFX' }", "Failed to read filename for UIParticleFX"},
        {"no such table", "x = 1", "Failed to load UI table t from test_lua"},
        {"script error", "t = {", "Failed to load ui script test_lua"},
        {"embeds itself", "t = { id = 'w', class = 'UIWidget', instance = '#test_lua:t' }",
         "UI description test_lua:t embeds or relates to itself \\(test_lua:t -> test_lua:t\\)"},
        {"a child embeds its own description",
         "t = { id = 'w', class = 'UIWidget', childs = { { id = 'c', class = 'UIWidget', instance = '#test_lua:t' } } }",
         "UI description test_lua:t embeds or relates to itself \\(test_lua:t -> test_lua:t\\)"},
        {"relates to itself", "t = { id = 'w', class = 'UIWidget', related = { { filename = 'test_lua', id = 't' } } }",
         "UI description test_lua:t embeds or relates to itself \\(test_lua:t -> test_lua:t\\)"},
        {"two descriptions in a ring",
         "t = { id = 'w', class = 'UIWidget', instance = '#test_lua:u' }\n"
         "u = { id = 'u', class = 'UIWidget', related = { { filename = 'test_lua', id = 't' } } }",
         "UI description test_lua:t embeds or relates to itself \\(test_lua:t -> test_lua:u -> test_lua:t\\)"},
        {"a table among its own children", "t = { id = 'w', class = 'UIWidget' }\nt.childs = { t }",
         "UI description test_lua:t nests widgets more than 256 deep"},
    };
    for (const Malformed& c : cases) {
        EXPECT_EXIT(
            {
                qvtest::UIWorld world(files(c.description));
                world.ui().loadUI("test_lua", "t", nullptr, "default");
            },
            testing::ExitedWithCode(255), c.report)
            << c.what;
    }
}

TEST(UIDescription, MissingSceneIsLoggedAndTheWidgetBuiltWithoutIt) {
    qvtest::UIWorld world(files("t = { id = 'w', class = 'UISceneNode', scene = 'nowhere_xml' }"));
    UIWidget* w = world.ui().loadUI("test_lua", "t", nullptr, "default");
    EXPECT_EQ(static_cast<QV::UISceneNode*>(w)->getNode(), nullptr);
    EXPECT_TRUE(world.log().has("ERROR: Can't load scene node from nowhere_xml!"));
    EXPECT_FALSE(w->hitTest(V(0, 0)));
}

TEST(UIDescription, TopToByteTruncatesNumbersAndNumericText) {
    QV::LuaScript2 script(QV::createLuaState());
    lua_State* L = script.state();
    struct Case {
        const char* chunk;
        bool ok;
        uint8_t value;
    };
    for (const Case& c : {Case{"return 65", true, 65}, Case{"return 300.9", true, 44}, Case{"return '12'", true, 12},
                          Case{"return -1", true, 255}, Case{"return 'x'", false, 0}, Case{"return true", false, 0},
                          Case{"return nil", false, 0}}) {
        ASSERT_EQ(luaL_dostring(L, c.chunk), 0) << c.chunk;
        uint8_t value = 99;
        EXPECT_EQ(script.topToByte(&value), c.ok) << c.chunk;
        EXPECT_EQ(value, c.value) << c.chunk;
        lua_pop(L, 1);
    }
}

}  // namespace

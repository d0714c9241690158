#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lex_binded_function_manager.h"
#include "platform/keyboard_layout.h"
#include "support/font_fixture.h"
#include "support/temp_dir.h"
#include "support/ui_fixture.h"
#include "ui/ui_controller.h"
#include "ui/ui_label.h"
#include "ui/ui_manager.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_scroll_area.h"
#include "ui/ui_text_edit.h"

namespace {

using QV::UIWidget;
using V = QV::Vector2<float>;
using qvtest::mediaFile;

const char* kDescriptions = R"(
local function shown(id)
    return { { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1 } } } }
end
form = { id = "form", class = "UIWidget", states = shown("form"), initialState = "onIdle",
  childs = {
    { id = "name", class = "UITextEdit", position = {100, 50}, maxLength = 6, filterSpecialCharacters = 1,
      text = "", color = {255, 255, 255, 255} },
    { id = "free", class = "UITextEdit", position = {100, 150}, text = "" },
  },
  events = { { element = "name", slot = "textEntered", command = "record:entered" } } }

local lines = {}
for i = 1, 5 do lines[i] = { id = "line" .. i, class = "UILabel", position = {0, (i - 1) * 30}, size = {200, 30}, text = "Line " .. i } end
list = { id = "list", class = "UIWidget", states = shown("list"), initialState = "onIdle",
  childs = {
    { id = "lv", class = "UIListView", position = {10, 10}, lineHeight = 30, size = {200, 90},
      selectionImagename = "test_sprites_lua", selectionTablename = "fill",
      childs = { { id = "childScrollArea", class = "UIScrollArea", childs = lines } } },
  } }
badList = { id = "badList", class = "UIListView", childs = { { id = "childScrollArea", class = "UIWidget" } } }

scroller = { id = "scroller", class = "UIWidget", states = shown("scroller"), initialState = "onIdle",
  childs = {
    { id = "area", class = "UIScrollArea", position = {0, 0}, progressBar = "bar", size = {100, 300},
      childs = { { id = "tall", class = "UILabel", size = {100, 900} },
                 { id = "mark", class = "UILabel", position = {0, 450}, size = {100, 10} } } },
    { id = "bar", class = "UIProgressBar", position = {150, 0}, orientation = 1,
      childs = { { id = "track", class = "UISprite", imagename = "test_sprites_lua", tablename = "fill", size = {10, 300} } } },
  } }
)";

std::vector<qvtest::FontMediaFile> files() {
    return {mediaFile("ui/test.lua", kDescriptions),
            mediaFile("ui/test_sprites.lua", "fill = { Image0 = 'ui_test_png', SrcRect0 = {0, 0, 64, 16} }\n"),
            mediaFile("ui/ui_test.png", qvtest::cellPng(64, 32, {QV::Color::fromBytes(200, 40, 40, 255)})),
            qvtest::repositoryFile("system_font_fnt", "fonts/system_font.lua"),
            qvtest::repositoryFile("font2_image", "fonts/font2.png")};
}

struct Recorder {
    void record(std::string argument) { calls.push_back(argument); }
    std::vector<std::string> calls;
};

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST(UIKeyboardLayout, UsLayoutWithShiftAndCaps) {
    uint8_t keys[256] = {};
    struct Case {
        uint8_t key;
        bool shift, caps;
        char16_t typed;
    };
    for (const Case& c : {Case{'A', false, false, u'a'}, Case{'A', true, false, u'A'}, Case{'A', false, true, u'A'},
                          Case{'A', true, true, u'a'}, Case{'1', false, false, u'1'}, Case{'1', true, false, u'!'},
                          Case{0x61, false, false, u'1'}, Case{0xBD, true, false, u'_'}, Case{0x70, false, false, 0}}) {
        keys[0x10] = c.shift ? 0x80 : 0;
        keys[0x14] = c.caps ? 0x01 : 0;
        EXPECT_EQ(QV::Platform::translateVirtualKey(c.key, keys), c.typed) << int(c.key);
    }
}

TEST(UITextEdit, TypingShiftBackspaceFilterEnterAndTheLengthLimit) {
    qvtest::UIWorld world(files());
    Recorder recorder;
    QV::Singleton<QV::LexBindedFunctionManager>::instance()->registerBinder(
        "record", new QV::LexBinder1<std::string, Recorder>(&recorder, &Recorder::record));
    UIWidget* form = world.ui().loadUI("test_lua", "form", nullptr, "default");
    auto* name = dynamic_cast<QV::UITextEdit*>(form->findChild("name"));
    auto* free = dynamic_cast<QV::UITextEdit*>(form->findChild("free"));
    ASSERT_TRUE(name && free);
    auto& in = world.input();
    // Shift+H, i, Shift+1, space: keys reach both fields.
    in.pressKey(0, 0x10);
    in.tapKey(1, 'H');
    in.releaseKey(3, 0x10);
    in.tapKey(4, 'I');
    in.pressKey(6, 0x10);
    in.tapKey(7, '1');
    in.releaseKey(9, 0x10);
    in.tapKey(10, 0x20);
    world.frames(12);
    EXPECT_EQ(narrow(name->getText()), "Hi") << "the filter drops the exclamation mark";
    EXPECT_EQ(narrow(free->getText()), "Hi!");
    EXPECT_EQ(free->getCaret(), 3u);
    // Left, then a letter goes in at the caret; Delete at the end does nothing.
    in.tapKey(12, 37);
    in.tapKey(14, 'X');
    in.tapKey(16, 39);
    in.tapKey(18, 46);
    world.frames(8);
    EXPECT_EQ(narrow(free->getText()), "Hix!");
    // Backspace, and a text shortened from outside does not confuse the caret.
    free->getCaption()->setText("");
    in.tapKey(20, 8);
    world.frames(2);
    EXPECT_EQ(narrow(name->getText()), "Hx");
    EXPECT_EQ(free->getText(), u"");
    EXPECT_EQ(free->getCaret(), 0u);
    // Holding a letter types it once; six letters fill "name".
    in.pressKey(22, 'B');
    in.releaseKey(26, 'B');
    for (int i = 0; i < 8; ++i) in.tapKey(27 + 2 * i, 'C');
    world.frames(22);
    EXPECT_EQ(narrow(name->getText()), "Hxbccc") << "maxLength 6";
    EXPECT_EQ(narrow(free->getText()), "bcccccccc");
    // Enter queues "textEntered" once and leaves the text.
    in.tapKey(44, 13);
    world.frames(2);
    EXPECT_EQ(recorder.calls, std::vector<std::string>{"entered"});
    EXPECT_EQ(narrow(name->getText()), "Hxbccc");
}

TEST(UIListView, ClicksMoveTheSelection) {
    qvtest::UIWorld world(files());
    UIWidget* root = world.ui().loadUI("test_lua", "list", nullptr, "default");
    auto* lv = dynamic_cast<QV::UIListView*>(root->findChild("lv"));
    ASSERT_NE(lv, nullptr);
    ASSERT_NE(lv->getContent(), nullptr);
    EXPECT_EQ(lv->getContent()->mChildren.size(), 5u);
    EXPECT_NE(lv->getSelectionSprite(), nullptr);
    world.frame();
    EXPECT_EQ(lv->mSize, V(200, 90));
    EXPECT_EQ(lv->getSelectedIndex(), -1);
    world.clickAt(50, 10 + 75);
    world.frames(3);
    EXPECT_EQ(lv->getSelectedIndex(), 2) << "line 3";
    // Below the visible box the lines are clipped away: the selection stays.
    world.clickAt(50, 10 + 105);
    world.frames(3);
    EXPECT_EQ(lv->getSelectedIndex(), 2);
    world.clickAt(50, 15);
    world.frames(3);
    EXPECT_EQ(lv->getSelectedIndex(), 0);
}

TEST(UIListViewDeathTest, ChildScrollAreaMustBeAScrollArea) {
    EXPECT_EXIT(
        {
            qvtest::UIWorld world(files());
            world.ui().loadUI("test_lua", "badList", nullptr, "default");
        },
        testing::ExitedWithCode(255), "UIListView 'badList' in test_lua:badList: its childScrollArea is not a UIScrollArea");
}

TEST(UIScrollArea, FollowsItsBarAndTheWheel) {
    qvtest::UIWorld world(files());
    UIWidget* root = world.ui().loadUI("test_lua", "scroller", nullptr, "default");
    auto* area = dynamic_cast<QV::UIScrollArea*>(root->findChild("area"));
    auto* bar = dynamic_cast<QV::UIProgressBar*>(root->findChild("bar"));
    UIWidget* mark = root->findChild("mark");
    ASSERT_TRUE(area && bar && mark);
    world.frame();
    EXPECT_EQ(area->getScrollBar(), bar);
    EXPECT_EQ(area->getMeasuredContentSize(), V(100, 900));
    EXPECT_TRUE(mark->mClip);
    bar->setValue(0.5f);
    world.frames(2);
    EXPECT_FLOAT_EQ(mark->mPosition.y, 450 - 300) << "half of 600 pixels of overflow";
    bar->setValue(0.0f);
    world.frames(2);
    EXPECT_FLOAT_EQ(mark->mPosition.y, 450);
    // Three wheel notches down over the area.
    auto& in = world.input();
    in.moveMouse(world.frameIndex(), 50, 100);
    for (int i = 0; i < 3; ++i) in.turnWheel(world.frameIndex() + 1 + i, -1);
    world.frames(6);
    EXPECT_NEAR(bar->getValue(), 0.45f, 1e-5);
    EXPECT_NEAR(mark->mPosition.y, 450 - 0.45f * 600, 1e-3);
}

}  // namespace

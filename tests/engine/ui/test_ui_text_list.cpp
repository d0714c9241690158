#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "lex_binded_function_manager.h"
#include "platform/keyboard_layout.h"
#include "platform/window.h"
#include "support/gl_required.h"
#include "support/render_host.h"
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
    // Shift+H, i, Shift+1, space: the script types as a US keyboard into both fields.
    in.pressKey(0, 0x10);
    in.tapKey(1, 'H');
    in.releaseKey(3, 0x10);
    in.tapKey(4, 'I');
    in.pressKey(6, 0x10);
    in.tapKey(7, '1');
    in.releaseKey(9, 0x10);
    in.tapKey(10, 0x20);
    world.frames(12);
    EXPECT_EQ(narrow(name->getText()), "Hi ") << "the filter drops the exclamation mark";
    EXPECT_EQ(narrow(free->getText()), "Hi! ");
    EXPECT_EQ(free->getCaret(), 4u);
    // Left, then a letter goes in at the caret; Delete at the end does nothing.
    in.tapKey(12, 37);
    in.tapKey(14, 'X');
    in.tapKey(16, 39);
    in.tapKey(18, 46);
    world.frames(8);
    EXPECT_EQ(narrow(free->getText()), "Hi!x ");
    // Backspace, and a text shortened from outside does not confuse the caret.
    free->getCaption()->setText("");
    in.tapKey(20, 8);
    world.frames(2);
    EXPECT_EQ(narrow(name->getText()), "Hix");
    EXPECT_EQ(free->getText(), u"");
    EXPECT_EQ(free->getCaret(), 0u);
    // Holding a letter types it once; six letters fill "name".
    in.pressKey(22, 'B');
    in.releaseKey(26, 'B');
    for (int i = 0; i < 8; ++i) in.tapKey(27 + 2 * i, 'C');
    world.frames(22);
    EXPECT_EQ(narrow(name->getText()), "Hixbcc") << "maxLength 6";
    EXPECT_EQ(narrow(free->getText()), "bcccccccc");
    // Enter queues "textEntered" once and leaves the text.
    in.tapKey(44, 13);
    world.frames(2);
    EXPECT_EQ(recorder.calls, std::vector<std::string>{"entered"});
    EXPECT_EQ(narrow(name->getText()), "Hixbcc");
}

// Typed text comes from the window system's text input (the player's layout and
// input method), through the platform's event pump, the keyboard and the controller.
TEST(UITextEdit, TypesTheWindowSystemsTextNotKeyCodes) {
    qvtest::keepDriverLoaded();
    qvtest::UIWorldOptions options;
    options.systemInput = true;
    qvtest::UIWorld world(files(), options);
    QV::Platform::WindowDesc desc;
    desc.title = "text input";
    desc.width = 64;
    desc.height = 64;
    desc.hidden = true;
    std::unique_ptr<QV::Platform::Window> window(QV::Platform::Window::create(desc));
    if (!window) QV_GL_UNAVAILABLE() << QV::Platform::Window::lastError();
    UIWidget* form = world.ui().loadUI("test_lua", "form", nullptr, "default");
    auto* name = dynamic_cast<QV::UITextEdit*>(form->findChild("name"));
    auto* free = dynamic_cast<QV::UITextEdit*>(form->findChild("free"));
    ASSERT_TRUE(name && free);
    auto type = [&](const char* utf8) {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        event.text.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(window->nativeHandle()));
        std::snprintf(event.text.text, sizeof(event.text.text), "%s", utf8);
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    };
    auto pump = [&] {
        QV::Platform::WindowEvent event;
        while (window->pollEvent(event)) {
        }
        world.frame();
    };
    // A German, a Russian and a composed (input method) piece in one frame; a
    // character beyond 16 bits and a control character type nothing.
    type("\xC3\xB6");
    type("\xD0\x96!");
    type("\xE6\x97\xA5\xF0\x9F\x98\x80\t");
    pump();
    EXPECT_EQ(free->getText(), u"\u00F6\u0416!\u65E5");
    EXPECT_EQ(free->getCaret(), 4u);
    EXPECT_EQ(name->getText(), u"\u00F6\u0416\u65E5") << "filtered: no punctuation";
    pump();
    EXPECT_EQ(free->getText(), u"\u00F6\u0416!\u65E5") << "the text is read once";
    // The length limit holds against a long paste.
    type("abcdefghijklmnop");
    pump();
    EXPECT_EQ(name->getText(), u"\u00F6\u0416\u65E5abc");
}

// A length far beyond any line is bounded, not allocated.
TEST(UITextEdit, MaxLengthIsBounded) {
    qvtest::UIWorld world({mediaFile("ui/test.lua", R"(
t = { id = "t", class = "UIWidget", childs = {
  { id = "huge", class = "UITextEdit", maxLength = 2000000000, text = "" },
  { id = "fair", class = "UITextEdit", maxLength = 256, text = "" } } }
)"),
                           qvtest::repositoryFile("system_font_fnt", "fonts/system_font.lua"),
                           qvtest::repositoryFile("font2_image", "fonts/font2.png")});
    UIWidget* root = world.ui().loadUI("test_lua", "t", nullptr, "default");
    auto* huge = dynamic_cast<QV::UITextEdit*>(root->findChild("huge"));
    auto* fair = dynamic_cast<QV::UITextEdit*>(root->findChild("fair"));
    ASSERT_TRUE(huge && fair);
    EXPECT_EQ(huge->mMaxLength, QV::kMaxTextEditLength);
    EXPECT_EQ(fair->mMaxLength, 256u);
    EXPECT_TRUE(world.log().has("ERROR: UITextEdit 'huge' in test_lua:t: maxLength 2000000000 is more than 256; 256 is used"));
    EXPECT_FALSE(world.log().has("'fair'"));
    // Sizing for the longest text measures the bounded length.
    EXPECT_EQ(huge->getText(), u"");
    EXPECT_EQ(fair->getText(), u"");
    EXPECT_GT(huge->getSize().x, 0.0f);
    EXPECT_EQ(huge->getSize(), fair->getSize());
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

// The bar has no "onIdle" state of its own: shown with its window, it keeps the
// capture of a drag until the button goes up, even off the bar.
TEST(UIProgressBar, DragEndsAtTheReleaseOffTheBar) {
    qvtest::UIWorld world(files());
    UIWidget* root = world.ui().loadUI("test_lua", "scroller", nullptr, "default");
    auto* bar = dynamic_cast<QV::UIProgressBar*>(root->findChild("bar"));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->findState("onIdle"), nullptr);
    world.frame();
    EXPECT_TRUE(bar->isShown());
    using B = QV::Platform::ScriptedInputSource::Button;
    auto& in = world.input();
    const int at = world.frameIndex();
    in.moveMouse(at, 155, 60);
    in.pressButton(at, B::Left);
    in.moveMouse(at + 3, 300, 150);  // off the bar, still held
    in.releaseButton(at + 6, B::Left);
    in.moveMouse(at + 8, 300, 240);
    world.frames(5);
    EXPECT_EQ(world.ui().getCapturedWidget(), bar) << "a frame after the press and beyond";
    EXPECT_NEAR(bar->getValue(), 0.5f, 1e-5) << "150 of 300 pixels";
    world.frames(6);
    EXPECT_EQ(world.ui().getCapturedWidget(), nullptr);
    EXPECT_NEAR(bar->getValue(), 0.5f, 1e-5) << "the pointer no longer drags the bar";
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

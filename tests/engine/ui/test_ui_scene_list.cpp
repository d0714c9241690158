#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "support/font_fixture.h"
#include "support/temp_dir.h"
#include "support/ui_fixture.h"
#include "ui/scrolling_helper.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_list.h"
#include "ui/ui_scene_list_item.h"

namespace {

using QV::UISceneList;
using QV::UISceneListItem;
using V = QV::Vector2<float>;
using qvtest::mediaFile;

std::string sprite(const std::string& name, const std::string& image, float x, float y, const std::string& extra = "") {
    return "<Object type=\"Sprite\" name=\"" + name + "\" filename=\"" + image +
           "\" tablename=\"default\"><Parameters X=\"" + std::to_string(x) + "\" Y=\"" + std::to_string(y) +
           "\" scaleX=\"1\" scaleY=\"1\" R=\"1\" G=\"1\" B=\"1\" A=\"1\" Enable=\"1\"/>" + extra + "</Object>";
}

std::string marker(const std::string& name, const std::string& entries = "") {
    return "<marker><name>" + name + "</name><playList>" + entries + "</playList></marker>";
}

std::string self(int from, int to) {
    return "<item path=\"/\" from=\"" + std::to_string(from) + "\" to=\"" + std::to_string(to) + "\"/>";
}

// A vertical strip: mask 192 x 160, item template at (4, 8), indent 2, overscroll 40, correction 0 (0.25 s).
const std::string kList = "<Scene>" + sprite("#mask", "mask_png", 0, 0) +
                          "<Object name=\"#list\"><Parameters X=\"0\" Y=\"0\" scaleX=\"1\" scaleY=\"1\" R=\"1\" G=\"1\" B=\"1\" A=\"1\" Enable=\"1\"/>"
                          "<Childs><Object name=\"#item\"><Parameters X=\"4\" Y=\"8\" scaleX=\"1\" scaleY=\"1\" "
                          "A=\"1\" Enable=\"1\"/></Object></Childs><markers>" +
                          marker("#indent:2") + marker("#outside:40") + marker("#correctionTime:0") +
                          "</markers></Object></Scene>";

// A row 180 x 40: a text slot, an icon slot and a button with its three looks.
const std::string kItem =
    "<Scene>" + sprite("row", "row_png", 0, 0) +
    "<Object type=\"Text\" name=\"#text:label\" filename=\"system_font_fnt\"><Parameters X=\"8\" Y=\"0\" scaleX=\"1\" "
    "scaleY=\"1\" R=\"1\" G=\"1\" B=\"1\" A=\"1\" Enable=\"1\" Text=\"\" TextAreaX=\"100\" TextAreaY=\"40\"/></Object>" +
    sprite("#icon:pic", "btn_png", 110, 4) +
    sprite("#btn:go", "btn_png", 140, 4,
           "<frames><frame StartFrame=\"0\"><Attributes X=\"140\" Y=\"4\" scaleX=\"1\" scaleY=\"1\" R=\"0.8\" G=\"0.8\" "
           "B=\"0.8\" A=\"1\"/></frame><frame StartFrame=\"4\"><Attributes X=\"140\" Y=\"4\" scaleX=\"1\" scaleY=\"1\" "
           "R=\"1\" G=\"1\" B=\"1\" A=\"1\"/></frame><frame StartFrame=\"8\"><Attributes X=\"140\" Y=\"4\" "
           "scaleX=\"1\" scaleY=\"1\" R=\"0.6\" G=\"0.6\" B=\"0.6\" A=\"1\"/></frame></frames><markers>" +
               marker("regular", self(0, 0)) + marker("regular>select", self(0, 4)) +
               marker("select>pressed", self(4, 8)) + marker("pressed>select", self(4, 4)) +
               marker("select>regular", self(0, 0)) + "</markers>") +
    "<markers>" + marker("#size:180/40") + "</markers></Scene>";

// A horizontal book: mask 192 x 160, three page dots, previous and next buttons.
const std::string kBook =
    "<Scene>" + sprite("#mask", "mask_png", 0, 0) +
    "<Object name=\"#list\"><Parameters X=\"0\" Y=\"0\" scaleX=\"1\" scaleY=\"1\" R=\"1\" G=\"1\" B=\"1\" A=\"1\" Enable=\"1\"/><markers>" +
    marker("#listTime:0.2") + "</markers></Object>" +
    "<Object name=\"#page_bar\"><Parameters X=\"60\" Y=\"170\" scaleX=\"1\" scaleY=\"1\" R=\"1\" G=\"1\" B=\"1\" A=\"1\" Enable=\"1\"/><Childs>" +
    sprite("#page1", "dot_png", 0, 0) + sprite("#page2", "dot_png", 20, 0) + sprite("#page3", "dot_png", 40, 0) +
    "</Childs><markers>" + marker("#page1") + marker("#page2") + marker("#page3") + "</markers></Object>" +
    sprite("#btn_prev", "btn_png", 0, 170) + sprite("#btn_next", "btn_png", 160, 170) + "</Scene>";

const std::string kPage = "<Scene>" + sprite("face", "row_png", 0, 0) + "<markers>" + marker("#size:192") + "</markers></Scene>";

std::vector<qvtest::FontMediaFile> files() {
    const QV::Color grey = QV::Color::fromBytes(90, 90, 120, 255);
    return {mediaFile("ui/list.xml", kList),
            mediaFile("ui/item.xml", kItem),
            mediaFile("ui/book.xml", kBook),
            mediaFile("ui/page.xml", kPage),
            mediaFile("ui/mask.png", qvtest::cellPng(192, 160, {grey})),
            mediaFile("ui/row.png", qvtest::cellPng(176, 32, {QV::Color::fromBytes(200, 200, 200, 255)})),
            mediaFile("ui/btn.png", qvtest::cellPng(32, 32, {QV::Color::fromBytes(40, 200, 40, 255)})),
            mediaFile("ui/dot.png", qvtest::cellPng(16, 16, {QV::Color::fromBytes(255, 255, 255, 255)})),
            mediaFile("ui/lists.lua", R"(
local function shown(id)
    return { { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1 } } } }
end
strip = { id = "strip", class = "UISceneList", scene = "list_xml", position = {10, 10}, states = shown("strip") }
book = { id = "book", class = "UISceneList", scene = "book_xml", type = "book", orient = "hor", position = {10, 10},
         states = shown("book"),
         items = { { scene = "page_xml", id = "p1" }, { scene = "page_xml", id = "p2" }, { scene = "page_xml", id = "p3" } } }
)"),
            qvtest::repositoryFile("system_font_fnt", "fonts/system_font.lua"),
            qvtest::repositoryFile("font2_image", "fonts/font2.png")};
}

struct Clicks : QV::UISceneListItemListener {
    void onItemEvent(UISceneListItem* item, const std::string& element) override {
        heard.push_back(item->getName() + ":" + element);
    }
    std::vector<std::string> heard;
};

class UIStrip : public testing::Test {
protected:
    void SetUp() override {
        list = dynamic_cast<UISceneList*>(world.ui().loadUI("lists_lua", "strip", nullptr, "default"));
        ASSERT_NE(list, nullptr);
        list->showForcibly();
        for (int i = 0; i < 50; ++i) {
            auto* item = new UISceneListItem("item_xml", "row" + std::to_string(i));
            item->setText("label", u"Row");
            item->addListener(&clicks);
            list->addItem(item);
        }
        world.frame(dt);
    }
    float y() const { return list->listPosition().y; }
    // The frame at which the next scheduled event happens.
    int at(int offset) const { return world.frameIndex() + offset; }
    using B = QV::Platform::ScriptedInputSource::Button;

    const float dt = 1.0f / 60.0f;
    qvtest::UIWorld world{files()};
    UISceneList* list = nullptr;
    Clicks clicks;
};

TEST_F(UIStrip, LayoutParametersAndItems) {
    EXPECT_EQ(list->mPadding, V(4, 8));
    EXPECT_FLOAT_EQ(list->mIndent, 2.0f);
    EXPECT_FLOAT_EQ(list->mCorrectionTime, 0.25f) << "0 gives 0.25";
    EXPECT_EQ(list->mArea, V(192, 160));
    EXPECT_EQ(list->getItems().front()->getSize(), V(180, 40));
    EXPECT_FLOAT_EQ(list->mLayoutEnd.y, 16 + 50 * 42);
    EXPECT_FLOAT_EQ(list->mScrollLimit, 160 - (16 + 50 * 42));
    EXPECT_EQ(list->getItems()[1]->getScene()->getPosition(), V(4, 8 + 42));
    EXPECT_EQ(list->getScene()->findNode("#item"), nullptr) << "the template is gone";
    // Removing a row hands its scene back with it; clearing deletes the rest.
    UISceneListItem* second = list->getItems()[1];
    list->removeItem(second);
    EXPECT_EQ(second->getScene()->mParent, nullptr);
    EXPECT_EQ(list->getItems()[1]->getScene()->getPosition(), V(4, 8 + 42));
    delete second;
    list->clearItems();
    EXPECT_TRUE(list->getItems().empty());
    EXPECT_EQ(list->listPosition(), V()) << "a list that cannot scroll is back at the start";
}

TEST_F(UIStrip, PressMovingUnderTheThresholdClicksAndOverItScrolls) {
    auto& in = world.input();
    in.moveMouse(at(0), 170, 30);  // over row 0's button
    in.pressButton(at(1), B::Left);
    in.moveMouse(at(2), 170, 40);  // 10 units
    in.releaseButton(at(3), B::Left);
    world.frames(6, dt);
    EXPECT_EQ(clicks.heard, std::vector<std::string>{"row0:go"});
    // The same with 17 units: the list scrolls, nobody hears a click.
    in.moveMouse(at(0), 170, 30);
    in.pressButton(at(1), B::Left);
    in.moveMouse(at(2), 170, 47);
    for (int i = 0; i < 5; ++i) in.moveMouse(at(3 + i), 170, 47 - 10 * (i + 1));
    in.releaseButton(at(8), B::Left);
    world.frames(9, dt);
    EXPECT_EQ(clicks.heard.size(), 1u);
    EXPECT_LT(y(), -20.0f);
}

TEST_F(UIStrip, DragGlidesWithInertiaAndSpringsBackFromOverscroll) {
    auto& in = world.input();
    in.moveMouse(at(0), 60, 150);
    in.pressButton(at(1), B::Left);
    for (int i = 0; i < 10; ++i) in.moveMouse(at(2 + i), 60, 150 - 10 * (i + 1));
    in.moveMouse(at(12), 60, 40);
    in.releaseButton(at(12), B::Left);
    world.frames(13, dt);
    auto* strip = dynamic_cast<QV::StripScrollingHelper*>(list->getScrollingHelper());
    ASSERT_NE(strip, nullptr);
    EXPECT_NEAR(strip->getVelocity().y, 468.0f, 40.0f) << "10 units in 1/60 s, times 0.78";
    EXPECT_TRUE(strip->hasInertia());
    const float released = y();
    world.frames(40, dt);
    EXPECT_FALSE(strip->hasInertia());
    EXPECT_LT(y(), released - 50.0f) << "it glided on";
    // Back to the top and beyond it: the overscroll springs back to 0.
    strip->scrollTo(0.0f);
    world.frame(dt);
    in.moveMouse(at(0), 60, 40);
    in.pressButton(at(1), B::Left);
    for (int i = 0; i < 4; ++i) in.moveMouse(at(2 + i), 60, 40 + 10 * (i + 1));
    in.releaseButton(at(7), B::Left);
    world.frames(8, dt);
    EXPECT_GT(y(), 20.0f);
    EXPECT_LE(y(), 40.0f) << "not past the overscroll margin";
    world.frames(20, dt);
    EXPECT_FLOAT_EQ(y(), 0.0f);
}

TEST_F(UIStrip, WheelStepsAndAClickReachTheRightRow) {
    auto& in = world.input();
    in.moveMouse(at(0), 60, 60);
    in.turnWheel(at(1), -1);
    in.turnWheel(at(2), -1);
    world.frames(4, dt);
    EXPECT_FLOAT_EQ(y(), -48.0f) << "24 units a notch";
    list->getScrollingHelper()->scrollTo(420.0f);
    in.moveMouse(at(0), 170, 30);
    in.pressButton(at(1), B::Left);
    in.releaseButton(at(2), B::Left);
    world.frames(5, dt);
    EXPECT_EQ(clicks.heard, std::vector<std::string>{"row10:go"});
}

TEST_F(UIStrip, AListerClearingTheListFromItsEventIsSafe) {
    struct Clearer : QV::UISceneListItemListener {
        void onItemEvent(UISceneListItem*, const std::string&) override { list->clearItems(); }
        UISceneList* list = nullptr;
    } clearer;
    clearer.list = list;
    list->getItems()[0]->addListener(&clearer);
    list->getItems()[0]->addListener(&clearer);  // once only
    auto& in = world.input();
    in.moveMouse(at(0), 170, 30);
    in.pressButton(at(1), B::Left);
    in.releaseButton(at(2), B::Left);
    world.frames(5, dt);
    EXPECT_TRUE(list->getItems().empty());
    EXPECT_EQ(clicks.heard, std::vector<std::string>{"row0:go"}) << "the first listener ran, then the list was gone";
}

TEST(UISceneListItem, SlotsAndTheirFatalErrors) {
    qvtest::UIWorld world(files());
    UISceneListItem item("item_xml", "");
    EXPECT_EQ(item.getName(), "item_xml");
    ASSERT_EQ(item.getElements().size(), 3u);
    EXPECT_TRUE(item.findElement("go")->mInteractive);
    EXPECT_FALSE(item.findElement("label")->mInteractive);
    item.setText("label", u"Hello");
    auto* text = dynamic_cast<AE::TextSceneNode*>(item.getScene()->findNode("#text:label"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->mText, u"Hello");
    EXPECT_EXIT(item.setText("nothing", u"x"), testing::ExitedWithCode(255), "Not found nothing text slot!");
    EXPECT_EXIT(item.setIcon("label", nullptr), testing::ExitedWithCode(255), "Not found label icon slot!");
}

TEST(UIBook, PagesWithButtonsDotsAndSnapping) {
    qvtest::UIWorld world(files());
    auto* list = dynamic_cast<UISceneList*>(world.ui().loadUI("lists_lua", "book", nullptr, "default"));
    ASSERT_NE(list, nullptr);
    list->showForcibly();
    auto* book = dynamic_cast<QV::BookScrollingHelper*>(list->getScrollingHelper());
    ASSERT_NE(book, nullptr);
    ASSERT_EQ(list->getItems().size(), 3u);
    EXPECT_FLOAT_EQ(list->mScrollLimit, -384.0f);
    EXPECT_EQ(book->lastPage(), 2);
    EXPECT_FLOAT_EQ(book->mListTime, 0.2f);
    const float dt = 1.0f / 60.0f;
    auto& in = world.input();
    using B = QV::Platform::ScriptedInputSource::Button;
    auto at = [&](int offset) { return world.frameIndex() + offset; };
    // "Next" acts on the press and animates one page in listTime.
    in.moveMouse(at(0), 180, 190);
    in.pressButton(at(1), B::Left);
    in.releaseButton(at(2), B::Left);
    world.frames(3, dt);
    EXPECT_GT(book->getTimeLeft(), 0.0f);
    EXPECT_FLOAT_EQ(book->getTarget(), 1.0f);
    world.frames(20, dt);
    EXPECT_FLOAT_EQ(list->listPosition().x, -192.0f);
    EXPECT_EQ(book->getCurrentPage(), 1);
    // The third dot goes to the last page; "next" there stays on it.
    in.moveMouse(at(0), 10 + 60 + 40 + 5, 185);
    in.pressButton(at(1), B::Left);
    in.releaseButton(at(2), B::Left);
    world.frames(20, dt);
    EXPECT_FLOAT_EQ(list->listPosition().x, -384.0f);
    in.moveMouse(at(0), 180, 190);
    in.pressButton(at(1), B::Left);
    in.releaseButton(at(2), B::Left);
    world.frames(20, dt);
    EXPECT_FLOAT_EQ(list->listPosition().x, -384.0f);
    EXPECT_EQ(book->getCurrentPage(), 2);
    // Dragged back: the page snaps where 1 - toScrolling of it shows.
    struct Drag {
        int steps;
        float expected;
    };
    for (const Drag& d : {Drag{6, -384.0f}, Drag{7, -192.0f}}) {
        in.moveMouse(at(0), 60, 80);
        in.pressButton(at(1), B::Left);
        for (int i = 0; i < d.steps; ++i) in.moveMouse(at(2 + i), 60 + 16 * (i + 1), 80);
        in.releaseButton(at(2 + d.steps), B::Left);
        world.frames(30, dt);
        EXPECT_FLOAT_EQ(list->listPosition().x, d.expected) << d.steps * 16 << " units back from page 2";
    }
}

TEST(UISceneListEdges, DegenerateScenesNeitherCrashNorDivideByZero) {
    // A book whose mask has no size and no page bar, and a strip whose scroll bar has no thumb.
    const std::string flatXml = "<Scene><Object name=\"#mask\"><Parameters X=\"0\" Y=\"0\" scaleX=\"0\" scaleY=\"0\" "
                             "A=\"1\" Enable=\"1\"/></Object><Object name=\"#list\"><Parameters X=\"0\" Y=\"0\" "
                             "scaleX=\"1\" scaleY=\"1\" A=\"1\" Enable=\"1\"/><markers>" +
                             marker("#outside:10") + "</markers></Object></Scene>";
    const std::string thumblessXml =
        "<Scene>" + sprite("#mask", "mask_png", 0, 0) +
        "<Object name=\"#list\"><Parameters X=\"0\" Y=\"0\" scaleX=\"1\" scaleY=\"1\" A=\"1\" Enable=\"1\"/></Object>"
        "<Object name=\"#scroll_bar\"><Parameters X=\"0\" Y=\"0\" scaleX=\"1\" scaleY=\"1\" A=\"1\" Enable=\"1\"/>"
        "<frames><frame StartFrame=\"0\"><Attributes X=\"0\" Y=\"0\"/></frame><frame StartFrame=\"24\"><Attributes "
        "X=\"0\" Y=\"0\"/></frame></frames><Childs>" + sprite("knob", "btn_png", 0, 0) + "</Childs><markers>" +
        marker("#thumbs", "<item path=\"/knob\" from=\"0\" to=\"24\"/>") + "</markers></Object></Scene>";
    std::vector<qvtest::FontMediaFile> media = files();
    media.push_back(mediaFile("ui/flat.xml", flatXml));
    media.push_back(mediaFile("ui/thumbless.xml", thumblessXml));
    media.push_back(mediaFile("ui/edges.lua", R"(
local function shown(id)
    return { { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1 } } } }
end
flat = { id = "flat", class = "UISceneList", scene = "flat_xml", type = "book", orient = "hor", states = shown("flat"),
         initialState = "onIdle", items = { { scene = "page_xml", id = "p1" }, { scene = "page_xml", id = "p2" } } }
thumbless = { id = "thumbless", class = "UISceneList", scene = "thumbless_xml", states = shown("thumbless"),
              initialState = "onIdle" }
)"));
    qvtest::UIWorld world(media);
    auto* flat = dynamic_cast<UISceneList*>(world.ui().loadUI("edges_lua", "flat", nullptr, "default"));
    ASSERT_NE(flat, nullptr);
    auto* book = dynamic_cast<QV::BookScrollingHelper*>(flat->getScrollingHelper());
    EXPECT_FLOAT_EQ(book->mPageSize, 0.0f);
    EXPECT_EQ(book->lastPage(), 0);
    auto& in = world.input();
    in.moveMouse(0, 20, 20);
    in.turnWheel(1, 1);
    world.frames(3, 0.0f);
    EXPECT_TRUE(std::isfinite(flat->listPosition().x));
    flat->hideForcibly();
    auto* strip = dynamic_cast<UISceneList*>(world.ui().loadUI("edges_lua", "thumbless", nullptr, "default"));
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(world.log().has("ERROR: Scroll bar without a draggable #thumb (a node with two key frames)"));
    for (int i = 0; i < 10; ++i) strip->addItem(new UISceneListItem("item_xml", ""));
    // A drag released in a frame of no time has no speed.
    using B = QV::Platform::ScriptedInputSource::Button;
    const int f = world.frameIndex();
    in.moveMouse(f, 60, 150);
    in.pressButton(f + 1, B::Left);
    for (int i = 0; i < 4; ++i) in.moveMouse(f + 2 + i, 60, 150 - 10 * (i + 1));
    in.moveMouse(f + 6, 60, 100);
    in.releaseButton(f + 6, B::Left);
    world.frames(6, 1.0f / 60.0f);
    world.frame(0.0f);
    auto* helper = dynamic_cast<QV::StripScrollingHelper*>(strip->getScrollingHelper());
    EXPECT_EQ(helper->getVelocity(), V()) << "no speed from a frame of no time";
    EXPECT_TRUE(std::isfinite(strip->listPosition().y));
}

// Rows the list cannot show (their scene or the list's own is missing) are still
// the list's: nothing leaks (LeakSanitizer checks), nothing is shown.
TEST(UISceneListEdges, RowsWithoutAScenePlaceAreTakenAndFreed) {
    std::vector<qvtest::FontMediaFile> media = files();
    media.push_back(mediaFile("ui/lost.lua", R"(
lost = { id = "lost", class = "UISceneList", scene = "nowhere_xml",
         items = { { scene = "item_xml", id = "a" }, { scene = "/row", id = "b" }, { scene = "gone_xml", id = "c" } } }
)"));
    qvtest::UIWorld world(media);
    auto* lost = dynamic_cast<UISceneList*>(world.ui().loadUI("lost_lua", "lost", nullptr, "default"));
    ASSERT_NE(lost, nullptr);
    EXPECT_EQ(lost->getListNode(), nullptr);
    EXPECT_TRUE(lost->getItems().empty());
    EXPECT_TRUE(world.log().has("ERROR: Can't load scene node from nowhere_xml!"));
    EXPECT_TRUE(world.log().has("ERROR: Can't load scene node from gone_xml!"));
    // A row whose own scene is missing, added by code to a list that works.
    auto* strip = dynamic_cast<UISceneList*>(world.ui().loadUI("lists_lua", "strip", nullptr, "default"));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->addItem(new UISceneListItem("item_xml", "shown")), 1);
    auto* missing = new UISceneListItem("missing_xml", "missing");
    EXPECT_EQ(missing->getScene(), nullptr);
    EXPECT_EQ(strip->addItem(missing), 1) << "taken, not shown";
    EXPECT_EQ(strip->addItem(missing), 1) << "taken once";
    EXPECT_FALSE(strip->containsItem(missing));
    world.frames(2);
    // Given back on request, like any row.
    strip->removeItem(missing);
    delete missing;
    strip->addItem(new UISceneListItem("missing_xml", "again"));
    strip->clearItems();
    EXPECT_TRUE(strip->getItems().empty());
    strip->addItem(new UISceneListItem("missing_xml", "last"));
    world.ui().destroyWidget(lost);
    world.ui().destroyWidget(strip);
}

TEST(UISceneListEdges, MarkerDecimalsReadTheSameInAnyLocale) {
    struct Case {
        const char* text;
        float value;
    };
    for (const Case& c : {Case{"12.5", 12.5f}, Case{"0.25", 0.25f}, Case{"-3", -3.0f}, Case{"7/9", 7.0f},
                          Case{"", 0.0f}, Case{"abc", 0.0f}}) {
        EXPECT_FLOAT_EQ(QV::parseDecimal(c.text), c.value) << c.text;
    }
}

}  // namespace

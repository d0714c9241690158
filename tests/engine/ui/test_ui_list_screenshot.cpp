#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "support/font_fixture.h"
#include "support/render_host.h"
#include "support/temp_dir.h"
#include "support/ui_fixture.h"
#include "ui/scrolling_helper.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_list.h"
#include "ui/ui_scene_list_item.h"

namespace {

using qvtest::repositoryFile;
using QV::UISceneList;
using QV::UISceneListItem;

std::vector<qvtest::FontMediaFile> media() {
    std::vector<qvtest::FontMediaFile> files = {
        repositoryFile("small_font_fnt", "fonts/small_font.lua"),
        repositoryFile("small_font_image", "fonts/small_font.png"),
        repositoryFile("small_font_mip1_image", "fonts/small_font_mip1.png"),
        repositoryFile("ui_list_scene_xml", "ui/ui_list_scene.xml"),
        repositoryFile("ui_list_item_xml", "ui/ui_list_item.xml"),
        repositoryFile("ui_book_scene_xml", "ui/ui_book_scene.xml"),
        qvtest::mediaFile("ui/lists.lua", R"(
local shown = { { id = "onIdle", propertyChanges = { { target = "levels", property = "transparency", value = 1 } } } }
levels = { id = "levels", class = "UISceneList", scene = "ui_list_scene_xml", type = "strip", scrolling = 3,
           states = shown, initialState = "onIdle" }
pages = { id = "pages", class = "UISceneList", scene = "ui_book_scene_xml", type = "book", orient = "hor" }
)"),
    };
    for (const char* name : {"ui_list_frame", "ui_list_well", "ui_list_row", "ui_list_star", "ui_list_button",
                             "ui_scroll_track", "ui_scroll_thumb", "ui_page_dot", "ui_arrow_left", "ui_arrow_right"}) {
        files.push_back(repositoryFile(std::string(name) + "_png", std::string("ui/") + name + ".png"));
    }
    return files;
}

UISceneList* fill(qvtest::UIWorld& world, int rows) {
    auto* list = dynamic_cast<UISceneList*>(world.ui().loadUI("lists_lua", "levels", nullptr, "default"));
    if (!list) return nullptr;
    for (int i = 0; i < rows; ++i) {
        auto* item = new UISceneListItem("ui_list_item_xml", "");
        const std::string name = "Level " + std::to_string(i + 1);
        item->setText("name", std::u16string(name.begin(), name.end()));
        list->addItem(item);
    }
    return list;
}

TEST(UIListContent, TheListAndBookScenesBuildTheirLists) {
    qvtest::UIWorld world(media());
    UISceneList* list = fill(world, 20);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->mArea, QV::Vector2<float>(272, 228));
    EXPECT_FLOAT_EQ(list->mOutside, 48.0f);
    EXPECT_TRUE(list->canScroll());
    auto* strip = dynamic_cast<QV::StripScrollingHelper*>(list->getScrollingHelper());
    ASSERT_TRUE(strip && strip->getScrollBar());
    EXPECT_NE(strip->getScrollBar()->thumb, nullptr);
    EXPECT_FLOAT_EQ(strip->getScrollBar()->thumbTravel, 188.0f);
    ASSERT_EQ(list->getItems().front()->getElements().size(), 3u);
    auto* pages = dynamic_cast<UISceneList*>(world.ui().loadUI("lists_lua", "pages", nullptr, "default"));
    ASSERT_NE(pages, nullptr);
    auto* book = dynamic_cast<QV::BookScrollingHelper*>(pages->getScrollingHelper());
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->mDots.size(), 3u);
    EXPECT_EQ(book->mButtons.size(), 2u);
    EXPECT_FLOAT_EQ(book->mToScrolling, 0.4f);
    EXPECT_FLOAT_EQ(book->mListTime, 0.25f);
}

TEST(UIListScreenshot, ScrolledSceneListWithAHoveredRow) {
    qvtest::keepDriverLoaded();
    qvtest::UIWorldOptions options;
    options.device = qvtest::HostDevice::OpenGL;
    options.width = 320;
    options.height = 260;
    qvtest::UIWorld world(media(), options);
    ASSERT_TRUE(world.graphics().ready()) << "no OpenGL window";
    UISceneList* list = fill(world, 20);
    ASSERT_NE(list, nullptr);
    const float dt = 1.0f / 60.0f;
    auto& in = world.input();
    // Five wheel notches down over the rows, then rest on the button of the row at the top.
    in.moveMouse(0, 100, 120);
    for (int i = 0; i < 5; ++i) in.turnWheel(1 + i, -1);
    world.frames(8, dt);
    EXPECT_FLOAT_EQ(list->listPosition().y, -120.0f);
    in.moveMouse(world.frameIndex(), 236, 100);
    world.frames(20, dt);
    ASSERT_NE(list->getActiveItem(), nullptr);
    world.graphics().frame([&] { world.ui().draw(); });  // uploads the pictures
    world.graphics().frame([&] { world.ui().draw(); });
    std::vector<uint8_t> bgra;
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(world.graphics().readBack(&bgra, &width, &height));
    const std::string mismatch =
        qvtest::compareWithExpected("ui_scene_list_scrolled.png", qvtest::bgraToRgba(bgra), width, height, 24, 40);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
}

}  // namespace

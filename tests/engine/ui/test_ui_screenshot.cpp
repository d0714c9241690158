#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/font_fixture.h"
#include "support/render_host.h"
#include "support/temp_dir.h"
#include "support/ui_fixture.h"
#include "ui/ui_button.h"
#include "ui/ui_manager.h"
#include "ui/ui_progress_bar.h"

namespace {

using qvtest::repositoryFile;

std::vector<qvtest::FontMediaFile> media() {
    return {
        repositoryFile("font2_fnt", "fonts/font2.lua"),
        repositoryFile("font2_image", "fonts/font2.png"),
        repositoryFile("font2_mip1_image", "fonts/font2_mip1.png"),
        repositoryFile("font2_mip2_image", "fonts/font2_mip2.png"),
        repositoryFile("small_font_fnt", "fonts/small_font.lua"),
        repositoryFile("small_font_image", "fonts/small_font.png"),
        repositoryFile("small_font_mip1_image", "fonts/small_font_mip1.png"),
        repositoryFile("system_font_fnt", "fonts/system_font.lua"),
        repositoryFile("ui_panel_png", "ui/ui_panel.png"),
        repositoryFile("ui_button_png", "ui/ui_button.png"),
        repositoryFile("ui_check_png", "ui/ui_check.png"),
        repositoryFile("ui_bar_png", "ui/ui_bar.png"),
        repositoryFile("ui_sprites_lua", "ui/ui_sprites.lua"),
        repositoryFile("ui_presets_lua", "ui/ui_presets.lua"),
        repositoryFile("ui_window_scene_xml", "ui/ui_window_scene.xml"),
        qvtest::mediaFile("ui/sample_window.lua",
                          qvtest::readFile(std::string(QV_SOURCE_DIR) + "/tests/engine/ui/sample_window.lua")),
        {"en", "strings_xml", "/en/strings.xml",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root>\n"
         "  <s><text>OPTIONS_TITLE</text><translate>Options</translate></s>\n</root>\n"},
    };
}

// Draws the UI into the window and compares it with an expected picture.
std::string shoot(qvtest::UIWorld& world, const std::string& name) {
    world.graphics().frame([&] { world.ui().draw(); });
    std::vector<uint8_t> bgra;
    uint32_t width = 0, height = 0;
    if (!world.graphics().readBack(&bgra, &width, &height)) return "no read-back";
    return qvtest::compareWithExpected(name, qvtest::bgraToRgba(bgra), width, height, 24, 40);
}

TEST(UIScreenshot, WindowDescriptionWithHoveredAndPressedButton) {
    qvtest::keepDriverLoaded();
    qvtest::UIWorldOptions options;
    options.device = qvtest::HostDevice::OpenGL;
    qvtest::UIWorld world(media(), options);
    ASSERT_TRUE(world.graphics().ready()) << "no OpenGL window";
    world.graphics().texts();
    QV::UIManager& ui = world.ui();
    QV::UIWidget* window = ui.loadUI("sample_window_lua", "sample_window", nullptr, "default");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(ui.getShownList().empty()) << "loaded hidden";
    window->show();
    // Tick the box, set the volume, then rest the pointer on "Play".
    auto* play = static_cast<QV::UIButton*>(window->findChild("play"));
    const QV::Vector2<float> box = window->findChild("music")->getWorldPosition() + QV::Vector2<float>(18, 18);
    world.clickAt(box.x, box.y);
    world.frames(3);
    static_cast<QV::UIProgressBar*>(window->findChild("volume"))->jumpToValue(0.7f);
    const QV::Vector2<float> centre = play->getWorldPosition() + QV::Vector2<float>(84, 28);
    world.input().moveMouse(world.frameIndex(), int(centre.x), int(centre.y));
    world.frames(4);
    EXPECT_EQ(play->getCurrentStateName(), "onSelect");
    world.graphics().frame([&] { ui.draw(); });  // uploads the pictures
    std::string mismatch = shoot(world, "ui_window_hovered.png");
    EXPECT_TRUE(mismatch.empty()) << mismatch;

    // Press and hold.
    world.input().pressButton(world.frameIndex(), QV::Platform::ScriptedInputSource::Button::Left);
    world.frames(4);
    EXPECT_EQ(play->getCurrentStateName(), "onPress");
    mismatch = shoot(world, "ui_window_pressed.png");
    EXPECT_TRUE(mismatch.empty()) << mismatch;

    // "Close" hides the window through its Lua command.
    world.input().releaseButton(world.frameIndex(), QV::Platform::ScriptedInputSource::Button::Left);
    const QV::Vector2<float> close = window->findChild("close")->getWorldPosition() + QV::Vector2<float>(84, 28);
    world.frames(2);
    world.clickAt(close.x, close.y);
    world.frames(3);
    EXPECT_FALSE(window->mShown);
}

}  // namespace

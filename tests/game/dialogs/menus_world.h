#pragma once

#include <vector>

#include "game/dialogs/shop_world.h"
#include "platform/scripted_input_source.h"

namespace menustest {

// The shop's media and the menus', for worlds with the menu windows in them.
inline std::vector<qvtest::FontMediaFile> media() {
    using qvtest::repositoryFile;
    std::vector<qvtest::FontMediaFile> files = shoptest::media();
    for (const auto& [resource, file] : std::vector<std::pair<std::string, std::string>>{
             {"ingame_menu_ui", "menus/menu_windows.lua"},
             {"map_menu_ui", "menus/menu_windows.lua"},
             {"options_window_ui", "menus/menu_windows.lua"},
             {"reset_question_window_ui", "menus/menu_windows.lua"},
             {"menu_window_scene_xml", "menus/menu_window_scene.xml"},
             {"options_window_scene_xml", "menus/options_window_scene.xml"},
             {"reset_question_window_scene_xml", "menus/reset_question_window_scene.xml"},
             {"ui_check_png", "ui/ui_check.png"},
             {"system_font_fnt", "fonts/system_font.lua"},
             {"ui_bar_png", "ui/ui_bar.png"},
             {"tutorial_window_ui", "tutorial/tutorial_window.lua"},
             {"tutorial_window_scene_xml", "tutorial/tutorial_window_scene.xml"},
             {"tutorial_sprites_lua", "tutorial/tutorial_sprites.lua"},
             {"tutorial_panel_png", "tutorial/tutorial_panel.png"},
             {"tutorial_arrow_png", "tutorial/tutorial_arrow.png"},
             {"tutorial_aura_png", "tutorial/tutorial_aura.png"},
             {"tutorial_mask_cells_v_png", "tutorial/mask_cells_v.png"},
             {"tutorial_mask_round_png", "tutorial/mask_round.png"},
         })
        files.push_back(repositoryFile(resource, file));
    return files;
}

// The shop world over the menus' media, with the mouse moved and held by script.
struct MenusWorld : shoptest::ShopWorld {
    explicit MenusWorld(qvtest::HostDevice device = qvtest::HostDevice::None) : ShopWorld(device, media()) {}

    using Button = QV::Platform::ScriptedInputSource::Button;
    // Moves the mouse there and presses the left button on the next frame.
    void press(int x, int y) {
        world->input().moveMouse(world->frameIndex(), x, y);
        world->input().pressButton(world->frameIndex(), Button::Left);
        frames(1);
    }
    void moveTo(int x, int y) {
        world->input().moveMouse(world->frameIndex(), x, y);
        frames(1);
    }
    void release() {
        world->input().releaseButton(world->frameIndex(), Button::Left);
        frames(1);
    }
};

}  // namespace menustest

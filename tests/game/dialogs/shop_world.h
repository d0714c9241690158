#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dialogs/dialog_window.h"
#include "dialogs/dialog_window_manager.h"
#include "player/game_properties.h"
#include "player/progress_saver.h"
#include "player/store.h"
#include "support/font_fixture.h"
#include "support/temp_dir.h"
#include "support/ui_fixture.h"
#include "ui/text_manager.h"
#include "ui/ui_widget.h"

namespace shoptest {

inline std::vector<qvtest::FontMediaFile> media() {
    using qvtest::repositoryFile;
    std::vector<qvtest::FontMediaFile> files = {
        repositoryFile("font2_fnt", "fonts/font2.lua"),
        repositoryFile("font2_image", "fonts/font2.png"),
        repositoryFile("font2_mip1_image", "fonts/font2_mip1.png"),
        repositoryFile("font2_mip2_image", "fonts/font2_mip2.png"),
        repositoryFile("small_font_fnt", "fonts/small_font.lua"),
        repositoryFile("small_font_image", "fonts/small_font.png"),
        repositoryFile("small_font_mip1_image", "fonts/small_font_mip1.png"),
        repositoryFile("ui_panel_png", "ui/ui_panel.png"),
        repositoryFile("ui_button_png", "ui/ui_button.png"),
        repositoryFile("ui_list_well_png", "ui/ui_list_well.png"),
        repositoryFile("ui_sprites_lua", "ui/ui_sprites.lua"),
        repositoryFile("ui_presets_lua", "ui/ui_presets.lua"),
        repositoryFile("pill_button_ui", "ui/pill_button.lua"),
        repositoryFile("strings_xml", "en/strings.xml"),
    };
    const std::vector<std::pair<std::string, std::string>> shop = {
        {"small_panel_scene_xml", "small_panel_scene.xml"},
        {"exit_question_window_ui", "confirm_windows.lua"},
        {"confirm_exit_level_window_ui", "confirm_windows.lua"},
        {"shop_panel_png", "shop_panel.png"},
        {"shop_row_png", "shop_row.png"},
        {"shop_buy_png", "shop_buy.png"},
        {"shop_close_png", "shop_close.png"},
        {"valuta_sale_png", "valuta_sale.png"},
        {"valuta_small_png", "valuta_small.png"},
        {"passive_icons_png", "passive_icons.png"},
        {"shop_sprites_lua", "shop_sprites.lua"},
        {"map_sprites_lua", "map_sprites.lua"},
        {"targets_sprites_lua", "targets_sprites.lua"},
        {"buy_valuta_window_ui", "buy_valuta_window.lua"},
        {"buy_valuta_window_scene_xml", "buy_valuta_window_scene.xml"},
        {"shop_list_scene_xml", "shop_list_scene.xml"},
        {"valuta_purchase_item_xml", "valuta_purchase_item.xml"},
        {"blocker_message_window_ui", "small_windows.lua"},
        {"authors_window_ui", "small_windows.lua"},
        {"help_window_ui", "small_windows.lua"},
        {"everyday_bonus_window_ui", "small_windows.lua"},
        {"holiday_purchase_window_ui", "small_windows.lua"},
        {"info_passive_bonus_window_ui", "small_windows.lua"},
        {"everyday_bonus_window_scene_xml", "everyday_bonus_window_scene.xml"},
        {"holiday_purchase_window_scene_xml", "holiday_purchase_window_scene.xml"},
        {"info_passive_bonus_window_scene_xml", "info_passive_bonus_window_scene.xml"},
    };
    for (const auto& [resource, file] : shop) files.push_back(repositoryFile(resource, "shop/" + file));
    return files;
}

// The UI with the game's player data behind it: profile file in a temporary
// folder, progress saver, store and the dialog window manager.
struct ShopWorld {
    explicit ShopWorld(qvtest::HostDevice device = qvtest::HostDevice::None) : ShopWorld(device, media()) {}
    ShopWorld(qvtest::HostDevice device, const std::vector<qvtest::FontMediaFile>& files) {
        qvtest::UIWorldOptions options;
        options.device = device;
        options.width = 1280;
        options.height = 720;
        world = std::make_unique<qvtest::UIWorld>(files, options);
        world->graphics().texts();
    }
    ~ShopWorld() {
        world->frame();
        manager.reset();
        world.reset();
    }
    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            world->frame(0.1f);
            manager->update(0.1f);
        }
    }
    void click(float x, float y) {
        world->clickAt(x, y);
        frames(3);
    }
    // A list row takes the pointer hovering first, then the press and release.
    void pressRow(const QV::Vector2<float>& at) {
        auto& in = world->input();
        using B = QV::Platform::ScriptedInputSource::Button;
        in.moveMouse(world->frameIndex(), int(at.x), int(at.y));
        in.pressButton(world->frameIndex() + 1, B::Left);
        in.releaseButton(world->frameIndex() + 2, B::Left);
        frames(4);
    }
    // The centre of a widget of that size.
    void clickWidget(DialogWindow& window, const char* name, float w, float h) {
        const QV::Vector2<float> at = window.mRoot->findChild(name)->getWorldPosition();
        click(at.x + w / 2, at.y + h / 2);
    }
    PlayerProfile& profile() { return *properties.profile(); }

    qvtest::TempDir dir;
    GameProperties properties{dir.path()};
    ProgressSaver saver;
    Store store;
    std::unique_ptr<qvtest::UIWorld> world;
    std::unique_ptr<DialogWindowManager> manager = std::make_unique<DialogWindowManager>();
};

}  // namespace shoptest

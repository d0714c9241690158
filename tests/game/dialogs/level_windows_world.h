#pragma once

#include <memory>
#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "dialogs/dialog_window.h"
#include "dialogs/dialog_window_manager.h"
#include "dialogs/level_preview.h"
#include "game/dialogs/shop_world.h"
#include "ui/wide_string.h"

namespace leveltest {

inline std::vector<qvtest::FontMediaFile> media() {
    std::vector<qvtest::FontMediaFile> files = shoptest::media();
    const char* const level[][2] = {
        {"level_panel_png", "level_panel.png"}, {"level_card_png", "level_card.png"},
        {"level_slot_png", "level_slot.png"}, {"level_goal_well_png", "level_goal_well.png"},
        {"level_stars_png", "level_stars.png"},
        {"level_small_png", "level_small.png"}, {"level_goals_png", "level_goals.png"},
        {"level_button_png", "level_button.png"}, {"level_sprites_lua", "level_sprites.lua"},
        {"level_scene_xml", "level_scene.xml"},
        {"play_level_window_ui", "level_windows.lua"}, {"win_level_window_ui", "level_windows.lua"},
        {"fail_level_window_ui", "level_windows.lua"}, {"play_level_window_scene_xml", "play_level_window_scene.xml"},
        {"win_level_window_scene_xml", "win_level_window_scene.xml"},
        {"fail_level_window_scene_xml", "fail_level_window_scene.xml"},
    };
    for (const auto& entry : level) files.push_back(qvtest::repositoryFile(entry[0], std::string("level/") + entry[1]));
    return files;
}

// The dialog world of the shop tests with the level windows' content.
struct LevelWorld {
    explicit LevelWorld(qvtest::HostDevice device = qvtest::HostDevice::None,
                        const std::vector<qvtest::FontMediaFile>& extra = {}) {
        qvtest::UIWorldOptions options;
        options.device = device;
        options.width = 1280;
        options.height = 720;
        std::vector<qvtest::FontMediaFile> files = media();
        files.insert(files.end(), extra.begin(), extra.end());
        world = std::make_unique<qvtest::UIWorld>(files, options);
        world->graphics().texts();
    }
    ~LevelWorld() {
        world->frame();
        manager.reset();
        world.reset();
    }
    void frames(int count, float dt = 0.1f) {
        for (int i = 0; i < count; ++i) {
            world->frame(dt);
            manager->update(dt);
        }
    }
    void clickWidget(DialogWindow& window, const char* name, float w, float h) {
        const QV::Vector2<float> at = window.mRoot->findChild(name)->getWorldPosition();
        world->clickAt(at.x + w / 2, at.y + h / 2);
        frames(3);
    }
    PlayerProfile& profile() { return *properties.profile(); }

    qvtest::TempDir dir;
    GameProperties properties{dir.path()};
    ProgressSaver saver;
    Store store;
    std::unique_ptr<qvtest::UIWorld> world;
    std::unique_ptr<DialogWindowManager> manager = std::make_unique<DialogWindowManager>();
};

inline std::string textOf(AE::ISceneNode* scene, const char* name) {
    AE::ISceneNode* node = scene ? scene->findNode(name) : nullptr;
    if (!node || node->getType() != AE::kTextNode) return "<none>";
    return QV::toNarrow(static_cast<AE::TextSceneNode*>(node)->mDisplayedText);
}

// A level as the main mode hands it to the windows.
inline LevelPreview level(const char* title, int kind1, int kind2) {
    LevelPreview preview;
    preview.title = title;
    preview.goalKinds[0] = kind1;
    preview.goalKinds[1] = kind2;
    preview.starThresholds[0] = 1500;
    preview.starThresholds[1] = 3000;
    preview.starThresholds[2] = 4500;
    return preview;
}

}  // namespace leveltest

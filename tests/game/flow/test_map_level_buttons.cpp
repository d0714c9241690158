#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "dialogs/play_level_window.h"
#include "flow/main_mode.h"
#include "flow/main_mode_map_state.h"
#include "game/dialogs/level_windows_world.h"
#include "platform/scripted_input_source.h"
#include "player/main_mode_section.h"

namespace {

using leveltest::LevelWorld;

// The episode data, its levels and the map's content, as the flow file list names them.
std::vector<qvtest::FontMediaFile> flowMedia() {
    std::ifstream list(QV_SOURCE_DIR "/media/filelists/flow.lua");
    const std::string text((std::istreambuf_iterator<char>(list)), std::istreambuf_iterator<char>());
    const std::regex entry("name = \"([a-z0-9_]+)\", filename = \"/([^\"]+)\"");
    std::vector<qvtest::FontMediaFile> files;
    for (std::sregex_iterator it(text.begin(), text.end(), entry), end; it != end; ++it) {
        const std::string name = (*it)[1];
        // The cutscenes and the menu are not the map's.
        if (name.find("cutscene") != std::string::npos || name.find("menu") != std::string::npos ||
            name == "dialog_1_xml" || name == "caption_ribbon_png")
            continue;
        files.push_back(qvtest::repositoryFile(name, (*it)[2]));
    }
    return files;
}

// The map of a profile whose first level is won with two stars, built as its job would.
struct MapWorld {
    MapWorld() : world(qvtest::HostDevice::None, flowMedia()), mode("") {
        // No everyday bonus today: it would hold the map's input.
        world.profile().mDayStamp = (uint64_t(std::time(nullptr)) / 86400 + 2) * 86400;
        MainModeProgress progress;
        progress.hasProgress = true;
        progress.episodes.resize(1);
        progress.episodes[0].parts = {{false, {{true, 1500}, {false, 0}, {false, 0}}},
                                      {true, {{false, 0}, {false, 0}, {false, 0}}}};
        mode.applyProgress(progress);
        mode.updateLocks();
        map = std::make_unique<MainModeMapState>(&mode);
        map->buildMap();
        steps(10);
    }
    ~MapWorld() { map.reset(); }
    void steps(int count) {
        for (int i = 0; i < count; ++i) {
            world.frames(1);
            map->update(0.1f);
        }
    }
    void moveTo(int x, int y) {
        world.world->input().moveMouse(world.world->frameIndex(), x, y);
        steps(4);
    }
    void clickAt(int x, int y) {
        world.world->clickAt(float(x), float(y));
        steps(4);
    }
    AE::ISceneNode* button(size_t part, size_t level) { return map->getLevelButtonGroups()[part].buttons[level]; }
    // The world alpha of a node of a level button.
    int alpha(size_t part, size_t level, const char* node) {
        return int(button(part, level)->findNode(node)->getWorldColor().a);
    }

    LevelWorld world;
    MainMode mode;
    std::unique_ptr<MainModeMapState> map;
};

TEST(MapLevelButtons, EachLevelHasItsButtonInThePoseOfItsProgress) {
    MapWorld w;
    ASSERT_TRUE(w.map->isLoaded());
    const auto& groups = w.map->getLevelButtonGroups();
    ASSERT_EQ(groups.size(), 2u);
    ASSERT_EQ(groups[0].buttons.size(), 3u);
    ASSERT_EQ(groups[1].buttons.size(), 7u);
    for (const LevelButtonGroup& group : groups)
        for (AE::ISceneNode* button : group.buttons) ASSERT_NE(button, nullptr);
    // Each button stands where its place was, under the place's name; the place is gone.
    EXPECT_EQ(w.button(0, 0)->mName, "#meadow_1");
    EXPECT_FLOAT_EQ(w.button(0, 0)->getPosition().x, 230);
    EXPECT_FLOAT_EQ(w.button(0, 0)->getPosition().y, 600);
    EXPECT_EQ(w.map->getMapRoot()->findNode("#meadow_1"), w.button(0, 0));
    EXPECT_EQ(leveltest::textOf(w.button(1, 2), "text"), "6");

    // Won with 1500 of 900, 1400, 2000: completed with two stars.
    EXPECT_EQ(w.alpha(0, 0, "done"), 255);
    EXPECT_EQ(w.alpha(0, 0, "star1"), 255);
    EXPECT_EQ(w.alpha(0, 0, "star2"), 255);
    EXPECT_EQ(w.alpha(0, 0, "star3"), 0);
    EXPECT_EQ(w.alpha(0, 0, "locked"), 0);
    // The next level is open and the player stands there.
    EXPECT_EQ(w.alpha(0, 1, "open"), 255);
    EXPECT_EQ(w.alpha(0, 1, "done"), 0);
    EXPECT_EQ(w.alpha(0, 1, "halo"), 255);
    EXPECT_EQ(w.alpha(0, 0, "halo"), 0);
    // The rest, and the closed part, are locked.
    for (const auto& [part, level] : std::vector<std::pair<size_t, size_t>>{{0, 2}, {1, 0}, {1, 1}, {1, 2}}) {
        EXPECT_EQ(w.alpha(part, level, "locked"), 255) << part << " " << level;
        EXPECT_EQ(w.alpha(part, level, "open"), 0) << part << " " << level;
    }
}

TEST(MapLevelButtons, OnlyOpenButtonsLiftUnderThePointer) {
    MapWorld w;
    w.moveTo(400, 540);  // level 2, open
    EXPECT_EQ(w.map->getHoveredButton(), w.button(0, 1));
    EXPECT_GT(w.button(0, 1)->findNode("face")->getScale().x, 1.05f);
    w.moveTo(560, 470);  // level 3, locked
    EXPECT_EQ(w.map->getHoveredButton(), nullptr);
    EXPECT_FLOAT_EQ(w.button(0, 1)->findNode("face")->getScale().x, 1.0f);
    EXPECT_FLOAT_EQ(w.button(0, 2)->findNode("face")->getScale().x, 1.0f);
    w.moveTo(230, 600);  // level 1, won
    EXPECT_EQ(w.map->getHoveredButton(), w.button(0, 0));
}

TEST(MapLevelButtons, ALevelPastTheFirstUnfinishedOneOpensNothingAndAPlayableOneOpensItsWindow) {
    MapWorld w;
    PlayLevelWindow* window = w.map->getLevelWindow();
    ASSERT_NE(window, nullptr);
    w.clickAt(560, 470);  // level 3
    EXPECT_EQ(window->mState, DialogWindow::Hidden);
    EXPECT_EQ(w.map->getSelectedLevel(), 1);  // still the mode's current level

    w.clickAt(230, 600);  // level 1, won with two stars
    EXPECT_NE(window->mState, DialogWindow::Hidden);
    EXPECT_EQ(w.map->getSelectedPart(), 0);
    EXPECT_EQ(w.map->getSelectedLevel(), 0);
    EXPECT_EQ(window->mStars, 2);
    EXPECT_EQ(leveltest::textOf(window->mScene, "#levelNum"), "Level 1");
    // While the window is up the map takes no clicks.
    w.steps(6);
    ASSERT_EQ(window->mState, DialogWindow::Shown);
    w.clickAt(400, 540);
    EXPECT_EQ(w.map->getSelectedLevel(), 0);

    // Closed with its close button nothing starts; with Play the start is handed on.
    window->onCloseClicked();
    w.steps(6);
    ASSERT_EQ(window->mState, DialogWindow::Hidden);
    int handedOn = 0;
    for (const std::string& line : w.world.world->log().lines) handedOn += line.find("MainModeMapState: starting episode") != std::string::npos;
    EXPECT_EQ(handedOn, 0);
    w.clickAt(400, 540);  // level 2, open
    EXPECT_EQ(w.map->getSelectedLevel(), 1);
    w.steps(6);
    window->onPlayClicked();
    w.steps(6);
    EXPECT_EQ(window->mResult, PlayLevelWindow::Play);
    for (const std::string& line : w.world.world->log().lines)
        handedOn += line.find("MainModeMapState: starting episode 0, part 0, level 1") != std::string::npos;
    EXPECT_EQ(handedOn, 1);
}

}  // namespace

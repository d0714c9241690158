// The out-of-moves window: its filling, its purchase, and its picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "dialogs/nomoves_level_window.h"
#include "game/dialogs/level_windows_world.h"
#include "player/player_profile.h"
#include "support/render_host.h"
#include "ui/ui_manager.h"

namespace {

using leveltest::LevelWorld;
using leveltest::textOf;

std::vector<qvtest::FontMediaFile> nomovesMedia() {
    std::vector<qvtest::FontMediaFile> files;
    const char* const level[][2] = {
        {"nomoves_level_window_ui", "level/level_windows.lua"},
        {"nomoves_level_window_scene_xml", "level/nomoves_level_window_scene.xml"},
        {"level_dial_well_png", "level/level_dial_well.png"},
        {"level_limits_png", "level/level_limits.png"},
    };
    for (const auto& entry : level) files.push_back(qvtest::repositoryFile(entry[0], entry[1]));
    return files;
}

bool enabled(AE::ISceneNode* scene, const char* name) {
    AE::ISceneNode* node = scene->findNode(name);
    return node && node->mEnabled;
}

TEST(NomovesLevelWindow, PanelsFollowTheGoalsAndTheChecksTheProgress) {
    LevelWorld w(qvtest::HostDevice::None, nomovesMedia());
    NomovesLevelWindow window;
    window.setGoals(1, 0, 15, 0, 500);
    EXPECT_EQ(window.mGoalCount, 1);
    EXPECT_TRUE(enabled(window.mScene, "target1"));
    EXPECT_FALSE(enabled(window.mScene, "target2"));
    EXPECT_FALSE(enabled(window.mScene, "#score_target_text"));
    window.updateGoalChecks(12, 0);
    AE::ISceneNode* first = window.mScene->findNode("target1");
    EXPECT_EQ(textOf(first, "text"), "12/15");
    EXPECT_FALSE(first->findNode("check")->mEnabled);
    EXPECT_TRUE(first->findNode("uncheck")->mEnabled);
    EXPECT_NE(window.mState, DialogWindow::Hidden);  // shown by the update
    window.updateGoalChecks(15, 0);
    EXPECT_TRUE(first->findNode("check")->mEnabled);
    EXPECT_FALSE(first->findNode("uncheck")->mEnabled);

    window.setGoals(0, 0, 0, 0, 900);  // a score level
    EXPECT_EQ(window.mGoalCount, 0);
    EXPECT_FALSE(enabled(window.mScene, "target1"));
    EXPECT_FALSE(enabled(window.mScene, "target2"));
    EXPECT_TRUE(enabled(window.mScene, "#score_target_text"));
    EXPECT_EQ(textOf(window.mScene, "#score_target_text"), "Score 900 points");
}

// Silver at the price and one below, for moves and for time.
TEST(NomovesLevelWindow, ContinuingCostsItsPriceOrNothingHappens) {
    struct Case {
        bool time;
        int silver;
        int result;  // -1: still open
        int silverAfter;
        int grant;
        const char* price;
    } cases[] = {
        {false, 250, NomovesLevelWindow::Continue, 0, 5, "250"},
        {false, 249, -1, 249, 0, "250"},
        {true, 4, NomovesLevelWindow::Continue, 0, 15, "4"},
        {true, 3, -1, 3, 0, "4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.silver);
        LevelWorld w(qvtest::HostDevice::None, nomovesMedia());
        w.profile().mSilver = c.silver;
        NomovesLevelWindow window;
        window.setLimitKind(c.time);
        window.setGoals(1, 0, 3, 0, 100);
        EXPECT_EQ(textOf(window.mScene, "#price"), c.price);
        EXPECT_EQ(textOf(window.mScene, "#title"), c.time ? "Out of time!" : "Out of moves!");
        window.updateGoalChecks(1, 0);
        w.frames(20);
        ASSERT_EQ(window.mState, DialogWindow::Shown);
        window.onContinueClicked();
        w.frames(20);
        EXPECT_EQ(w.profile().mSilver, c.silverAfter);
        EXPECT_EQ(window.mGrantAmount, c.grant);
        if (c.result < 0) {
            EXPECT_EQ(window.mState, DialogWindow::Shown);
            window.onEndLevelClicked();
            w.frames(20);
            EXPECT_EQ(window.mResult, NomovesLevelWindow::EndLevel);
        } else {
            EXPECT_EQ(window.mResult, c.result);
        }
        EXPECT_EQ(window.mState, DialogWindow::Hidden);
    }
}

// Two goals, one of them done, on a move level.
TEST(NomovesLevelWindowScreenshot, TwoGoalsOneDone) {
    qvtest::keepDriverLoaded();
    LevelWorld w(qvtest::HostDevice::OpenGL, nomovesMedia());
    ASSERT_TRUE(w.world->graphics().ready()) << "no OpenGL window";
    {
        NomovesLevelWindow window;
        window.setLimitKind(false);
        window.setLevelNumber("Level 5");
        window.setGoals(1, 2, 7, 16, 500);
        window.updateGoalChecks(7, 12);
        w.frames(20);
        ASSERT_EQ(window.mState, DialogWindow::Shown);
        auto draw = [&] { w.world->ui().draw(); };
        w.world->graphics().frame(draw);  // uploads the pictures
        w.world->graphics().frame(draw);
        std::vector<uint8_t> bgra;
        uint32_t width = 0, height = 0;
        ASSERT_TRUE(w.world->graphics().readBack(&bgra, &width, &height));
        const std::string mismatch =
            qvtest::compareWithExpected("nomoves_level_window.png", qvtest::bgraToRgba(bgra), width, height, 24, 60);
        EXPECT_TRUE(mismatch.empty()) << mismatch;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/fail_level_window.h"
#include "dialogs/play_level_window.h"
#include "dialogs/win_level_window.h"
#include "game/dialogs/level_windows_world.h"
#include "player/player_profile.h"
#include "support/render_host.h"
#include "ui/ui_manager.h"

namespace {

using leveltest::LevelWorld;

// The window at rest, drawn in a real window and compared with its expected picture.
void expectWindowPicture(LevelWorld& w, const std::string& name) {
    auto draw = [&] { w.world->ui().draw(); };
    w.world->graphics().frame(draw);  // uploads the pictures
    w.world->graphics().frame(draw);
    std::vector<uint8_t> bgra;
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(w.world->graphics().readBack(&bgra, &width, &height));
    const std::string mismatch = qvtest::compareWithExpected(name, qvtest::bgraToRgba(bgra), width, height, 24, 60);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
}

// Two goals, two earned stars, two passive boosters (one bought) and the player's silver.
TEST(LevelWindowsScreenshot, StartWindowWithGoalsStarsAndBoosters) {
    qvtest::keepDriverLoaded();
    LevelWorld w(qvtest::HostDevice::OpenGL);
    ASSERT_TRUE(w.world->graphics().ready()) << "no OpenGL window";
    w.profile().mUnlockedPassiveBoosters = {0, 1};
    w.profile().mPassiveBoosters[1] = 1;
    w.profile().mSilver = 420;
    {
        PlayLevelWindow window;
        LevelPreview preview = leveltest::level("5", 1, 2);
        preview.goalCounts[1] = 6;
        preview.goalCounts[2] = 18;
        preview.bestScore = 3200;
        fillPassiveSlots(w.profile(), &preview);
        window.openForLevel(preview, true);
        w.frames(20);
        ASSERT_EQ(window.mState, DialogWindow::Shown);
        expectWindowPicture(w, "level_start_window.png");
    }
}

// Three stars, the score and the silver counted up.
TEST(LevelWindowsScreenshot, WinWindowAfterItsCount) {
    qvtest::keepDriverLoaded();
    LevelWorld w(qvtest::HostDevice::OpenGL);
    ASSERT_TRUE(w.world->graphics().ready()) << "no OpenGL window";
    {
        WinLevelWindow window;
        window.open(leveltest::level("5", 4, 0), 5230, 52);
        w.frames(50);
        ASSERT_EQ(window.mCountState, WinLevelWindow::Counted);
        expectWindowPicture(w, "level_win_window.png");
    }
}

TEST(LevelWindowsScreenshot, FailWindowWithTheScore) {
    qvtest::keepDriverLoaded();
    LevelWorld w(qvtest::HostDevice::OpenGL);
    ASSERT_TRUE(w.world->graphics().ready()) << "no OpenGL window";
    {
        FailLevelWindow window;
        window.open(leveltest::level("5", 4, 0), 870);
        w.frames(10);
        ASSERT_EQ(window.mState, DialogWindow::Shown);
        expectWindowPicture(w, "level_fail_window.png");
    }
}

}  // namespace

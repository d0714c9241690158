#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "dialogs/fail_level_window.h"
#include "dialogs/info_passive_bonus_window.h"
#include "dialogs/level_preview.h"
#include "dialogs/play_level_window.h"
#include "dialogs/win_level_window.h"
#include "flow/episode.h"
#include "game/dialogs/level_windows_world.h"
#include "game/player/save_test_util.h"
#include "player/player_profile.h"

namespace {

using leveltest::LevelWorld;
using leveltest::level;
using leveltest::textOf;

int alphaOf(AE::ISceneNode* scene, const char* name) {
    AE::ISceneNode* node = scene->findNode(name);
    return node ? int(node->getWorldColor().a) : -1;
}

bool enabled(AE::ISceneNode* scene, const char* name) {
    AE::ISceneNode* node = scene->findNode(name);
    return node && node->mEnabled;
}

// Frames until the window has finished appearing (at most 2 s).
void untilShown(LevelWorld& w, DialogWindow& window) {
    for (int i = 0; i < 20 && window.mState != DialogWindow::Shown; ++i) w.frames(1);
    ASSERT_EQ(window.mState, DialogWindow::Shown);
}

TEST(PlayLevelWindow, GoalPanelsFollowTheKindOrderAndScoreOnlyLevelsShowTheTarget) {
    LevelWorld w;
    PlayLevelWindow window;
    struct Case {
        int kinds[2];
        std::vector<std::string> panels;  // texts of "#target1", "#target2"
        float firstPanelX;                // "goals1" centres the card, "goals2" moves it left
    };
    const Case cases[] = {
        {{2, 1}, {"Break 4 walls", "Clear 9 tiles"}, -200},
        {{6, 3}, {"Bring down 3 acorns", "Raise 2 chips"}, -200},
        {{5, 0}, {"Break 1 strong walls"}, -95},
    };
    for (const Case& c : cases) {
        LevelPreview preview = level("7", c.kinds[0], c.kinds[1]);
        preview.goalCounts[1] = 4;
        preview.goalCounts[2] = 9;
        preview.goalCounts[3] = 3;
        preview.goalCounts[5] = 1;
        preview.goalCounts[6] = 2;
        window.openForLevel(preview, false);
        untilShown(w, window);
        SCOPED_TRACE(c.panels[0]);
        EXPECT_EQ(textOf(window.mScene, "#levelNum"), "Level 7");
        EXPECT_FALSE(enabled(window.mScene, "#score_target_text"));
        const char* names[] = {"#target1", "#target2"};
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(window.mGoalPanels[i]->mEnabled, i < c.panels.size()) << names[i];
            if (i < c.panels.size()) EXPECT_EQ(textOf(window.mGoalPanels[i], "#text"), c.panels[i]);
        }
        EXPECT_FLOAT_EQ(window.mGoalPanels[0]->getPosition().x, c.firstPanelX);
        window.onCloseClicked();
        w.frames(5);
        ASSERT_EQ(window.mState, DialogWindow::Hidden);
    }
    // A level won on score alone: no goal card, the first threshold to reach.
    window.openForLevel(level("8", 4, 0), false);
    untilShown(w, window);
    EXPECT_FALSE(window.mGoalPanels[0]->mEnabled);
    EXPECT_FALSE(window.mGoalPanels[1]->mEnabled);
    EXPECT_TRUE(enabled(window.mScene, "#score_target_text"));
    EXPECT_EQ(textOf(window.mScene, "#score_target_text"), "Score 1500 points");
}

TEST(PlayLevelWindow, EarnedStarsPopOneAfterAnotherOnceTheWindowIsUp) {
    LevelWorld w;
    PlayLevelWindow window;
    const struct {
        int best;
        int stars;
    } cases[] = {{0, 0}, {1499, 0}, {1500, 1}, {3000, 2}, {9000, 3}};
    for (const auto& c : cases) {
        LevelPreview preview = level("1", 4, 0);
        preview.bestScore = c.best;
        window.openForLevel(preview, false);
        EXPECT_EQ(window.mStars, c.stars) << c.best;
        window.hide();
        w.frames(1);
    }
    for (int i = 0; i < 10 && window.mState != DialogWindow::Hidden; ++i) w.frames(1);

    LevelPreview preview = level("1", 4, 0);
    preview.bestScore = 3000;
    window.openForLevel(preview, false);
    // While the window grows no star shows.
    w.frames(1);
    EXPECT_EQ(alphaOf(window.mScene, "star1"), 0);
    untilShown(w, window);
    w.frames(2, 0.1f);
    EXPECT_GT(alphaOf(window.mScene, "star1"), 0);
    EXPECT_EQ(alphaOf(window.mScene, "star2"), 0) << "the second star waits for the first";
    w.frames(10);
    EXPECT_EQ(alphaOf(window.mScene, "star1"), 255);
    EXPECT_EQ(alphaOf(window.mScene, "star2"), 255);
    EXPECT_EQ(alphaOf(window.mScene, "star3"), 0);
}

TEST(PlayLevelWindow, PlayClosesWithPlayTheCloseButtonWithZeroAndNeitherActsWhileShowing) {
    LevelWorld w;
    PlayLevelWindow window;
    window.openForLevel(level("1", 4, 0), false);
    w.frames(1);
    ASSERT_EQ(window.mState, DialogWindow::Showing);
    window.onPlayClicked();
    EXPECT_EQ(window.mState, DialogWindow::Showing);
    EXPECT_EQ(window.mResult, PlayLevelWindow::Closed);
    untilShown(w, window);
    w.clickWidget(window, "btnPlay", 176, 64);
    for (int i = 0; i < 10 && window.mState != DialogWindow::Hidden; ++i) w.frames(1);
    EXPECT_EQ(window.mState, DialogWindow::Hidden);
    EXPECT_EQ(window.mResult, PlayLevelWindow::Play);

    // Reopened: the result starts at 0 again and the close button keeps it.
    window.openForLevel(level("1", 4, 0), false);
    EXPECT_EQ(window.mResult, PlayLevelWindow::Closed);
    untilShown(w, window);
    w.clickWidget(window, "btnClose", 48, 48);
    for (int i = 0; i < 10 && window.mState != DialogWindow::Hidden; ++i) w.frames(1);
    EXPECT_EQ(window.mState, DialogWindow::Hidden);
    EXPECT_EQ(window.mResult, PlayLevelWindow::Closed);
}

TEST(PlayLevelWindow, PassiveSlotsShowTheUnlockedBoostersAndABoughtOneSellsBack) {
    LevelWorld w;
    w.profile().mUnlockedPassiveBoosters = {2, 0};
    w.profile().mSilver = 100;
    w.profile().mPassiveBoosters[2] = 1;
    w.profile().mPassivePurchases[2].purchases = 1;
    PlayLevelWindow window;
    LevelPreview preview = level("3", 4, 0);
    fillPassiveSlots(w.profile(), &preview);
    window.openForLevel(preview, true);
    untilShown(w, window);
    EXPECT_EQ(window.mSlotCount, 2);
    EXPECT_EQ(window.mSlotKinds[0], 2);
    EXPECT_EQ(window.mSlotKinds[1], 0);
    EXPECT_TRUE(window.mSlotNodes[0]->mEnabled);
    EXPECT_TRUE(window.mSlotNodes[1]->mEnabled);
    EXPECT_FALSE(window.mSlotNodes[2]->mEnabled);
    // Two slots stand in the middle, each button over its slot.
    EXPECT_FLOAT_EQ(window.mSlotNodes[0]->getPosition().x, -65);
    EXPECT_FLOAT_EQ(window.mSlotNodes[1]->getPosition().x, 65);
    EXPECT_FLOAT_EQ(window.mRoot->findChild("btnBonusBuy1")->getPosition().x, 260 - 65 - 44);
    EXPECT_FLOAT_EQ(window.mRoot->findChild("btnBonusBuy2")->getPosition().x, 260 + 65 - 44);
    // The bought booster shows its tick, the other not.
    EXPECT_EQ(int(window.mSlotNodes[0]->findNode("check")->getWorldColor().a), 255);
    EXPECT_EQ(int(window.mSlotNodes[1]->findNode("check")->getWorldColor().a), 0);
    // The currency panel follows the player's silver.
    EXPECT_EQ(textOf(window.mScene, "#silver"), "100");

    // A click on the bought one gives it back for its price, saved at once.
    w.clickWidget(window, "btnBonusBuy1", 88, 88);
    EXPECT_EQ(w.profile().mPassiveBoosters[2], 0);
    EXPECT_EQ(w.profile().mPassivePurchases[2].purchases, 0u);
    EXPECT_EQ(w.profile().mSilver, 175);
    PlayerProfile saved;
    ASSERT_TRUE(savetest::storedProfile(w.dir.path(), saved));
    EXPECT_EQ(saved.mSilver, 175);
    w.frames(3);
    EXPECT_EQ(textOf(window.mScene, "#silver"), "175");
    EXPECT_EQ(int(window.mSlotNodes[0]->findNode("check")->getWorldColor().a), 0);
    EXPECT_EQ(window.mInfoWindow->mState, DialogWindow::Hidden);

    // The next click offers it for sale in the booster window.
    w.clickWidget(window, "btnBonusBuy1", 88, 88);
    EXPECT_NE(window.mInfoWindow->mState, DialogWindow::Hidden);
    EXPECT_EQ(window.mInfoWindow->mKind, 2);
    EXPECT_EQ(window.mSelectedSlot, 0);
    // The offer stands over the slot it belongs to.
    const QV::Vector2<float> icon = window.mSlotNodes[0]->findNode("regular")->getWorldPosition();
    const QV::Vector2<float> offer = window.mInfoWindow->mRoot->getPosition();
    const QV::Vector2<float> size = window.mInfoWindow->mRoot->getContentSize();
    EXPECT_LE(offer.y + size.y, icon.y);
    EXPECT_LT(offer.x, icon.x);
    EXPECT_GT(offer.x + size.x, icon.x + 72);
    // A slot without a booster does nothing.
    window.onSlotClicked(2);
    EXPECT_EQ(window.mSelectedSlot, 0);
}

TEST(PlayLevelWindow, NoUnlockedBoostersLeaveEverySlotOff) {
    LevelWorld w;
    PlayLevelWindow window;
    LevelPreview preview = level("1", 4, 0);
    fillPassiveSlots(w.profile(), &preview);
    window.openForLevel(preview, false);
    untilShown(w, window);
    EXPECT_EQ(window.mSlotCount, 0);
    for (AE::ISceneNode* slot : window.mSlotNodes) EXPECT_FALSE(slot->mEnabled);
    EXPECT_EQ(alphaOf(window.mScene, "#bonus_title"), 0);
    // Without the currency panel its silver stays out of sight.
    EXPECT_EQ(alphaOf(window.mScene, "valuta_panel"), 0);
}

TEST(WinLevelWindow, StarsFromTheScoreOrTheBestScore) {
    LevelWorld w;
    WinLevelWindow window;
    const struct {
        int score, best, stars;
    } cases[] = {{1000, 0, 2}, {500, 0, 1}, {499, 0, 0}, {2000, 0, 3}, {-1, 1200, 2}, {-1, 0, 0}};
    for (const auto& c : cases) {
        LevelPreview preview = level("2", 4, 0);
        preview.starThresholds[0] = 500;
        preview.starThresholds[1] = 1000;
        preview.starThresholds[2] = 2000;
        preview.bestScore = c.best;
        window.open(preview, c.score, 0);
        EXPECT_EQ(window.mStars, c.stars) << c.score << " best " << c.best;
    }
}

// The window shown with three stars: the score and the silver count up once the stars have played.
struct WinCount {
    explicit WinCount(LevelWorld& w, int score, int money) : world(w) {
        LevelPreview preview = level("4", 4, 0);
        window.open(preview, score, money);
        untilShown(w, window);
    }
    std::string score() { return textOf(window.mScene, "#score"); }
    std::string money() { return textOf(window.mScene, "#money"); }
    LevelWorld& world;
    WinLevelWindow window;
};

TEST(WinLevelWindow, ScoreAndSilverCountUpAfterTheStarsInStepsOfAtLeastTen) {
    LevelWorld w;
    WinCount c(w, 6000, 25);
    EXPECT_EQ(c.window.mEffectCount, 2);
    EXPECT_EQ(c.window.mStars, 3);
    EXPECT_EQ(c.score(), "0");
    // The stars take a second; the count waits for them.
    w.frames(5);
    EXPECT_EQ(c.window.mCountState, WinLevelWindow::NotCounted);
    EXPECT_EQ(c.score(), "0");
    for (int i = 0; i < 10 && c.window.mCountState == WinLevelWindow::NotCounted; ++i) w.frames(1);
    ASSERT_EQ(c.window.mCountState, WinLevelWindow::Counting);
    EXPECT_EQ(alphaOf(c.window.mScene, "star3"), 255);

    std::vector<std::string> scores, moneys;
    for (int i = 0; i < 30 && c.window.mCountState == WinLevelWindow::Counting; ++i) {
        w.frames(1, 0.1f);
        scores.push_back(c.score());
        moneys.push_back(c.money());
    }
    ASSERT_EQ(c.window.mCountState, WinLevelWindow::Counted);
    ASSERT_GE(scores.size(), 19u);
    EXPECT_EQ(scores.back(), "6000");
    EXPECT_EQ(moneys.back(), "25");
    // Every value on the way, never falling; silver in steps of ten or more but the last.
    int lastScore = 0, lastMoney = 0, scoreSteps = 0;
    for (size_t i = 0; i < scores.size(); ++i) {
        const int s = std::stoi(scores[i]), m = std::stoi(moneys[i]);
        EXPECT_GE(s, lastScore);
        EXPECT_GE(m, lastMoney);
        if (m != lastMoney && i + 1 < scores.size()) EXPECT_GE(m - lastMoney, 10);
        scoreSteps += s != lastScore;
        lastScore = s;
        lastMoney = m;
    }
    EXPECT_GT(scoreSteps, 10) << "the score counts, it does not jump";
    // The glints by the coin take turns.
    EXPECT_EQ(c.window.mEffectIndex, 3 % 2);
    // Counted once: later frames change nothing.
    w.frames(30);
    EXPECT_EQ(c.score(), "6000");
    EXPECT_EQ(c.window.mCountState, WinLevelWindow::Counted);
}

TEST(WinLevelWindow, ASmallRewardShowsOnlyAtTheEnd) {
    LevelWorld w;
    WinCount c(w, 100, 5);
    for (int i = 0; i < 40 && c.window.mCountState != WinLevelWindow::Counted; ++i) {
        w.frames(1);
        if (c.window.mCountState != WinLevelWindow::Counted) EXPECT_EQ(c.money(), "0");
    }
    EXPECT_EQ(c.money(), "5");
    EXPECT_EQ(c.window.mEffectIndex, 1);
}

TEST(WinLevelWindow, ClosedBeforeTheStarsEndItShowsTheFinalValuesAtOnceWithItsResult) {
    LevelWorld w;
    WinCount c(w, 4321, 40);
    w.clickWidget(c.window, "btnNext", 176, 64);
    EXPECT_EQ(c.window.mResult, WinLevelWindow::Next);
    EXPECT_NE(c.window.mState, DialogWindow::Shown);
    w.frames(1);
    EXPECT_EQ(c.score(), "4321");
    EXPECT_EQ(c.money(), "40");
    for (int i = 0; i < 10 && c.window.mState != DialogWindow::Hidden; ++i) w.frames(1);
    EXPECT_EQ(c.window.mState, DialogWindow::Hidden);

    // Opened again: counting starts from zero, and the close button gives 0.
    c.window.open(level("5", 4, 0), 700, 10);
    EXPECT_EQ(c.score(), "0");
    EXPECT_EQ(c.money(), "0");
    untilShown(w, c.window);
    w.clickWidget(c.window, "btnClose", 48, 48);
    EXPECT_EQ(c.window.mResult, WinLevelWindow::Closed);
}

TEST(FailLevelWindow, ShowsTheScoreAndTheLevelAndItsButtonsActOnlyWhenShown) {
    LevelWorld w;
    FailLevelWindow window;
    window.open(level("12", 4, 0), 1234);
    EXPECT_EQ(textOf(window.mScene, "#score"), "Score: 1234");
    EXPECT_EQ(textOf(window.mScene, "#levelNum"), "Level 12");
    w.frames(1);
    ASSERT_EQ(window.mState, DialogWindow::Showing);
    window.onReplayClicked();
    window.onCloseClicked();
    EXPECT_EQ(window.mState, DialogWindow::Showing);
    untilShown(w, window);
    EXPECT_EQ(alphaOf(window.mScene, "star1"), 0);
    w.clickWidget(window, "btnReplay", 176, 64);
    EXPECT_EQ(window.mResult, FailLevelWindow::Replay);
    for (int i = 0; i < 10 && window.mState != DialogWindow::Hidden; ++i) w.frames(1);

    window.open(level("12", 4, 0), 0);
    untilShown(w, window);
    w.clickWidget(window, "btnClose", 48, 48);
    EXPECT_EQ(window.mResult, FailLevelWindow::Closed);
}

TEST(LevelPreview, CountsTheGoalsOfTheLevelScript) {
    const std::string script =
        "GameField = { TargetChips = 2, LevelLimitType = 1, LevelGoals = { 5, 2, 3 },\n"
        "  Chips = { { Type = 'Wall_1' }, { Type = 'StrongWall_2' }, { Type = 'Falling' }, { Type = 'ChipUp' },\n"
        "            { Type = 'ChipUpX' }, { Type = 'WallFalling' }, { Type = 'Simple_R' }, { Col = 2 } },\n"
        "  Grid = { Cells = { { Solidity = 2 }, { Solidity = 1 }, { Solidity = 3 }, { } } },\n"
        "  stars = { 10, 20, 30 } }\n";
    LevelWorld w(qvtest::HostDevice::None,
                 {qvtest::mediaFile("levels/goals_test.lua", script), qvtest::mediaFile("levels/no_field.lua", "x = 1\n")});
    EpisodeLevel record;
    record.mTitle = "LEVEL_MEADOW_1";
    record.mTitleIsTextId = true;
    record.mBestScore = 25;
    readStarThresholds("goals_test_lua", record.mStarThresholds);
    LevelPreview preview;
    ASSERT_TRUE(readLevelPreview(record, "goals_test_lua", &preview));
    EXPECT_EQ(preview.goalKinds[0], 5);
    EXPECT_EQ(preview.goalKinds[1], 2);
    bool warned = false;
    for (const std::string& line : w.world->log().lines) warned |= line.find("only the first two are shown") != std::string::npos;
    EXPECT_TRUE(warned);
    EXPECT_TRUE(preview.timeLimited);
    // Walls, tiles, falling (TargetChips plus one), strong walls, chip up (exact name only).
    const int expected[7] = {0, 2, 2, 3, 0, 1, 1};
    for (int kind = 0; kind < 7; ++kind) EXPECT_EQ(preview.goalCounts[kind], expected[kind]) << kind;
    EXPECT_EQ(preview.starThresholds[2], 30);
    EXPECT_EQ(starsForScore(preview.starThresholds, preview.bestScore), 2);
    EXPECT_EQ(QV::toNarrow(levelNumberText(preview)), "Level The Meadow");
    EXPECT_EQ(goalPanelKinds(preview), (std::vector<int32_t>{2, 5}));
    // A script without its field table gives nothing to show.
    EXPECT_FALSE(readLevelPreview(record, "no_field_lua", &preview));
}

}  // namespace

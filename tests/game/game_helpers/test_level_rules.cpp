// The level's rules through the simulator's "mode main": the real main mode,
// level state, goals and limits on small levels, with a profile of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "game/player/save_test_util.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "game/game_helpers/sim_run.h"

namespace {

using simrun::lines;
using simrun::runSim;
using simrun::SimRun;

const std::string kHead = std::string("content ") + QV_SOURCE_DIR + "/tests/game/game_helpers/content\nmode main\ncounter 5\n";
// Swapping (2,5) and (3,5) makes a run of three red chips on the bottom row's left.
const std::string kMove = "click 2 5\nclick 3 5\nsettle\n";

// One run in a data folder of its own (kept across runs of the same folder).
TEST(LevelRules, GoalSetupOfEachKindAndPair) {
    struct Case {
        const char* level;
        const char* goals;
    } cases[] = {
        {"h_score", "goals score"},
        {"h_walls", "goals chips:0/1"},
        {"h_tiles", "goals tiles:0/2"},
        {"h_pair", "goals chips:0/1 tiles:0/1"},
        {"h_falling", "goals falling:0/3"},
        {"h_string", "goals score"},           // a 4 first makes a score level
        {"h_unknown", "goals chips:0/1"},      // the unknown kind counts as none
        {"h_strong", "goals strongwalls:0/1 falling:0/1"},
    };
    for (const Case& c : cases) {
        SimRun run = runSim(kHead + "load " + c.level + "\nhelpers goals limit\n");
        ASSERT_GE(run.out.size(), 2u) << c.level << run.err;
        EXPECT_EQ(run.out[0], "loaded 5x5") << c.level;
        EXPECT_EQ(run.out[1], c.goals) << c.level;
    }
    SimRun unknown = runSim(kHead + "load h_unknown\n");
    EXPECT_NE(unknown.err.find("WARNING: LevelGoals names the unknown goal kind 9"), std::string::npos);
}

TEST(LevelRules, LimitKeys) {
    struct Case {
        const char* level;
        const char* limit;
    } cases[] = {
        {"h_walls", "limit moves 1"},
        {"h_time", "limit time 30.0"},   // "LevelTime" with a type other than 0
        {"h_string", "limit moves 25"},  // a numeric string of "LevelTime", no type: moves
    };
    for (const Case& c : cases) {
        SimRun run = runSim(kHead + "load " + c.level + "\nready\nhelpers goals limit\n");
        ASSERT_GE(run.out.size(), 4u) << c.level << run.err;
        EXPECT_EQ(run.out[0], "loaded 5x5") << c.level;
        EXPECT_EQ(run.out[3], c.limit) << c.level;
    }
    // No limit: refused with one line naming the level, back on the map.
    SimRun none = runSim(kHead + "load h_nolimit\nhelpers goals limit\n");
    ASSERT_EQ(none.out.size(), 1u) << none.err;
    EXPECT_EQ(none.out[0], "error: the level 'h_nolimit' did not start");
    EXPECT_NE(none.err.find("ERROR: The level 'h_nolimit' has no move or time limit"), std::string::npos);
}

TEST(LevelRules, AWallIsCountedOnceAndTheLevelIsWonThenClosed) {
    qvtest::TempDir home;
    // The level end (no moves left to convert) and the score's count-up take a second or two.
    const std::string win = kHead + "load h_walls\nready\ndialogs\n" + kMove +
                            "run 3\nhelpers goals limit\nresult\nwindows\nclose WinLevelWindow 0\nrun 0.1\nwindows\nquit\n";
    SimRun run = runSim(home, win);
    ASSERT_EQ(run.out.size(), 11u) << run.err;
    EXPECT_EQ(run.out[2], "dialogs 0");
    EXPECT_EQ(run.out[3].rfind("settled", 0), 0u);
    EXPECT_EQ(run.out[4], "goals chips:1/1");  // the wall, reported once
    EXPECT_EQ(run.out[5], "limit moves 0");
    EXPECT_EQ(run.out[6], "won 90 3");  // 3 x 20 + the wall's 30; thresholds 10/20/30
    EXPECT_EQ(run.out[7], "visible WinLevelWindow");
    EXPECT_EQ(run.out[8], "pending none");
    EXPECT_EQ(run.out[9], "visible none");  // closed, staying in the level
    EXPECT_NE(run.err.find("Level won: h_walls score 90 stars 3"), std::string::npos);
    // The best score was saved: the same score again gains no star.
    SimRun again = runSim(home, win);
    ASSERT_EQ(again.out.size(), 11u) << again.err;
    EXPECT_EQ(again.out[6], "won 90 0");
}

// What `save_dump` prints for the simulator's profile.
std::string dumpOf(qvtest::TempDir& home) {
    qvtest::ChildProcess dump(std::string(QV_BINARY_DIR) + "/save_dump",
                              {"--episodes", std::string(QV_SOURCE_DIR) + "/tests/game/game_helpers/content/main_mode.lua",
                               home.file("Varnel/Glimvale/profile_0.dat")},
                              home.path());
    EXPECT_TRUE(dump.wait());
    return dump.stdoutText();
}

// The level's win scores 90 against thresholds 10/20/30: the stars gained are
// those past the old best's, and the best only rises.
TEST(LevelRules, RewardsTable) {
    struct Case {
        int oldBest;
        const char* result;
        int bestAfter;
    } cases[] = {
        {0, "won 90 3", 90}, {15, "won 90 2", 90}, {25, "won 90 1", 90}, {30, "won 90 0", 90}, {95, "won 90 0", 95},
    };
    for (const Case& c : cases) {
        qvtest::TempDir home;
        MainModeProgress progress;
        progress.hasProgress = true;
        progress.episodes.resize(1);
        progress.episodes[0].parts.resize(1);
        progress.episodes[0].parts[0].levels.resize(13);
        progress.episodes[0].parts[0].levels[1] = {c.oldBest > 0, c.oldBest};  // h_walls
        const std::string folder = home.file("Varnel/Glimvale/");
        std::filesystem::create_directories(folder);
        ASSERT_EQ(savetest::writeProfileFile(folder + "profile_0.dat", PlayerProfile(), progress), 0);
        SimRun run = runSim(home, kHead + "load h_walls\nready\n" + kMove + "run 3\nresult\n");
        ASSERT_EQ(run.out.size(), 4u) << c.oldBest << run.err;
        EXPECT_EQ(run.out[3], c.result) << c.oldBest;
        const std::string dump = dumpOf(home);
        const std::string best = "MainMode.episode.0.part.0.level.1.best_score = " + std::to_string(c.bestAfter);
        EXPECT_NE(dump.find(best), std::string::npos) << c.oldBest << "\n" << dump;
        EXPECT_NE(dump.find("MainMode.episode.0.part.0.level.1.completed = 1"), std::string::npos) << c.oldBest;
    }
}

TEST(LevelRules, ATileCountsWhenItsLastExtraLayerGoes) {
    // The run crosses a tile of two layers (counted) and one of three (one layer left to go).
    SimRun run = runSim(kHead + "load h_tiles\nready\n" + kMove + "helpers goals limit\nprint\n");
    ASSERT_GE(run.out.size(), 11u) << run.err;
    EXPECT_EQ(run.out[3], "goals tiles:1/2");
    EXPECT_NE(run.out[10].find("/2"), std::string::npos) << run.out[10];
}

TEST(LevelRules, FallingTargetsComeOneAtATime) {
    // One target is queued at the start; the first refill brings it in.
    SimRun run = runSim(kHead + "load h_falling\nready\nhelpers goals limit\n" + kMove + "helpers goals limit\nprint\n");
    ASSERT_EQ(run.out.size(), 13u) << run.err;
    EXPECT_EQ(run.out[2], "goals falling:0/3");
    EXPECT_EQ(run.out[5], "goals falling:0/3");
    int onBoard = 0;
    for (size_t i = 7; i < run.out.size(); ++i)
        for (size_t at = run.out[i].find("FallingLevelGoal"); at != std::string::npos;
             at = run.out[i].find("FallingLevelGoal", at + 1))
            ++onBoard;
    EXPECT_EQ(onBoard, 1);
}

TEST(LevelRules, ALandedFallingTargetIsCountedAndTheNextOneComes) {
    // The target stands one cell over the floor; the run under it drops it there.
    SimRun run = runSim(kHead + "load h_landing\nready\n" + kMove + "helpers goals limit\nprint\n");
    ASSERT_EQ(run.out.size(), 11u) << run.err;
    EXPECT_EQ(run.out[3], "goals falling:1/3");
    int onBoard = 0;
    for (size_t i = 5; i < run.out.size(); ++i)
        if (run.out[i].find("FallingLevelGoal") != std::string::npos) ++onBoard;
    EXPECT_EQ(onBoard, 1);  // the next one, brought in by the refill
    EXPECT_EQ(run.out.back().find("FallingLevelGoal"), std::string::npos);  // none left on the floor
}

TEST(LevelRules, AMoveLevelFailsAtNoMovesAndReplaysFromTheFailWindow) {
    SimRun run = runSim(kHead + "load h_fail\nready\nhelpers goals limit\n" + kMove +
                        "result\nhelpers goals limit\nwindows\ndialogs\nclose FailLevelWindow 0\nrun 0.1\nwindows\n"
                        "close PlayLevelWindow 1\nrun 0.1\nresult\nready\nhelpers goals limit\n");
    ASSERT_EQ(run.out.size(), 17u) << run.err;
    EXPECT_EQ(run.out[3], "limit moves 1");
    EXPECT_EQ(run.out[5], "failed 60");
    EXPECT_EQ(run.out[7], "limit moves 0");
    EXPECT_EQ(run.out[8], "visible FailLevelWindow");
    EXPECT_EQ(run.out[10], "dialogs 2");                // the spent limit and the fail effect
    EXPECT_EQ(run.out[11], "visible PlayLevelWindow");  // replay (0) opens the level window
    EXPECT_EQ(run.out[13], "running");                  // its Play starts the level again
    EXPECT_EQ(run.out[16], "limit moves 1");
    EXPECT_NE(run.err.find("Level failed: h_fail score 60"), std::string::npos);
}

TEST(LevelRules, TheTimerRunsFromTheFirstMove) {
    SimRun run = runSim(kHead + "load h_time\nready\nrun 2\nhelpers goals limit\n" + "click 2 5\nclick 3 5\nrun 2\nhelpers goals limit\n");
    ASSERT_EQ(run.out.size(), 6u) << run.err;
    EXPECT_EQ(run.out[3], "limit time 30.0");
    // 2 s less the frames in which the swap and the match kept the board's tasks busy.
    EXPECT_EQ(run.out[5].rfind("limit time 28.", 0), 0u) << run.out[5];
}

// A move list that wins meadow_10 (ice, two chain bombs and a generator) on
// counter 7 with moves to spare.
const char kMeadow10Moves[] = "1 3 2 3 3 5 3 6 1 6 1 7 4 7 5 7 5 8 5 9 5 9 6 9 0 8 1 8 3 6 3 7 4 3 4 4 3 3 3 4 4 7 4 8 1 9 2 9 1 1 2 1 1 7 2 7 1 7 1 8 5 2 6 2";
// Fifty real moves on meadow_10 on counter 7 that score too little to end it:
// each is a match, so each freezes.
const char kMeadow10FiftyMoves[] = "5 1 6 1 0 1 0 2 2 2 2 3 2 5 2 6 1 1 1 2 1 1 2 1 4 8 5 8 6 6 6 7 3 2 4 2 5 9 6 9 6 1 7 1 4 2 5 2 2 7 3 7 6 2 6 3 7 2 8 2 6 2 6 3 6 3 7 3 7 7 7 8 4 6 5 6 7 1 7 2 6 1 6 2 7 1 7 2 7 8 8 8 7 2 8 2 6 2 6 3 6 3 6 4 7 1 7 2 4 1 5 1 4 3 5 3 5 1 6 1 6 2 6 3 5 1 5 2 6 1 7 1 5 1 5 2 5 1 6 1 4 4 5 4 4 3 5 3 4 2 5 2 4 2 4 3 3 2 4 2 2 3 2 4 2 3 2 4 3 1 3 2 1 3 2 3 1 1 1 2 2 1 2 2 1 2 2 2 3 4 3 5 2 2 3 2 4 3 4 4";

// Our episode's levels open with their goals and limit, and nothing moves or
// scores before the player's first swap.
TEST(LevelRules, EveryEpisodeLevelOpensQuietly) {
    struct Case {
        const char* level;
        const char* goals;
        const char* limit;
    } cases[] = {
        {"meadow_2", "goals chips:0/7", "limit moves 22"},
        {"meadow_3", "goals tiles:0/16", "limit time 90.0"},
        {"meadow_4", "goals falling:0/3", "limit moves 22"},
        {"meadow_5", "goals chips:0/6", "limit moves 26"},
        {"meadow_6", "goals score", "limit time 75.0"},
        {"meadow_7", "goals score", "limit moves 18"},
        {"meadow_8", "goals chipup:0/4", "limit moves 20"},
        {"meadow_9", "goals score", "limit moves 18"},
        {"meadow_10", "goals score", "limit moves 60"},
    };
    const std::string head = std::string("content ") + QV_SOURCE_DIR + "/media\nmode main\ncounter 7\n";
    for (const Case& c : cases) {
        SimRun run = runSim(head + "load " + c.level + "\nready\nhelpers goals limit\nevents\nresult\n");
        ASSERT_GE(run.out.size(), 5u) << c.level << run.err;
        EXPECT_EQ(run.out[0], "loaded 9x9") << c.level;
        EXPECT_EQ(run.out[2], c.goals) << c.level;
        // The limit's line follows the rules that have something on the level.
        EXPECT_NE(std::find(run.out.begin() + 2, run.out.end(), c.limit), run.out.end()) << c.level;
        EXPECT_EQ(run.out.back(), "running") << c.level;
        for (const std::string& line : run.out) {
            EXPECT_EQ(line.find("onScored"), std::string::npos) << c.level << ": " << line;
            EXPECT_EQ(line.find("onChipDestroyed"), std::string::npos) << c.level << ": " << line;
        }
        EXPECT_EQ(run.err.find("ERROR"), std::string::npos) << c.level << run.err;
    }
}

// A move list that wins each of our episode's levels on counter 7, with a star:
// each entry is "column row column row", one swap. A score level is won when its
// time runs out, so its run waits that out.
TEST(LevelRules, EveryEpisodeLevelCanBeWon) {
    struct Case {
        const char* level;
        const char* swaps;
        const char* after;
    } cases[] = {
        {"meadow_2", "6 6 6 7 2 4 2 5 8 1 8 2 0 1 0 2 2 2 3 2 2 1 3 1 1 3 2 3 2 3 2 4 1 1 1 2 2 2 2 3 0 1 0 2 1 2 2 2 2 3 2 4", ""},
        {"meadow_3", "2 6 2 7 3 7 4 7 6 6 7 6 2 2 2 3 6 3 6 4 4 8 4 9 5 6 5 7", ""},
        {"meadow_4", "3 7 4 7 4 7 5 7 3 6 4 6 5 5 6 5 3 8 4 8 1 3 2 3 6 4 6 5 4 1 4 2 3 4 4 4 5 8 5 9", ""},
        {"meadow_5", "2 7 3 7 3 3 3 4 4 6 4 7 4 7 5 7 5 3 5 4", ""},
        {"meadow_6", "3 6 3 7 2 7 3 7 5 4 5 5 6 5 6 6 2 5 3 5 3 5 3 6", "run 80\n"},
        {"meadow_7", "4 7 5 7 6 8 6 9 4 8 5 8 4 7 5 7 6 4 6 5 3 5 4 5 6 2 6 3", ""},
        {"meadow_8", "7 6 8 6 4 8 5 8 5 7 5 8 5 8 6 8 7 7 8 7", ""},
        {"meadow_9", "2 6 2 7 2 6 2 7 2 8 2 9 0 7 1 7 5 5 5 6", ""},
        {"meadow_10", kMeadow10Moves, ""},
        {"glade_1", "2 8 2 9 4 8 4 9 8 8 8 9", ""},
        {"glade_2", "2 8 2 9 4 8 4 9 8 8 8 9", ""},
    };
    const std::string head = std::string("content ") + QV_SOURCE_DIR + "/media\nmode main\ncounter 7\n";
    for (const Case& c : cases) {
        // Every part open (the first episode won), as when the player reaches the level.
        qvtest::TempDir home;
        MainModeProgress progress;
        progress.hasProgress = true;
        progress.episodes.resize(2);
        progress.episodes[0].parts = {{false, std::vector<MainModeLevelProgress>(3, {true, 1})},
                                      {false, std::vector<MainModeLevelProgress>(7, {true, 1})}};
        progress.episodes[1].parts = {{false, {{false, 0}, {false, 0}}}};
        std::filesystem::create_directories(home.file("Varnel/Glimvale/"));
        ASSERT_EQ(savetest::writeProfileFile(home.file("Varnel/Glimvale/profile_0.dat"), PlayerProfile(), progress), 0);
        std::string script = head + "load " + c.level + "\nready\n";
        std::istringstream swaps(c.swaps);
        for (int c1, r1, c2, r2; swaps >> c1 >> r1 >> c2 >> r2;)
            script += "click " + std::to_string(c1) + " " + std::to_string(r1) + "\nclick " + std::to_string(c2) + " " +
                      std::to_string(r2) + "\nsettle\n";
        // The level end turns the moves left into bonus chips and sets them off
        // first: with twenty moves left that takes most of a minute.
        SimRun run = runSim(home, script + c.after + "run 90\nresult\n");
        ASSERT_FALSE(run.out.empty()) << c.level << run.err;
        std::istringstream result(run.out.back());
        std::string word;
        int score = 0, stars = 0;
        result >> word >> score >> stars;
        EXPECT_EQ(word, "won") << c.level << ": " << run.out.back();
        EXPECT_GE(stars, 1) << c.level << ": " << run.out.back();
    }
}

// The mixed level holds together over fifty moves: after each settle no
// chain is in flight (no dialog open) and every cell holds a chip, while
// the ice, the bombs and the generator all work.
TEST(LevelRules, TheMixedLevelPlaysFiftyMovesWithNothingLost) {
    std::string script = std::string("content ") + QV_SOURCE_DIR + "/media\nmode main\ncounter 7\nload meadow_10\nready\n";
    std::istringstream swaps(kMeadow10FiftyMoves);
    int moves = 0;
    for (int c1, r1, c2, r2; moves < 50 && swaps >> c1 >> r1 >> c2 >> r2; ++moves)
        script += "click " + std::to_string(c1) + " " + std::to_string(r1) + "\nclick " + std::to_string(c2) + " " +
                  std::to_string(r2) + "\nsettle\ndialogs\nprint\n";
    ASSERT_EQ(moves, 50);
    SimRun run = runSim(script + "helpers ice chainbombs generators chipup\nresult\n");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // loaded, ready, then per move: settled, dialogs, ten board rows; then the
    // rule objects' lines and the result.
    ASSERT_GE(run.out.size(), 2u + 50u * 12u + 1u) << run.err;
    for (int move = 0; move < 50; ++move) {
        const size_t at = 2 + size_t(move) * 12;
        EXPECT_EQ(run.out[at].rfind("settled", 0), 0u) << move + 1 << ": " << run.out[at];
        EXPECT_EQ(run.out[at + 1], "dialogs 0") << move + 1;
        for (size_t row = 1; row <= 9; ++row) {
            std::istringstream cells(run.out[at + 2 + row]);
            for (std::string token; cells >> token;) EXPECT_NE(token[0], '.') << move + 1 << " row " << row;
        }
    }
    const std::string helpers = std::accumulate(run.out.begin() + 2 + 50 * 12, run.out.end() - 1, std::string(),
                                                [](const std::string& a, const std::string& b) { return a + b + "\n"; });
    EXPECT_NE(helpers.find("freezes=50"), std::string::npos) << helpers;
    EXPECT_NE(helpers.find("chainbombs count="), std::string::npos) << helpers;
    EXPECT_EQ(helpers.find("thrown=0"), std::string::npos) << helpers;
    EXPECT_EQ(helpers.find("made=0"), std::string::npos) << helpers;
    EXPECT_NE(helpers.find("ice "), std::string::npos) << helpers;
    EXPECT_NE(helpers.find("generators count="), std::string::npos) << helpers;
    EXPECT_EQ(run.out.back(), "running");  // fifty moves that never reach the first star
}

// The board's own commands reach the level's board in mode main.
TEST(LevelRules, BoardCommandsWorkOnTheLevelsBoard) {
    SimRun run = runSim(kHead + "load h_walls\nready\nhint\ndraw 2\nclick 2 5\nselection\n");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(run.out.size(), 5u) << run.err;
    EXPECT_EQ(run.out[2].rfind("hint ", 0), 0u) << run.out[2];
    EXPECT_NE(run.out[2], "hint none");
    EXPECT_EQ(run.out[3].rfind("Simple_", 0), 0u) << run.out[3];
    EXPECT_EQ(run.out[4], "2 5");
}

TEST(LevelRules, TheTimerHoldsWhileTheInLevelMenuIsShown) {
    SimRun run = runSim(kHead + "load h_time\nready\nclick 2 5\nclick 3 5\nsettle\nrun 1\nhelpers goals limit\nmenu\nrun 3\n"
                                "windows\nhelpers goals limit\nclose IngameMenuWindow 1\nrun 1\nwindows\nhelpers goals limit\n");
    ASSERT_EQ(run.out.size(), 13u) << run.err;
    const std::string before = run.out[4];
    ASSERT_EQ(before.rfind("limit time 2", 0), 0u) << before;
    EXPECT_EQ(run.out[5], "visible IngameMenuWindow");
    EXPECT_EQ(run.out[8], before);  // three seconds under the menu cost nothing
    EXPECT_EQ(run.out[9], "visible none");  // closed, staying in the level
    EXPECT_LT(std::stod(run.out[12].substr(11)), std::stod(before.substr(11)) - 0.5) << run.out[12];
}

TEST(LevelRules, ExtraMovesStoredInTheProfileJoinTheNextMoveLimitOnce) {
    // The episode of the test content: one part of thirteen levels, nothing won.
    qvtest::TempDir home;
    MainModeProgress progress;
    progress.hasProgress = true;
    progress.extraMoves = 5;
    progress.episodes.resize(1);
    progress.episodes[0].parts.resize(1);
    progress.episodes[0].parts[0].levels.resize(13);
    const std::string folder = home.file("Varnel/Glimvale/");
    std::filesystem::create_directories(folder);
    ASSERT_EQ(savetest::writeProfileFile(folder + "profile_0.dat", PlayerProfile(), progress), 0);

    SimRun run = runSim(home, kHead + "load h_extra\nready\nhelpers goals limit\nload h_extra\nready\nhelpers goals limit\n");
    ASSERT_EQ(run.out.size(), 8u) << run.err;
    EXPECT_EQ(run.out[3], "limit moves 25");  // LevelLimit 20 and the 5 stored
    EXPECT_EQ(run.out[7], "limit moves 20");  // spent by the first level
}

}  // namespace

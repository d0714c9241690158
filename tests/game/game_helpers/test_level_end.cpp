// The level end through the simulator's "mode main": the moves or seconds
// left become bonus chips, which go off before the level is settled.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/player/save_test_util.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "game/game_helpers/sim_run.h"

namespace {

using simrun::lines;
using simrun::SimRun;

const std::string kContent = std::string(QV_SOURCE_DIR) + "/tests/game/game_helpers/level_end_content";
// Swapping (2,5) and (3,5) makes a run of three red chips under the level's one wall: the goal.
const std::string kWinningMove = "click 2 5\nclick 3 5\nsettle\n";

SimRun runSim(const std::string& script, const std::string& content = kContent) {
    return simrun::runSim("content " + content + "\nmode main\ncounter 5\n" + script);
}

struct Created {
    long long frame;
    std::string name;
    int column, row;
};

// The bonus chips the level end made, from the events' "createChip" lines.
std::vector<Created> bonusChipsMade(const std::vector<std::string>& out, size_t from = 0) {
    std::vector<Created> made;
    for (size_t i = from; i < out.size(); ++i) {
        const std::string& line = out[i];
        std::istringstream in(line);
        Created c;
        double time;
        std::string word;
        if (!(in >> c.frame >> time >> word) || word != "createChip") continue;
        in >> c.name >> c.column >> c.row;
        for (const char* prefix : {"Bomb_", "WaveHor_", "WaveVer_"})
            if (c.name.rfind(prefix, 0) == 0) made.push_back(c);
    }
    return made;
}

// The board as "print" wrote it: rows of tokens, row 0 first.
std::vector<std::vector<std::string>> boardAfter(const std::vector<std::string>& out, const std::string& marker) {
    std::vector<std::vector<std::string>> rows;
    size_t at = 0;
    while (at < out.size() && out[at].rfind(marker, 0) != 0) ++at;
    for (size_t i = at + 1; i < out.size() && i <= at + 6; ++i) {
        std::istringstream in(out[i]);
        std::vector<std::string> row;
        for (std::string token; in >> token;) row.push_back(token);
        rows.push_back(row);
    }
    return rows;
}

int lineIndex(const std::vector<std::string>& out, const std::string& prefix) {
    for (size_t i = 0; i < out.size(); ++i)
        if (out[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
}

TEST(LevelEnd, FourMovesLeftBecomeFourBonusChipsHalfASecondApartThenGoOff) {
    SimRun run = runSim("load h_end4\nready\n" + kWinningMove + "result\nprint\nevents\nrun 4\nevents\nresult\n"
                        "run 20\nhelpers\nresult\ndialogs\nevents\n");
    const int settled = lineIndex(run.out, "settled");
    ASSERT_GE(settled, 0) << run.err;
    EXPECT_EQ(run.out[settled + 1], "running");
    const std::vector<std::vector<std::string>> board = boardAfter(run.out, "running");
    ASSERT_EQ(board.size(), 6u);
    const std::vector<Created> made = bonusChipsMade(run.out);
    ASSERT_GE(made.size(), 4u) << run.err;
    const char* kinds[] = {"Bomb_", "WaveHor_", "WaveVer_", "Bomb_"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(made[i].name.rfind(kinds[i], 0), 0u) << made[i].name;
        if (i > 0) EXPECT_EQ(made[i].frame - made[i - 1].frame, 30);  // 0.5 s at 60 frames a second
        // The colour of the plain chip it replaced.
        const std::string& was = board[made[i].row][made[i].column];
        ASSERT_EQ(was.size(), 1u) << was;
        EXPECT_EQ(made[i].name.back(), was[0]);
    }
    // Four and no more: the moves are spent.
    EXPECT_EQ(made.size(), 4u);
    const int helpers = lineIndex(run.out, "goals");
    ASSERT_GE(helpers, 0);
    EXPECT_NE(std::find(run.out.begin() + helpers, run.out.end(), "limit moves 0"), run.out.end());
    EXPECT_NE(std::find(run.out.begin() + helpers, run.out.end(), "levelend finished state 7 conversions 4"),
              run.out.end());
    // The bonus chips went off before the level was settled.
    const int result = lineIndex(run.out, "won ");
    ASSERT_GE(result, 0) << run.err;
    EXPECT_EQ(run.out[lineIndex(run.out, "dialogs")], "dialogs 0");
    EXPECT_NE(run.err.find("Level won: h_end4"), std::string::npos);
    size_t wentOff = 0;
    for (const std::string& line : run.out)
        if (line.find("onChipDestroyed") != std::string::npos &&
            (line.find("BombStage") != std::string::npos || line.find("Wave") != std::string::npos))
            ++wentOff;
    EXPECT_GE(wentOff, 4u);
}

TEST(LevelEnd, TenSecondsLeftConvertFourCells) {
    SimRun run = runSim("load h_endtime\nready\n" + kWinningMove + "events\nhelpers\nrun 25\nevents\nhelpers\nresult\n");
    const int before = lineIndex(run.out, "limit time");
    ASSERT_GE(before, 0) << run.err;
    EXPECT_EQ(run.out[before].rfind("limit time 10.", 0), 0u) << run.out[before];
    EXPECT_EQ(bonusChipsMade(run.out).size(), 4u);
    EXPECT_NE(std::find(run.out.begin(), run.out.end(), "limit time 0.0"), run.out.end());
    EXPECT_EQ(run.out.back().rfind("won ", 0), 0u) << run.out.back();
}

TEST(LevelEnd, NoMovesLeftGoesStraightToTheBonusChipsOnTheBoard) {
    SimRun run = runSim("load h_end0\nready\n" + kWinningMove + "run 5\nevents\nhelpers\nresult\ndialogs\n");
    EXPECT_TRUE(bonusChipsMade(run.out).empty());
    EXPECT_NE(std::find(run.out.begin(), run.out.end(), "levelend finished state 7 conversions 0"), run.out.end())
        << run.err;
    EXPECT_EQ(run.out[run.out.size() - 2].rfind("won ", 0), 0u);
    EXPECT_EQ(run.out.back(), "dialogs 0");
}

// Fifteen moves left on a board of ten or so plain cells among fifteen bonus
// chips: every plain cell is converted, a bonus chip picked costs nothing, and
// once no cell is left each step still spends a move.
TEST(LevelEnd, PicksOfBonusChipsAreDroppedWithoutSpendingAMove) {
    SimRun run = runSim("load h_endskip\nready\nevents\n" + kWinningMove + "print\nevents\nrun 30\nevents\nhelpers\nresult\n");
    const int settled = lineIndex(run.out, "settled");
    ASSERT_GE(settled, 0) << run.err;
    const std::vector<std::vector<std::string>> board = boardAfter(run.out, "settled");
    int plain = 0, bonus = 0;
    for (size_t row = 1; row < board.size(); ++row)
        for (const std::string& token : board[row]) (token.size() == 1 ? plain : bonus) += 1;
    ASSERT_GE(bonus, 10);
    const std::vector<Created> made = bonusChipsMade(run.out, settled);  // not the level's own bonus chips
    EXPECT_EQ(static_cast<int>(made.size()), plain);
    bool skipped = false;
    for (size_t i = 1; i < made.size(); ++i) {
        const long long gap = made[i].frame - made[i - 1].frame;
        EXPECT_EQ(gap % 30, 0) << gap;
        skipped |= gap > 30;
    }
    EXPECT_TRUE(skipped);
    EXPECT_NE(std::find(run.out.begin(), run.out.end(), "limit moves 0"), run.out.end());
    EXPECT_NE(std::find(run.out.begin(), run.out.end(), "levelend finished state 7 conversions 15"), run.out.end());
    EXPECT_EQ(run.out.back().rfind("won ", 0), 0u) << run.out.back();
}

// A bonus chip that will not go off holds the level end 5 s at most.
TEST(LevelEnd, ABonusChipThatRefusesToGoOffIsLeftAfterFiveSeconds) {
    qvtest::TempDir content;
    std::ifstream prototypes(std::string(QV_SOURCE_DIR) + "/media/board/chip_prototypes.lua");
    std::stringstream text;
    text << prototypes.rdbuf()
         << "\ntable.insert(ChipPrototypes, { Name = \"Stubborn\", Behavior = { { Name = \"Cross\", MultipleColors = 1,"
            " score = 80, OnDestroyActions = { \"CanNotBeDestoyed\" } } } })\n";
    qvtest::writeFile(content.file("chip_prototypes.lua"), text.str());
    for (const char* file : {"gamefield.lua", "main_mode.lua", "h_stubborn.lua"}) {
        std::ifstream in(kContent + "/" + file);
        std::stringstream copy;
        copy << in.rdbuf();
        qvtest::writeFile(content.file(file), copy.str());
    }
    SimRun run = runSim("load h_stubborn\nready\n" + kWinningMove + "run 4\nresult\nrun 4\nresult\nprint\n",
                        content.path());
    ASSERT_GE(run.out.size(), 10u) << run.err;
    EXPECT_EQ(run.out[3], "running");
    EXPECT_EQ(run.out[4].rfind("won ", 0), 0u) << run.out[4];
    EXPECT_NE(run.err.find("WARNING: The bonus chip at 4 1 did not go off; the level end goes on without it"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out[6].find("M:Cross"), std::string::npos) << run.out[6];  // still there
}

TEST(LevelEnd, LevelDataMistakes) {
    // Thresholds that fall are refused with one line naming the level.
    SimRun falling = runSim("load h_badstars\n");
    ASSERT_EQ(falling.out.size(), 1u) << falling.err;
    EXPECT_EQ(falling.out[0], "error: the level 'h_badstars' did not start");
    EXPECT_NE(falling.err.find("ERROR: The level 'h_badstars' has star thresholds that decrease (50, 20, 30)"),
              std::string::npos)
        << falling.err;
    // A third goal entry is read as nothing, with a warning.
    SimRun three = runSim("load h_goals3\nhelpers\n");
    ASSERT_GE(three.out.size(), 2u) << three.err;
    EXPECT_EQ(three.out[1], "goals chips:0/1");
    EXPECT_NE(three.err.find("WARNING: LevelGoals has 3 entries; only the first two are read"), std::string::npos);
}

}  // namespace

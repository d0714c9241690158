// Ice, chip generators, rising chips and chain bombs through the simulator's
// "mode main": the real main mode and rule objects on small levels whose rule
// chips sit where no move reaches them, played move by move with the board's
// own hint.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"
#include "game/game_helpers/sim_run.h"

namespace {

using simrun::SimRun;

// Every run here ends normally.
SimRun runSim(const std::string& script) {
    SimRun run = simrun::runSim(script);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run;
}

std::string head(const std::string& level) {
    return std::string("content ") + QV_SOURCE_DIR + "/tests/game/game_helpers/modifier_content\nmode main\ncounter 5\n" +
           "load " + level + "\nready\n";
}

// The script of a level played for `moves` moves, each the board's hint of
// the moment (the runs replay the same board, so each hint is found by one
// more run).
std::string playedScript(const std::string& level, int moves) {
    std::string script = head(level);
    for (int i = 0; i < moves; ++i) {
        SimRun run = runSim(script + "hint\n");
        std::istringstream hint(run.out.empty() ? std::string() : run.out.back());
        std::string word;
        int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
        for (std::string w; hint >> w && w != "move";) word = w;
        if (!(hint >> c1 >> r1 >> c2 >> r2)) {
            ADD_FAILURE() << level << ": no move after " << i << " moves: " << (run.out.empty() ? "" : run.out.back());
            break;
        }
        script += "click " + std::to_string(c1) + " " + std::to_string(r1) + "\nclick " + std::to_string(c2) + " " +
                  std::to_string(r2) + "\nsettle\nrun 1\n";
    }
    return script;
}

// The helper line that starts with the word.
std::string helperLine(const std::vector<std::string>& out, const std::string& word) {
    for (auto it = out.rbegin(); it != out.rend(); ++it)
        if (it->rfind(word + " ", 0) == 0) return *it;
    return std::string();
}

// The board as printed: token at (column, row) of the last print (rows 0..7).
std::string tokenAt(const std::vector<std::string>& out, int column, int row) {
    const size_t first = out.size() - 8;
    std::istringstream line(out[first + static_cast<size_t>(row)]);
    std::string token;
    for (int c = 0; c <= column; ++c) line >> token;
    return token;
}

// Where the tokens containing the text are, in the last print: "c,r" words.
std::vector<std::string> cellsWith(const std::vector<std::string>& out, const std::string& text) {
    std::vector<std::string> cells;
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 9; ++column)
            if (tokenAt(out, column, row).find(text) != std::string::npos)
                cells.push_back(std::to_string(column) + "," + std::to_string(row));
    return cells;
}

// Plain chips under a chain (the bombs' own tokens end in "ChainBomb").
size_t chainedChips(const std::vector<std::string>& out) {
    size_t count = 0;
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 9; ++column) {
            const std::string token = tokenAt(out, column, row);
            if (token.size() > 13 && token.compare(token.size() - 13, 13, ":Simple+Chain") == 0) ++count;
        }
    return count;
}

TEST(BoardModifiers, IceFreezesOneStagePerMoveAndSpreadsWithinItsRadius) {
    // Radius 2: the chip beside the source freezes over three moves; at the
    // fourth the freeze passes through it to the next chip, never further.
    struct Step {
        int moves;
        const char* first;
        const char* second;
        const char* third;
    } steps[] = {
        {1, "M:Simple+IceChip1", "O", "M"},
        {2, "M:Simple+IceChip2", "O", "M"},
        {3, "M:Simple+IceChip3", "O", "M"},
        {4, "M:Simple+IceChip3", "O:Simple+IceChip1", "M"},
        {7, "M:Simple+IceChip3", "O:Simple+IceChip3", "M"},
    };
    for (const Step& step : steps) {
        SimRun run = runSim(playedScript("m_ice", step.moves) + "helpers\nprint\n");
        ASSERT_GE(run.out.size(), 10u) << run.err;
        EXPECT_EQ(tokenAt(run.out, 0, 7), "-:Ice") << step.moves;
        EXPECT_EQ(tokenAt(run.out, 1, 7), step.first) << step.moves;
        EXPECT_EQ(tokenAt(run.out, 2, 7), step.second) << step.moves;
        EXPECT_EQ(tokenAt(run.out, 3, 7), step.third) << step.moves;
        EXPECT_NE(helperLine(run.out, "ice").find("freezes=" + std::to_string(step.moves)), std::string::npos)
            << helperLine(run.out, "ice");
    }
}

TEST(BoardModifiers, TimedIceFreezesEveryThreeSecondsOfTheLimit) {
    SimRun run = runSim(head("m_ice_timed") + "helpers\nhint\n");
    ASSERT_GE(run.out.size(), 3u) << run.err;
    EXPECT_NE(helperLine(run.out, "ice").find("ice timed=1 threshold=27 radius=2"), std::string::npos)
        << helperLine(run.out, "ice");
    // The timer starts with the first move; after about 7 s the counter has
    // passed 27 and 24.
    SimRun timed = runSim(playedScript("m_ice_timed", 1) + "run 5.5\nhelpers\nprint\n");
    ASSERT_GE(timed.out.size(), 10u) << timed.err;
    const std::string limit = helperLine(timed.out, "limit");
    ASSERT_EQ(limit.rfind("limit time 2", 0), 0u) << limit;
    const double left = std::stod(limit.substr(11));
    EXPECT_GT(left, 21.0);
    EXPECT_LT(left, 24.0);
    EXPECT_NE(helperLine(timed.out, "ice").find("threshold=21 radius=2 pending=0 freezes=2"), std::string::npos)
        << helperLine(timed.out, "ice");
    EXPECT_EQ(tokenAt(timed.out, 1, 7), "M:Simple+IceChip2");
}

TEST(BoardModifiers, AMatchBesideAnIcedChipKnocksOneLayerOff) {
    SimRun run = runSim(head("m_knock") + "print\nclick 2 7\nclick 3 7\nsettle\nprint\n");
    ASSERT_GE(run.out.size(), 19u) << run.err;
    EXPECT_EQ(cellsWith(std::vector<std::string>(run.out.begin(), run.out.begin() + 10), "IceChip2").size(), 1u);
    EXPECT_TRUE(cellsWith(run.out, "IceChip2").empty());
    EXPECT_EQ(cellsWith(run.out, "M:Simple+IceChip1").size(), 1u);
}

TEST(BoardModifiers, AnIcedChipThatOnlyThawsKnocksNoIceOffItsNeighbour) {
    // The run's middle chip is iced: the match takes its ice, the chip stays,
    // and the twice-iced chip above it keeps both layers.
    SimRun run = runSim(head("m_thaw") + "click 2 7\nclick 3 7\nsettle\nprint\n");
    ASSERT_GE(run.out.size(), 11u) << run.err;
    EXPECT_EQ(tokenAt(run.out, 1, 6), "M:Simple+IceChip1+IceChip2");
    EXPECT_EQ(tokenAt(run.out, 1, 7), "R");
}

TEST(BoardModifiers, AGeneratorMakesAStuffChipEveryThirdCountedMove) {
    struct Step {
        int moves;
        const char* state;
        size_t stuff;
    } steps[] = {
        {2, "made=0 hit=0 moved=0 0,7:left=1", 0},
        {3, "made=1 hit=0 moved=0 0,7:left=3", 1},
        {5, "made=1 hit=0 moved=0 0,7:left=1", 1},
        {6, "made=2 hit=0 moved=0 0,7:left=3", 2},
    };
    for (const Step& step : steps) {
        SimRun run = runSim(playedScript("m_gen", step.moves) + "helpers\nprint\n");
        ASSERT_GE(run.out.size(), 10u) << run.err;
        EXPECT_NE(helperLine(run.out, "generators").find(step.state), std::string::npos)
            << step.moves << ": " << helperLine(run.out, "generators");
        EXPECT_EQ(cellsWith(run.out, "StuffChip").size(), step.stuff) << step.moves;
        for (const std::string& cell : cellsWith(run.out, "StuffChip"))
            EXPECT_TRUE(cell == "1,7" || cell == "2,7") << cell;  // within its reach of 2
    }
}

TEST(BoardModifiers, AMoveWhoseMatchHitsTheGeneratorIsNotCounted) {
    // "limit" 1: any counted move makes a stuff chip.
    SimRun run = runSim(head("m_gen_hit") + "click 2 7\nclick 3 7\nsettle\nrun 1\nhelpers\nprint\n");
    ASSERT_GE(run.out.size(), 10u) << run.err;
    EXPECT_NE(helperLine(run.out, "generators").find("count=1 made=0 hit=0 moved=0"), std::string::npos)
        << helperLine(run.out, "generators");
    EXPECT_TRUE(cellsWith(run.out, "StuffChip").empty());
}

TEST(BoardModifiers, RisingChipsClimbOneRowPerMoveUntilAHoleOrAWallIsAbove) {
    struct Step {
        int moves;
        const char* underHole;
        const char* underWall;
    } steps[] = {
        {0, "6,7", "8,7"}, {1, "6,6", "8,6"}, {2, "6,5", "8,5"}, {3, "6,5", "8,4"}, {5, "6,5", "8,4"},
    };
    for (const Step& step : steps) {
        SimRun run = runSim(playedScript("m_up", step.moves) + "print\n");
        ASSERT_GE(run.out.size(), 9u) << run.err;
        const std::vector<std::string> up = cellsWith(run.out, "ChipUp");
        ASSERT_EQ(up.size(), 2u) << step.moves;
        EXPECT_EQ(up[0 + (up[0] == step.underWall ? 1 : 0)], step.underHole) << step.moves;
        EXPECT_NE(std::find(up.begin(), up.end(), step.underWall), up.end()) << step.moves;
        // The chips they passed went down in their place.
        EXPECT_EQ(tokenAt(run.out, 8, 3), "-:Wall") << step.moves;
    }
}

TEST(BoardModifiers, ChainBombsCountDownAndThrowTheirChainsAtDistinctPlainChips) {
    struct Step {
        int moves;
        const char* state;
        size_t chained;
    } steps[] = {
        {0, "count=2 pending=0 flying=0 thrown=0 0,7:left=3 2,7:left=3", 0},
        {1, "count=2 pending=0 flying=0 thrown=0 0,7:left=2 2,7:left=2", 0},
        {2, "count=2 pending=0 flying=0 thrown=0 0,7:left=1 2,7:left=1", 0},
        {3, "count=2 pending=0 flying=0 thrown=4 0,7:left=3 2,7:left=3", 4},
    };
    for (const Step& step : steps) {
        SimRun run = runSim(playedScript("m_bombs", step.moves) + "helpers\ndialogs\nprint\n");
        ASSERT_GE(run.out.size(), 11u) << run.err;
        EXPECT_NE(helperLine(run.out, "chainbombs").find(step.state), std::string::npos)
            << step.moves << ": " << helperLine(run.out, "chainbombs");
        EXPECT_EQ(chainedChips(run.out), step.chained) << step.moves;
        EXPECT_TRUE(cellsWith(run.out, "Chain+Chain").empty()) << step.moves;
        EXPECT_EQ(helperLine(run.out, "dialogs"), "dialogs 0") << step.moves;  // every chain has landed
    }
}

TEST(BoardModifiers, TwoBombsNeverChainTheSameChip) {
    // The bombs go off as soon as the run is gone, before the refill: eight
    // chains for the four plain chips left, one each; the rest stay home.
    SimRun run = runSim(head("m_bombs_few") + "click 2 6\nclick 2 7\nsettle\nhelpers\nrun 2\nhelpers\ndialogs\nprint\n");
    ASSERT_GE(run.out.size(), 12u) << run.err;
    EXPECT_NE(helperLine(run.out, "chainbombs").find("flying=0 thrown=4"), std::string::npos)
        << helperLine(run.out, "chainbombs");
    EXPECT_EQ(chainedChips(run.out), 4u);
    EXPECT_TRUE(cellsWith(run.out, "Chain+Chain").empty());
    EXPECT_EQ(helperLine(run.out, "dialogs"), "dialogs 0");
}

}  // namespace

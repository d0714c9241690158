// Bonus chips from matches and the fusion of two swapped bonus chips, played
// through the simulator on fixed boards with the refill held off: "mode bonus"
// (the plain mode with the bonus-chip rules answering the board) and "mode
// main" (the real main mode with the rules as its rule object).
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"
#include "game/game_helpers/sim_run.h"

namespace {

using simrun::runSim;
using simrun::SimRun;

const char* const kModes[] = {"bonus", "main"};

// Loads a level of this folder in a mode, holds the refill off, makes the
// clicks and lets the board settle; then the events, the board, the dialog count.
std::string play(const std::string& mode, const std::string& level, const std::string& clicks,
                 const std::string& after = "") {
    return std::string("content ") + QV_SOURCE_DIR + "/tests/game/game_helpers/bonus_content\nmode " + mode +
           "\ncounter 5\nload " + level + "\nset refill 0\nready\nevents\n" + clicks + "settle 10\nprint\nevents\ndialogs\n" +
           after;
}

// The frame of the first event line that holds `what`; -1 when none.
int frameOf(const std::vector<std::string>& out, const std::string& what) {
    for (const std::string& line : out) {
        std::istringstream in(line);
        int frame = -1;
        std::string time;
        if (in >> frame >> time && line.find(" " + what) != std::string::npos) return frame;
    }
    return -1;
}

bool has(const std::vector<std::string>& out, const std::string& line) {
    for (const std::string& l : out)
        if (l == line) return true;
    return false;
}

// The printed token of a cell: the board lines follow "settled ..." in the output.
std::string cellToken(const std::vector<std::string>& out, int column, int row) {
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i].rfind("settled ", 0) != 0) continue;
        if (i + 1 + row >= out.size()) return "";
        std::istringstream in(out[i + 1 + row]);
        std::string token;
        for (int c = 0; c <= column && in >> token; ++c) {
        }
        return token;
    }
    return "";
}

TEST(BonusChips, MatchesLeaveTheirBonusChipInTheKeyCell) {
    struct Case {
        const char* level;
        const char* clicks;
        const char* created;  // the bonus chip made, "" for none
        int column, row;      // the key cell, where it is made
        int restRow;          // where it rests once the column has fallen
        const char* printed;
    } cases[] = {
        {"b_five", "click 2 4\nclick 2 5\n", "DestroyColor", 2, 5, 5, "-:DestroyColor"},
        {"b_cross", "click 3 5\nclick 2 5\n", "Bomb_R", 2, 5, 5, "R:BombStage1"},
        // The swap's direction decides, across the run: a vertical swap leaves a horizontal wave.
        {"b_row4", "click 2 4\nclick 2 5\n", "WaveHor_R", 2, 5, 5, "R:WaveHor"},
        // Made in the swapped chip's cell, it falls into the emptied one below.
        {"b_col4", "click 2 4\nclick 3 4\n", "WaveVer_R", 2, 4, 5, "R:WaveVer"},
        {"b_three", "click 2 5\nclick 3 5\n", "", 2, 5, 5, ""},
    };
    for (const char* mode : kModes) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(mode) + " " + c.level);
            SimRun run = runSim(play(mode, c.level, c.clicks));
            ASSERT_TRUE(has(run.out, "dialogs 0")) << run.err;
            if (*c.printed) {
                EXPECT_EQ(cellToken(run.out, c.column, c.restRow), c.printed);
            }
            if (*c.created) {
                const std::string where = std::string(c.created) + " " + std::to_string(c.column) + " " +
                                          std::to_string(c.row);
                EXPECT_GE(frameOf(run.out, "createChip " + where), 0);
                // Every chip of the run slid into the key cell and was counted there.
                EXPECT_GE(frameOf(run.out, "onChipDestroyed " + std::to_string(c.column) + " " +
                                               std::to_string(c.row) + " R Simple 0"), 0);
                EXPECT_GE(frameOf(run.out, "sound fusion_chip_effect_sound"), 0);
            } else {
                for (const std::string& line : run.out) EXPECT_EQ(line.find("createChip Bomb"), std::string::npos);
                EXPECT_EQ(frameOf(run.out, "sound fusion_chip_effect_sound"), -1);
            }
        }
    }
}

// A wave in a run of four goes off at once; the plain chips still merge into
// the newest of them, untouched by the wave's sweep along their row.
TEST(BonusChips, AWaveInTheRunGoesOffAndTheRestMerge) {
    for (const char* mode : kModes) {
        SCOPED_TRACE(mode);
        SimRun run = runSim(play(mode, "b_wave4", "click 2 4\nclick 2 5\n"));
        ASSERT_TRUE(has(run.out, "dialogs 0")) << run.err;
        const int wave = frameOf(run.out, "onChipDestroyed 1 5 R WaveHor 0");
        const int made = frameOf(run.out, "createChip WaveHor_R 2 5");
        ASSERT_GE(wave, 0);
        ASSERT_GE(made, 0);
        EXPECT_LT(wave, made);
        // The three plain reds were taken by the merge, not by the wave.
        int merged = 0;
        for (const std::string& line : run.out)
            if (line.find(" onChipDestroyed 2 5 R Simple 0") != std::string::npos) ++merged;
        EXPECT_EQ(merged, 3);
        EXPECT_EQ(cellToken(run.out, 2, 5), "R:WaveHor");
        // The wave swept the rest of its row.
        EXPECT_GE(frameOf(run.out, "onChipDestroyed 4 5 B Simple 0"), 0);
    }
}

// A chained chip in the run first loses its chain (0.13 s), and the merge
// starts 0.13 s after that: the bonus chip comes 0.26 s later than without it.
TEST(BonusChips, AChainInTheRunIsPeeledBeforeTheMerge) {
    for (const char* mode : kModes) {
        SCOPED_TRACE(mode);
        SimRun plain = runSim(play(mode, "b_row4", "click 2 4\nclick 2 5\n"));
        SimRun chained = runSim(play(mode, "b_chain", "click 2 4\nclick 2 5\n"));
        ASSERT_TRUE(has(chained.out, "dialogs 0")) << chained.err;
        const int plainTime = frameOf(plain.out, "createChip WaveHor_R 2 5") - frameOf(plain.out, "onMoveMade 2 4 2 5");
        const int chainTime =
            frameOf(chained.out, "createChip WaveHor_R 2 5") - frameOf(chained.out, "onMoveMade 2 4 2 5");
        EXPECT_GE(plainTime, 16);
        EXPECT_NEAR(chainTime - plainTime, 16, 2);
        EXPECT_EQ(cellToken(chained.out, 2, 5), "R:WaveHor");
        // The chained chip merged with the others once its chain was gone.
        EXPECT_GE(frameOf(chained.out, "onChipDestroyed 2 5 R Simple 0"), 0);
    }
}

// One swap makes two runs: the second merge waits for the first to end.
TEST(BonusChips, TheSecondMergeOfAFrameWaitsForTheFirst) {
    for (const char* mode : kModes) {
        SCOPED_TRACE(mode);
        SimRun run = runSim(play(mode, "b_two", "click 2 4\nclick 2 5\n"));
        ASSERT_TRUE(has(run.out, "dialogs 0")) << run.err;
        const int first = frameOf(run.out, "createChip WaveHor_R 2 5");
        const int second = frameOf(run.out, "createChip WaveHor_G 2 4");
        ASSERT_GE(first, 0);
        ASSERT_GE(second, 0);
        // A merge slides for 0.28 s (17 frames of 1/60 s).
        EXPECT_GE(second - first, 16);
        EXPECT_EQ(cellToken(run.out, 2, 5), "R:WaveHor");
        EXPECT_EQ(cellToken(run.out, 2, 4), "G:WaveHor");
    }
}

// Bomb_R Bomb_G WaveVer_B Bomb_Y WaveHor_R along the bottom row, WaveVer_G
// above the last, the colour destroyer above Bomb_Y.
TEST(BonusChips, SwappedBonusChipsFuseAndTheFusedChipGoesOffAfterItsFuse) {
    struct Case {
        const char* first;
        const char* second;
        const char* fused;  // with the second chip's colour; "" for no fusion
    } cases[] = {
        {"0 5", "1 5", "SuperBomb_G"},     {"1 5", "2 5", "SuperWaveVer_B"}, {"2 5", "1 5", "SuperWaveVer_G"},
        {"3 5", "4 5", "SuperWaveDSide_R"}, {"4 5", "3 5", "SuperWaveDSide_Y"}, {"4 4", "4 5", "Star_R"},
        {"3 4", "3 5", ""},  // the colour destroyer goes off as in any swap
    };
    for (const char* mode : kModes) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(mode) + " " + c.first + " -> " + c.second);
            const bool main = std::string(mode) == "main";
            SimRun run = runSim(play(mode, "b_fuse", std::string("click ") + c.first + "\nclick " + c.second + "\n",
                                     main ? "helpers\n" : ""));
            ASSERT_TRUE(has(run.out, "dialogs 0")) << run.err;
            const std::string target = c.second;
            const std::string moved = std::string(" onMoveMade ") + c.first + " " + c.second;
            if (!*c.fused) {
                for (const std::string& line : run.out) EXPECT_EQ(line.find("createChip Super"), std::string::npos);
                EXPECT_GE(frameOf(run.out, "DestroyColor 0"), 0);
                continue;
            }
            const int made = frameOf(run.out, std::string("createChip ") + c.fused + " " + target);
            ASSERT_GE(made, 0);
            const std::string kind = std::string(c.fused).substr(0, std::string(c.fused).find('_'));
            const std::string colour(1, c.fused[std::string(c.fused).size() - 1]);
            const int gone = frameOf(run.out, "onChipDestroyed " + target + " " + colour + " " + kind + " 0");
            ASSERT_GE(gone, 0);
            // 1.2 s at 60 frames a second.
            EXPECT_NEAR(gone - made, 72, 1);
            EXPECT_GE(frameOf(run.out, moved.substr(1)), 0);
            // The two chips that fused give nothing: the fused chip is the first to go.
            EXPECT_EQ(frameOf(run.out, "onChipDestroyed"), gone);
            if (main) {
                EXPECT_TRUE(has(run.out, "limit moves 9"));
            }
        }
    }
}

}  // namespace

// Playing small fixed boards through the headless simulator: selection,
// swaps, runs, walls, tiles, falls, the hint, the shuffle, and repeatability.
// Every level lists its chips and the refill is held off, so colours are known.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

struct SimRun {
    std::string out;
    int exitCode = -1;
};

SimRun runSim(const std::string& script) {
    qvtest::TempDir dir;
    qvtest::writeFile(dir.file("script.txt"), script);
    // The game's content wherever the build folder lies.
    qvtest::ChildProcess child(std::string(QV_BINARY_DIR) + "/board_sim", {dir.file("script.txt")}, dir.path(),
                               {{"QV_MEDIA_DIR", std::string(QV_SOURCE_DIR) + "/media"}});
    EXPECT_TRUE(child.wait());
    return {child.stdoutText(), child.exitCode()};
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

const std::string kStart = std::string("content ") + QV_SOURCE_DIR + "/tests/game/board/content\ncounter 5\n";

// A level loaded, the refill held off, the board ready and its events read.
std::string ready(const std::string& level) { return kStart + "load " + level + "\nset refill 0\nready\nevents\n"; }

struct Event {
    int frame;
    std::string text;
};

// A script line "mark" is no command: its error line marks a place in the output.
const char* const kMark = "error: unknown command 'mark'";

// The event lines "<frame> <time> <text>" after the mark; chip creations and
// sounds left out unless asked for.
std::vector<Event> eventsAfter(const std::vector<std::string>& out, bool withSounds = false) {
    std::vector<Event> events;
    auto it = std::find(out.begin(), out.end(), kMark);
    if (it == out.end()) return events;
    for (++it; it != out.end(); ++it) {
        std::istringstream in(*it);
        Event event;
        std::string time;
        if (!(in >> event.frame >> time) || time.find('.') == std::string::npos) continue;
        std::getline(in >> std::ws, event.text);
        if (event.text.empty() || event.text.rfind("createChip", 0) == 0) continue;
        if (!withSounds && event.text.rfind("sound ", 0) == 0) continue;
        events.push_back(event);
    }
    return events;
}

std::vector<std::string> eventTexts(const std::vector<std::string>& out) {
    std::vector<std::string> texts;
    for (const Event& event : eventsAfter(out)) texts.push_back(event.text);
    return texts;
}

// The last n lines.
std::vector<std::string> last(const std::vector<std::string>& out, size_t n) {
    if (out.size() < n) return {};
    return std::vector<std::string>(out.end() - static_cast<long>(n), out.end());
}

int readyFrames(const std::vector<std::string>& out) {
    for (const std::string& line : out) {
        if (line.rfind("ready ", 0) == 0) return std::stoi(line.substr(6));
    }
    return -1;
}

std::string frames(int count) { return "run " + std::to_string(count / 60.0) + "\n"; }

TEST(BoardPlay, ClicksSelectAndOnlyOrthogonalNeighboursSwap) {
    SimRun run = runSim(kStart + "load play_run3\nset refill 0\nclick 0 1\nselection\nready\n"
                        "click 0 1\nselection\nclick 0 1\nselection\nclick 2 1\nselection\n"
                        "click 3 2\nselection\nclick 9 9\nclick 2 3\nselection\n"
                        "click 3 1\nselection\nclick 0 1\nselection\nsettle\nclick 0 1\nselection\n");
    std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), 12u) << run.out;
    EXPECT_EQ(out[1], "none");  // the entry animation runs: not even a selection
    EXPECT_EQ(out[3], "0 1");
    EXPECT_EQ(out[4], "0 1");   // the selected chip again keeps it
    EXPECT_EQ(out[5], "2 1");   // two cells away: the new selection
    EXPECT_EQ(out[6], "3 2");   // diagonal: the new selection
    EXPECT_EQ(out[7], "3 2");   // off the grid, then a hole: ignored
    EXPECT_EQ(out[8], "none");  // the neighbour (3, 1): a swap starts, nothing selected
    EXPECT_EQ(out[9], "none");  // clicks while the swap runs are ignored
    EXPECT_EQ(out[11], "0 1");
}

TEST(BoardPlay, RunOfThreeWaitsForItsDelayHoldsTheColumnAndFallsThroughAHole) {
    // (2,5) and (3,5) swap: R R R in row 5 over two tiles; a hole at (2,3).
    SimRun run = runSim(ready("play_run3") + "mark\nclick 2 5\nclick 3 5\n" + frames(19) + "dump\n" +
                        frames(12) + "dump\n" + frames(1) + "dump\nsettle\nevents\nprint\n");
    std::vector<std::string> out = lines(run.out);
    const int click = readyFrames(out);
    ASSERT_GT(click, 0) << run.out;
    std::vector<Event> events = eventsAfter(out);
    // The swap ends 11 frames (0.18 s) after the click; the chips go 0.12 s later.
    const std::vector<std::string> expected = {
        "createBonusChip 3 1 -> 0",       "onMoveMade 2 5 3 5",
        "onScored 1 20 0 5",              "onCellDamaged 0 5 2",
        "onChipDestroyed 0 5 R Simple 0", "onScored 1 20 1 5",
        "onCellDamaged 1 5 1",            "onChipDestroyed 1 5 R Simple 0",
        "onScored 1 20 2 5",              "onChipDestroyed 2 5 R Simple 0",
    };
    ASSERT_EQ(events.size(), expected.size()) << run.out;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(events[i].text, expected[i]);
        EXPECT_EQ(events[i].frame, click + (i < 2 ? 11 : 18)) << events[i].text;
    }
    // Each chip's layer plays its sound; two tiles break, their sound plays once.
    std::vector<std::string> sounds;
    for (const Event& event : eventsAfter(out, true)) {
        if (event.text.rfind("sound ", 0) != 0) continue;
        EXPECT_EQ(event.frame, click + 18);
        sounds.push_back(event.text);
    }
    EXPECT_EQ(sounds, std::vector<std::string>({"sound chip_destroy_sound", "sound tile_destroy_sound",
                                                "sound chip_destroy_sound", "sound chip_destroy_sound"}));
    // The chip above the destroyed (2,5) takes its target in the next frame
    // but waits out the column hold of 0.23 s (14 frames); then it moves.
    std::vector<std::string> dumps;
    for (const std::string& line : out) {
        if (line.rfind("{\"width\"", 0) == 0) dumps.push_back(line);
    }
    ASSERT_EQ(dumps.size(), 3u);
    const std::string waiting = "\"position\":[2.5,4.5],\"target\":[2.5,5.5],\"moveState\":1";
    EXPECT_NE(dumps[0].find(waiting), std::string::npos) << dumps[0];
    EXPECT_NE(dumps[1].find(waiting), std::string::npos) << dumps[1];
    EXPECT_EQ(dumps[2].find(waiting), std::string::npos) << dumps[2];
    EXPECT_NE(dumps[2].find("\"target\":[2.5,5.5],\"moveState\":1"), std::string::npos);
    // Columns 0 to 2 moved down one cell, (2,2) through the hole; the tiles
    // lost a layer each; nothing was refilled.
    const std::vector<std::string> board = {". . . . .", ". . . G B", "G B R B R",
                                            "B R # G B", "G B G B G", "B/2 R G G B"};
    EXPECT_EQ(last(out, 6), board) << run.out;
}

TEST(BoardPlay, SwapThatMakesNothingTravelsBackAndCountsNoMove) {
    SimRun run = runSim(ready("play_run3") + "mark\nclick 0 1\nclick 1 1\n" + frames(21) +
                        "print\n" + frames(1) + "print\nclick 4 1\nclick 4 2\nsettle\nevents\ndump\n");
    std::vector<std::string> out = lines(run.out);
    auto mark = std::find(out.begin(), out.end(), kMark);
    ASSERT_LT(mark + 14, out.end()) << run.out;
    // The cells hold the exchanged chips until the way back ends (frame 22).
    EXPECT_EQ(mark[2], "B G R G B");
    EXPECT_EQ(mark[8], "G B R G B");
    EXPECT_TRUE(eventsAfter(out).empty()) << run.out;
    const std::string& dump = out.back();
    // Both pairs keep the direction of their swap.
    auto properties = [&](int column, int row) {
        size_t at = dump.find("{\"column\":" + std::to_string(column) + ",\"row\":" + std::to_string(row) + ",");
        if (at == std::string::npos) return std::string();
        at = dump.find("\"properties\":", at);
        return dump.substr(at, dump.find('}', at) - at + 1);
    };
    EXPECT_EQ(properties(0, 1), "\"properties\":{\"swap\":\"hor\"}");
    EXPECT_EQ(properties(1, 1), "\"properties\":{\"swap\":\"hor\"}");
    EXPECT_EQ(properties(4, 1), "\"properties\":{\"swap\":\"ver\"}");
    EXPECT_EQ(properties(4, 2), "\"properties\":{\"swap\":\"ver\"}");
}

TEST(BoardPlay, CrossingRunsAreFoundFromAnArmAndTheCornerGoesOnce) {
    // The search meets (0,5), the far end of the row arm, first.
    SimRun run = runSim(ready("play_cross") + "mark\nclick 2 5\nclick 3 5\nsettle\nevents\nprint\n");
    std::vector<std::string> out = lines(run.out);
    const std::vector<std::string> expected = {
        "createBonusChip 3 3 -> 0",       "onMoveMade 2 5 3 5",
        "onScored 1 20 2 5",              "onChipDestroyed 2 5 R Simple 0",
        "onScored 1 20 1 5",              "onChipDestroyed 1 5 R Simple 0",
        "onScored 1 20 0 5",              "onChipDestroyed 0 5 R Simple 0",
        "onScored 1 20 2 4",              "onChipDestroyed 2 4 R Simple 0",
        "onScored 1 20 2 3",              "onChipDestroyed 2 3 R Simple 0",
    };
    EXPECT_EQ(eventTexts(out), expected) << run.out;
    const std::vector<std::string> board = {". . . . .", ". . . B G", "G B . G B",
                                            "B G . G B", "G B G B G", "B G B G B"};
    EXPECT_EQ(last(out, 6), board) << run.out;
}

TEST(BoardPlay, ChainedChipInARunLosesOnlyItsChain) {
    SimRun run = runSim(ready("play_chain") + "mark\nclick 2 5\nclick 3 5\nsettle\nevents\nprint\n");
    std::vector<std::string> out = lines(run.out);
    const std::vector<std::string> expected = {
        "createBonusChip 3 1 -> 0", "onMoveMade 2 5 3 5",          "onScored 2 20 0 5",
        "onScored 1 20 1 5",        "onChipDestroyed 1 5 R Simple 0", "onScored 1 20 2 5",
        "onChipDestroyed 2 5 R Simple 0",
    };
    EXPECT_EQ(eventTexts(out), expected) << run.out;
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back(), "R R G G B");  // the chained chip stays, plain now
}

TEST(BoardPlay, NeighboursHitWallsByKind) {
    // Above the run: a wall, a strong wall and a red coloured wall; below its
    // first chip a green coloured wall.
    SimRun run = runSim(ready("play_walls") + "mark\nclick 2 3\nclick 3 3\nsettle\nevents\nprint\n");
    std::vector<std::string> out = lines(run.out);
    const std::vector<std::string> expected = {
        "createBonusChip 3 1 -> 0",
        "onMoveMade 2 3 3 3",
        "onScored 1 20 0 3",
        "onScored 4 30 0 2",
        "onChipDestroyed 0 2 - Wall 1",
        "onChipDestroyed 0 3 R Simple 0",
        "onScored 1 20 1 3",
        "onChipDestroyed 1 3 R Simple 0",
        "onScored 1 20 2 3",
        "onScored 6 30 2 2",
        "onChipDestroyed 2 2 R CWall 1",
        "onChipDestroyed 2 3 R Simple 0",
        // The emptied wall chips leave at the next rebuild of the cell links.
        "onScored 0 0 0 2",
        "onScored 0 0 2 2",
    };
    EXPECT_EQ(eventTexts(out), expected) << run.out;
    // Chips above fell through the gaps and past the strong wall.
    const std::vector<std::string> board = {". . . G B", ". -:StrongWall . B R", "B G B G B",
                                            "G:CWall B G B G", "G B R G R"};
    EXPECT_EQ(last(out, 5), board) << run.out;
}

TEST(BoardPlay, HintAndTheNoMovesReport) {
    // The idle clock runs from the load: the search comes at once after the
    // entry animations, the hint shows at five idle seconds.
    SimRun run = runSim(ready("play_run3") + "hint\nrun 0.0167\nhint\nrun 3.0\nhint\nrun 0.2\nhint\n"
                        "click 4 5\nhint\n" + kStart + "load play_nomoves\nready\nhint\nevents\nmark\nrun 2.1\nevents\n");
    std::vector<std::string> out = lines(run.out);
    std::vector<std::string> hints;
    for (const std::string& line : out) {
        if (line.rfind("hint", 0) == 0) hints.push_back(line);
    }
    const std::vector<std::string> expected = {
        "hint - hidden move 0 2 1 2",       "hint 0 2 1 2 hidden move 0 2 1 2",
        "hint 0 2 1 2 hidden move 0 2 1 2", "hint 0 2 1 2 shown move 0 2 1 2",
        "hint 0 2 1 2 shown move 0 2 1 2",  // a selection leaves it on
        "hint none",
    };
    EXPECT_EQ(hints, expected) << run.out;
    std::vector<Event> events = eventsAfter(out);
    ASSERT_EQ(events.size(), 3u) << run.out;
    for (const Event& event : events) EXPECT_EQ(event.text, "onNoPossibleMoves");
    // Then again after each further idle second.
    EXPECT_EQ(events[1].frame - events[0].frame, 61);
    EXPECT_EQ(events[2].frame - events[1].frame, 61);
}

std::map<char, int> letters(const std::vector<std::string>& board) {
    std::map<char, int> count;
    for (const std::string& line : board) {
        for (char c : line) {
            if (c != ' ' && c != '.') ++count[c];
        }
    }
    return count;
}

TEST(BoardPlay, ShuffleDealsTheSameChipsWithoutARunAndWithAMove) {
    SimRun run = runSim(kStart + "load play_nomoves\nready\nprint\nmix\nprint\nhint\nsettle\nhint\n" + kStart +
                        "load play_sparse\nset refill 0\nready\nmix\n");
    std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), 21u) << run.out;
    std::vector<std::string> before(out.begin() + 3, out.begin() + 8);
    EXPECT_EQ(out[8], "mix 1");
    std::vector<std::string> after(out.begin() + 10, out.begin() + 15);
    EXPECT_NE(before, after);
    EXPECT_EQ(letters(before), letters(after));
    // While the chips fly the board is frozen: no hint search.
    EXPECT_EQ(out[15].rfind("hint - hidden move ", 0), 0u) << out[15];
    EXPECT_EQ(out[16].rfind("settled ", 0), 0u);
    EXPECT_EQ(out[20], "mix 0");  // no two plain chips share a colour
    // No run: every row and column of the deal changes colour within three.
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 5; ++c) {
            char here = after[r][2 * c];
            if (c + 2 < 5) EXPECT_FALSE(after[r][2 * c + 2] == here && after[r][2 * c + 4] == here);
            if (r + 2 < 5) EXPECT_FALSE(after[r + 1][2 * c] == here && after[r + 2][2 * c] == here);
        }
    }
}

TEST(BoardPlay, AShuffleWaitsWhileTheChipsOfARunAreStillToGo) {
    // The swap ends 11 frames after the click and the run of reds in row 5 goes 0.12 s later:
    // a shuffle asked for in between starts nothing (the mode asks again on a settled board),
    // so the run's own chips go, not the chips dealt into their cells.
    SimRun run = runSim(ready("play_run3") + "mark\nclick 2 5\nclick 3 5\n" + frames(12) +
                        "print\nmix\nprint\nsettle\nevents\n");
    std::vector<std::string> out = lines(run.out);
    auto mark = std::find(out.begin(), out.end(), kMark);
    ASSERT_LT(mark + 14, out.end()) << run.out;
    const std::vector<std::string> swapped(mark + 1, mark + 7);
    EXPECT_EQ(swapped[5], "R/3! R/2! R! G B");  // the run waits for its delay
    EXPECT_EQ(mark[7], "mix 1");
    EXPECT_EQ(std::vector<std::string>(mark + 8, mark + 14), swapped);
    std::vector<std::string> destroyed;
    for (const Event& event : eventsAfter(out)) {
        if (event.text.rfind("onChipDestroyed ", 0) == 0) destroyed.push_back(event.text);
    }
    const std::vector<std::string> expected = {"onChipDestroyed 0 5 R Simple 0", "onChipDestroyed 1 5 R Simple 0",
                                               "onChipDestroyed 2 5 R Simple 0"};
    EXPECT_EQ(destroyed, expected) << run.out;
}

TEST(BoardPlay, TheSameScriptTwicePrintsTheSame) {
    const std::string script = std::string("content ") + QV_SOURCE_DIR +
                               "/tests/game/board/content\ncounter 31337\nload level_5x5\nready\n"
                               "click 1 2\nclick 2 2\nsettle\nclick 3 3\nclick 3 4\nsettle\nclick 1 4\n"
                               "click 2 4\nrun 0.5\nprint\nsettle\nevents\nprint\ndump\nhint\n";
    SimRun first = runSim(script);
    SimRun second = runSim(script);
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_GT(lines(first.out).size(), 20u) << first.out;
    EXPECT_EQ(first.out, second.out);
}

}  // namespace

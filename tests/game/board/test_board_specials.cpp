// Special chips played through the headless simulator on fixed boards with
// the refill held off: a bomb setting off a wave chip, and the colour bomb
// swapped with a plain chip and with another colour bomb.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

std::string runSim(const std::string& script) {
    qvtest::TempDir dir;
    qvtest::writeFile(dir.file("script.txt"), script);
    // The game's content wherever the build folder lies.
    qvtest::ChildProcess child(std::string(QV_BINARY_DIR) + "/board_sim", {dir.file("script.txt")}, dir.path(),
                               {{"QV_MEDIA_DIR", std::string(QV_SOURCE_DIR) + "/media"}});
    EXPECT_TRUE(child.wait());
    return child.stdoutText();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// Loads a level, holds the refill off, waits for the board, swaps two cells and settles.
std::string swapAndSettle(const std::string& level, const std::string& swap) {
    return std::string("content ") + QV_SOURCE_DIR + "/tests/game/board/content\ncounter 5\nload " + level +
           "\nset refill 0\nready\nevents\n" + swap + "settle\nevents\nprint\n";
}

int readyFrame(const std::vector<std::string>& out) {
    for (const std::string& line : out)
        if (line.rfind("ready ", 0) == 0) return std::stoi(line.substr(6));
    return -1;
}

struct Destroyed {
    int frame;
    int column;
    int row;
    std::string kind;
};

// The "onChipDestroyed" events, in the order printed.
std::vector<Destroyed> destroyed(const std::vector<std::string>& out) {
    std::vector<Destroyed> found;
    for (const std::string& line : out) {
        std::istringstream in(line);
        int frame;
        std::string time, name, colour;
        Destroyed d;
        if (!(in >> frame >> time >> name) || name != "onChipDestroyed") continue;
        in >> d.column >> d.row >> colour >> d.kind;
        d.frame = frame;
        found.push_back(d);
    }
    return found;
}

int frameAt(const std::vector<Destroyed>& events, int column, int row) {
    for (const Destroyed& d : events)
        if (d.column == column && d.row == row) return d.frame;
    return -1;
}

std::vector<std::string> last(const std::vector<std::string>& out, size_t n) {
    if (out.size() < n) return {};
    return std::vector<std::string>(out.end() - static_cast<long>(n), out.end());
}

TEST(BoardSpecials, BombSetsOffAWaveChipThatWaitsItsLoneBonusSecond) {
    const std::vector<std::string> out = lines(runSim(swapAndSettle("play_bomb_wave", "click 2 5\nclick 3 5\n")));
    const int click = readyFrame(out);
    ASSERT_GT(click, 0);
    const std::vector<Destroyed> events = destroyed(out);
    // The swap ends 0.18 s (11 frames) after the click; the run goes 0.12 s later, the bomb with it.
    const int boom = frameAt(events, 2, 5);
    EXPECT_EQ(boom, click + 18);
    EXPECT_EQ(frameAt(events, 0, 5), boom);
    // Its neighbours 0.2 s later.
    EXPECT_EQ(frameAt(events, 1, 4), boom + 12);
    EXPECT_EQ(frameAt(events, 3, 4), boom + 12);
    EXPECT_EQ(frameAt(events, 3, 5), boom + 12);
    // The wave chip beside it shows its detonation for one more second.
    const int wave = frameAt(events, 2, 4);
    EXPECT_EQ(wave, boom + 60);
    // Then its row, two cells out: 0.2 / 6 s per cell of corner distance (2.12 cells) is
    // 0.071 s; its tasks count down from the frame that queues them, so they fall due 4 frames on.
    EXPECT_EQ(frameAt(events, 0, 4), wave + 4);
    EXPECT_EQ(frameAt(events, 4, 4), wave + 4);
    // Nothing else went: the run of three, three neighbours, the wave and two of its row.
    EXPECT_EQ(events.size(), 9u);
    // Rows 1 to 3 fell two cells in columns 0 to 3 and one in column 4.
    const std::vector<std::string> board = {". . . . .", ". . . . .", ". . . . B", "B G B G G", "G B G B B", "B G B G B"};
    EXPECT_EQ(last(out, 6), board);
}

TEST(BoardSpecials, ColourBombSwappedWithAPlainChipTakesItsColourChipByChip) {
    const std::vector<std::string> out = lines(runSim(swapAndSettle("play_color_plain", "click 2 5\nclick 3 5\n")));
    const int click = readyFrame(out);
    ASSERT_GT(click, 0);
    const std::vector<Destroyed> events = destroyed(out);
    // The bomb goes when the swap ends; the orb takes the reds in reading order, one a frame.
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(frameAt(events, 3, 5), click + 11);
    EXPECT_EQ(events[0].kind, "DestroyColor");
    EXPECT_EQ(frameAt(events, 0, 1), click + 12);
    EXPECT_EQ(frameAt(events, 4, 2), click + 13);
    EXPECT_EQ(frameAt(events, 2, 5), click + 14);
    for (size_t i = 1; i < events.size(); ++i) EXPECT_EQ(events[i].kind, "Simple");
}

TEST(BoardSpecials, TwoColourBombsSwappedTakeEveryColouredChip) {
    const std::vector<std::string> out = lines(runSim(swapAndSettle("play_color_color", "click 2 5\nclick 3 5\n")));
    const int click = readyFrame(out);
    ASSERT_GT(click, 0);
    const std::vector<Destroyed> events = destroyed(out);
    // One bomb goes off; the other leaves without its own task. Then the 23
    // coloured chips, one a frame in reading order.
    ASSERT_EQ(events.size(), 24u);
    EXPECT_EQ(events[0].kind, "DestroyColor");
    EXPECT_EQ(events[0].frame, click + 11);
    int previous = 0;
    for (size_t i = 1; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].kind, "Simple");
        EXPECT_EQ(events[i].frame, click + 11 + int(i));
        const int order = events[i].row * 5 + events[i].column;
        EXPECT_GT(order, previous);
        previous = order;
    }
    const std::vector<std::string> board = {". . . . .", ". . . . .", ". . . . .", ". . . . .", ". . . . .", ". . . . ."};
    EXPECT_EQ(last(out, 6), board);
}

TEST(BoardSpecials, ColourBombSwappedWithAWaveTurnsItsColourIntoWavesThenSetsThemOff) {
    const std::vector<std::string> out = lines(runSim(swapAndSettle("play_color_wave", "click 2 5\nclick 3 5\n")));
    const int click = readyFrame(out);
    ASSERT_GT(click, 0);
    const std::vector<Destroyed> events = destroyed(out);
    ASSERT_GE(events.size(), 6u);
    // The bomb goes when the swap ends; the orb sets off 0.08 s later and turns
    // the plain reds, one each 0.08 s: a vertical wave first, then a horizontal one.
    EXPECT_EQ(events[0].kind, "DestroyColor");
    EXPECT_EQ(events[0].frame, click + 11);
    const struct {
        int column, row;
        const char* kind;
        int frame;
    } expected[] = {{0, 1, "Simple", 16}, {4, 2, "Simple", 21},
                    // Then a destroyer for red sets off the new waves and the swapped wave, one a frame.
                    {0, 1, "WaveVer", 22}, {4, 2, "WaveHor", 23}, {2, 5, "WaveHor", 24}};
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        auto it = std::find_if(events.begin(), events.end(), [&](const Destroyed& d) {
            return d.column == expected[i].column && d.row == expected[i].row && d.kind == expected[i].kind;
        });
        ASSERT_NE(it, events.end());
        EXPECT_EQ(it->frame, click + expected[i].frame);
    }
    // The vertical wave cleared column 0, the horizontal ones rows 2 and 5.
    const std::vector<std::string> board = {". . . . .", ". . . . .", ". . . . .", ". G B G B", ". G B G B", ". B G B G"};
    EXPECT_EQ(last(out, 6), board);
}

TEST(BoardSpecials, AChipTheTransformerDrawsFromThePoolIsNotLeftInTheCellOfTheWallItWas) {
    // The bomb at (1,2) takes the wall at (0,1) 0.2 s after the run; the board stays
    // suspended for half a second more, when the colour bomb swapped with the red wave
    // turns the red at (4,1) into a wave, drawn from the pool: the wall's chip.
    const std::string script = std::string("content ") + QV_SOURCE_DIR +
                               "/tests/game/board/content\ncounter 5\nload play_wall_reuse\nset refill 0\nready\n"
                               "click 3 2\nclick 3 3\nrun 0.55\nprint\nclick 3 5\nclick 4 5\nrun 0.3\nprint\n"
                               "settle\nprint\n";
    const std::vector<std::string> out = lines(runSim(script));
    auto at = std::find(out.begin(), out.end(), ". . . . .");
    ASSERT_LT(at + 18, out.end());
    // The wall went; until the next rebuild its cell still names it.
    EXPECT_EQ(at[1], "-:! . . B R");
    // The new wave sits in its own cell only.
    EXPECT_EQ(at[7], ". . . B R:WaveVer*");
    // The waves went off; the chips that stayed fell.
    const std::vector<std::string> board = {". . . . .", ". . . . .", ". . . . .", ". . . . .", ". . . B .", ". . . B ."};
    EXPECT_EQ(last(out, 6), board);
}

}  // namespace

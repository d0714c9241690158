// A destroyed chip goes back to the pool and may be handed out again while
// a delayed destruction or a colour bomb's "destroyer" still names it; a
// level's queued drops end with the level. Played with real clicks and
// frames on the board fixture, under a mode that makes a chip in the cell
// of a chip that goes, as merge, fusion and generator rules do.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "board/behavior.h"
#include "board/behavior_kind.h"
#include "board/board_random.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/chip_destroy_info.h"
#include "board/chip_manager.h"
#include "board/game_field.h"
#include "board/plain_mode.h"
#include "board/task.h"
#include "support/board_fixture.h"

namespace {

constexpr float kDt = 1.0f / 60.0f;

// Once, when a chip that `wanted` accepts goes, makes `prototype` in its cell.
class MergeMode : public PlainMode {
public:
    using PlainMode::PlainMode;
    void onChipDestroyed(const ChipDestroyInfo& info) override {
        PlainMode::onChipDestroyed(info);
        if (made || !wanted || !wanted(info)) return;
        made = field->chipManager->createChip(prototype, info.column, info.row);
        ASSERT_NE(made, nullptr);
        field->cellAt(info.column, info.row)->chip = made;
        madeFrom = info.chip;
    }

    GameField* field = nullptr;
    std::function<bool(const ChipDestroyInfo&)> wanted;
    std::string prototype;
    Chip* made = nullptr;
    const Chip* madeFrom = nullptr;
};

struct MergeWorld : qvtest::BoardWorld {
    MergeWorld() : merge([this](const std::string& line) { modeCalls.push_back(line); }) {}
    Mode* mode() override { return &merge; }
    MergeMode merge;
};

const std::string kSpecials =
    "  { Name = \"WaveVer\", Behavior = { { Name = \"WaveVer\", MultipleColors = 1,"
    " OnDestroyActions = { \"WaveVer\" } } } },\n"
    "  { Name = \"DestroyColor\", Behavior = { { Name = \"DestroyColor\", MultipleColors = 0,"
    " CanIterateWithGroup = 0, OnDestroyActions = { \"ColorDestroyer\" } } } },\n";

// A 5x5 board, rows 1 to 5: a letter is that plain colour, "." no chip, else
// a prototype name; only red and green in the drop sequence.
std::string level(const std::vector<std::vector<std::string>>& rows) {
    std::string text = "GameField = { Grid = {}, AvailableChips = { \"Simple_R\", \"Simple_G\" }, Chips = {\n";
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const std::string& name = rows[r][c];
            if (name == ".") continue;
            text += "  { Type = \"" + (name.size() == 1 ? "Simple_" + name : name) + "\", PosX = " + std::to_string(c) + ", PosY = " +
                    std::to_string(r + 1) + " },\n";
        }
    }
    return text + "} }\n";
}

class ChipReuse : public ::testing::Test {
protected:
    void SetUp() override {
        fixBoardPerformanceCounter(11);
        world.prototypes(qvtest::plainPrototypes(kSpecials));
        world.field("Parameters = { gridWidth = 5, gridHeight = 5, cellSize = 40 }");
        world.merge.field = world.board.get();
    }
    void TearDown() override { releaseBoardPerformanceCounter(); }

    GameField& field() { return *world.board; }
    // Frames until the entry animation ends, the refill held off.
    void begin() {
        field().refillEnabled = false;
        for (int i = 0; i < 600 && !field().levelBegun; ++i) field().update(kDt);
        ASSERT_TRUE(field().levelBegun);
    }
    void run(int frames) {
        for (int i = 0; i < frames; ++i) {
            field().refillEnabled = false;
            field().update(kDt);
        }
    }
    int cellsLinking(const Chip* chip) {
        int count = 0;
        for (int row = 0; row <= field().gridHeight; ++row)
            for (int column = 0; column < field().gridWidth; ++column) count += field().cellAt(column, row)->chip == chip;
        return count;
    }
    std::vector<std::string> destroyedCalls() const {
        std::vector<std::string> calls;
        for (const std::string& call : world.modeCalls)
            if (call.rfind("onChipDestroyed", 0) == 0) calls.push_back(call);
        return calls;
    }

    MergeWorld world;
};

TEST_F(ChipReuse, TheCornerOfTwoRunsIsDestroyedOnceNotTheChipMadeInItsPlace) {
    // Swapping (2,1) and (2,2) makes G G G in row 2 and down column 2: the corner (2,2) is in
    // both runs, so two delayed destructions name it. When it goes, the rule makes a yellow
    // chip there from the pool: the corner's own chip, which the second destruction must spare.
    ASSERT_TRUE(world.level(level({{"R", "B", "G", "B", "R"},
                                   {"G", "G", "R", "B", "B"},
                                   {"B", "R", "G", "R", "R"},
                                   {"R", "B", "G", "B", "B"},
                                   {"B", "R", "B", "R", "R"}})));
    world.merge.wanted = [](const ChipDestroyInfo& info) { return info.column == 2 && info.row == 2; };
    world.merge.prototype = "Simple_Y";
    begin();
    field().onCellClicked(2, 1);
    field().onCellClicked(2, 2);
    run(60);
    Chip* made = world.merge.made;
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made, world.merge.madeFrom);  // the pool handed the corner's chip out again
    EXPECT_FALSE(made->destroyed);
    EXPECT_EQ(made->group, groupOfSuffix("_Y"));
    EXPECT_EQ(cellsLinking(made), 1);
    // The two runs, the corner once (then the red that fell into row 3 made a run there).
    const std::vector<std::string> calls = destroyedCalls();
    ASSERT_GE(calls.size(), 5u);
    const std::vector<std::string> runs = {"onChipDestroyed 2 2 G Simple 0", "onChipDestroyed 1 2 G Simple 0",
                                           "onChipDestroyed 0 2 G Simple 0", "onChipDestroyed 2 3 G Simple 0",
                                           "onChipDestroyed 2 4 G Simple 0"};
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 5), runs);
    for (const std::string& call : calls) EXPECT_EQ(call.find(" Y "), std::string::npos) << call;
}

TEST_F(ChipReuse, AColourBombSetOffByAWaveThatWasHandedOutAgainDoesNotTakeTheNewChipsColour) {
    // Swapping (2,1) and (2,2) makes a green run in row 1 with the vertical wave at (0,1); the
    // wave reaches the colour bomb below it, which waits a second with the wave as its
    // "destroyer". When the wave goes, the rule makes a blue chip from the pool in its cell:
    // the wave's own chip. Blue is no colour of this level: the bomb must not take it.
    ASSERT_TRUE(world.level(level({{"WaveVer_G", "G", "R", "B", "R"},
                                   {"DestroyColor", "R", "G", "B", "G"},
                                   {"R", "G", "R", "G", "R"},
                                   {"G", "R", "G", "R", "G"},
                                   {"R", "G", "R", "G", "B"}})));
    world.merge.wanted = [](const ChipDestroyInfo& info) { return info.column == 0 && info.row == 1; };
    world.merge.prototype = "Simple_B";
    begin();
    field().onCellClicked(2, 1);
    field().onCellClicked(2, 2);
    run(240);
    ASSERT_NE(world.merge.made, nullptr);
    EXPECT_EQ(world.merge.made, world.merge.madeFrom);
    bool bombWent = false;
    for (const std::string& call : destroyedCalls()) {
        bombWent = bombWent || call.find("DestroyColor") != std::string::npos;
        EXPECT_EQ(call.find(" B "), std::string::npos) << call;
    }
    EXPECT_TRUE(bombWent);
    EXPECT_FALSE(world.merge.made->destroyed);
    EXPECT_EQ(cellsLinking(world.merge.made), 1);
}

TEST_F(ChipReuse, QueuedDropsEndWithTheLevel) {
    // A rule queued walls to drop; the level is loaded again (a replay) before any fell.
    const std::string text = level({{".", "R", "G", "R", "G"},
                                    {"G", "R", "G", "R", "G"},
                                    {"R", "G", "R", "G", "R"},
                                    {"R", "G", "R", "G", "R"},
                                    {"G", "R", "G", "R", "G"}});
    ASSERT_TRUE(world.level(text));
    world.chips->spawnQueue.assign(3, "Wall");
    ASSERT_TRUE(world.level(text));
    EXPECT_TRUE(world.chips->spawnQueue.empty());
    field().refillEnabled = true;
    for (int i = 0; i < 600 && !field().cellAt(0, 1)->chip; ++i) field().update(kDt);
    const Chip* dropped = field().cellAt(0, 1)->chip;
    ASSERT_NE(dropped, nullptr);
    EXPECT_TRUE(dropped->hasBehavior(kSimple));
    EXPECT_FALSE(dropped->hasBehavior(kWall));
}

}  // namespace

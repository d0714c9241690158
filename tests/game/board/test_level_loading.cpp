// Field parameters, the level table and the start placement.
#include <gtest/gtest.h>

#include "board/behavior.h"
#include "board/board_fatal.h"
#include "board/board_random.h"
#include "board/chip.h"
#include "board/chip_appearence.h"
#include "board/chip_manager.h"
#include "board/chip_selector.h"
#include "board/game_field.h"
#include "board/move_hint.h"
#include "random15.h"
#include "support/board_fixture.h"

namespace {

TEST(FieldParameters, DefaultsNumericStringsAndBooleans) {
    qvtest::BoardWorld world;
    world.prototypes(qvtest::plainPrototypes());
    GameField& field = world.field(
        "Parameters = { gridWidth = \"7\", gridHeight = 6.9, cellSize = true, hintPeriod = \"2.5\","
        " drawBehaviors = 0, fallShaking = false, boomShakeTime = {} }");
    EXPECT_EQ(field.gridWidth, 7);
    EXPECT_EQ(field.gridHeight, 6);
    EXPECT_EQ(field.cellSize, 43);  // a Lua boolean is missing
    EXPECT_FLOAT_EQ(field.hintPeriod, 2.5f);
    EXPECT_FALSE(field.drawBehaviors);
    EXPECT_FLOAT_EQ(field.fallShaking, 0.08f);
    EXPECT_FLOAT_EQ(field.boomShakeTime, 0.6f);
    EXPECT_FLOAT_EQ(field.chipAcceleration, 20.0f);
    EXPECT_FALSE(field.levelRunning);
    EXPECT_TRUE(field.rows.empty());
}

TEST(FieldParameters, ABoardThatCannotBeBuiltIsAFatalErrorNamingTheKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"Parameters = { gridWidth = 0 }", "gridWidth"},
        {"Parameters = { gridWidth = 256 }", "gridWidth"},
        {"Parameters = { gridHeight = -3 }", "gridHeight"},
        {"Parameters = { cellSize = 0 }", "cellSize"},
        {"Other = {}", "Parameters"},
        {"Parameters = ", "config"},
    };
    for (const auto& c : cases) {
        qvtest::BoardWorld world;
        world.prototypes(qvtest::plainPrototypes());
        try {
            world.field(c.first);
            ADD_FAILURE() << "no error for " << c.first;
        } catch (const BoardFatalError& error) {
            EXPECT_NE(error.description.find(c.second), std::string::npos) << error.description;
        }
    }
}

class Level : public ::testing::Test {
protected:
    void SetUp() override {
        world.prototypes(qvtest::plainPrototypes(
            "  { Name = \"ChainBomb\", Behavior = { { Name = \"ChainBomb\", MultipleColors = 1 } } },\n"
            "  { Name = \"ChipGenerator\", Behavior = { { Name = \"ChipGenerator\", MultipleColors = 0 } } },\n"
            "  { Name = \"XChainBomb\", Behavior = { { Name = \"Simple\", MultipleColors = 0 } } },\n"));
        world.field("Parameters = { gridWidth = 5, gridHeight = 4 }");
    }
    Chip* at(int column, int row) { return world.board->cellAt(column, row)->chip; }
    qvtest::BoardWorld world;
};

TEST_F(Level, GridCellsAndChipData) {
    ASSERT_TRUE(world.level(
        "GameField = { Grid = { Cells = {"
        "  { PosX = 1, PosY = 2, Solidity = 3 }, { PosX = \"2\", PosY = \"2\", Solidity = 0 },"
        "  { PosX = 3, PosY = 0, Solidity = 0 }, { PosX = 9, PosY = 1, Solidity = 0 }, 7,"
        "  { PosX = 4, PosY = 4, Solidity = -1 } } },"
        "  AvailableChips = { \"Simple_R\", \"Simple_G\", \"Simple_B\" },"
        "  Chips = {"
        "    { Type = \"ChainBomb_R\", PosX = 0, PosY = 1, data = { limit = 4.7, chains = 2 } },"
        "    { Type = \"ChipGenerator\", PosX = 1, PosY = 1, Radius = 2, data = { limit = 3, radius = 1, chains = 9 } },"
        "    { Type = \"XChainBomb\", PosX = 2, PosY = 1, data = { limit = 3 } },"
        "    { Type = \"Simple_B\", PosX = 3, PosY = 0 },"
        "    { Type = \"Simple_B\", PosX = 5, PosY = 1 },"
        "  } }"));
    GameField& field = *world.board;
    ASSERT_EQ(field.rows.size(), 5u);
    ASSERT_EQ(field.rows[0].size(), 5u);
    EXPECT_EQ(field.cellAt(1, 2)->solidity, 3);
    EXPECT_EQ(field.cellAt(2, 2)->solidity, 0);
    EXPECT_EQ(field.cellAt(3, 0)->solidity, 1);  // row 0 is never set
    EXPECT_EQ(field.cellAt(4, 4)->solidity, -1);
    EXPECT_EQ(field.cellAt(3, 2)->column, 3);
    EXPECT_EQ(field.cellAt(3, 2)->row, 2);
    ASSERT_NE(at(0, 1), nullptr);
    EXPECT_EQ(at(0, 1)->getProperty("limit").container->getInt(), 4);
    EXPECT_EQ(at(0, 1)->getProperty("chains").container->getInt(), 2);
    ASSERT_NE(at(1, 1), nullptr);
    EXPECT_EQ(at(1, 1)->radius, 2);
    EXPECT_EQ(at(1, 1)->getProperty("radius").container->getInt(), 1);
    EXPECT_FALSE(at(1, 1)->hasProperty("chains"));
    EXPECT_TRUE(at(2, 1)->properties.empty());
    EXPECT_EQ(at(3, 0), nullptr);
    EXPECT_TRUE(field.levelRunning && field.refillEnabled && field.fallEnabled);
    EXPECT_EQ(world.modeCalls.front(), "readLevelRules");
}

TEST_F(Level, UnknownNamesAreLoggedAndSkipped) {
    ASSERT_TRUE(world.level(
        "GameField = { Grid = {}, AvailableChips = { \"Simple_R\", \"Nope\", 12 },"
        "  Chips = { { Type = \"Ghost\", PosX = 1, PosY = 1 }, { Type = \"Simple_R\", PosX = 2, PosY = 1 },"
        "            { PosX = 3, PosY = 1 } } }"));
    EXPECT_EQ(world.logged("ERROR: AvailableChips").size(), 2u);
    EXPECT_EQ(world.logged("ERROR: Chips").size(), 1u);
    EXPECT_EQ(world.logged("ERROR: a Chips entry has no Type").size(), 1u);
    EXPECT_EQ(world.logged("'Nope'").size(), 1u);
    EXPECT_EQ(world.logged("'12'").size(), 1u);
    EXPECT_EQ(world.logged("'Ghost'").size(), 1u);
    EXPECT_EQ(world.chips->available.size(), 1u);
    EXPECT_EQ(at(1, 1), nullptr);
    EXPECT_NE(at(2, 1), nullptr);
    EXPECT_EQ(at(3, 1), nullptr);
}

TEST_F(Level, AMissingTableOrScriptLeavesAnEmptyField) {
    EXPECT_FALSE(world.level("Something = {}"));
    EXPECT_NE(world.board->lastError.find("GameField"), std::string::npos);
    EXPECT_TRUE(world.board->rows.empty());
    EXPECT_EQ(world.board->getCell(0, 1), nullptr);
    EXPECT_FALSE(world.board->loadLevel("no_such_level_lua"));
    // A script that fails halfway: what it defined is read.
    EXPECT_TRUE(world.level("GameField = { Grid = {} } error('stop') GameField = nil"));
    EXPECT_EQ(world.board->rows.size(), 5u);
}

TEST_F(Level, RandomChipsNeverStartARunAndTheFixedOrderReplacesThem) {
    for (uint32_t seed : {1u, 7u, 1234u, 99999u}) {
        SCOPED_TRACE(seed);
        fixBoardPerformanceCounter(seed);
        ASSERT_TRUE(world.level(qvtest::fixedLevel({"rrrrr", "rrrrr", "rrrrr", "rrrrr"})));
        for (int row = 1; row <= 4; ++row) {
            for (int column = 0; column < 5; ++column) {
                Chip* chip = at(column, row);
                ASSERT_NE(chip, nullptr);
                MatchLines lines;
                chip->selector->select(lines, world.board.get(), chip);
                EXPECT_EQ(lines.chipCount(), 0);
            }
        }
    }
    releaseBoardPerformanceCounter();
    // "R R r": the random chip cannot be red; with red forbidden the first
    // replacement (red) is refused and green takes it.
    ASSERT_TRUE(world.level(
        "GameField = { Grid = {}, AvailableChips = { \"Simple_R\" }, Chips = {"
        " { Type = \"Simple_R\", PosX = 0, PosY = 4 }, { Type = \"Simple_R\", PosX = 1, PosY = 4 },"
        " { Type = \"Random\", PosX = 2, PosY = 4 } } }"));
    // Only red is in the sequence: K = 1 replacement, "Simple_R" again, so the run stays.
    EXPECT_EQ(at(2, 4)->group, 0);
    ASSERT_TRUE(world.level(
        "GameField = { Grid = {}, AvailableChips = { \"Simple_R\", \"Simple_G\" }, Chips = {"
        " { Type = \"Simple_R\", PosX = 0, PosY = 4 }, { Type = \"Simple_R\", PosX = 1, PosY = 4 },"
        " { Type = \"Random\", PosX = 2, PosY = 4 } } }"));
    EXPECT_EQ(at(2, 4)->group, 1);
}

TEST_F(Level, PlacementIsRetriedTenTimesWhenARunStands) {
    // A fixed run of three stands in every attempt: ten placements of three
    // chips, each chip stamped twice (allocation and prototype both reset it).
    ASSERT_TRUE(world.level(qvtest::fixedLevel({"RRR"})));
    EXPECT_EQ(world.chips->pool.size(), 3u);
    EXPECT_EQ(chipOrderCounter, 60);
    ASSERT_TRUE(world.level(qvtest::fixedLevel({"RGRR"})));
    EXPECT_EQ(chipOrderCounter, 8);  // a move exists and no run: one attempt
}

TEST_F(Level, TheEntryAnimationIsChosenByRandAndCellsWaitByPosition) {
    for (uint32_t seed = 1; seed < 40; ++seed) {
        QV::seedRandom15(seed);
        ASSERT_TRUE(world.level("GameField = { Grid = {} }"));
        QV::seedRandom15(seed);
        for (int shuffle = 0; shuffle < 4 * 512; ++shuffle) QV::random15();  // the sequence's shuffle
        const size_t expected = QV::random15() < 16384 ? 0 : 1;
        EXPECT_EQ(world.board->appearances->current, expected);
    }
    Cell* corner = world.board->cellAt(0, 1);
    ASSERT_TRUE(corner->animation);
    EXPECT_FLOAT_EQ(corner->animation->mDurations[0], 1.0f - 1.0f / 9.0f);
    EXPECT_FLOAT_EQ(world.board->cellAt(4, 4)->animation->mDurations[0], 1.0f - 8.0f / 9.0f);
    EXPECT_FALSE(world.board->cellAt(0, 0)->animation);
    corner->animation->update(1.0f - 1.0f / 9.0f + 0.5f);
    EXPECT_FLOAT_EQ(corner->position.x, 0.0f);
    EXPECT_FLOAT_EQ(corner->position.y, 43.0f);
    EXPECT_FLOAT_EQ(corner->scale.x, 1.0f);
}

}  // namespace

// Runs found by the nearest-chip selector on small fixed boards.
#include <gtest/gtest.h>

#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/chip_selector.h"
#include "board/game_field.h"
#include "support/board_fixture.h"

namespace {

class Selector : public ::testing::Test {
protected:
    void SetUp() override {
        world.prototypes(qvtest::plainPrototypes(
            "  { Name = \"Chain\", Behavior = { { Name = \"Simple\", MultipleColors = 1 },"
            " { Name = \"Chain\", MultipleColors = 0, CanIterateWithGroup = 0 } } },\n"
            "  { Name = \"Lonely\", Selector = \"AllChipsSameGroupSelector\","
            " Behavior = { { Name = \"Simple\", MultipleColors = 1 } } },\n"));
        world.field("Parameters = { gridWidth = 7, gridHeight = 6 }");
    }
    // Fills the board from rows 1.. of letters; row 0 stays empty.
    void board(const std::vector<std::string>& rows) {
        ASSERT_TRUE(world.level("GameField = { Grid = {} }"));
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t c = 0; c < rows[r].size(); ++c) {
                if (rows[r][c] == '.') continue;
                std::string name = std::string("Simple_") + rows[r][c];
                put(name, static_cast<int>(c), static_cast<int>(r + 1));
            }
        }
    }
    Chip* put(const std::string& name, int column, int row) {
        Chip* chip = world.chips->createChip(name, column, row);
        world.board->cellAt(column, row)->chip = chip;
        return chip;
    }
    Chip* at(int column, int row) { return world.board->cellAt(column, row)->chip; }
    MatchLines select(int column, int row) {
        MatchLines lines;
        at(column, row)->selector->select(lines, world.board.get(), at(column, row));
        return lines;
    }
    qvtest::BoardWorld world;
};

TEST_F(Selector, ARowOfFiveIsFoundOutwardsFromTheMiddle) {
    board({".RRRRR."});
    MatchLines lines = select(3, 1);
    std::vector<Chip*> expected = {at(3, 1), at(4, 1), at(2, 1), at(5, 1), at(1, 1)};
    EXPECT_EQ(lines.rowRun, expected);
    EXPECT_EQ(lines.columnRun, std::vector<Chip*>{at(3, 1)});
    EXPECT_EQ(lines.chipCount(), 5);
}

TEST_F(Selector, ShapesAreFoundFromEveryArm) {
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        int column, row;  // the scanned chip
        size_t rowRun, columnRun;
        int originColumn, originRow;  // the first chip of the result
    };
    const Case cases[] = {
        {"pair beside a column: only the pair counts from B", {"AA.....", ".A.....", ".A....."}, 0, 1, 0, 0, -1, -1},
        {"the column's head keeps its short row", {"AA.....", "A......", "A......"}, 0, 1, 2, 3, 0, 1},
        {"L from the far end of the arm", {"AAA....", "A......", "A......"}, 2, 1, 3, 3, 0, 1},
        {"T from the stem's end", {"AAA....", ".A.....", ".A....."}, 1, 3, 3, 3, 1, 1},
        {"plus from an arm", {".A.....", "AAA....", ".A....."}, 0, 2, 3, 3, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> rows;
        for (std::string row : c.rows) {
            for (char& letter : row) letter = letter == 'A' ? 'R' : letter;
            rows.push_back(row);
        }
        board(rows);
        MatchLines lines = select(c.column, c.row);
        EXPECT_EQ(lines.rowRun.size(), c.rowRun);
        EXPECT_EQ(lines.columnRun.size(), c.columnRun);
        if (c.originColumn >= 0) {
            ASSERT_FALSE(lines.rowRun.empty());
            EXPECT_EQ(lines.rowRun.front(), at(c.originColumn, c.originRow));
            EXPECT_EQ(lines.columnRun.front(), at(c.originColumn, c.originRow));
        }
    }
}

TEST_F(Selector, MovingChipsVoidTheAxisUnlessLocked) {
    board({"RRR....", "G......", "G......", "G......"});
    // A red chip still falling into (3, 1) voids the row.
    Chip* falling = put("Simple_R", 3, 1);
    falling->moveState = 1;
    EXPECT_EQ(select(0, 1).chipCount(), 0);
    falling->setProperty("lock", DataHolder("1"));
    EXPECT_EQ(select(0, 1).chipCount(), 4);
    // A locked chip starts no search of its own but still counts as a member.
    at(0, 2)->setProperty("lock", DataHolder("1"));
    EXPECT_EQ(select(0, 2).chipCount(), 0);
    EXPECT_EQ(select(0, 3).chipCount(), 3);
}

TEST_F(Selector, ChainsEndRunsAndAllChipsSelectorsFindNothing) {
    board({"RR.R...", "GGG...."});
    put("Chain_R", 2, 1);
    EXPECT_EQ(select(0, 1).chipCount(), 0);
    EXPECT_EQ(select(2, 1).chipCount(), 0);
    put("Lonely_G", 0, 2);
    put("Lonely_G", 1, 2);
    put("Lonely_G", 2, 2);
    EXPECT_EQ(select(0, 2).chipCount(), 0);
    // A plain chip beside them still finds them as members of its run.
    put("Simple_G", 3, 2);
    EXPECT_EQ(select(3, 2).chipCount(), 4);
}

TEST_F(Selector, TheHiddenRowTakesPart) {
    board({"R......", "R......"});
    put("Simple_R", 0, 0);
    EXPECT_EQ(select(0, 0).columnRun.size(), 3u);
}

}  // namespace

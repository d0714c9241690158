// The field's frame on tiny boards: fall targets, the fall and its landing
// shake, what pauses falling, the refill's walk, and the entry animations.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "animation.h"
#include "board/board_random.h"
#include "board/board_tasks.h"
#include "board/chip.h"
#include "board/chip_appearence.h"
#include "board/chip_manager.h"
#include "board/game_field.h"
#include "board/game_field_effect.h"
#include "support/board_fixture.h"
#include "board/task.h"

namespace {

constexpr float kDt = 1.0f / 60.0f;

const std::string kGoalPrototype =
    "  { Name = \"Goal\", Behavior = { { Name = \"FallingLevelGoal\", MultipleColors = 0,"
    " CanIterateWithGroup = 0, LevelGoal = 1 } } },\n";

// A board of the given rows (letters as in fixedLevel, '#' a hole).
struct Board {
    Board(const std::vector<std::string>& rows) {
        fixBoardPerformanceCounter(7);
        world.prototypes(qvtest::plainPrototypes(kGoalPrototype));
        world.field("Parameters = { gridWidth = " + std::to_string(rows[0].size()) +
                    ", gridHeight = " + std::to_string(rows.size()) + ", cellSize = 40 }");
        std::string holes = "GameField.Grid.Cells = {";
        std::vector<std::string> chips = rows;
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t c = 0; c < rows[r].size(); ++c) {
                if (rows[r][c] != '#') continue;
                holes += "{ PosX = " + std::to_string(c) + ", PosY = " + std::to_string(r + 1) + ", Solidity = 0 },";
                chips[r][c] = '.';
            }
        }
        std::string level = qvtest::fixedLevel(chips, holes + "}\n");
        // Goal chips by name.
        for (size_t at = level.find("Simple_g"); at != std::string::npos; at = level.find("Simple_g")) {
            level.replace(at, 8, "Goal");
        }
        EXPECT_TRUE(world.level(level));
    }
    ~Board() { releaseBoardPerformanceCounter(); }

    GameField& field() { return *world.board; }
    Chip* chip(int column, int row) { return field().cellAt(column, row)->chip; }
    // Frames until the entry animations end, with nothing falling or dropping in.
    void begin() {
        field().fallEnabled = field().refillEnabled = false;
        for (int i = 0; i < 600 && !field().levelBegun; ++i) field().update(kDt);
        ASSERT_TRUE(field().levelBegun);
        field().fallEnabled = field().refillEnabled = true;
    }

    qvtest::BoardWorld world;
};

TEST(BoardFrame, FallTargetIsTheLowestEmptyCellBeforeTheFirstChipThatFalls) {
    struct Case {
        std::vector<std::string> column;  // rows 1.. of one column
        int target;                       // row, or 0 for none
    };
    const std::vector<Case> cases = {
        {{"R", ".", "."}, 3},             // the lowest empty cell
        {{"R", ".", "G"}, 2},             // stops above a chip that falls
        {{"R", "G", "."}, 0},             // that chip falls first
        {{".", "R", "#", "."}, 4},        // through a hole
        {{".", "R", "W", "."}, 4},        // past a chip that cannot fall
        {{".", "R", "W", "G"}, 0},        // past it, then a chip: nowhere
        {{"R", "#", "#"}, 0},             // holes down to the floor
        {{"G", "R"}, 0},                  // the floor
    };
    for (const Case& test : cases) {
        std::string where;
        for (const std::string& row : test.column) where += row;
        SCOPED_TRACE(where);
        Board board(test.column);
        const int row = static_cast<int>(where.find('R')) + 1;
        Cell* target = board.field().findFallTarget(board.chip(0, row), 0, row);
        EXPECT_EQ(target ? target->row : 0, test.target);
    }
}

TEST(BoardFrame, ChipFallsOnWithoutStoppingAndShakesOnlyWhenItLands) {
    Board board({"R", ".", ".", "G"});
    board.begin();
    board.field().refillEnabled = false;
    Chip* chip = board.chip(0, 1);
    int frames = 0;
    float speed = 0.0f;
    while (frames < 120) {
        board.field().update(kDt);
        ++frames;
        if (chip->moveState == 0) break;
        EXPECT_EQ(chip->shakeTimeLeft, 0.0f) << "no shake while it falls on";
        speed = chip->speed;
    }
    ASSERT_EQ(chip->moveState, 0);
    EXPECT_FLOAT_EQ(chip->position.y, 3.5f);
    EXPECT_EQ(board.field().cellAt(0, 3)->chip, chip);
    EXPECT_GT(speed, 7.5f + 20.0f * kDt * (frames - 2)) << "the speed is kept over the cells";
    EXPECT_FLOAT_EQ(chip->speed, 7.5f);
    EXPECT_FLOAT_EQ(chip->shakeTimeLeft, 0.15f);
    EXPECT_FLOAT_EQ(chip->shakeAmplitude.y, 0.08f);
    board.field().update(kDt);
    const float k = kDt / 0.15f;
    EXPECT_NEAR(chip->shakeOffset.y, 0.08f * std::sin(6.2831853f * k) * (1.0f - k), 1e-5f);
    for (int i = 0; i < 10; ++i) board.field().update(kDt);
    EXPECT_EQ(chip->shakeOffset.y, 0.0f);
    EXPECT_EQ(chip->shakeTimeLeft, 0.0f);
}

TEST(BoardFrame, SuspendPauseAndWaitingTasksHoldTheFall) {
    enum Hold { kSuspend, kPause, kWaitingTask, kDisabledFall };
    for (Hold hold : {kSuspend, kPause, kWaitingTask, kDisabledFall}) {
        SCOPED_TRACE(hold);
        Board board({"R", ".", "B"});
        board.begin();
        GameField& field = board.field();
        field.refillEnabled = false;
        Chip* chip = board.chip(0, 1);
        switch (hold) {
        case kSuspend: field.suspendTime = 0.25f; break;
        case kPause: field.fallPauseTime = 0.25f; break;
        case kWaitingTask: {
            // An empty cell: when due it does nothing.
            auto* task = new DestroyChipInCellTask(&field, 0, 2, 0.25f);
            task->blockWhileRunning = 0;
            field.taskManager->addTask(task);
            break;
        }
        case kDisabledFall: field.fallEnabled = false; break;
        }
        for (int i = 0; i < 14; ++i) field.update(kDt);
        EXPECT_EQ(chip->moveState, 0);
        EXPECT_FLOAT_EQ(chip->position.y, 1.5f);
        for (int i = 0; i < 3; ++i) field.update(kDt);
        EXPECT_EQ(chip->moveState == 1, hold != kDisabledFall);
    }
}

TEST(BoardFrame, RefillDropsOneChipPerColumnPerFrameAndPassesRestingGoals) {
    Board board({"...", "...", "..."});
    board.begin();
    GameField& field = board.field();
    field.fallEnabled = false;
    auto live = [&] {
        int count = 0;
        for (Chip* chip : field.chipManager->pool) count += chip->destroyed ? 0 : 1;
        return count;
    };
    EXPECT_EQ(live(), 0);
    field.update(kDt);
    EXPECT_EQ(live(), 3);
    // Each enters above the column and heads for its first empty cell.
    EXPECT_EQ(field.cellAt(0, 1)->chip->target.y, 1.5f);
    EXPECT_EQ(field.cellAt(0, 1)->chip->position.y, 0.5f);
    EXPECT_EQ(field.cellAt(1, 1)->reserved, 1);
    field.update(kDt);
    EXPECT_EQ(live(), 3) << "a column takes no second chip while its first is on its way";

    // A goal resting in the top row is passed: the chip goes into the cell under it.
    Board goal({"g", ".", "."});
    goal.begin();
    goal.field().fallEnabled = false;
    goal.field().update(kDt);
    Chip* dropped = goal.field().cellAt(0, 2)->chip;
    ASSERT_NE(dropped, nullptr);
    EXPECT_EQ(dropped->moveState, 1);
    EXPECT_EQ(dropped->target.y, 2.5f);
}

TEST(BoardFrame, EntryAnimationsPutEveryChipInItsCell) {
    Board wide(std::vector<std::string>(15, std::string(21, 'r')));
    GameField& field = wide.field();
    ChipAppearenceLine line(0.85f, false);
    line.start(&field);
    ASSERT_EQ(line.tracks.size(), 315u);
    // The last chip waits about 1.85 s.
    EXPECT_NEAR(line.tracks.back().animation->mDurations[0], 1.85f, 0.01f);
    wide.begin();
    for (int row = 1; row <= 15; ++row) {
        for (int column = 0; column < 21; ++column) {
            const Chip* chip = wide.chip(column, row);
            ASSERT_NE(chip, nullptr);
            EXPECT_EQ(chip->position.x, column + 0.5f);
            EXPECT_EQ(chip->position.y, row + 0.5f);
        }
    }
    Board empty({"...", "..."});
    ChipAppearenceCross cross(0.85f, false);
    cross.start(&empty.field());
    EXPECT_TRUE(cross.isFinished());
}

// Counts its updates and finishes after three; counts its deletion.
class CountingEffect : public GameFieldEffect {
public:
    CountingEffect(int* updates, int* deleted) : updates(updates), deleted(deleted) {}
    ~CountingEffect() override { ++*deleted; }
    void update(float) override { finished = ++*updates >= 3; }
    void draw() override {}
    int* updates;
    int* deleted;
};

TEST(BoardFrame, WithoutARendererTheFieldAdvancesItsOwnEffects) {
    int updates = 0, deleted = 0, idleUpdates = 0;
    {
        Board board({"R"});
        board.begin();
        ASSERT_EQ(board.field().renderer, nullptr);
        board.field().effectList()->add(new CountingEffect(&updates, &deleted));
        for (int i = 0; i < 5; ++i) board.field().update(kDt);
        EXPECT_EQ(updates, 3);
        EXPECT_EQ(deleted, 1);
        // One left running goes with the board.
        board.field().effectList()->add(new CountingEffect(&idleUpdates, &deleted));
        idleUpdates = -100;
        board.field().update(kDt);
    }
    EXPECT_EQ(idleUpdates, -99);
    EXPECT_EQ(deleted, 2);
}

}  // namespace

// Task timing, the board's task kinds and delayed cell destruction.
#include <gtest/gtest.h>

#include "board/behavior.h"
#include "board/board_tasks.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/game_field.h"
#include "support/board_fixture.h"
#include "board/task.h"

namespace {

struct CountingTask : Task {
    CountingTask(float wait, bool blocksRunning, bool blocksWaiting, int runsNeeded = 1)
        : runsNeeded(runsNeeded) {
        delay = wait;
        blockWhileRunning = blocksRunning;
        blockWhileWaiting = blocksWaiting;
    }
    bool update(float) override {
        ++runs;
        if (spawn) {
            manager->addTask(spawn);
            spawn = nullptr;
        }
        return runs >= runsNeeded;
    }
    int runs = 0;
    int runsNeeded;
    TaskManager* manager = nullptr;
    Task* spawn = nullptr;
};

TEST(TaskManager, DelaysBlockersAndAPassThatGrows) {
    TaskManager manager;
    auto* waiting = new CountingTask(0.12f, true, true);
    manager.addTask(waiting);
    EXPECT_TRUE(manager.update(0.05f));
    EXPECT_TRUE(manager.hasWaitingBlocker());
    EXPECT_TRUE(manager.update(0.05f));
    EXPECT_TRUE(manager.hasWaitingBlocker());
    // Due in the third frame: it runs, finishes and the frame reports busy.
    EXPECT_FALSE(manager.update(0.05f));
    EXPECT_FALSE(manager.hasWaitingBlocker());
    EXPECT_EQ(manager.size(), 0u);
    EXPECT_TRUE(manager.update(0.05f));

    // A task added while another runs is visited in the same pass.
    auto* parent = new CountingTask(0.0f, false, false);
    auto* child = new CountingTask(0.0f, false, false, 2);
    parent->manager = &manager;
    parent->spawn = child;
    manager.addTask(parent);
    EXPECT_TRUE(manager.update(0.01f));
    ASSERT_EQ(manager.size(), 1u);
    EXPECT_EQ(child->runs, 1);

    // Disabled: nothing advances.
    manager.enabled = 0;
    auto* later = new CountingTask(1.0f, false, true);
    manager.addTask(later);
    EXPECT_FALSE(manager.update(0.5f));
    EXPECT_FLOAT_EQ(later->delay, 1.0f);
    EXPECT_EQ(child->runs, 1);
    manager.enabled = 1;
    EXPECT_TRUE(manager.update(0.5f));
    EXPECT_FLOAT_EQ(later->delay, 0.5f);
    // The child ran its second time and is gone; only the later task is left.
    EXPECT_EQ(manager.size(), 1u);
}

class FieldTasks : public ::testing::Test {
protected:
    void SetUp() override {
        world.prototypes(qvtest::plainPrototypes(
            "  { Name = \"WaveHor\", Behavior = { { Name = \"WaveHor\", MultipleColors = 1 } } },\n"
            "  { Name = \"Goal\", Behavior = { { Name = \"FallingLevelGoal\", MultipleColors = 0 } } },\n"));
        world.field("Parameters = { gridWidth = 5, gridHeight = 5 }");
        ASSERT_TRUE(world.level("GameField = { Grid = { Cells = { { PosX = 1, PosY = 1, Solidity = 3 } } } }"));
    }
    Chip* put(const std::string& name, int column, int row) {
        Chip* chip = world.chips->createChip(name, column, row);
        world.board->cellAt(column, row)->chip = chip;
        return chip;
    }
    qvtest::BoardWorld world;
};

TEST_F(FieldTasks, CellLookupTruncatesTowardZero) {
    GameField& field = *world.board;
    EXPECT_EQ(field.getCell(-0.5f, 3.2f), field.cellAt(0, 3));
    EXPECT_EQ(field.getCell(-1.0f, 3.2f), nullptr);
    EXPECT_NE(field.getCell(0.0f, 5.0f), nullptr);
    EXPECT_EQ(field.getCell(0.0f, 6.0f), nullptr);
    EXPECT_EQ(field.getCell(5.0f, 1.0f), nullptr);
    EXPECT_EQ(field.getCell(1e30f, 1.0f), nullptr);
}

TEST_F(FieldTasks, DestroyCellLaterDelaysLoneBonusChips) {
    GameField& field = *world.board;
    Chip* wave = put("WaveHor_R", 2, 2);
    Chip* plain = put("Simple_G", 3, 2);
    Chip* goal = put("Goal", 4, 2);
    GameField::destroyCellLater(&field, field.cellAt(2, 2), plain, 0.25f, 0.0f);
    GameField::destroyCellLater(&field, field.cellAt(3, 2), wave, 0.25f, 0.0f);
    GameField::destroyCellLater(&field, field.cellAt(4, 2), wave, 0.25f, 0.0f);
    GameField::destroyCellLater(&field, field.cellAt(1, 1), wave, 0.5f, 0.0f);  // empty: the tile wears
    ASSERT_EQ(field.taskManager->size(), 3u);
    EXPECT_FLOAT_EQ(field.taskManager->tasks[0]->delay, 1.0f);
    EXPECT_EQ(wave->detonating, 1);
    EXPECT_EQ(wave->getProperty("destroyer").toChip(), plain);
    EXPECT_TRUE(wave->hasProperty("lock"));
    EXPECT_FLOAT_EQ(field.taskManager->tasks[1]->delay, 0.25f);
    EXPECT_EQ(plain->detonating, 0);
    EXPECT_FALSE(goal->hasProperty("lock"));
    EXPECT_NE(dynamic_cast<ReduceCellTask*>(field.taskManager->tasks[2]), nullptr);

    // Frames of 1/8 s: the plain chip goes after 0.25 s, the tile after 0.5 s, the wave after 1 s.
    auto frames = [&](int count) {
        for (int frame = 0; frame < count; ++frame) {
            for (Chip* chip : world.chips->pool) chip->hitThisFrame = 0;
            field.taskManager->update(0.125f);
        }
    };
    frames(1);
    EXPECT_FALSE(plain->destroyed);
    frames(1);
    EXPECT_TRUE(plain->destroyed);
    frames(1);
    EXPECT_EQ(field.cellAt(1, 1)->solidity, 3);
    frames(1);
    EXPECT_EQ(field.cellAt(1, 1)->solidity, 2);
    frames(3);
    EXPECT_FALSE(wave->destroyed);
    frames(1);
    EXPECT_TRUE(wave->destroyed);
    EXPECT_EQ(field.taskManager->size(), 0u);
}

TEST_F(FieldTasks, CellAddressedDestructionTakesWhatRestsThereWhenDue) {
    GameField& field = *world.board;
    Chip* first = put("Simple_R", 2, 3);
    put("Goal", 3, 3);
    field.addDestroyChipInCellTask(2, 3, 0.1f);
    field.addDestroyChipInCellTask(3, 3, 0.1f);  // a falling goal is never taken
    field.addDestroyChipInCellTask(2, 0, 0.1f);  // the hidden row is never taken
    field.addDestroyChipInCellTask(4, 4, 0.1f);  // empty
    ASSERT_EQ(field.taskManager->size(), 1u);
    // The chip leaves; another one is only on its way in.
    field.cellAt(2, 3)->chip = nullptr;
    Chip* arriving = put("Simple_G", 2, 3);
    arriving->position.y = 2.5f;
    arriving->moveState = 1;
    field.taskManager->update(0.1f);
    EXPECT_FALSE(first->destroyed);
    EXPECT_FALSE(arriving->destroyed);
}

TEST_F(FieldTasks, DestroyChipTaskLiftsTheLockFromASurvivor) {
    GameField& field = *world.board;
    Chip* chip = put("Simple_R", 2, 3);
    chip->behaviors.add(new Behavior(*chip->behaviors.back()));
    auto* task = new DestroyChipTask(chip, false, &field);
    EXPECT_TRUE(chip->hasProperty("lock"));
    field.taskManager->addTask(task);
    EXPECT_FALSE(field.taskManager->update(0.0f));
    EXPECT_FALSE(chip->destroyed);
    EXPECT_EQ(chip->behaviors.size(), 1u);
    EXPECT_FALSE(chip->hasProperty("lock"));
}

}  // namespace

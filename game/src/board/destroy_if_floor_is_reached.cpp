#include "board/destroy_if_floor_is_reached.h"

#include <algorithm>

#include "board/board_tasks.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/game_field.h"
#include "board/task.h"

namespace {
constexpr float kSuspend = 0.3f;
}

DestroyIfFloorIsReached::~DestroyIfFloorIsReached() {
    // A chip that goes otherwise must not leave the board locked for good.
    if (lockStillListed()) lockTask->released = 1;
}

bool DestroyIfFloorIsReached::lockStillListed() const {
    if (!lockTask || !lockField || !lockField->taskManager) return false;
    const std::vector<Task*>& tasks = lockField->taskManager->tasks;
    return std::find(tasks.begin(), tasks.end(), lockTask) != tasks.end();
}

bool DestroyIfFloorIsReached::execute(GameField* field, Chip* chip, float) {
    if (!field || !chip) return true;
    const int c = static_cast<int>(chip->position.x);
    const int r = static_cast<int>(chip->position.y);
    int below = 0;
    for (int row = r + 1; row <= field->gridHeight; ++row) {
        const Cell* cell = field->cellAt(c, row);
        // Negative solidity is a hole like 0.
        if (cell && cell->solidity > 0) below += cell->solidity;
    }
    if (below > 0) return true;
    // A cleared task list took the task with it.
    if (lockTask && !lockStillListed()) lockTask = nullptr;
    if (!lockTask) {
        lockTask = new LockTask();
        lockField = field;
        field->taskManager->addTask(lockTask);
    }
    if (field->unsettled) return true;
    field->suspendTime = std::max(field->suspendTime, kSuspend);
    lockTask->released = 1;
    lockTask = nullptr;
    lockField = nullptr;
    return false;
}

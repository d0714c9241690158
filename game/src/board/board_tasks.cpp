#include "board/board_tasks.h"

#include "board/chip.h"
#include "board/game_field.h"

DestroyChipTask::DestroyChipTask(Chip* chip, bool hitNeighbours, GameField* field)
    : chip(chip), field(field), hitNeighbours(hitNeighbours ? 1 : 0) {
    blockWhileRunning = 1;
    blockWhileWaiting = 1;
    if (chip) {
        chipGeneration = chip->generation;
        chip->setProperty("lock", DataHolder("1"));
        chip->destroyScheduled = 1;
    }
}

bool DestroyChipTask::update(float) {
    if (!chip || chip->generation != chipGeneration) return true;
    chip->destroy(field, hitNeighbours != 0, false);
    if (!chip->destroyed) {
        chip->removeProperty("lock");
        chip->destroyScheduled = 0;
    }
    return true;
}

ReduceCellTask::ReduceCellTask(GameField* field, Cell* cell) : field(field), cell(cell) {
    blockWhileWaiting = 1;
}

bool ReduceCellTask::update(float) {
    if (field && cell) field->damageCell(cell);
    return true;
}

SpawnEffectTask::SpawnEffectTask(Cell* cell, int effectIndex, GameField* field)
    : cell(cell), effectIndex(effectIndex), field(field) {
    blockWhileWaiting = 1;
}

bool SpawnEffectTask::update(float) {
    if (field) field->spawnEffectAtCell(cell, effectIndex);
    return true;
}

DestroyChipInCellTask::DestroyChipInCellTask(GameField* field, int column, int row, float taskDelay)
    : field(field), column(column), row(row) {
    delay = taskDelay;
    blockWhileRunning = 1;
    blockWhileWaiting = 1;
}

bool DestroyChipInCellTask::update(float) {
    if (!field || column < 0 || column >= field->gridWidth || row < 1 || row > field->gridHeight) {
        return true;
    }
    Cell* cell = field->cellAt(column, row);
    Chip* chip = cell ? cell->chip : nullptr;
    if (chip && static_cast<int>(chip->position.x) == column &&
        static_cast<int>(chip->position.y) == row) {
        chip->destroy(field, false, false);
    }
    return true;
}

#pragma once

#include "board/task.h"

class Cell;
class Chip;
class GameField;

// Destroys a chip when due; marks it "lock" while it waits. A chip that the
// pool handed out again meanwhile is another chip: it is left alone.
class DestroyChipTask : public Task {
public:
    DestroyChipTask(Chip* chip, bool hitNeighbours, GameField* field);
    bool update(float dt) override;
    Chip* chip;
    GameField* field;
    uint8_t hitNeighbours;
    uint32_t chipGeneration = 0;
};

// Wears one tile layer of a cell when due.
class ReduceCellTask : public Task {
public:
    ReduceCellTask(GameField* field, Cell* cell);
    bool update(float dt) override;
    GameField* field;
    Cell* cell;
};

// Spawns one of the field's wave effects at a cell when due.
class SpawnEffectTask : public Task {
public:
    SpawnEffectTask(Cell* cell, int effectIndex, GameField* field);
    bool update(float dt) override;
    Cell* cell;
    int effectIndex;
    GameField* field;
};

// Holds nothing; finished once its creator sets released.
class LockTask : public Task {
public:
    bool update(float) override { return released != 0; }
    uint8_t released = 0;
};

// Destroys whatever chip rests in a cell when due.
class DestroyChipInCellTask : public Task {
public:
    DestroyChipInCellTask(GameField* field, int column, int row, float delay);
    bool update(float dt) override;
    GameField* field;
    int column;
    int row;
};

#include "board/wave_action.h"

#include <algorithm>
#include <cmath>

#include "board/blast_shake.h"
#include "board/board_tasks.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/game_field.h"
#include "board/task.h"

namespace {

constexpr float kSpreadTime = 0.2f;
constexpr float kSuspend = 0.2f;

// Effect index bases of the field's wave effects.
constexpr int kHorizontalFx = 0;
constexpr int kVerticalFx = 2;
constexpr int kFallingDiagonalFx = 4;
constexpr int kRisingDiagonalFx = 6;

float distance(float x, float y, float px, float py) {
    return std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
}

// A bonus chip in the line goes off a second after the wave reaches it.
void reach(GameField* field, Chip* origin, int column, int row, float delay, int effect) {
    Cell* cell = field->cellAt(column, row);
    if (!cell) return;
    GameField::destroyCellLater(field, cell, origin, delay, delay);
    if (cell->solidity > 0) {
        SpawnEffectTask* task = new SpawnEffectTask(cell, effect, field);
        task->delay = delay;
        field->taskManager->addTask(task);
    }
}

}  // namespace

bool WaveAction::execute(GameField* field, Chip* chip, float) {
    if (!field || !chip) return true;
    const float x = chip->position.x;
    const float y = chip->position.y;
    const int c = static_cast<int>(x);
    const int r = static_cast<int>(y);
    const int n = std::max(field->gridWidth, field->gridHeight + 1);
    const float f = kSpreadTime / float(n);
    field->suspendTime = std::max(field->suspendTime, kSuspend);
    for (int k = 0; k <= n; ++k) {
        const float dO = f * distance(x, y, float(c + k), float(r + k));
        const float dD = f * distance(x, y, float(c + k), float(r));
        const int alt = k % 2;
        if (mask & kLeft) {
            if (k > 0) reach(field, chip, c - k, r, dO, kHorizontalFx + alt);
            if (super) {
                reach(field, chip, c - k, r + 1, dO, kHorizontalFx + alt);
                reach(field, chip, c - k, r - 1, dO, kHorizontalFx + alt);
            }
        }
        if (mask & kRight) {
            if (k > 0) reach(field, chip, c + k, r, dO, kHorizontalFx + alt);
            if (super) {
                reach(field, chip, c + k, r + 1, dO, kHorizontalFx + alt);
                reach(field, chip, c + k, r - 1, dO, kHorizontalFx + alt);
            }
        }
        if (mask & kUp) {
            if (k > 0) reach(field, chip, c, r - k, dO, kVerticalFx + alt);
            if (super) {
                reach(field, chip, c + 1, r - k, dO, kVerticalFx + alt);
                reach(field, chip, c - 1, r - k, dO, kVerticalFx + alt);
            }
        }
        if (mask & kDown) {
            if (k > 0) reach(field, chip, c, r + k, dO, kVerticalFx + alt);
            if (super) {
                reach(field, chip, c + 1, r + k, dO, kVerticalFx + alt);
                reach(field, chip, c - 1, r + k, dO, kVerticalFx + alt);
            }
        }
        if ((mask & kDiagonals) && k > 0) {
            reach(field, chip, c + k, r + k, dD, kFallingDiagonalFx + alt);
            reach(field, chip, c - k, r - k, dD, kFallingDiagonalFx + alt);
            reach(field, chip, c - k, r + k, dD, kRisingDiagonalFx + alt);
            reach(field, chip, c + k, r - k, dD, kRisingDiagonalFx + alt);
        }
    }
    shakeChipsAround(field, chip);
    return true;
}

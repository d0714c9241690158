#include "board/boom_action.h"

#include <algorithm>

#include "board/blast_shake.h"
#include "board/chip.h"
#include "board/game_field.h"

namespace {

constexpr float kSuspend = 0.7f;
constexpr float kNearDelay = 0.2f;
constexpr float kFarDelay = 0.4f;

void queue(GameField* field, Chip* chip, int column, int row, float delay) {
    GameField::destroyCellLater(field, field->cellAt(column, row), chip, delay, 0.0f);
}

}  // namespace

bool BoomAction::execute(GameField* field, Chip* chip, float) {
    if (!field || !chip) return true;
    const int c = static_cast<int>(chip->position.x);
    const int r = static_cast<int>(chip->position.y);
    field->suspendTime = std::max(field->suspendTime, kSuspend);
    if (super) {
        for (int i = -1; i <= 1; ++i) {
            queue(field, chip, c + i, r - 2, kFarDelay);
            queue(field, chip, c + i, r + 2, kFarDelay);
            queue(field, chip, c - 2, r + i, kFarDelay);
            queue(field, chip, c + 2, r + i, kFarDelay);
        }
    }
    for (int row = r - 1; row <= r + 1; ++row) {
        for (int column = c - 1; column <= c + 1; ++column) {
            if (row == r && column == c) continue;
            queue(field, chip, column, row, kNearDelay);
        }
    }
    shakeChipsAround(field, chip);
    return true;
}

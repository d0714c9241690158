#include "board/color_destroyer_task.h"

#include "board/behavior_kind.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/game_field.h"

ColorDestroyerTask::ColorDestroyerTask(GameField* field, Chip* bomb, int group)
    : ColorDestroyerTask(field, field && bomb ? bomb->position * float(field->cellSize) : QV::Vector2<float>(),
                         group) {}

ColorDestroyerTask::ColorDestroyerTask(GameField* field, const QV::Vector2<float>& start, int group)
    : field(field), group(group), start(start) {
    blockWhileRunning = 1;
    blockWhileWaiting = 1;
}

bool ColorDestroyerTask::qualifies(const Chip* chip) const {
    if (!chip || chip->destroyed) return false;
    if (group == -1 ? chip->group == -1 : chip->group != group) return false;
    if (!chip->canIterateWithGroup() && !chip->hasBehavior(kSimple)) return false;
    return !chip->hasBehavior(kDestroyColor);
}

bool ColorDestroyerTask::update(float) {
    if (!field) return true;
    if (flight.exists() && !flight.arrived()) return false;
    bool destroyedOne = false;
    for (; row <= field->gridHeight; ++row, column = 0) {
        for (; column < field->gridWidth; ++column) {
            Cell* cell = field->cellAt(column, row);
            Chip* chip = cell ? cell->chip : nullptr;
            if (!qualifies(chip)) continue;
            if (!flight.exists()) {
                flight.start(field, group, start);
                flight.aimAt(field, chip->position);
                return false;
            }
            if (!destroyedOne) {
                chip->destroy(field, true, false);
                destroyedOne = true;
                continue;
            }
            flight.aimAt(field, chip->position);
            return false;
        }
    }
    flight.finish();
    return true;
}

#include "board/color_transformer_task.h"

#include <string>

#include "board/behavior.h"
#include "board/behavior_kind.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/color_destroyer_task.h"
#include "board/game_field.h"
#include "log_system.h"

ColorTransformerTask::ColorTransformerTask(GameField* field, int group, Chip* bomb, int targetKind)
    : field(field), group(group), targetKind(targetKind) {
    blockWhileRunning = 1;
    blockWhileWaiting = 1;
    if (field && bomb) start = bomb->position * float(field->cellSize);
}

bool ColorTransformerTask::qualifies(const Chip* chip) const {
    return chip && !chip->destroyed && chip->group == group && chip->canIterateWithGroup() &&
           chip->hasBehavior(kSimple) && chip->behaviors.size() == 1;
}

std::string ColorTransformerTask::nextName() const {
    std::string name = targetKind == kToWaves ? (waveToggle % 2 == 0 ? "WaveVer_" : "WaveHor_") : "SimpleBomb_";
    return name + groupLetter(group);
}

bool ColorTransformerTask::handOver() {
    flight.finish();
    field->taskManager->addTask(new ColorDestroyerTask(field, start, group));
    return true;
}

void ColorTransformerTask::transform(Cell* cell, Chip* chip) {
    const std::string name = nextName();
    const QV::Vector2<float> place = chip->position;
    chip->hitThisFrame = 0;
    chip->destroy(field, true, false);
    if (cell->chip && !(cell->chip->behaviors.empty() && cell->chip->destroyed)) return;
    Chip* created = field->chipManager->createChip(name, cell->column, cell->row);
    if (!created) {
        QV::logLine("ERROR: Colour bomb: no chip prototype '" + name + "'");
        return;
    }
    // It lands in place through the field's fall.
    created->moveState = 1;
    created->position = place;
    created->target = place;
    cell->chip = created;
}

bool ColorTransformerTask::update(float dt) {
    if (!field) return true;
    if (flight.exists() && !flight.arrived()) return false;
    timer -= dt;
    if (timer > 0.0f) return false;
    // No letter names a chip outside the six colours: set off what there is.
    if (group < 0 || group > 5) return handOver();
    bool transformed = false;
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
            if (!transformed) {
                transform(cell, chip);
                transformed = true;
                ++waveToggle;
                timer = kInterval;
                continue;
            }
            flight.aimAt(field, chip->position);
            return false;
        }
    }
    return handOver();
}

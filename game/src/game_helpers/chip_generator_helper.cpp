#include "game_helpers/chip_generator_helper.h"

#include <algorithm>
#include <cstdlib>

#include "board/behavior.h"
#include "board/behavior_kind.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/game_field.h"
#include "board/move_hint.h"
#include "board/task.h"
#include "format_string.h"
#include "game_helpers/level_board.h"

namespace {

constexpr float kRefillPause = 0.3f;

}  // namespace

bool ChipGeneratorHelper::alive(const Entry& entry) const {
    return entry.chip->generation == entry.generation && !entry.chip->destroyed;
}

void ChipGeneratorHelper::collectGenerators() {
    mGenerators.clear();
    mHit = false;
    mMade = 0;
    GameField* field = currentGameField();
    if (field && field->chipManager) {
        for (Chip* chip : field->chipManager->pool)
            if (!chip->destroyed && chip->hasBehavior(kChipGenerator)) mGenerators.push_back({chip, chip->generation});
    }
    mMoved = false;
}

void ChipGeneratorHelper::onLevelStart() {
    mGenerators.clear();
    mHit = false;
}

bool ChipGeneratorHelper::onNeighbourDestroyed(Chip* neighbour) {
    if (!neighbour) return false;
    const bool stuff = neighbour->hasBehavior(kStuffChip);
    if (stuff || neighbour->hasBehavior(kChipGenerator)) mHit = true;
    if (!stuff) return false;
    neighbour->destroy(currentGameField(), false, false);
    return true;
}

void ChipGeneratorHelper::update(float) {
    if (!mMoved) return;
    GameField* field = currentGameField();
    if (!field || field->taskManager->size() != 0) return;
    if (levelDialogCount() <= 0 && field->destroyMatches(true)) return;
    mMoved = false;
    if (mHit) {
        mHit = false;
        return;
    }
    for (const Entry& entry : mGenerators) {
        if (!alive(entry)) continue;
        Chip* generator = entry.chip;
        int left = chipIntProperty(generator, "limitLeft", chipIntProperty(generator, "limit")) - 1;
        if (left <= 0) {
            generate(generator);
            left = chipIntProperty(generator, "limit");
        }
        setChipIntProperty(generator, "limitLeft", left);
    }
}

std::string ChipGeneratorHelper::describe() const {
    if (mGenerators.empty()) return std::string();
    std::string line = QV::formatString("generators count=%d made=%d hit=%d moved=%d", static_cast<int>(mGenerators.size()),
                                        mMade, mHit ? 1 : 0, mMoved ? 1 : 0);
    for (const Entry& entry : mGenerators) {
        if (!alive(entry)) continue;
        const Chip* chip = entry.chip;
        line += QV::formatString(" %d,%d:left=%d", static_cast<int>(chip->position.x), static_cast<int>(chip->position.y),
                                 chipIntProperty(chip, "limitLeft", chipIntProperty(chip, "limit")));
    }
    return line;
}

void ChipGeneratorHelper::generate(Chip* generator) {
    GameField* field = currentGameField();
    if (!field || !field->chipManager || field->rows.empty()) return;
    const int x = static_cast<int>(generator->position.x);
    const int y = static_cast<int>(generator->position.y);
    // A reach past the grid adds only copies of the same cells.
    const int radius = std::min(chipIntProperty(generator, "radius"), std::max(field->gridWidth, field->gridHeight + 1));
    std::vector<Cell*> candidates;
    for (int d = 1; d <= radius; ++d) {
        for (int dy = -d; dy <= d; ++dy) {
            for (int dx = -d; dx <= d; ++dx) {
                if (dx == 0 && dy == 0) continue;
                const int column = x + dx, row = y + dy;
                if (column < 0 || column >= field->gridWidth || row < 0 || row > field->gridHeight) continue;
                Cell* cell = field->cellAt(column, row);
                const Chip* chip = cell ? cell->chip : nullptr;
                if (!chip || chip->destroyed || chip->destroyInProgress || chip->destroyScheduled ||
                    chip->hasProperty("lock"))
                    continue;
                if (!chip->hasBehavior(kSimple) || chip->behaviors.size() > 1) continue;
                candidates.push_back(cell);
            }
        }
    }
    if (candidates.empty()) return;
    Cell* cell = candidates[static_cast<size_t>(std::rand()) % candidates.size()];
    Chip* old = cell->chip;
    // The plain chip gives way without scoring: it becomes the stuff.
    if (!old->behaviors.empty()) {
        delete old->behaviors.items.back();
        old->behaviors.items.pop_back();
    }
    field->moveHint->reset();
    if (old->behaviors.empty()) {
        field->forgetChip(old);
        old->selected = 0;
        old->destroyed = 1;
        field->fallPauseTime = kRefillPause;
    }
    Chip* stuff = field->chipManager->createChip("StuffChip", cell->column, cell->row);
    if (stuff) {
        stuff->moveState = 1;
        stuff->position = stuff->target = {cell->column + 0.5f, cell->row + 0.5f};
        cell->chip = stuff;
        ++mMade;
    }
    for (Behavior* layer : generator->behaviors) layer->activateSceneNode("generate");
}

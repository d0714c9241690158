#include "game_helpers/chip_up_helper.h"

#include "board/behavior.h"
#include "board/behavior_kind.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/game_field.h"
#include "board/task.h"
#include "format_string.h"
#include "game_helpers/level_board.h"
#include "game_helpers/swap_chips_task.h"

void ChipUpHelper::collectChips() {
    mChips.clear();
    mGenerations.clear();
    mOwed.clear();
    mCheckPending = false;
    mRises = 0;
    GameField* field = currentGameField();
    if (!field || !field->chipManager) return;
    for (Chip* chip : field->chipManager->pool) {
        if (chip->destroyed || !chip->hasBehavior(kChipUp)) continue;
        mChips[chip] = static_cast<int>(chip->position.x);
        mGenerations[chip] = chip->generation;
    }
}

void ChipUpHelper::onLevelStart() {
    mChips.clear();
    mGenerations.clear();
    mOwed.clear();
    mCheckPending = false;
}

void ChipUpHelper::onMoveMade() {
    GameField* field = currentGameField();
    if (!field) return;
    for (const auto& entry : mChips) mOwed.insert(entry.first);
    if (field->taskManager->size() != 0) mCheckPending = true;
    else checkChipsUp();
}

void ChipUpHelper::forgetChip(Chip* chip) {
    mChips.erase(chip);
    mGenerations.erase(chip);
    mOwed.erase(chip);
}

void ChipUpHelper::update(float) {
    if (!mCheckPending && mOwed.empty()) return;
    GameField* field = currentGameField();
    if (!field || field->taskManager->size() != 0) return;
    mCheckPending = false;
    checkChipsUp();
}

std::string ChipUpHelper::describe() const {
    if (mChips.empty() && mRises == 0) return std::string();
    std::string line = QV::formatString("chipup count=%d rises=%d pending=%d", static_cast<int>(mChips.size()), mRises,
                                        mCheckPending ? 1 : 0);
    for (const auto& entry : mChips)
        line += QV::formatString(" %d,%d", static_cast<int>(entry.first->position.x),
                                 static_cast<int>(entry.first->position.y));
    return line;
}

void ChipUpHelper::checkChipsUp() {
    GameField* field = currentGameField();
    if (!field || field->rows.empty()) return;
    for (auto it = mChips.begin(); it != mChips.end();) {
        Chip* chip = it->first;
        auto generation = mGenerations.find(chip);
        // Handed out again as another chip: no longer ours.
        if (chip->destroyed || generation == mGenerations.end() || generation->second != chip->generation) {
            mGenerations.erase(chip);
            mOwed.erase(chip);
            it = mChips.erase(it);
            continue;
        }
        ++it;
        if (!mOwed.count(chip)) continue;
        // Still moving or trading: it rises when it is still.
        if (chip->hasProperty("swap_process") || chip->moveState != 0) continue;
        const int column = static_cast<int>(chip->position.x);
        const int row = static_cast<int>(chip->position.y);
        Cell* own = field->cellAt(column, row);
        if (!own || own->chip != chip) continue;
        bool gap = false;
        for (int r = row + 1; r <= field->gridHeight && !gap; ++r) {
            const Cell* below = field->cellAt(column, r);
            gap = below && below->solidity > 0 && (!below->chip || below->chip->destroyed ||
                                                   below->chip->destroyInProgress || below->chip->destroyScheduled);
        }
        if (gap) continue;
        // Row 1 is the top of the board: the extra row above only feeds the refill.
        if (row - 1 < 1) {
            mOwed.erase(chip);
            continue;
        }
        Cell* above = field->cellAt(column, row - 1);
        const Chip* over = above ? above->chip : nullptr;
        if (over && (over->hasProperty("swap_process") || over->moveState != 0)) continue;
        // A playable cell above that the refill is about to fill.
        if (above && above->solidity > 0 && !over && field->refillEnabled) continue;
        mOwed.erase(chip);
        if (!above || above->solidity == 0 || !over) continue;
        if (over->destroyed || over->behaviors.empty() || !over->behaviors.canFall() ||
            over->behaviors.countLevelGoals() > 0)
            continue;
        for (Behavior* layer : chip->behaviors) layer->activateSceneNode("up");
        field->taskManager->addTask(new SwapChipsTask(own, above, kTradeTime));
        ++mRises;
    }
}

#include <algorithm>

#include "board/behavior.h"
#include "board/board_random.h"
#include "board/chip.h"
#include "board/chip_appearence.h"
#include "board/game_field.h"
#include "board/move_hint.h"
#include "board/task.h"

bool GameField::mixChips() {
    int perGroup[6] = {};
    for (int row = 1; row <= gridHeight; ++row) {
        for (int column = 0; column < gridWidth; ++column) {
            const Cell* cell = cellAt(column, row);
            const Chip* chip = cell ? cell->chip : nullptr;
            if (!chip || chip->behaviors.size() != 1 || !chip->hasBehavior(kSimple)) continue;
            if (chip->group >= 0 && chip->group < 6) ++perGroup[chip->group];
        }
    }
    if (std::none_of(std::begin(perGroup), std::end(perGroup), [](int count) { return count >= 2; })) {
        return false;
    }
    ChipAppearence* running = appearances->currentAppearence();
    if ((running && !running->isFinished()) || unsettled) return true;
    // The board's own tasks (delayed destructions, colour bombs, a swap) find
    // their chips by pointer or by cell: dealing the chips again now would
    // make them take the wrong ones. Wait until they are done.
    for (const Task* task : taskManager->tasks) {
        if (task->getType() == 0) return true;
    }
    appearances->clear();
    appearances->items.emplace_back(new ChipMixing(0.85f));
    const size_t count = appearances->items.size();
    appearances->current = std::min(count - 1, static_cast<size_t>(boardRand()) * count / 32767);
    appearances->items[appearances->current]->start(this);
    idleTime = 0.0f;
    moveHint->reset();
    return true;
}

#include <cstdlib>

#include "board/board_host.h"
#include "board/chip.h"
#include "board/chip_appearence.h"
#include "board/game_field.h"
#include "board/game_field_swap.h"
#include "board/mode.h"
#include "board/task.h"

void GameField::onCellClicked(int column, int row) {
    if (ChipAppearence* appearence = appearances->currentAppearence()) {
        if (!appearence->isFinished()) return;
    }
    if (taskManager->size() > 0) return;
    lastClickedColumn = column;
    lastClickedRow = row;
    if (column < 0 || column >= gridWidth || row < 0 || row > gridHeight) return;
    if (level && !level->isCellAllowed(column, row)) return;
    Cell* cell = cellAt(column, row);
    Chip* clicked = cell ? cell->chip : nullptr;
    if (!clicked || clicked->moveState == 1 || !clicked->canBeSwapped()) return;

    Chip* selected = selectedChip;
    if (!selected) {
        selectedChip = clicked;
        clicked->selected = 1;
        return;
    }
    const int cs = static_cast<int>(selected->position.x);
    const int rs = static_cast<int>(selected->position.y);
    const int cc = static_cast<int>(clicked->position.x);
    const int rc = static_cast<int>(clicked->position.y);
    const bool neighbours = (cs == cc && std::abs(rs - rc) == 1) || (rs == rc && std::abs(cs - cc) == 1);
    if (!neighbours) {
        selected->selected = 0;
        selectedChip = clicked;
        clicked->selected = 1;
        idleTime = 0.0f;
        return;
    }
    Cell* a = getCell(selected->position.x, selected->position.y);
    Cell* b = getCell(clicked->position.x, clicked->position.y);
    selected->selected = 0;
    selectedChip = nullptr;
    if (!a || !b || !a->chip || !b->chip || a->chip->moveState != 0 || b->chip->moveState != 0) {
        idleTime = 0.0f;
        return;
    }
    if (Mode* current = mode()) {
        if (current->tryFuseBonusChips(a->chip, b->chip)) return;
    }
    taskManager->addTask(new FieldSwapChipsTask(a, b, this));
    idleTime = 0.0f;
}

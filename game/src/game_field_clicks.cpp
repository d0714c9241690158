#include "board_host.h"
#include "game_field.h"

void GameField::onCellClicked(int column, int row) {
    if (level && !level->isCellAllowed(column, row)) return;
    lastClickedColumn = column;
    lastClickedRow = row;
}

#include "board/game_field_swap.h"

#include <algorithm>
#include <utility>

#include "board/behavior_kind.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/chip_selector.h"
#include "board/game_field.h"
#include "board/mode.h"

FieldSwapChipsTask::FieldSwapChipsTask(Cell* a, Cell* b, GameField* owner) : cellA(a), cellB(b), field(owner) {
    blockWhileRunning = 1;
    blockWhileWaiting = 1;
}

namespace {

void restAfterSwap(Chip* chip) {
    chip->target = chip->position;
    if (chip->moveState != 0) chip->orderStamp = chipOrderCounter++;
    chip->moveState = 0;
    chip->orderStamp = chipOrderCounter++;
}

}  // namespace

bool FieldSwapChipsTask::update(float dt) {
    timeLeft = std::max(timeLeft - dt, 0.0f);
    const float p = 1.0f - timeLeft / duration;
    const float dc = static_cast<float>(cellB->column) - static_cast<float>(cellA->column);
    const float dr = static_cast<float>(cellB->row) - static_cast<float>(cellA->row);
    if (Chip* chip = cellA->chip) chip->position = {cellA->column + dc * p + 0.5f, cellA->row + dr * p + 0.5f};
    if (Chip* chip = cellB->chip) chip->position = {cellB->column - dc * p + 0.5f, cellB->row - dr * p + 0.5f};
    if (timeLeft != 0.0f) return false;

    const bool bothHeld = cellA->chip && cellB->chip;
    if (bothHeld) {
        std::swap(cellA->chip, cellB->chip);
        restAfterSwap(cellB->chip);  // the chip that came from A
        restAfterSwap(cellA->chip);
    }
    field->refillEnabled = field->fallEnabled = true;
    if (returning) return true;
    if (!bothHeld) {
        returning = true;
        timeLeft = duration;
        return false;
    }

    Chip* x = cellB->chip;
    Chip* y = cellA->chip;
    MatchLines xLines, yLines;
    if (x->selector) x->selector->select(xLines, field, x);
    if (y->selector) y->selector->select(yLines, field, y);
    const char* direction = cellA->column == cellB->column ? "ver" : "hor";
    x->setProperty("swap", DataHolder(direction));
    y->setProperty("swap", DataHolder(direction));

    if (x->hasBehavior(kDestroyColor) || y->hasBehavior(kDestroyColor)) {
        Chip* bomb = x->hasBehavior(kDestroyColor) ? x : y;
        Chip* partner = bomb == x ? y : x;
        DataHolder swapped;
        swapped.setChip(partner);
        bomb->setProperty("swappedChip", swapped);
        bomb->destroy(field, true, false);
    } else if (xLines.chipCount() > 0 || yLines.chipCount() > 0) {
        field->destroyMatches(true);
    } else {
        returning = true;
        timeLeft = duration;
    }
    if (!returning) {
        if (Mode* mode = field->mode()) mode->onMoveMade(cellA, cellB);
    }
    return timeLeft == 0.0f;
}

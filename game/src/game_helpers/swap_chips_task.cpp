#include "game_helpers/swap_chips_task.h"

#include <algorithm>

#include "board/cell.h"
#include "board/chip.h"
#include "board/property_values.h"

SwapChipsTask::SwapChipsTask(Cell* lower, Cell* upper, float duration)
    : duration(duration > 0.0f ? duration : 0.0f),
      timeLeft(this->duration),
      upper(upper),
      lower(lower),
      upperChip(upper->chip),
      lowerChip(lower->chip),
      upperGeneration(upperChip ? upperChip->generation : 0),
      lowerGeneration(lowerChip ? lowerChip->generation : 0) {
    blockWhileRunning = 1;
    blockWhileWaiting = 1;
    if (upperChip) upperChip->setProperty("swap_process", DataHolder(1));
    if (lowerChip) lowerChip->setProperty("swap_process", DataHolder(1));
}

SwapChipsTask::~SwapChipsTask() {
    // A board cleared mid-trade must not leave the chips marked.
    if (!done) release();
}

void SwapChipsTask::release() {
    if (upperChip && upperChip->generation == upperGeneration) upperChip->removeProperty("swap_process");
    if (lowerChip && lowerChip->generation == lowerGeneration) lowerChip->removeProperty("swap_process");
    done = true;
}

bool SwapChipsTask::update(float dt) {
    // Either chip handed out again meanwhile: nothing left to trade.
    if (!upperChip || !lowerChip || upperChip->generation != upperGeneration ||
        lowerChip->generation != lowerGeneration || upperChip->destroyed || lowerChip->destroyed) {
        release();
        return true;
    }
    timeLeft = std::max(timeLeft - dt, 0.0f);
    const float k = duration > 0.0f ? 1.0f - timeLeft / duration : 1.0f;
    upperChip->position = {upper->column + 0.5f, upper->row + k + 0.5f};
    lowerChip->position = {lower->column + 0.5f, lower->row - k + 0.5f};
    if (timeLeft > 0.0f) return false;
    upper->chip = lowerChip;
    lower->chip = upperChip;
    for (Chip* chip : {upperChip, lowerChip}) {
        chip->target = chip->position;
        chip->moveState = 1;
    }
    release();
    return true;
}

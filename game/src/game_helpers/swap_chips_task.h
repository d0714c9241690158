#pragma once

#include "board/task.h"

class Cell;

// A rising chip trades places with the chip above it: the two pass each
// other over the duration, then their cells exchange them. Blocks the board
// while it runs. Not the board's own swap of a move.
class SwapChipsTask : public Task {
public:
    static constexpr int kType = 9;

    // Both cells must hold chips; they carry "swap_process" until the end.
    SwapChipsTask(Cell* lower, Cell* upper, float duration);
    ~SwapChipsTask() override;
    bool update(float dt) override;
    int getType() const override { return kType; }

private:
    void release();

    float duration;
    float timeLeft;
    Cell* upper;
    Cell* lower;
    class Chip* upperChip;
    class Chip* lowerChip;
    unsigned upperGeneration;
    unsigned lowerGeneration;
    bool done = false;
};

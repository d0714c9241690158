#pragma once

#include <cstdint>

#include "board/action.h"

// A line effect from the chip's cell along the directions of its mask,
// spreading outward over 0.2 s; the super form widens the straight lines to
// three cells.
class WaveAction : public Action {
public:
    enum Direction { kUp = 1, kRight = 2, kDown = 4, kLeft = 8, kDiagonals = 16 };

    WaveAction(int32_t mask, int32_t super) : mask(mask), super(super) {}
    bool execute(GameField* field, Chip* chip, float dt) override;
    Action* clone() const override { return new WaveAction(mask, super); }

    int32_t mask;
    int32_t super;
};

#pragma once

#include <cstdint>

#include "board/action.h"

// A bomb going off: its eight neighbours after 0.2 s and, for the super
// bomb, the twelve cells two away (corners left out) after 0.4 s.
class BoomAction : public Action {
public:
    explicit BoomAction(int32_t super) : super(super) {}
    bool execute(GameField* field, Chip* chip, float dt) override;
    Action* clone() const override { return new BoomAction(super); }

    int32_t super;
};

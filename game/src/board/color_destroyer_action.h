#pragma once

#include "board/action.h"

// The colour bomb's destroy action: picks the colour (the swapped chip's, the
// one of the chip that set it off, else a random plain colour of the level)
// and hands the work to a colour task.
class ColorDestroyer : public Action {
public:
    bool execute(GameField* field, Chip* chip, float dt) override;
    Action* clone() const override { return new ColorDestroyer(); }
};

#pragma once

#include "board/action.h"

// Gives the chip a new outer layer of a kind, in the chip's colour: in a
// destroy list, the new layer takes the place of the one being peeled.
class AddBehavior : public Action {
public:
    explicit AddBehavior(int kind) : kind(kind) {}
    bool execute(GameField* field, Chip* chip, float dt) override;
    Action* clone() const override { return new AddBehavior(kind); }

    int kind;
};

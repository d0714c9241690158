#pragma once

#include <vector>

#include "board/task.h"
#include "game_helpers/bonus_chip_helper.h"

class Cell;

// A merge that had to wait (layers to peel first, or another merge running):
// once due it starts as soon as no merge runs.
class FusionChipsTask : public Task {
public:
    FusionChipsTask(BonusChipHelper* owner, Cell* targetCell, int group, const BonusChipSpec& spec,
                    const std::vector<HeldChip>& chips);
    bool update(float dt) override;
    int getType() const override { return 2; }

    Cell* targetCell;
    int group;
    BonusChipSpec spec;
    std::vector<HeldChip> chips;
    BonusChipHelper* owner;
};

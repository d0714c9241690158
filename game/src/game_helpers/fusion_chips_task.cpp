#include "game_helpers/fusion_chips_task.h"

FusionChipsTask::FusionChipsTask(BonusChipHelper* helper, Cell* cell, int colourGroup, const BonusChipSpec& bonus,
                                 const std::vector<HeldChip>& held)
    : targetCell(cell), group(colourGroup), spec(bonus), chips(held), owner(helper) {
    blockWhileRunning = 1;
    blockWhileWaiting = 1;
}

bool FusionChipsTask::update(float) {
    if (!owner) return true;
    if (owner->isFusing()) return false;
    owner->startMerge(spec, chips, targetCell, group);
    return true;
}

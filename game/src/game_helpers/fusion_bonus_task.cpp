#include "game_helpers/fusion_bonus_task.h"

#include <algorithm>

#include "board/board_tasks.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/game_field.h"
#include "format_string.h"
#include "log_system.h"

FusionBonusTask::FusionBonusTask(Chip* firstChip, Chip* secondChip, GameField* board, const std::string& name)
    : first{firstChip, firstChip->generation}, second{secondChip, secondChip->generation}, field(board),
      fusedName(name) {
    const int ac = static_cast<int>(firstChip->position.x), ar = static_cast<int>(firstChip->position.y);
    const int bc = static_cast<int>(secondChip->position.x), br = static_cast<int>(secondChip->position.y);
    delta = {static_cast<float>(bc - ac), static_cast<float>(br - ar)};
    target = {bc + 0.5f, br + 0.5f};
}

bool FusionBonusTask::update(float dt) {
    // Something else took a chip meanwhile: the fusion is off.
    if (!isLiveChip(first) || !isLiveChip(second)) return true;
    timer = std::max(timer - dt, 0.0f);
    const float k = timer / BonusChipHelper::kMergeTime;
    first.chip->position = {target.x - delta.x * k, target.y - delta.y * k};
    if (timer > 0.0f) return false;

    Chip* b = second.chip;
    Cell* cell = field->getCell(target.x, target.y);
    const std::string name = BonusChipHelper::prototypeName(fusedName, true, b->group);
    // Neither chip scores nor counts for a goal: they become the fused one.
    for (Chip* gone : {first.chip, second.chip}) {
        gone->selected = 0;
        gone->destroyed = 1;
        gone->behaviors.clear();
        gone->removeProperty("lock");
        field->forgetChip(gone);
    }
    Chip* made = cell && field->chipManager ? field->chipManager->createChip(name, cell->column, cell->row) : nullptr;
    if (!made) {
        QV::logLine(QV::formatString("WARNING: No chip prototype '%s' for a fusion", name.c_str()));
        return true;
    }
    cell->chip = made;
    made->moveState = 1;
    made->target = target;
    made->detonating = 1;
    auto* fuse = new DestroyChipTask(made, false, field);
    fuse->delay = BonusChipHelper::kFusedFuse;
    field->taskManager->addTask(fuse);
    return true;
}

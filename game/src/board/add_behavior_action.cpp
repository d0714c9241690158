#include "board/add_behavior_action.h"

#include "board/behavior.h"
#include "board/chip.h"

bool AddBehavior::execute(GameField*, Chip* chip, float) {
    if (!chip) return true;
    chip->behaviors.add(Behavior::createByKind(kind, chip->group));
    return true;
}

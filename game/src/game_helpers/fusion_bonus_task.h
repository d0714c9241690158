#pragma once

#include <string>

#include "board/task.h"
#include "game_helpers/bonus_chip_helper.h"
#include "vector2.h"

class GameField;

// Two swapped bonus chips fusing: the first slides onto the second in
// 0.28 s, then the fused chip takes the second's cell and goes off 1.2 s later.
class FusionBonusTask : public Task {
public:
    FusionBonusTask(Chip* first, Chip* second, GameField* field, const std::string& fusedName);
    bool update(float dt) override;
    int getType() const override { return 1; }

    HeldChip first;
    HeldChip second;
    QV::Vector2<float> delta;   // second cell minus first cell, in cells
    QV::Vector2<float> target;  // the second cell's centre, in cells
    GameField* field;
    std::string fusedName;
    float timer = BonusChipHelper::kMergeTime;
};

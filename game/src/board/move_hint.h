#pragma once

#include <utility>
#include <vector>

#include "vector2.h"

class Cell;
class Chip;
class GameField;

namespace QV {
class ParticleFX;
}

// The move hint: finds a swap that makes a match, tells the mode when none
// is left, and shows "hint_fx" over the pair after a while of idleness.
class MoveHint {
public:
    explicit MoveHint(GameField* field);
    MoveHint(const MoveHint&) = delete;
    MoveHint& operator=(const MoveHint&) = delete;
    ~MoveHint();

    void reset();
    void update(float dt);
    void draw();

    // The first pair (top-left first, right neighbour before the lower one)
    // whose swap makes a match; {null, null} when there is none.
    std::pair<Cell*, Cell*> findMove() const;
    bool canSwapMakeMatch(Cell* a, Cell* b) const;
    static bool isBonusChip(const Chip* chip);

    std::vector<QV::Vector2<float>> points;
    GameField* field;
    bool shown = false;
    QV::ParticleFX* effect = nullptr;
    bool searched = false;
};

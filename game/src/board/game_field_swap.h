#pragma once

#include "board/task.h"

class Cell;
class GameField;

// Two neighbouring chips crossing over in 0.18 s; at the end the move stands
// when it made a run or fired a colour destroyer, else they travel back.
class FieldSwapChipsTask : public Task {
public:
    static constexpr float kDuration = 0.18f;

    FieldSwapChipsTask(Cell* cellA, Cell* cellB, GameField* field);
    bool update(float dt) override;

    Cell* cellA;
    Cell* cellB;
    float duration = kDuration;
    float timeLeft = kDuration;
    bool returning = false;
    GameField* field;
};

#pragma once

#include "board/color_flight.h"
#include "board/task.h"
#include "vector2.h"

class Chip;
class GameField;

// The colour bomb's work: the orb visits the chips of a colour in reading
// order and destroys each as it arrives; the board waits until the last.
// Group -1 takes every coloured chip.
class ColorDestroyerTask : public Task {
public:
    ColorDestroyerTask(GameField* field, Chip* bomb, int group);
    bool update(float dt) override;

    bool qualifies(const Chip* chip) const;

    GameField* field;
    Chip* bomb;
    int group;
    int column = 0;
    int row = 1;
    ColorFlight flight;
    // The bomb's place in pixels, kept because its pool slot may be reused.
    QV::Vector2<float> start;
};

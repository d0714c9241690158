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
    // start: where the orb sets off, in pixels.
    ColorDestroyerTask(GameField* field, const QV::Vector2<float>& start, int group);
    bool update(float dt) override;

    bool qualifies(const Chip* chip) const;

    GameField* field;
    int group;
    int column = 0;
    int row = 1;
    ColorFlight flight;
    // The bomb's place in pixels; the bomb itself is not kept, since the
    // pool may hand it out again while the orb flies.
    QV::Vector2<float> start;
};

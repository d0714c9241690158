#pragma once

#include <string>

#include "board/color_flight.h"
#include "board/task.h"
#include "vector2.h"

class Cell;
class Chip;
class GameField;

// The colour bomb swapped with a bonus chip: the orb turns every plain chip of
// the colour into a bomb (or into waves, vertical and horizontal by turns),
// one every 0.08 s, then a destroyer task sets them all off.
class ColorTransformerTask : public Task {
public:
    static constexpr int kToBombs = 13;
    static constexpr int kToWaves = 14;
    static constexpr float kInterval = 0.08f;

    ColorTransformerTask(GameField* field, int group, Chip* bomb, int targetKind);
    bool update(float dt) override;

    bool qualifies(const Chip* chip) const;
    // The prototype name the next transformed chip takes.
    std::string nextName() const;

    GameField* field;
    int group;
    float timer = kInterval;
    int targetKind;
    int waveToggle = 0;
    int column = 0;
    int row = 1;
    ColorFlight flight;
    // The bomb's place in pixels; the bomb is not kept (see the destroyer task).
    QV::Vector2<float> start;

private:
    void transform(Cell* cell, Chip* chip);
    bool handOver();
};

#pragma once

#include <cstdint>
#include <memory>

#include "animation.h"
#include "color.h"
#include "vector2.h"

class Chip;
class Drawable;

// One grid place. Chips are not owned.
class Cell {
public:
    Chip* chip = nullptr;
    uint8_t reserved = 0;
    uint8_t column = 0;
    uint8_t row = 0;
    // 0 hole, 1 plain, n > 1 carries n - 1 tile layers; negative (level data
    // only) counts as a hole except where the refill walks down a column.
    int32_t solidity = 1;
    std::unique_ptr<QV::Animation> animation;
    QV::Vector2<float> position;
    QV::Vector2<float> scale;
    float angle = 0.0f;
    QV::Color colour;

    bool isPlayable() const { return solidity > 0; }
};

// Chips above row in this column must not move while time runs.
struct ColumnHold {
    float time = 0.0f;
    int column = 0;
    int row = 0;
};

// A drawable that lives on the board by itself until it dies.
struct FreeDrawable {
    Drawable* drawable = nullptr;  // owned by the field
    float x = 0.0f;
    float y = 0.0f;
    int layer = 0;
};

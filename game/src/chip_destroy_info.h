#pragma once

#include <cstdint>
#include <vector>

class Chip;

// What a destroyed chip leaves behind for the game mode and the tutorial:
// taken before its layers are removed. Copying copies the kinds.
struct ChipDestroyInfo {
    int32_t column = 0;
    int32_t row = 0;
    int32_t group = 0;
    std::vector<int32_t> kinds;  // every layer's kind, inner first
    int32_t levelGoals = 0;      // layers that count for a level goal
    Chip* chip = nullptr;        // not owned
};

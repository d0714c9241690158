#pragma once

#include <cstdint>
#include <vector>

class Chip;

// What a destroyed chip leaves behind for the game mode and the tutorial:
// taken before its layers are removed. Copying copies the kinds.
struct ChipDestroyInfo {
    ChipDestroyInfo() = default;
    explicit ChipDestroyInfo(const Chip* chip);
    // The list ends with 0 and holds at least one kind.
    bool hasAnyKind(const int* kindsEndingWithZero) const;
    template <class... K>
    bool hasAnyKind(K... listed) const {
        const int list[] = {static_cast<int>(listed)..., 0};
        return hasAnyKind(static_cast<const int*>(list));
    }

    int32_t column = 0;
    int32_t row = 0;
    int32_t group = -1;
    int32_t extra = 0;
    std::vector<int32_t> kinds;  // every layer's kind, inner first
    int32_t levelGoals = 0;      // layers that count for a level goal
    Chip* chip = nullptr;        // not owned
};

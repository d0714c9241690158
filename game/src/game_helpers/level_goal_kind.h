#pragma once

#include <string>

// What a level's goal slot counts.
enum LevelGoalKind {
    kGoalNone = 0,
    kGoalChips = 1,
    kGoalTiles = 2,
    kGoalFalling = 3,
    kGoalScore = 4,
    kGoalStrongWalls = 5,
    kGoalChipUp = 6,
};
constexpr int kLevelGoalKindCount = 7;

// The text id and the "targets_sprites" sprite of a goal kind (walls for the rest).
const std::string& getLevelGoalTextId(int kind);
const std::string& getLevelGoalSpriteName(int kind);
// The word tools print for a kind ("chips", "tiles", ...).
const char* levelGoalKindName(int kind);

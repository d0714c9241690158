#include "game_helpers/level_goal_kind.h"

const std::string& getLevelGoalTextId(int kind) {
    static const std::string walls = "WALLS_TARGET", tiles = "TILES_TARGET", falling = "FALLING_TARGET",
                             strong = "STRONG_WALLS_TARGET", up = "CHIP_UP_TARGET";
    switch (kind) {
        case kGoalTiles: return tiles;
        case kGoalFalling: return falling;
        case kGoalStrongWalls: return strong;
        case kGoalChipUp: return up;
        default: return walls;
    }
}

const std::string& getLevelGoalSpriteName(int kind) {
    static const std::string walls = "s_walls_ui_p_psd", tiles = "s_tiles_ui_p_psd", falling = "s_falling_ui_p_psd",
                             strong = "s_strong_wall_ui_p_psd", up = "s_chip_up_ui_p_psd";
    switch (kind) {
        case kGoalTiles: return tiles;
        case kGoalFalling: return falling;
        case kGoalStrongWalls: return strong;
        case kGoalChipUp: return up;
        default: return walls;
    }
}

const char* levelGoalKindName(int kind) {
    static const char* const names[kLevelGoalKindCount] = {"none", "chips", "tiles", "falling",
                                                           "score", "strongwalls", "chipup"};
    return kind >= 0 && kind < kLevelGoalKindCount ? names[kind] : "none";
}

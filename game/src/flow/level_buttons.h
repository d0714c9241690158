#pragma once

#include <cstdint>

struct Episode;

// The rules of the map's level buttons, from the progress kept in the episode tree.

enum class LevelButtonPose { Locked, Open, Completed };

// Completed: the level was won. Open: not won, its part is open and it is the
// part's first level or follows a won one. Locked: any other.
LevelButtonPose levelButtonPose(const Episode& episode, int32_t part, int32_t level);

// The pointer may hover the button: its part is open and it is the part's
// first level or follows a won one.
bool isLevelButtonOpen(const Episode& episode, int32_t part, int32_t level);

// A click opens the level's start window: a won level, or a level of an open
// part whose index in its part is not above the current level index (compared
// whatever the part). Parts after the first closed one are never clickable.
bool isLevelClickable(const Episode& episode, int32_t part, int32_t level, int32_t currentLevel);

#pragma once

#include <string>

class Chip;
class GameField;
class GameLevel;

// The running level state and its board, for the rule objects that work on
// the board between moves; null while no level is there.
GameLevel* currentGameLevel();
GameField* currentGameField();

// A chip's integer property, or fallback when it has none.
int chipIntProperty(const Chip* chip, const std::string& key, int fallback = 0);
void setChipIntProperty(Chip* chip, const std::string& key, int value);

// The level's in-level dialog count, 0 without a level.
int levelDialogCount();

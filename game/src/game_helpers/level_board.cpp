#include "game_helpers/level_board.h"

#include "board/chip.h"
#include "board/property_values.h"
#include "flow/game_level.h"
#include "flow/game_state_manager.h"

GameLevel* currentGameLevel() {
    GameStateManager* states = GameStateManager::instancePointer();
    return states ? static_cast<GameLevel*>(states->getGameLevel()) : nullptr;
}

GameField* currentGameField() {
    GameLevel* level = currentGameLevel();
    return level ? level->getField() : nullptr;
}

int chipIntProperty(const Chip* chip, const std::string& key, int fallback) {
    if (!chip || !chip->hasProperty(key)) return fallback;
    const DataHolder value = chip->getProperty(key);
    return value.container ? value.container->getInt() : fallback;
}

void setChipIntProperty(Chip* chip, const std::string& key, int value) {
    if (chip) chip->setProperty(key, DataHolder(value));
}

int levelDialogCount() {
    GameLevel* level = currentGameLevel();
    return level ? level->openDialogCount() : 0;
}

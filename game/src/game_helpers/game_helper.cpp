#include "game_helpers/game_helper.h"

#include "flow/game_level.h"
#include "flow/game_state_manager.h"

GameHelper::~GameHelper() {
    GameStateManager* states = GameStateManager::instancePointer();
    if (!states) return;
    if (auto* level = static_cast<GameLevel*>(states->getGameLevel())) level->removeHelper(this);
}

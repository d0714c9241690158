#include "tutorial/blackout.h"

#include "config_manager.h"
#include "flow/game_state_manager.h"

QV::Vector2<float> tutorialScreenSize() {
    if (GameStateManager* states = GameStateManager::instancePointer()) return states->getDesignScreenSize();
    if (QV::ConfigManager* config = QV::ConfigManager::instancePointer()) {
        const QV::ConfigResolution& resolution = config->resolution();
        if (resolution.width > 0 && resolution.height > 0)
            return QV::Vector2<float>(static_cast<float>(resolution.width), static_cast<float>(resolution.height));
    }
    return QV::Vector2<float>(1280.0f, 720.0f);
}

int tutorialOrientation() {
    GameStateManager* states = GameStateManager::instancePointer();
    return states ? states->getOrientation() : 0;
}

#pragma once

#include "application.h"

namespace AE {
class ISceneNode;
}

// The game's application object: the engine's slots filled with the game.
class GameApplication : public Application {
public:
    GameApplication();
    ~GameApplication() override;

    void update() override;
    void render() override;
    void create() override;
    void destroy() override;
    void updateLoading() override;
    void renderLoading() override;

private:
    // Shown while loading jobs run; owned.
    AE::ISceneNode* mLoadingScene = nullptr;
};

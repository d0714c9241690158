#pragma once

#include "application.h"

// The game's application object: the engine's slots filled with the game.
class GameApplication : public Application {
public:
    GameApplication();
    ~GameApplication() override;

    void update() override;
    void render() override;
    void create() override;
    void destroy() override;
};

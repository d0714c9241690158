#pragma once

#include "game_state.h"

namespace AE {
class ISceneNode;
}

// The main menu's state. For now it shows the menu's backdrop and title only;
// it loads on a job like every state but the logo.
class MainMenu : public IGameState {
public:
    MainMenu() = default;
    ~MainMenu() override;

    void load() override;
    void unload() override;
    void update(float dt) override;
    void render() override;
    void onActivate() override;
    void onDeactivate() override;
    std::string getName() const override { return "MainMenu"; }
    void onOrientationChanged(int portrait) override;

private:
    void initializeAsync();
    // The job's build step.
    void initialize();

    AE::ISceneNode* mScene = nullptr;
};

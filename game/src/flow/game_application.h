#pragma once

#include <string>

#include "application.h"

namespace AE {
class ISceneNode;
}
namespace QV {
class Font;
class Sprite;
class UIFont;
}  // namespace QV
class GameStateManager;

// The game's application object: the engine's slots filled with the game.
class FFIcon;

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
    // The window-fit hook: nothing is drawn beside the workspace.
    void drawUnderScene(float fitWidth, float fitHeight, float fitOffsetX, float fitOffsetY) override;
    // The cursor hook: the game's own cursor over the composited frame.
    void drawOverScene(float fitScale) override;

    // Volumes and the cursor from the profile; every frame.
    void applyProfileSettings();
    // The window's close button: the social data is written before the loop ends.
    void onWindowClosed();
    // The window mode the profile asks for.
    bool wantsFullscreen() const;

    // The next frame drawn is also written to this PNG file.
    void requestScreenshot(const std::string& path);

    GameStateManager* getGameStateManager() const { return mGameStateManager; }

private:
    void present();
    void takeScreenshot();

    GameStateManager* mGameStateManager = nullptr;
    QV::Font* mFont = nullptr;
    // Shown while loading jobs run; owned.
    AE::ISceneNode* mLoadingScene = nullptr;
    FFIcon* mFFIcon = nullptr;  // owned: the social status icon
    QV::Sprite* mLeftBorder = nullptr;
    QV::Sprite* mTopBorder = nullptr;
    QV::Sprite* mCursor = nullptr;
    QV::UIFont* mFontUI = nullptr;
    QV::UIFont* mSmallFontUI = nullptr;
    int mPortrait = 0;
    std::string mScreenshotPath;
};

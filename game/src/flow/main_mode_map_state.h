#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/dialog_window_listener.h"
#include "flow/game_state.h"
#include "social/map_social.h"

namespace AE {
class ISceneNode;
}
namespace QV {
class UIWidget;
}
class EverydayBonusWindow;
class HolidayPurchaseWindow;
class MapMenuWindow;
class MainMode;
class PlayerProfile;
class PlayLevelWindow;
struct EpisodePart;

// The level buttons of one part of the shown episode, in level order.
struct LevelButtonGroup {
    std::vector<AE::ISceneNode*> buttons;  // owned by the map scene
    AE::ISceneNode* blocker = nullptr;
    const EpisodePart* part = nullptr;
};

// The everyday bonus due at `now` (seconds since 1970): 0 when the profile has
// had today's already (or its day lies ahead), otherwise the day of the new
// pack: the day after the last one continues the run up to 5, any other day
// starts again at 1.
int32_t dueEverydayBonusDay(const PlayerProfile& profile, uint64_t now);

// The episode map's state "MainModeMap", as far as it goes so far: the current
// episode's map scene with its moving water, one level button per level
// (locked, open, or completed with its stars) that opens the level start
// window, the top panel (silver, gold, stars, the star shop and the way back
// to the menu), the shop commands, and the everyday bonus on the first visit
// of a new day. Escape (or the command "showMenu") opens the map menu.
class MainModeMapState : public IGameState, public DialogWindowListener {
public:
    explicit MainModeMapState(MainMode* mode);
    ~MainModeMapState() override;

    void load() override;
    void unload() override;
    void update(float dt) override;
    void render() override;
    void onActivate() override;
    void onDeactivate() override;
    std::string getName() const override { return "MainModeMap"; }
    void onOrientationChanged(int portrait) override;
    void onWindowClosed(DialogWindow* window) override;

    // Commands.
    void showMenu();
    void showBuyGoldWindow();
    void showBuySilverWindow();
    void showBuyStarsWindow();
    void buyHolidayPurchase();
    void showMail() { mSocial->showMail(); }
    // The received requests, for the requests window.
    void setRequests(const std::vector<FacebookRequest>& requests) { mSocial->setRequests(requests); }
    MapSocial& social() { return *mSocial; }

    // Opens the level start window on that level of the shown episode.
    void selectLevel(int32_t part, int32_t level);

    AE::ISceneNode* getMapRoot() const { return mMapRoot; }
    int getEpisodeIndex() const { return mEpisodeIndex; }
    EverydayBonusWindow* getBonusWindow() const { return mBonusWindow; }
    PlayLevelWindow* getLevelWindow() const { return mLevelWindow; }
    const std::vector<LevelButtonGroup>& getLevelButtonGroups() const { return mGroups; }
    AE::ISceneNode* getHoveredButton() const { return mHoveredButton; }
    int32_t getSelectedPart() const { return mSelectedPart; }
    int32_t getSelectedLevel() const { return mSelectedLevel; }

    // The job's build step.
    void buildMap();

private:
    void initializeAsync();
    void bindCommands();
    void unbindCommands();
    void buildLevelButtons();
    void refreshLevelButtons();
    // Hover and clicks on the level buttons; true when the pointer input was used.
    bool handleButtonInput();
    // The level start window closed with Play: the one place where the map
    // hands the selected level to the main mode.
    void startSelectedLevel();
    void refreshTopPanel();
    void offerEverydayBonus();

    MainMode* mMode;
    int mEpisodeIndex = -1;
    AE::ISceneNode* mMapRoot = nullptr;  // owned
    QV::UIWidget* mInterface = nullptr;  // owned by the UI manager
    AE::ISceneNode* mInterfaceScene = nullptr;
    AE::ISceneNode* mSilverText = nullptr;
    AE::ISceneNode* mGoldText = nullptr;
    AE::ISceneNode* mStarsText = nullptr;
    AE::ISceneNode* mActionPanel = nullptr;
    EverydayBonusWindow* mBonusWindow = nullptr;  // owned
    std::unique_ptr<MapSocial> mSocial = std::make_unique<MapSocial>();
    HolidayPurchaseWindow* mHolidayWindow = nullptr;  // owned
    PlayLevelWindow* mLevelWindow = nullptr;  // owned
    MapMenuWindow* mMenuWindow = nullptr;  // owned; made when first opened
    std::vector<LevelButtonGroup> mGroups;
    AE::ISceneNode* mHoveredButton = nullptr;
    // The level whose start window was opened last; kept across unloading.
    int32_t mSelectedPart = -1;
    int32_t mSelectedLevel = -1;
    // The day whose pack the open bonus window pays when it closes; 0 when none.
    int32_t mBonusDay = 0;
    bool mBonusChecked = false;
};

#pragma once

#include <cstdint>

#include "dialogs/dialog_window.h"
#include "dialogs/dialog_window_listener.h"
#include "dialogs/level_preview.h"
#include "dialogs/level_window_social.h"

namespace AE {
class ISceneNode;
class TextSceneNode;
}  // namespace AE
class InfoPassiveBonusWindow;

// The level start window: the level's number, its goals (or its score
// target), the stars earned so far and the passive boosters on sale for the
// level. Its play button closes it with Play; its listeners start the level.
class PlayLevelWindow : public DialogWindow, public DialogWindowListener {
public:
    enum Result { Closed = 0, Play = 1 };

    PlayLevelWindow();
    ~PlayLevelWindow() override;

    // Fills the window for the level and shows it queued. The currency panel
    // shows the player's silver (when a level result sends the player back here).
    void openForLevel(const LevelPreview& level, bool showCurrencyPanel);

    void onMarkerFinished(AE::Marker* marker) override;
    void hide() override;
    void relayout() override;
    void update(float dt) override;
    // The passive booster window closed.
    void onWindowClosed(DialogWindow* window) override;

    void onPlayClicked();
    void onCloseClicked();
    void onSlotClicked(int slot);
    void onSlot0Clicked() { onSlotClicked(0); }
    void onSlot1Clicked() { onSlotClicked(1); }
    void onSlot2Clicked() { onSlotClicked(2); }

    // Sell-back amount of a passive booster kind, in silver.
    static int32_t sellBackPrice(int32_t kind);

    AE::ISceneNode* mGoalPanels[2] = {};
    int32_t mGoalKinds[2] = {};
    AE::Marker* mLeftPanelMarker = nullptr;
    AE::Marker* mBottomPanelMarker = nullptr;
    int32_t mStars = 0;
    InfoPassiveBonusWindow* mInfoWindow = nullptr;  // owned
    AE::TextSceneNode* mScoreTargetText = nullptr;
    int32_t mSlotKinds[3] = {-1, -1, -1};
    int32_t mSlotCount = 0;
    AE::ISceneNode* mSlotNodes[3] = {};
    int32_t mSelectedSlot = -1;
    LevelPreview mLevel;
    bool mShowCurrencyPanel = false;
    AE::TextSceneNode* mSilverText = nullptr;
    LevelWindowFriends mFriends;

private:
    void setPassiveSlots(const int32_t kinds[3], bool timeLimited);
    void placeSlotButton(int slot);
    void placeInfoWindow();
    // The connect buttons, or the friends' lists while connected.
    void setConnectButtonsVisible(bool visible);
};

#pragma once

#include <cstdint>
#include <string>

#include "dialogs/dialog_window.h"
#include "player/main_mode_section.h"

namespace AE {
class ISceneNode;
}
class MainMode;

constexpr int32_t kHeartPrice = 11;            // gold
constexpr int64_t kHeartRefillSeconds = 1200;  // after the mode's heart time stamp

// Seconds until the next heart at `now` (seconds since 1970): -1 with a full
// count, never below 0.
int64_t heartCountdownSeconds(int32_t hearts, int64_t heartTime, int64_t now);
// "mm:ss" of a countdown.
std::string heartCountdownText(int64_t seconds);

// The window for a player without hearts: the countdown to the next one, a
// heart for 11 gold, and closing itself once a heart is there.
class BuyHeartWindow : public DialogWindow {
public:
    explicit BuyHeartWindow(MainMode* owner);

    void update(float dt) override;
    void onBuyClicked();
    void onAskFriendsClicked();

private:
    MainMode* mOwner;  // not owned
    AE::ISceneNode* mTimeText = nullptr;
    AE::ISceneNode* mTimeTextTitle = nullptr;
    AE::ISceneNode* mBuyNode = nullptr;
    QV::UIWidget* mBuyButton = nullptr;
};

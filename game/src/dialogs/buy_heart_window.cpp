#include "dialogs/buy_heart_window.h"

#include <algorithm>
#include <ctime>

#include "animationeditor/scene_node.h"
#include "dialogs/buy_valuta_window.h"
#include "dialogs/window_nodes.h"
#include "flow/main_mode.h"
#include "format_string.h"
#include "player/game_properties.h"
#include "player/player_profile.h"
#include "player/progress_saver.h"
#include "player/store.h"
#include "ui/ui_widget.h"

int64_t heartCountdownSeconds(int32_t hearts, int64_t heartTime, int64_t now) {
    if (uint32_t(hearts) >= uint32_t(kMaxHearts)) return -1;
    return std::max<int64_t>(heartTime + kHeartRefillSeconds - now, 0);
}

std::string heartCountdownText(int64_t seconds) {
    const int64_t s = std::max<int64_t>(seconds, 0);
    return QV::formatString("%02d:%02d", int(s / 60), int(s % 60));
}

BuyHeartWindow::BuyHeartWindow(MainMode* owner)
    : DialogWindow("buy_heart_window_ui", "BuyHeartWindow", "gui"), mOwner(owner) {
    mBuyButton = requireWidget("btnBuy");
    bindButton("btnBuy", this, &BuyHeartWindow::onBuyClicked);
    bindButton("btnClose", static_cast<DialogWindow*>(this), &DialogWindow::hide);
    bindButton("btnAskFriends", this, &BuyHeartWindow::onAskFriendsClicked);
    mBuyNode = mScene->findNode("btnBuy");
    mTimeText = mScene->findNode("#timeText");
    mTimeTextTitle = mScene->findNode("#timeTextTitle");
    window_nodes::setText(window_nodes::text(mScene, "#heart_price"), QV::formatString("-%d", kHeartPrice), false);
    window_nodes::setText(window_nodes::text(mScene, "#title"), "HEART_WINDOW_TITLE", true);
    window_nodes::setText(window_nodes::text(mScene, "#timeTextTitle"), "HEART_WINDOW_NEXT", true);
    window_nodes::setText(window_nodes::text(mScene, "#priceCaption"), "HEART_WINDOW_PRICE", true);
}

void BuyHeartWindow::update(float) {
    if (!mOwner || (mState != Shown && mState != Showing)) return;
    if (uint32_t(mOwner->getHearts()) > uint32_t(kMaxHearts)) mOwner->setHearts(kMaxHearts);
    const int32_t hearts = mOwner->getHearts();
    const int64_t seconds = heartCountdownSeconds(hearts, mOwner->getHeartTime(), int64_t(std::time(nullptr)));
    window_nodes::setText(window_nodes::text(mScene, "#timeText"), heartCountdownText(seconds), false);
    window_nodes::enable(mTimeText, seconds != -1);
    window_nodes::enable(mTimeTextTitle, seconds != -1);
    const bool empty = hearts == 0;
    if (mBuyButton) {
        if (empty && !mBuyButton->isEnabled()) mBuyButton->enable();
        if (!empty && mBuyButton->isEnabled()) mBuyButton->disable();
        if (QV::UIWidget* parent = mBuyButton->getParent()) parent->setVisible(empty);
    }
    if (hearts > 0 && mState == Shown) hide();
}

void BuyHeartWindow::onBuyClicked() {
    if (mState != Shown || !mOwner) return;
    GameProperties* properties = GameProperties::instancePointer();
    PlayerProfile* profile = properties ? properties->profile() : nullptr;
    if (!profile) return;
    if (profile->mGold < kHeartPrice) {
        if (BuyValutaWindowSingleton* shop = BuyValutaWindowSingleton::instancePointer()) shop->open(kCurrencyGold, false);
        return;
    }
    profile->mGold = std::max(profile->mGold - kHeartPrice, 0);
    if (uint32_t(mOwner->getHearts()) < uint32_t(kMaxHearts)) mOwner->setHearts(mOwner->getHearts() + 1);
    // The heart lives in the mode's section: saved with the gold in one write.
    if (ProgressSaver* saver = ProgressSaver::instancePointer()) saver->saveNow();
    else if (properties) properties->saveProfile();
    hide();
}

// Asking friends belongs to a social service this game does not have.
void BuyHeartWindow::onAskFriendsClicked() {}

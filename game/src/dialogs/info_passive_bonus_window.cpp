#include "dialogs/info_passive_bonus_window.h"

#include <algorithm>
#include <ctime>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "dialogs/buy_valuta_window.h"
#include "dialogs/window_nodes.h"
#include "format_string.h"
#include "player/game_properties.h"
#include "player/player_profile.h"
#include "player/progress_saver.h"
#include "player/store.h"

namespace {

struct Offer {
    const char* icon;
    const char* title;
    const char* desc;
};

Offer offerOf(int kind, bool timeLimit) {
    switch (kind) {
        case 0:
            return {"s_bonus_minus_tsvet_pass_window_bonus_aktiv_psd", "PASSIVE_BONUS_COLOR_TITLE", "PASSIVE_BONUS_COLOR_DESC"};
        case 1:
            if (timeLimit) {
                return {"s_bonus_plus_time_pass_window_bonus_aktiv_psd", "PASSIVE_BONUS_TIME_TITLE", "PASSIVE_BONUS_TIME_DESC"};
            }
            return {"s_bonus_plus_step_pass_window_bonus_aktiv_psd", "PASSIVE_BONUS_MOVES_TITLE", "PASSIVE_BONUS_MOVES_DESC"};
        default:
            return {"s_bonus_plus_bonus_pass_window_bonus_aktiv_psd", "BOOM_BONUS_TITLE", "BOOM_BONUS_DESC"};
    }
}

}  // namespace

InfoPassiveBonusWindow::InfoPassiveBonusWindow()
    : DialogWindow("info_passive_bonus_window_ui", "InfoPassiveBonusWindow", "gui") {
    bindButton("btnClose", this, &InfoPassiveBonusWindow::onCloseClicked);
    bindButton("btnBuy", this, &InfoPassiveBonusWindow::onBuyClicked);
    mRootGroup = mScene->findNode("root_group");
    mIcon = mScene->findNode("#icon");
    mTitle = window_nodes::text(mScene, "#title");
    mDesc = window_nodes::text(mScene, "#desc");
}

int InfoPassiveBonusWindow::price(int kind) {
    switch (kind) {
        case 0: return 110;
        case 1: return 50;
        default: return 75;
    }
}

void InfoPassiveBonusWindow::open(int kind, const std::string& markerName) {
    // Kinds outside 0..2 would index past the profile's records.
    if (kind < 0 || kind >= kPassiveBoosterKinds) return;
    if (mState != Shown && mState != Showing) show(false);
    const Offer offer = offerOf(kind, mTimeLimit);
    window_nodes::setSprite(mIcon, "ui_sprites_lua", offer.icon);
    window_nodes::setText(mTitle, offer.title, true);
    window_nodes::setText(mDesc, offer.desc, true);
    window_nodes::setText(window_nodes::text(mScene, "#price"), QV::formatString("%d", price(kind)), false);
    window_nodes::setSprite(mScene->findNode("#priceIcon"), "ui_sprites_lua", "s_bonus_valuta_silver_ui_p_psd");
    mKind = kind;
    if (AE::Marker* marker = mScene->findMarker(markerName)) marker->play(true);
}

void InfoPassiveBonusWindow::onCloseClicked() {
    if (mState != Shown) return;
    mResult = Closed;
    hide();
}

void InfoPassiveBonusWindow::onBuyClicked() {
    if (mState != Shown) return;
    GameProperties* properties = GameProperties::instancePointer();
    PlayerProfile* profile = properties ? properties->profile() : nullptr;
    if (!profile) return;
    const int cost = price(mKind);
    if (profile->mSilver < cost) {
        if (BuyValutaWindowSingleton* shop = BuyValutaWindowSingleton::instancePointer()) shop->open(kCurrencySilver, false);
        return;
    }
    PurchaseRecord& record = profile->mPassivePurchases[mKind];
    record.purchases += 1;
    record.time = uint64_t(std::time(nullptr));
    profile->mPassiveBoosters[mKind] = 1;
    profile->mSilver = std::max(profile->mSilver - cost, 0);
    if (ProgressSaver* saver = ProgressSaver::instancePointer()) saver->saveNow();
    mResult = Bought;
    hide();
}

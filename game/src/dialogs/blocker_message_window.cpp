#include "dialogs/blocker_message_window.h"

#include "dialogs/buy_valuta_window.h"
#include "player/store.h"

BlockerMessageWindow::BlockerMessageWindow()
    : DialogWindow("blocker_message_window_ui", "BlockerMessageWindow", "gui") {
    bindButton("btnClose", static_cast<DialogWindow*>(this), &DialogWindow::hide);
    bindButton("btnBuyStars", this, &BlockerMessageWindow::onBuyStarsClicked);
}

// The shop opens over the blocker window, which stays.
void BlockerMessageWindow::onBuyStarsClicked() {
    if (mState != Shown) return;
    if (BuyValutaWindowSingleton* shop = BuyValutaWindowSingleton::instancePointer()) shop->open(kGoodsStars, false);
}

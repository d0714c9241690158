#include "dialogs/holiday_purchase_window.h"

#include "animationeditor/scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "dialogs/dialog_window_manager.h"
#include "dialogs/window_nodes.h"
#include "format_string.h"
#include "sprite_manager.h"
#include "player/store.h"

namespace {

const char* rewardIcon(int goods) {
    switch (goods) {
        case kGoodsSilver: return "s_Layer_4_panel_valuta_psd";
        case kGoodsGold: return "s_Layer_3_panel_valuta_psd";
        case kGoodsStars: return "s_Layer_5_panel_valuta_psd";
        default: return nullptr;
    }
}

}  // namespace

HolidayPurchaseWindow::HolidayPurchaseWindow()
    : DialogWindow("holiday_purchase_window_ui", "HolidayPurchaseWindow", "gui") {
    // The offer is paid outside the game: "buy" only closes.
    bindButton("btnBuy", static_cast<DialogWindow*>(this), &DialogWindow::hide);
    bindButton("btnClose", static_cast<DialogWindow*>(this), &DialogWindow::hide);
}

void HolidayPurchaseWindow::show(bool queued) {
    Store* store = Store::instancePointer();
    if (!store) return;
    StoreOffer* offer = nullptr;
    for (const std::unique_ptr<StoreOffer>& candidate : store->offers()) {
        if (candidate->secondsLeft() > 0) {
            offer = candidate.get();
            break;
        }
    }
    if (!offer) return;

    using namespace window_nodes;
    const std::vector<std::pair<int32_t, int32_t>>& rewards = offer->contents.rewards;
    for (int i = 0; i < kItems; ++i) {
        AE::ISceneNode* item = mScene->findNode(QV::formatString("#item%d", i));
        if (!item) continue;
        if (size_t(i) >= rewards.size()) {
            enable(item, false);
            continue;
        }
        if (const char* icon = rewardIcon(rewards[i].first)) setSprite(item->findNode("#icon"), "targets_sprites_lua", icon);
        setText(text(item, "#amount"), QV::formatString("%d", rewards[i].second), false);
        enable(item, true);
    }
    setText(text(mScene, "#price"), offer->contents.priceText, false);
    setText(text(mScene, "#price_valuta"), offer->contents.currencyText, false);
    AE::ISceneNode* image = mScene->findNode("#image");
    if (image && image->getType() == AE::kSpriteNode && offer->picture) {
        if (auto* sprites = QV::SpriteManager<QV::Sprite>::instancePointer()) {
            static_cast<AE::SpriteSceneNode*>(image)->setSprite(sprites->cloneSprite(offer->picture));
        }
    }

    if (mState == Shown || mState == Showing) return;
    DialogWindow::show(queued);
}

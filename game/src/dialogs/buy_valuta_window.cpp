#include "dialogs/buy_valuta_window.h"

#include <algorithm>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "dialogs/window_nodes.h"
#include "format_string.h"
#include "ui/scrolling_helper.h"
#include "ui/ui_scene_list.h"
#include "ui/ui_widget.h"

namespace {

using window_nodes::enable;
using window_nodes::setText;
using window_nodes::text;


const char* iconFormat(int goods) {
    switch (goods) {
        case kGoodsSilver: return "s_silver_valuta_sale_%d";
        case kGoodsGold: return "s_gold_valuta_sale_%d";
        case kGoodsStars: return "s_star_valuta_sale_%d";
        default: return nullptr;
    }
}

const char* currencyIcon(int currency) {
    switch (currency) {
        case 1: return "s_Layer_4_panel_valuta_psd";
        case 2: return "s_Layer_3_panel_valuta_psd";
        case 3: return "s_Layer_5_panel_valuta_psd";
        default: return nullptr;
    }
}

}  // namespace

ValutaPurchaseItem::ValutaPurchaseItem(QV::UISceneListItem* item, int position, int multiplier,
                                       BuyValutaWindow* window, const StoreItem& offer)
    : mOffer(offer), mWindow(window), mItem(item) {
    item->addListener(this);
    AE::ISceneNode* scene = item->getScene();
    if (!scene) return;
    scene->setEnabled(true);
    AE::ISceneNode* icon = scene->findNode("#icon");
    AE::TextSceneNode* amount = text(scene, "#amount");
    AE::ISceneNode* oldAmountStrip = scene->findNode("#old_amount_strip");
    AE::ISceneNode* action = scene->findNode("#action");
    AE::TextSceneNode* actionAmount = text(scene, "#action_amount");
    AE::TextSceneNode* price = text(scene, "#price");
    AE::ISceneNode* btnIcon = scene->findNode("#btnIcon");

    if (const char* format = iconFormat(offer.goods)) {
        window_nodes::setSprite(icon, "map_sprites_lua", QV::formatString(format, std::min(position + 1, 6)));
    }
    if (const char* name = currencyIcon(offer.currency)) {
        enable(btnIcon, true);
        window_nodes::setSprite(btnIcon, "targets_sprites_lua", name);
    } else {
        enable(btnIcon, false);
    }
    if (offer.currency == 0) {
        setText(price, QV::formatString("%.2f %s", double(offer.price), offer.title.c_str()), false);
    } else if (offer.currency < 4) {
        setText(price, QV::formatString("%.0f", double(offer.price)), false);
    }
    const char* look = offer.number != 0 ? "profit" : "default";
    if (AE::Marker* marker = scene->findMarker(look)) marker->play(true);
    setText(amount, QV::formatString("%d", offer.amount), false);
    enable(oldAmountStrip, multiplier > 1);
    enable(action, multiplier > 1);
    setText(actionAmount, QV::formatString("%d", offer.amount * multiplier), false);
}

// Rows go before their list items (see open and the window's destructor), so
// the item is still there to forget this listener.
ValutaPurchaseItem::~ValutaPurchaseItem() {
    if (mItem) mItem->removeListener(this);
    delete mSubShop;
}

void ValutaPurchaseItem::onItemEvent(QV::UISceneListItem*, const std::string& element) {
    if (element != mName || mWindow->mState != DialogWindow::Shown) return;
    if (mSubShop && mSubShop->mState != DialogWindow::Hidden) return;
    Store* store = Store::instancePointer();
    if (!store) return;
    if (store->buy(mOffer)) {
        mWindow->mResult = 0;
        mWindow->hide();
        return;
    }
    if (!mSubShop) mSubShop = new BuyValutaWindow();
    mSubShop->open(mOffer.currency, false);
}

BuyValutaWindow::BuyValutaWindow() : DialogWindow("buy_valuta_window_ui", "BuyValutaWindow", "gui") {
    bindButton("btnClose", static_cast<DialogWindow*>(this), &DialogWindow::hide);
    QV::UIWidget* list = requireWidget("list");
    if (list->getType() == QV::kUISceneList) mList = static_cast<QV::UISceneList*>(list);
    mActionTimeText = mScene->findNode("#action_time_text");
    enable(mActionTimeText, false);
}

BuyValutaWindow::~BuyValutaWindow() { deleteRows(); }

void BuyValutaWindow::deleteRows() {
    for (ValutaPurchaseItem* row : mRows) delete row;
    mRows.clear();
}

void BuyValutaWindow::open(int currency, bool queued) {
    mRequestedCurrency = currency;
    if (mList && mList->getScrollingHelper()) mList->getScrollingHelper()->scrollTo(0.0f);
    const std::vector<StoreItem> offers = Store::getStarOffers(currency);
    if (offers.empty()) return;

    // Rows first: each row listens to its item, which goes with the list.
    deleteRows();
    if (mList) mList->clearItems();
    for (size_t i = 0; i < offers.size(); ++i) {
        auto* item = new QV::UISceneListItem("valuta_purchase_item_xml", QV::formatString("item:%d", int(i) / 2));
        if (!mList) {
            delete item;
            continue;
        }
        mList->addItem(item);
        mRows.push_back(new ValutaPurchaseItem(item, int(i), 1, this, offers[i]));
    }

    setText(text(mScene, "#title"),
                currency == kGoodsStars ? "WINDOW_SHOPPING_STARS_TITLE" : "WINDOW_SHOPPING_CURRENCY_TITLE", true);
    enable(mScene->findNode("#action_strip"), false);
    setText(text(mScene, "#action_title"), "x1", false);
    enable(mScene->findNode("#action_time"), false);

    mCurrency = currency;
    if (mState != Shown && mState != Showing) show(queued);
}

#pragma once

#include <string>
#include <vector>

#include "dialogs/dialog_window.h"
#include "singleton.h"
#include "player/store.h"
#include "ui/ui_scene_list_item.h"

namespace AE {
class ISceneNode;
}
namespace QV {
class UISceneList;
}
class BuyValutaWindow;

// One offer of the currency shop, listening to its list item's buy element.
class ValutaPurchaseItem : public QV::UISceneListItemListener {
public:
    ValutaPurchaseItem(QV::UISceneListItem* item, int position, int multiplier, BuyValutaWindow* window,
                       const StoreItem& offer);
    ~ValutaPurchaseItem() override;
    ValutaPurchaseItem(const ValutaPurchaseItem&) = delete;
    ValutaPurchaseItem& operator=(const ValutaPurchaseItem&) = delete;

    void onItemEvent(QV::UISceneListItem* item, const std::string& element) override;

    StoreItem mOffer;
    BuyValutaWindow* mWindow;          // not owned
    BuyValutaWindow* mSubShop = nullptr;  // owned; made on the first shortfall
    std::string mName = "purchaseItem";
    QV::UISceneListItem* mItem;        // owned by the list
};

// The shop that lists the store's offers for one currency as rows of a list.
class BuyValutaWindow : public DialogWindow {
public:
    BuyValutaWindow();
    ~BuyValutaWindow() override;

    // Fills the list with the store's offers for the currency and shows the
    // window; a currency without offers neither changes nor shows anything.
    void open(int currency, bool queued);

    QV::UISceneList* mList = nullptr;  // owned by the widget tree
    std::vector<ValutaPurchaseItem*> mRows;  // owned
    AE::ISceneNode* mActionTimeText = nullptr;
    int mCurrency = 0;
    // The currency of the last open call, offers or not: what a caller asked for.
    int mRequestedCurrency = 0;

private:
    void deleteRows();
};

// The one currency shop of the game.
class BuyValutaWindowSingleton : public BuyValutaWindow, public QV::Singleton<BuyValutaWindowSingleton> {
public:
    BuyValutaWindowSingleton() = default;
};

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "dialogs/blocker_message_window.h"
#include "dialogs/buy_valuta_window.h"
#include "dialogs/confirm_window.h"
#include "dialogs/everyday_bonus_window.h"
#include "dialogs/holiday_purchase_window.h"
#include "dialogs/info_passive_bonus_window.h"
#include "game/dialogs/shop_world.h"
#include "game/player/save_test_util.h"
#include "player/player_profile.h"
#include "ui/scrolling_helper.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_list.h"
#include "ui/wide_string.h"

namespace {

using savetest::fileBytes;
using shoptest::ShopWorld;

std::string textOf(AE::ISceneNode* scene, const char* name) {
    AE::ISceneNode* node = scene ? scene->findNode(name) : nullptr;
    if (!node || node->getType() != AE::kTextNode) return "<none>";
    return QV::toNarrow(static_cast<AE::TextSceneNode*>(node)->mText);
}

std::unique_ptr<PlayerProfile> stored(ShopWorld& w) {
    auto p = std::make_unique<PlayerProfile>();
    EXPECT_TRUE(savetest::storedProfile(w.dir.path(), *p));
    return p;
}

// The middle of row i's buy pill on screen.
QV::Vector2<float> buyPill(BuyValutaWindow& shop, int row) {
    AE::ISceneNode* pill = shop.mList->getItems()[size_t(row)]->getScene()->findNode("#btn:purchaseItem");
    return pill->getWorldPosition() + QV::Vector2<float>(62, 26);
}

struct Opened {
    explicit Opened(ShopWorld& w) : world(w) {
        shop = std::make_unique<BuyValutaWindowSingleton>();
        shop->open(kGoodsStars, true);
        world.frames(4);
    }
    ShopWorld& world;
    std::unique_ptr<BuyValutaWindowSingleton> shop;
};

TEST(CurrencyShop, ListsTheStarOffers) {
    ShopWorld w;
    Opened o(w);
    BuyValutaWindow& shop = *o.shop;
    ASSERT_EQ(shop.mState, DialogWindow::Shown);
    EXPECT_EQ(textOf(shop.mScene, "#title"), "WINDOW_SHOPPING_STARS_TITLE");
    EXPECT_TRUE(static_cast<AE::TextSceneNode*>(shop.mScene->findNode("#title"))->mTranslate);
    ASSERT_EQ(shop.mRows.size(), 4u);
    ASSERT_EQ(shop.mList->getItems().size(), 4u);
    const int amounts[] = {1, 5, 15, 20};
    const int prices[] = {75, 150, 450, 600};
    for (int i = 0; i < 4; ++i) {
        AE::ISceneNode* row = shop.mList->getItems()[size_t(i)]->getScene();
        EXPECT_EQ(textOf(row, "#amount"), std::to_string(amounts[i]));
        EXPECT_EQ(textOf(row, "#price"), std::to_string(prices[i]));
        EXPECT_EQ(shop.mList->getItems()[size_t(i)]->getName(), "item:" + std::to_string(i / 2));
    }
    // Silver and gold have no offers: nothing changes, nothing shows.
    shop.hide();
    w.frames(4);
    ASSERT_EQ(shop.mState, DialogWindow::Hidden);
    for (int currency : {kCurrencySilver, kCurrencyGold}) {
        shop.open(currency, false);
        EXPECT_EQ(shop.mState, DialogWindow::Hidden);
        EXPECT_EQ(shop.mRows.size(), 4u);
        EXPECT_EQ(shop.mCurrency, kGoodsStars);
    }
}

// The well is drawn scaled: its four rows fit, so the wheel only nudges the
// list within its overscroll margin and it springs back to the start.
TEST(CurrencyShop, FourRowsFitTheWellAndTheListStaysPut) {
    ShopWorld w;
    Opened o(w);
    QV::UISceneList* list = o.shop->mList;
    EXPECT_NEAR(list->mArea.x, 392.0f, 1.0f);
    EXPECT_NEAR(list->mArea.y, 440.0f, 1.0f);
    EXPECT_FLOAT_EQ(list->mScrollLimit, 0.0f);
    w.world->input().moveMouse(w.world->frameIndex(), 640, 560);  // in the well below the rows
    w.frames(1);
    for (int i = 0; i < 3; ++i) w.world->input().turnWheel(w.world->frameIndex() + i, -1);
    w.frames(3);
    EXPECT_LT(list->listPosition().y, 0.0f) << "the wheel reached the list";
    w.frames(10);
    EXPECT_FLOAT_EQ(list->listPosition().y, 0.0f);
}

// Each offer bought with exactly its price: saved before the window is gone.
TEST(CurrencyShop, BuysEachOfferAndSavesBeforeClosing) {
    const int amounts[] = {1, 5, 15, 20};
    const int prices[] = {75, 150, 450, 600};
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        ShopWorld w;
        w.profile().mSilver = prices[row];
        w.profile().mGold = 7;
        ASSERT_TRUE(w.properties.saveProfile());
        Opened o(w);
        o.shop->mResult = 5;
        w.pressRow(buyPill(*o.shop, row));
        ASSERT_EQ(o.shop->mState, DialogWindow::Hiding) << "the purchase starts the close";
        EXPECT_EQ(w.profile().mSilver, 0);
        EXPECT_EQ(w.profile().getStars(), amounts[row]);
        std::unique_ptr<PlayerProfile> onDisk = stored(w);
        EXPECT_EQ(onDisk->mSilver, 0);
        EXPECT_EQ(onDisk->mGold, 7);
        EXPECT_EQ(onDisk->getStars(), amounts[row]);
        w.frames(4);
        EXPECT_EQ(o.shop->mState, DialogWindow::Hidden);
        EXPECT_EQ(o.shop->mResult, 0);
    }
}

// One silver short: nothing changes in memory or on disk, the shop stays and
// asks for silver, which has no offers.
TEST(CurrencyShop, OneSilverShortChangesNothing) {
    ShopWorld w;
    w.profile().mSilver = 149;
    ASSERT_TRUE(w.properties.saveProfile());
    const std::vector<uint8_t> before = fileBytes(w.dir.file("profile_0.dat"));
    Opened o(w);
    w.pressRow(buyPill(*o.shop, 1));
    w.frames(2);
    EXPECT_EQ(o.shop->mState, DialogWindow::Shown);
    EXPECT_EQ(w.profile().mSilver, 149);
    EXPECT_EQ(w.profile().getStars(), 0);
    EXPECT_EQ(fileBytes(w.dir.file("profile_0.dat")), before);
    ValutaPurchaseItem* row = o.shop->mRows[1];
    ASSERT_NE(row->mSubShop, nullptr);
    EXPECT_EQ(row->mSubShop->mRequestedCurrency, kCurrencySilver);
    EXPECT_EQ(row->mSubShop->mState, DialogWindow::Hidden);
    EXPECT_EQ(w.manager->mVisible, std::vector<DialogWindow*>{o.shop.get()});
}

// A click before the show has ended reaches no row.
TEST(CurrencyShop, RowsIgnoreClicksWhileShowing) {
    ShopWorld w;
    w.profile().mSilver = 1000;
    auto shop = std::make_unique<BuyValutaWindowSingleton>();
    shop->open(kGoodsStars, false);
    shop->mRows[0]->onItemEvent(shop->mList->getItems()[0], "purchaseItem");
    EXPECT_EQ(w.profile().mSilver, 1000);
    w.frames(4);
    shop->mRows[0]->onItemEvent(shop->mList->getItems()[0], "somethingElse");
    EXPECT_EQ(w.profile().mSilver, 1000);
    shop->mRows[0]->onItemEvent(shop->mList->getItems()[0], "purchaseItem");
    EXPECT_EQ(w.profile().mSilver, 925);
}

TEST(PassiveBoosterOffer, ShortfallOpensTheShopAndTheOfferStays) {
    ShopWorld w;
    BuyValutaWindowSingleton shop;
    InfoPassiveBonusWindow offer;
    w.profile().mSilver = 74;
    ASSERT_TRUE(w.properties.saveProfile());
    const std::vector<uint8_t> before = fileBytes(w.dir.file("profile_0.dat"));
    offer.mResult = 7;
    offer.open(2, "center");
    w.frames(4);
    ASSERT_EQ(offer.mState, DialogWindow::Shown);
    EXPECT_EQ(textOf(offer.mScene, "#price"), "75");
    EXPECT_EQ(textOf(offer.mScene, "#title"), "BOOM_BONUS_TITLE");

    w.clickWidget(offer, "btnBuy", 176, 64);
    EXPECT_EQ(shop.mRequestedCurrency, kCurrencySilver) << "the shop was asked for silver";
    EXPECT_EQ(offer.mState, DialogWindow::Shown);
    EXPECT_EQ(offer.mResult, 7);
    EXPECT_EQ(w.profile().mSilver, 74);
    EXPECT_EQ(w.profile().mPassiveBoosters[2], 0);
    EXPECT_EQ(fileBytes(w.dir.file("profile_0.dat")), before);

    w.profile().mSilver = 75;
    w.clickWidget(offer, "btnBuy", 176, 64);
    EXPECT_EQ(offer.mState, DialogWindow::Hiding);
    EXPECT_EQ(offer.mResult, InfoPassiveBonusWindow::Bought);
    std::unique_ptr<PlayerProfile> onDisk = stored(w);
    EXPECT_EQ(onDisk->mSilver, 0);
    EXPECT_EQ(onDisk->mPassiveBoosters[2], 1);
    EXPECT_EQ(onDisk->mPassivePurchases[2].purchases, 2u);
    EXPECT_NE(onDisk->mPassivePurchases[2].time, 0u);
}

TEST(PassiveBoosterOffer, KindsAndTheTimeVariant) {
    ShopWorld w;
    InfoPassiveBonusWindow offer;
    struct Case {
        int kind;
        bool timeLimit;
        const char* title;
        const char* price;
    };
    for (const Case& c : {Case{0, false, "PASSIVE_BONUS_COLOR_TITLE", "110"}, Case{1, false, "PASSIVE_BONUS_MOVES_TITLE", "50"},
                          Case{1, true, "PASSIVE_BONUS_TIME_TITLE", "50"}, Case{2, true, "BOOM_BONUS_TITLE", "75"}}) {
        offer.mTimeLimit = c.timeLimit;
        offer.open(c.kind, "left");
        EXPECT_EQ(textOf(offer.mScene, "#title"), c.title);
        EXPECT_EQ(textOf(offer.mScene, "#price"), c.price);
        EXPECT_EQ(offer.mKind, c.kind);
    }
    offer.open(3, "left");  // no such booster: ignored
    EXPECT_EQ(offer.mKind, 2);
}

// The blocker's stars button opens the star shop over it; the blocker stays.
TEST(BlockerMessage, StarsButtonOpensTheShopOnTop) {
    ShopWorld w;
    BuyValutaWindowSingleton shop;
    BlockerMessageWindow blocker;
    blocker.show(true);
    w.frames(4);
    w.clickWidget(blocker, "btnBuyStars", 176, 64);
    w.frames(4);
    EXPECT_EQ(shop.mState, DialogWindow::Shown);
    EXPECT_EQ(blocker.mState, DialogWindow::Shown);
    EXPECT_EQ(w.manager->mVisible, (std::vector<DialogWindow*>{&blocker, &shop}));
}

TEST(ConfirmWindows, AcceptAnswersZeroAndRejectOne) {
    ShopWorld w;
    for (const auto& [name, resource] : {std::pair<const char*, const char*>{"ExitQuestionWindow", "exit_question_window_ui"},
                                         {"ConfirmExitLevelWindow", "confirm_exit_level_window_ui"}}) {
        SCOPED_TRACE(name);
        ConfirmWindow window(name, resource);
        for (const auto& [button, result] : {std::pair<const char*, int>{"btnAccept", 0}, {"btnReject", 1}}) {
            window.mResult = 9;
            window.show(true);
            w.frames(4);
            w.clickWidget(window, button, 176, 64);
            w.frames(4);
            EXPECT_EQ(window.mState, DialogWindow::Hidden);
            EXPECT_EQ(window.mResult, result) << button;
        }
    }
}

// Each day card shows a coin and an amount for exactly what its pack pays.
TEST(EverydayBonus, DayPanelsShowThePacks) {
    ShopWorld w;
    EverydayBonusWindow window;
    const char* silver[] = {"50", "100", "150", "200", "250"};
    for (int day = 1; day <= 5; ++day) {
        SCOPED_TRACE(day);
        AE::ISceneNode* panel = window.mScene->findNode("#day_" + std::to_string(day));
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(textOf(panel, "#amount_s"), silver[day - 1]);
        EXPECT_TRUE(panel->findNode("#silver")->mEnabled);
        EXPECT_TRUE(panel->findNode("#amount_s")->mEnabled);
        const bool gold = day == 5;
        EXPECT_EQ(panel->findNode("#gold")->mEnabled, gold);
        EXPECT_EQ(panel->findNode("#amount_g")->mEnabled, gold);
        EXPECT_EQ(textOf(panel, "#amount_g"), gold ? "5" : "");
    }
}

std::unique_ptr<StoreOffer> runningOffer(std::vector<std::pair<int32_t, int32_t>> rewards) {
    auto offer = std::make_unique<StoreOffer>();
    offer->name = "winter";
    const std::time_t now = std::time(nullptr);
    const std::time_t from = now - 3600, to = now + 86400;
    localtime_r(&from, &offer->begin);
    localtime_r(&to, &offer->end);
    offer->contents.rewards = std::move(rewards);
    offer->contents.priceText = "4.99";
    offer->contents.currencyText = "EUR";
    return offer;
}

TEST(HolidayOffer, ShowsUpToThreeRewardsOfTheRunningOffer) {
    ShopWorld w;
    HolidayPurchaseWindow window;
    window.show(true);  // no offer: stays hidden
    EXPECT_EQ(window.mState, DialogWindow::Hidden);
    EXPECT_TRUE(w.manager->mVisible.empty());

    w.store.offers().push_back(runningOffer({{kGoodsGold, 30}}));
    window.show(true);
    EXPECT_EQ(window.mState, DialogWindow::Showing);
    EXPECT_TRUE(window.mScene->findNode("#item0")->mEnabled);
    EXPECT_FALSE(window.mScene->findNode("#item1")->mEnabled);
    EXPECT_FALSE(window.mScene->findNode("#item2")->mEnabled);
    EXPECT_EQ(textOf(window.mScene->findNode("#item0"), "#amount"), "30");
    EXPECT_EQ(textOf(window.mScene, "#price"), "4.99");
    EXPECT_EQ(textOf(window.mScene, "#price_valuta"), "EUR");
    w.frames(4);
    window.hide();
    w.frames(4);

    w.store.offers().front() = runningOffer({{1, 10}, {2, 20}, {3, 30}, {1, 40}});
    window.show(false);
    for (int i = 0; i < 3; ++i) {
        AE::ISceneNode* item = window.mScene->findNode("#item" + std::to_string(i));
        EXPECT_TRUE(item->mEnabled);
        EXPECT_EQ(textOf(item, "#amount"), std::to_string(10 * (i + 1)));
    }
}

}  // namespace

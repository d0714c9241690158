#include <gtest/gtest.h>

#include <memory>

#include "game/player/save_test_util.h"
#include "player/game_properties.h"
#include "player/progress_saver.h"
#include "player/store.h"
#include "support/temp_dir.h"

using savetest::fileBytes;

namespace {

struct StoreFixture {
    qvtest::TempDir dir;
    GameProperties properties{dir.path()};
    ProgressSaver saver;
    Store store;
    PlayerProfile& profile() { return *properties.profile(); }
    std::unique_ptr<PlayerProfile> stored() {
        auto p = std::make_unique<PlayerProfile>();
        EXPECT_TRUE(savetest::storedProfile(dir.path(), *p));
        return p;
    }
};

StoreItem item(int goods, int amount, float price, int currency) {
    StoreItem i;
    i.goods = goods;
    i.amount = amount;
    i.price = price;
    i.currency = currency;
    return i;
}

TEST(Store, PurchasesTable) {
    struct Case {
        const char* what;
        int silver, gold;
        StoreItem item;
        bool bought;
        int silverAfter, goldAfter, starsAfter;
    };
    const std::vector<Case> cases = {
        {"5 stars for 150 silver with exactly 150", 150, 20, item(3, 5, 150, 1), true, 0, 20, 5},
        {"5 stars for 150 silver with 149", 149, 20, item(3, 5, 150, 1), false, 149, 20, 0},
        {"gold for gold: granted from what is left", 0, 30, item(2, 10, 25, 2), true, 0, 15, 0},
        {"silver for silver: granted from what is left", 60, 20, item(1, 100, 50, 1), true, 110, 20, 0},
        {"silver for gold, one short", 0, 4, item(1, 100, 5, 2), false, 0, 4, 0},
        {"a price of 74.9 takes 74", 100, 20, item(3, 1, 74.9f, 1), true, 26, 20, 1},
        {"outside currency pays nothing", 0, 0, item(2, 50, 99999, 7), true, 0, 50, 0},
        {"outside currency over its balance", 0, 0, item(2, 50, 100501, 7), false, 0, 0, 0},
        {"unknown goods: paid, nothing granted", 10, 20, item(9, 5, 10, 1), true, 0, 20, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StoreFixture f;
        f.profile().mSilver = c.silver;
        f.profile().mGold = c.gold;
        ASSERT_TRUE(f.properties.saveProfile());
        const std::vector<uint8_t> before = fileBytes(f.dir.file("profile_0.dat"));

        EXPECT_EQ(f.store.buy(c.item), c.bought);
        EXPECT_EQ(f.profile().mSilver, c.silverAfter);
        EXPECT_EQ(f.profile().mGold, c.goldAfter);
        EXPECT_EQ(f.profile().getStars(), c.starsAfter);
        if (!c.bought) {
            EXPECT_EQ(fileBytes(f.dir.file("profile_0.dat")), before);
            continue;
        }
        // Written before buy returned.
        std::unique_ptr<PlayerProfile> stored = f.stored();
        EXPECT_EQ(stored->mSilver, c.silverAfter);
        EXPECT_EQ(stored->mGold, c.goldAfter);
        EXPECT_EQ(stored->getStars(), c.starsAfter);
    }
}

TEST(Store, GoldCounterAndStarGrants) {
    StoreFixture f;
    f.profile().mSilver = 1000;
    EXPECT_TRUE(f.store.buy(item(2, 1, 10, 1)));
    EXPECT_TRUE(f.store.buy(item(2, 1, 10, 1)));
    EXPECT_EQ(f.profile().mGoldPurchaseCounter, 14u);
    EXPECT_TRUE(f.store.buy(item(3, 15, 450, 1)));
    ASSERT_EQ(f.profile().mStarGrants.size(), 1u);
    EXPECT_EQ(f.profile().mStarGrants[0].amount, 15);
    EXPECT_NEAR(double(f.profile().mStarGrants[0].time), double(currentUnixTime()), 5.0);
    EXPECT_EQ(f.stored()->mStarGrants.size(), 1u);
    EXPECT_EQ(f.stored()->mGoldPurchaseCounter, 14u);
}

TEST(Store, FixedTables) {
    EXPECT_EQ(Store::getBonusPack(1), (std::vector<std::pair<int, int>>{{50, 1}}));
    EXPECT_EQ(Store::getBonusPack(5), (std::vector<std::pair<int, int>>{{250, 1}, {5, 2}}));
    EXPECT_TRUE(Store::getBonusPack(6).empty());
    EXPECT_TRUE(Store::getBonusPack(0).empty());

    std::vector<StoreItem> stars = Store::getStarOffers(3);
    ASSERT_EQ(stars.size(), 4u);
    const int packs[4][2] = {{1, 75}, {5, 150}, {15, 450}, {20, 600}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(stars[i].amount, packs[i][0]);
        EXPECT_FLOAT_EQ(stars[i].price, float(packs[i][1]));
        EXPECT_EQ(stars[i].currency, 1);
        EXPECT_EQ(stars[i].goods, 3);
    }
    EXPECT_TRUE(Store::getStarOffers(1).empty());

    const int requirements[8] = {0, 40, 85, 135, 170, 220, 260, 320};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Store::getStarsRequirement(i), requirements[i]);
    EXPECT_EQ(Store::getStarsRequirement(8), 0);
    EXPECT_EQ(Store::getStarsRequirement(-1), 0);

    EXPECT_EQ(Store::getBoostersUnlockedAtLevel(25), std::vector<int32_t>{0});
    EXPECT_EQ(Store::getBoostersUnlockedAtLevel(5), std::vector<int32_t>{2});
    EXPECT_TRUE(Store::getBoostersUnlockedAtLevel(11).empty());
    EXPECT_EQ(Store::getPassiveBonusesUnlockedAtLevel(36), std::vector<int32_t>{0});
    EXPECT_EQ(Store::getPassiveBonusesUnlockedAtLevel(11), std::vector<int32_t>{1});
    EXPECT_TRUE(Store::getPassiveBonusesUnlockedAtLevel(25).empty());

    EXPECT_EQ(Store::getChipReward({1, 15, 24}), std::make_pair(5, 1));
    EXPECT_EQ(Store::getChipReward({24}), std::make_pair(12, 1));
    EXPECT_EQ(Store::getChipReward({11}).first, 4);
    EXPECT_EQ(Store::getChipReward({17}).first, 6);
    EXPECT_EQ(Store::getChipReward({18}).first, 7);
    EXPECT_EQ(Store::getChipReward({21}).first, 8);
    EXPECT_EQ(Store::getChipReward({23}).first, 10);
    EXPECT_EQ(Store::getChipReward({1, 2, 22}), std::make_pair(0, 1));
}

TEST(Store, OfferTimeAndKeys) {
    StoreOffer offer;
    offer.name = "winter";
    offer.a = 3;
    offer.b = 4;
    offer.begin.tm_year = 120;
    offer.begin.tm_mon = 0;
    offer.begin.tm_mday = 1;
    offer.end = offer.begin;
    offer.end.tm_mday = 2;
    std::tm b = offer.begin;
    const std::time_t begin = std::mktime(&b);
    EXPECT_EQ(offer.key(), "winter");
    offer.keyKind = 1;
    EXPECT_EQ(offer.key(), "winter:4");
    offer.keyKind = 2;
    EXPECT_EQ(offer.key(), "winter:3");

    PlayerProfile profile;
    EXPECT_EQ(offer.secondsLeft(&profile, begin - 1), 0);
    EXPECT_EQ(offer.secondsLeft(&profile, begin + 3600), 86400 - 3600);
    EXPECT_EQ(offer.secondsLeft(&profile, begin + 86401), 0);
    profile.mBoughtOffers["winter:3"] = "1";
    EXPECT_EQ(offer.secondsLeft(&profile, begin + 3600), 0);
}

}  // namespace

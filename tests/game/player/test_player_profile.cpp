#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "animationeditor/vector_stream.h"
#include "player/checked_stream.h"
#include "game/player/save_test_util.h"
#include "player/game_properties.h"
#include "player/player_profile.h"
#include "player/progress_saver.h"
#include "player/save_file.h"
#include "support/temp_dir.h"

using savetest::hexBytes;

namespace {

std::vector<uint8_t> streamOf(const PlayerProfile& profile) {
    std::vector<uint8_t> bytes;
    AE::VectorStream stream(&bytes);
    profile.write(stream);
    return bytes;
}

bool readInto(PlayerProfile& profile, const std::vector<uint8_t>& bytes) {
    CheckedStream stream(bytes.data(), bytes.size());
    return profile.read(stream);
}

TEST(PlayerProfile, FreshProfileSectionIs240DocumentedBytes) {
    PlayerProfile p;
    EXPECT_EQ(p.mGold, 20);
    EXPECT_EQ(p.mSilver, 350);
    EXPECT_EQ(p.getStars(), 0);
    EXPECT_EQ(p.mFullScreen, 1);
    EXPECT_EQ(p.mCustomCursor, 1);
    EXPECT_FLOAT_EQ(p.mMusicVolume, 0.8f);
    EXPECT_FLOAT_EQ(p.mSoundVolume, 0.8f);
    EXPECT_NEAR(double(p.mCreationTime), double(currentUnixTime()), 5.0);

    p.mCreationTime = 0x0102030405060708ull;
    const std::string purchase = "01000000 00000000 0000000000000000 ";
    std::string expected =
        "0a000000 0000000000000000 01 01 cdcc4c3f cdcc4c3f 14000000 5e010000 00000000 "
        "03000000 000000 04000000 00000000 00000000 00000000 00000000 00 "
        "00000000 00000000 00000000 00 0807060504030201 0000000000000000 00000000 00000000 00 "
        "03000000 " + purchase + purchase + purchase + "04000000 " + purchase + purchase + purchase + purchase +
        "0000000000000000 00000000 0000000000000000";
    std::vector<uint8_t> bytes = streamOf(p);
    EXPECT_EQ(bytes.size(), 240u);
    EXPECT_EQ(bytes, hexBytes(expected));
}

TEST(PlayerProfile, Version10RoundTripKeepsEverySavedField) {
    PlayerProfile p;
    p.mProfileId = 0x1122334455667788ull;
    p.mFullScreen = 0;
    p.mCustomCursor = 0;
    p.mMusicVolume = 0.25f;
    p.mSoundVolume = 0.5f;
    p.mGold = 7;
    p.mSilver = 9;
    p.mStarsBase = 12;
    p.mPassiveBoosters[0] = 1;
    p.mPassiveBoosters[2] = 1;
    p.mBoosterCounts[3] = 4;
    p.mBoosterUnlockNotice = 1;
    p.mUnlockedBoosters = {2, 3};
    p.mUnlockedPassiveBoosters = {1};
    p.mStarGrants = {{5, 100}, {15, 200}};
    p.mIdKnown = 1;
    p.mCreationTime = 1234;
    p.mDayStamp = 86400 * 3;
    p.mDayIndex = 4;
    p.mLaunchCounter = 17;
    p.mPassiveUnlockNotice = 1;
    p.mPassivePurchases[1] = {3, 999};
    p.mBoosterPurchases[2] = {5, 888};
    p.mGoldPurchaseCounter = 21;
    p.mBoughtOffers = {{"zeta", "1"}, {"alpha:2", "x"}};
    p.mReservedStamp = 77;
    const std::vector<uint8_t> bytes = streamOf(p);

    PlayerProfile q;
    ASSERT_TRUE(readInto(q, bytes));
    EXPECT_EQ(streamOf(q), bytes);
    EXPECT_EQ(q.getStars(), 32);
    // The offers are written in key order.
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_LT(text.find("alpha:2"), text.find("zeta"));
}

// Builds a stream of an older version by hand.
std::vector<uint8_t> olderStream(int32_t version) {
    std::vector<uint8_t> bytes;
    AE::VectorStream s(&bytes);
    AE::writeValue<int32_t>(s, version);
    if (version < 0) return bytes;
    AE::writeValue<uint64_t>(s, 42);
    AE::writeValue<uint8_t>(s, 0);
    AE::writeValue<uint8_t>(s, 1);
    AE::writeValue<float>(s, 0.5f);
    AE::writeValue<float>(s, 0.75f);
    AE::writeValue<int32_t>(s, 33);    // gold
    AE::writeValue<int32_t>(s, 444);   // silver
    AE::writeValue<int32_t>(s, 5);     // stars
    const uint8_t passive[3] = {1, 1, 0};
    s.write(passive, 3);
    const uint8_t boosters[4] = {0, 5, 0, 1};
    s.write(boosters, 4);
    AE::writeValue<uint8_t>(s, 1);
    AE::writeIntVector(s, {1});
    AE::writeIntVector(s, {});
    AE::writeValue<uint32_t>(s, 0);
    if (version >= 1) AE::writeValue<uint8_t>(s, 1);
    if (version >= 2) AE::writeValue<uint64_t>(s, 5000);
    if (version >= 3) {
        AE::writeValue<uint64_t>(s, 86400);
        AE::writeValue<int32_t>(s, 2);
    }
    if (version >= 4) AE::writeValue<int32_t>(s, 9);
    if (version >= 5) AE::writeValue<uint8_t>(s, 1);
    if (version >= 6) {
        for (uint32_t n : {3u, 4u}) {
            AE::writeValue<uint32_t>(s, n);
            for (uint32_t i = 0; i < n; ++i) {
                AE::writeValue<uint32_t>(s, 2 + i);
                AE::writeValue<uint32_t>(s, 0);
                AE::writeValue<uint64_t>(s, 10 + i);
            }
        }
    }
    if (version >= 7) AE::writeValue<uint64_t>(s, 14);
    if (version >= 8) {
        AE::writeValue<uint32_t>(s, 1);
        AE::writeCString(s, "offer");
        AE::writeCString(s, "v");
    }
    if (version >= 9) AE::writeValue<uint64_t>(s, 99);
    return bytes;
}

TEST(PlayerProfile, OlderVersionsTable) {
    {
        SCOPED_TRACE("version 9: the older booster layout, everything up to the reserved stamp");
        PlayerProfile p;
        p.mPassiveBoosters[2] = 1;
        p.mBoosterCounts[3] = 8;
        ASSERT_TRUE(readInto(p, olderStream(9)));
        EXPECT_EQ(p.mProfileId, 42u);
        EXPECT_EQ(p.mGold, 33);
        EXPECT_EQ(p.mSilver, 444);
        EXPECT_EQ(p.mPassiveBoosters[0], 1);
        EXPECT_EQ(p.mPassiveBoosters[1], 0);
        EXPECT_EQ(p.mPassiveBoosters[2], 1);  // keeps its value
        EXPECT_EQ(p.mBoosterCounts[0], 1);
        EXPECT_EQ(p.mBoosterCounts[1], 0);
        EXPECT_EQ(p.mBoosterCounts[2], 1);
        EXPECT_EQ(p.mBoosterCounts[3], 8);  // keeps its value
        EXPECT_EQ(p.mUnlockedBoosters, std::vector<int32_t>{1});
        EXPECT_EQ(p.mLaunchCounter, 9);
        EXPECT_EQ(p.mPassivePurchases[2].purchases, 4u);
        EXPECT_EQ(p.mBoosterPurchases[3].time, 13u);
        EXPECT_EQ(p.mGoldPurchaseCounter, 14u);
        EXPECT_EQ(p.mBoughtOffers.at("offer"), "v");
        EXPECT_EQ(p.mReservedStamp, 99u);
    }
    {
        SCOPED_TRACE("version 3: the launch counter and later fields keep their reset values");
        PlayerProfile p;
        p.mBoughtOffers["old"] = "x";
        ASSERT_TRUE(readInto(p, olderStream(3)));
        EXPECT_EQ(p.mCreationTime, 5000u);
        EXPECT_EQ(p.mDayStamp, 86400u);
        EXPECT_EQ(p.mDayIndex, 2);
        EXPECT_EQ(p.mLaunchCounter, 0);
        EXPECT_EQ(p.mPassiveUnlockNotice, 0);
        EXPECT_EQ(p.mPassivePurchases[0].purchases, 1u);
        EXPECT_EQ(p.mGoldPurchaseCounter, 0u);
        EXPECT_TRUE(p.mBoughtOffers.empty());
        EXPECT_EQ(p.mReservedStamp, 0u);
    }
    {
        SCOPED_TRACE("negative version: only the bought offers are emptied");
        PlayerProfile p;
        p.mGold = 3;
        p.mBoughtOffers["old"] = "x";
        ASSERT_TRUE(readInto(p, olderStream(-1)));
        EXPECT_EQ(p.mGold, 3);
        EXPECT_TRUE(p.mBoughtOffers.empty());
    }
}

TEST(PlayerProfile, StoredVolumesAreKeptInRange) {
    const float nan = std::nanf("");
    const float inf = INFINITY;
    for (auto [stored, expected] : std::vector<std::pair<float, float>>{
             {0.3f, 0.3f}, {1.5f, 1.0f}, {-2.0f, 0.0f}, {nan, 0.8f}, {inf, 0.8f}}) {
        SCOPED_TRACE(stored);
        PlayerProfile p;
        p.mMusicVolume = stored;
        p.mSoundVolume = stored;
        PlayerProfile q;
        ASSERT_TRUE(readInto(q, streamOf(p)));
        EXPECT_FLOAT_EQ(q.mMusicVolume, expected);
        EXPECT_FLOAT_EQ(q.mSoundVolume, expected);
    }
}

TEST(PlayerProfile, EveryCutOfTheStreamIsRefused) {
    PlayerProfile p;
    p.mStarGrants = {{1, 2}};
    p.mBoughtOffers = {{"k", "v"}};
    const std::vector<uint8_t> bytes = streamOf(p);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        std::vector<uint8_t> part(bytes.begin(), bytes.begin() + long(cut));
        PlayerProfile q;
        EXPECT_FALSE(readInto(q, part)) << "cut at " << cut;
    }
    // A list count far beyond the data is refused without reading it.
    std::vector<uint8_t> huge = streamOf(PlayerProfile());
    const size_t unlockedCount = 4 + 8 + 2 + 8 + 12 + 7 + 20 + 1;
    ASSERT_EQ(huge[unlockedCount], 0);
    huge[unlockedCount + 3] = 0x7F;
    PlayerProfile q;
    EXPECT_FALSE(readInto(q, huge));
}

TEST(PlayerProfile, ResetsAndSmallOperations) {
    PlayerProfile p;
    p.mProfileId = 5;
    p.mStarsBase = 12;
    p.addStarGrant(5, 1);
    p.addStarGrant(15, 2);
    EXPECT_EQ(p.getStars(), 32);

    p.unlockPassiveBonus(1);
    EXPECT_EQ(p.mPassiveUnlockNotice, 1);
    p.mPassiveUnlockNotice = 0;
    p.unlockPassiveBonus(1);
    EXPECT_EQ(p.mPassiveUnlockNotice, 0);
    EXPECT_EQ(p.mUnlockedPassiveBoosters.size(), 1u);
    p.unlockBooster(2);
    p.unlockBooster(2);
    EXPECT_EQ(p.mUnlockedBoosters, std::vector<int32_t>{2});
    EXPECT_TRUE(p.isBoosterUnlocked(2));
    EXPECT_FALSE(p.isBoosterUnlocked(0));

    p.mLaunchCounter = 3;
    p.mBoughtOffers["k"] = "v";
    p.resetProgress();
    EXPECT_EQ(p.mIdKnown, 1);
    EXPECT_EQ(p.mStarsBase, 0);
    EXPECT_EQ(p.getStars(), 20);  // grants stay
    EXPECT_TRUE(p.mUnlockedBoosters.empty());
    EXPECT_EQ(p.mDayStamp % 86400, 0u);
    EXPECT_NE(p.mDayStamp, 0u);
    EXPECT_EQ(p.mLaunchCounter, 3);

    p.resetAll();
    EXPECT_EQ(p.getStars(), 0);
    EXPECT_EQ(p.mDayStamp, 0u);
    EXPECT_EQ(p.mLaunchCounter, 0);
    EXPECT_TRUE(p.hasStringKey("k"));  // bought offers survive
    EXPECT_EQ(p.mProfileId, 5u);

    p.mCreationTime = 86400 * 10 + 500;
    EXPECT_EQ(p.daysSinceCreation(86400 * 10 + 86399), 0);
    EXPECT_EQ(p.daysSinceCreation(86400 * 11), 1);
    EXPECT_EQ(p.daysSinceCreation(100), 0);

    p.mFriendRequests.push_back(std::make_unique<FriendRequestRecord>(FriendRequestRecord{(7ull << 32) | 9, 1}));
    EXPECT_NE(p.findSocialEntry(9, 7), nullptr);
    EXPECT_EQ(p.findSocialEntry(7, 9), nullptr);
    p.clearFriendRequests();
    EXPECT_EQ(p.findSocialEntry(9, 7), nullptr);

    EXPECT_EQ(formatProfileId(18446744073709551615ull), "18446744073709551615");
    EXPECT_TRUE(isZeroProfileId(0));
}

TEST(PlayerProfile, CurrencySettersClampAndSave) {
    qvtest::TempDir dir;
    GameProperties properties(dir.path());
    ProgressSaver saver;
    properties.profile()->setSilver(-5);
    EXPECT_EQ(properties.profile()->mSilver, 0);
    PlayerProfile stored;
    ASSERT_TRUE(savetest::storedProfile(dir.path(), stored));
    EXPECT_EQ(stored.mSilver, 0);
    properties.profile()->setGold(12);
    ASSERT_TRUE(savetest::storedProfile(dir.path(), stored));
    EXPECT_EQ(stored.mGold, 12);
}

}  // namespace

#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace AE {
class DataStream;
}

struct StarGrant {
    int32_t amount = 0;
    uint64_t time = 0;
};

struct PurchaseRecord {
    uint32_t purchases = 1;
    uint64_t time = 0;  // of the last purchase; 0 = never
};

struct FriendRequestRecord {
    uint64_t friendId = 0;
    uint64_t lastRequestTime = 0;
};

constexpr int kPassiveBoosterKinds = 3;
constexpr int kBoosterKinds = 4;
constexpr uint32_t kProfileStreamVersion = 10;

// Seconds since 1970-01-01 UTC.
uint64_t currentUnixTime();

// The player's persistent record. Fields are read and written directly by
// their users; the operations below are the ones with rules of their own.
class PlayerProfile {
public:
    PlayerProfile();
    ~PlayerProfile();

    void resetAll();
    void resetProgress();

    void write(AE::DataStream& stream) const;
    // False when the stream ended early or held impossible counts; the profile
    // may then be partly read, so the caller resets it.
    bool read(AE::DataStream& stream);

    // Clamp below at 0, then save at once.
    void setGold(int value);
    void setSilver(int value);
    int getStars() const;
    void addStarGrant(int amount, uint64_t time);

    void unlockBooster(int kind);
    void unlockPassiveBonus(int kind);
    bool isBoosterUnlocked(int kind) const;

    void setSoundVolume(float volume);
    void setMusicVolume(float volume);

    int64_t daysSinceCreation() const;
    int64_t daysSinceCreation(uint64_t now) const;

    bool hasStringKey(const std::string& key) const;

    FriendRequestRecord* findSocialEntry(uint32_t idLow, uint32_t idHigh);
    void clearFriendRequests();

    uint8_t mIdKnown = 0;
    uint64_t mProfileId = 0;
    int32_t mGold = 20;
    int32_t mSilver = 350;
    int32_t mStarsBase = 0;
    std::vector<StarGrant> mStarGrants;
    uint8_t mPassiveBoosters[kPassiveBoosterKinds] = {};
    int32_t mBoosterCounts[kBoosterKinds] = {};
    uint8_t mBoosterUnlockNotice = 0;
    std::vector<int32_t> mUnlockedBoosters;
    std::vector<int32_t> mUnlockedPassiveBoosters;
    uint8_t mFullScreen = 1;
    uint8_t mCustomCursor = 1;
    float mMusicVolume = 0.8f;
    float mSoundVolume = 0.8f;
    std::vector<std::unique_ptr<FriendRequestRecord>> mFriendRequests;  // never saved
    uint64_t mCreationTime = 0;
    uint64_t mGoldPurchaseCounter = 0;
    uint64_t mReservedStamp = 0;
    uint64_t mDayStamp = 0;
    int32_t mDayIndex = 0;
    int32_t mLaunchCounter = 0;
    uint8_t mPassiveUnlockNotice = 0;
    PurchaseRecord mPassivePurchases[kPassiveBoosterKinds];
    PurchaseRecord mBoosterPurchases[kBoosterKinds];
    std::map<std::string, std::string> mBoughtOffers;
};

std::string formatProfileId(uint64_t id);
bool isZeroProfileId(uint64_t id);

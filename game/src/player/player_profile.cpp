#include "player/player_profile.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "animationeditor/vector_stream.h"
#include "player/checked_stream.h"
#include "player/game_properties.h"
#include "mutex_lock.h"
#include "player/progress_saver.h"
#include "sound_system/sound_manager.h"

namespace {

constexpr uint64_t kSecondsPerDay = 86400;

void writePurchase(AE::DataStream& s, const PurchaseRecord& record) {
    AE::writeValue<uint32_t>(s, record.purchases);
    AE::writeValue<uint32_t>(s, 0);
    AE::writeValue<uint64_t>(s, record.time);
}

PurchaseRecord readPurchase(AE::DataStream& s) {
    PurchaseRecord record;
    record.purchases = AE::readValue<uint32_t>(s);
    AE::readValue<uint32_t>(s);
    record.time = AE::readValue<uint64_t>(s);
    return record;
}

// A count is refused when the elements it announces cannot fit in what is left.
bool countFits(AE::DataStream& s, uint32_t count, size_t elementSize) {
    if (streamFailed(s)) return false;
    return uint64_t(count) * elementSize <= streamRemaining(s);
}

void failStream(AE::DataStream& s) {
    if (CheckedStream* checked = dynamic_cast<CheckedStream*>(&s)) checked->fail();
}

// A volume from a file: out-of-range values are clamped, and a value that is
// no number at all (a damaged file) falls back to the default.
float storedVolume(float value) {
    if (!std::isfinite(value)) return 0.8f;
    return std::clamp(value, 0.0f, 1.0f);
}

bool readIntList(AE::DataStream& s, std::vector<int32_t>& values) {
    values.clear();
    uint32_t count = AE::readValue<uint32_t>(s);
    if (!countFits(s, count, 4)) return false;
    values.reserve(count);
    for (uint32_t i = 0; i < count; ++i) values.push_back(AE::readValue<int32_t>(s));
    return !streamFailed(s);
}

void readPurchaseList(AE::DataStream& s, PurchaseRecord* records, uint32_t kept) {
    uint32_t count = AE::readValue<uint32_t>(s);
    if (!countFits(s, count, 16)) {
        failStream(s);
        return;
    }
    for (uint32_t i = 0; i < count; ++i) {
        PurchaseRecord record = readPurchase(s);
        if (i < kept) records[i] = record;
    }
}

}  // namespace

uint64_t currentUnixTime() {
    std::time_t now = std::time(nullptr);
    return now > 0 ? static_cast<uint64_t>(now) : 0;
}

std::string formatProfileId(uint64_t id) {
    char text[32];
    std::snprintf(text, sizeof(text), "%" PRIu64, id);
    return text;
}

bool isZeroProfileId(uint64_t id) { return id == 0; }

PlayerProfile::PlayerProfile() : mCreationTime(currentUnixTime()) {
    resetAll();
    mFullScreen = 1;
    mCustomCursor = 1;
}

PlayerProfile::~PlayerProfile() { clearFriendRequests(); }

void PlayerProfile::resetProgress() {
    if (mProfileId != 0) mIdKnown = 1;
    mStarsBase = 0;
    mSilver = 350;
    mGold = 20;
    std::fill(std::begin(mPassiveBoosters), std::end(mPassiveBoosters), 0);
    std::fill(std::begin(mBoosterCounts), std::end(mBoosterCounts), 0);
    mBoosterUnlockNotice = 0;
    mUnlockedBoosters.clear();
    mUnlockedPassiveBoosters.clear();
    mDayStamp = currentUnixTime() / kSecondsPerDay * kSecondsPerDay;
    mDayIndex = 0;
    mPassiveUnlockNotice = 0;
}

void PlayerProfile::resetAll() {
    resetProgress();
    mStarGrants.clear();
    mMusicVolume = 0.8f;
    mSoundVolume = 0.8f;
    mFullScreen = 1;
    mCustomCursor = 1;
    mDayStamp = 0;
    mLaunchCounter = 0;
    clearFriendRequests();
    mPassiveUnlockNotice = 0;
    for (PurchaseRecord& r : mPassivePurchases) r = PurchaseRecord();
    for (PurchaseRecord& r : mBoosterPurchases) r = PurchaseRecord();
    mReservedStamp = 0;
}

void PlayerProfile::write(AE::DataStream& s) const {
    AE::writeValue<uint32_t>(s, kProfileStreamVersion);
    AE::writeValue<uint64_t>(s, mProfileId);
    AE::writeValue<uint8_t>(s, mFullScreen);
    AE::writeValue<uint8_t>(s, mCustomCursor);
    AE::writeValue<float>(s, mMusicVolume);
    AE::writeValue<float>(s, mSoundVolume);
    AE::writeValue<int32_t>(s, mGold);
    AE::writeValue<int32_t>(s, mSilver);
    AE::writeValue<int32_t>(s, mStarsBase);
    AE::writeValue<uint32_t>(s, kPassiveBoosterKinds);
    s.write(mPassiveBoosters, kPassiveBoosterKinds);
    AE::writeValue<uint32_t>(s, kBoosterKinds);
    for (int32_t count : mBoosterCounts) AE::writeValue<int32_t>(s, count);
    AE::writeValue<uint8_t>(s, mBoosterUnlockNotice);
    AE::writeIntVector(s, mUnlockedBoosters);
    AE::writeIntVector(s, mUnlockedPassiveBoosters);
    AE::writeValue<uint32_t>(s, static_cast<uint32_t>(mStarGrants.size()));
    for (const StarGrant& grant : mStarGrants) {
        AE::writeValue<int32_t>(s, grant.amount);
        AE::writeValue<uint32_t>(s, 0);
        AE::writeValue<uint64_t>(s, grant.time);
    }
    AE::writeValue<uint8_t>(s, mIdKnown);
    AE::writeValue<uint64_t>(s, mCreationTime);
    AE::writeValue<uint64_t>(s, mDayStamp);
    AE::writeValue<int32_t>(s, mDayIndex);
    AE::writeValue<int32_t>(s, mLaunchCounter);
    AE::writeValue<uint8_t>(s, mPassiveUnlockNotice);
    AE::writeValue<uint32_t>(s, kPassiveBoosterKinds);
    for (const PurchaseRecord& r : mPassivePurchases) writePurchase(s, r);
    AE::writeValue<uint32_t>(s, kBoosterKinds);
    for (const PurchaseRecord& r : mBoosterPurchases) writePurchase(s, r);
    AE::writeValue<uint64_t>(s, mGoldPurchaseCounter);
    AE::writeValue<uint32_t>(s, static_cast<uint32_t>(mBoughtOffers.size()));
    for (const auto& [key, value] : mBoughtOffers) {
        AE::writeCString(s, key);
        AE::writeCString(s, value);
    }
    AE::writeValue<uint64_t>(s, mReservedStamp);
}

bool PlayerProfile::read(AE::DataStream& s) {
    const int32_t v = AE::readValue<int32_t>(s);
    if (streamFailed(s)) return false;
    if (v >= 0) {
        mProfileId = AE::readValue<uint64_t>(s);
        mFullScreen = AE::readValue<uint8_t>(s);
        mCustomCursor = AE::readValue<uint8_t>(s);
        const float music = AE::readValue<float>(s);
        const float sound = AE::readValue<float>(s);
        mGold = AE::readValue<int32_t>(s);
        mSilver = AE::readValue<int32_t>(s);
        mStarsBase = AE::readValue<int32_t>(s);
        if (streamFailed(s)) return false;
        setMusicVolume(storedVolume(music));
        setSoundVolume(storedVolume(sound));

        if (v < 10) {
            uint8_t passive[3];
            s.read(passive, 3);
            mPassiveBoosters[0] = passive[1];
            mPassiveBoosters[1] = passive[2];
            uint8_t boosters[4];
            s.read(boosters, 4);
            for (int i = 0; i < 3; ++i) mBoosterCounts[i] = boosters[i + 1] != 0 ? 1 : 0;
        } else {
            const uint32_t n = AE::readValue<uint32_t>(s);
            if (!countFits(s, n, 1)) return false;
            for (uint32_t i = 0; i < n; ++i) {
                uint8_t value = AE::readValue<uint8_t>(s);
                if (i < kPassiveBoosterKinds) mPassiveBoosters[i] = value;
            }
            const uint32_t m = AE::readValue<uint32_t>(s);
            if (!countFits(s, m, 4)) return false;
            for (uint32_t i = 0; i < m; ++i) {
                int32_t value = AE::readValue<int32_t>(s);
                if (i < kBoosterKinds) mBoosterCounts[i] = value;
            }
        }

        mBoosterUnlockNotice = AE::readValue<uint8_t>(s);
        if (!readIntList(s, mUnlockedBoosters)) return false;
        if (!readIntList(s, mUnlockedPassiveBoosters)) return false;
        mStarGrants.clear();
        const uint32_t grants = AE::readValue<uint32_t>(s);
        if (!countFits(s, grants, 16)) return false;
        mStarGrants.reserve(grants);
        for (uint32_t i = 0; i < grants; ++i) {
            StarGrant grant;
            grant.amount = AE::readValue<int32_t>(s);
            AE::readValue<uint32_t>(s);
            grant.time = AE::readValue<uint64_t>(s);
            mStarGrants.push_back(grant);
        }
        if (v >= 1) mIdKnown = AE::readValue<uint8_t>(s);
        if (v >= 2) mCreationTime = AE::readValue<uint64_t>(s);
        if (v >= 3) {
            mDayStamp = AE::readValue<uint64_t>(s);
            mDayIndex = AE::readValue<int32_t>(s);
        }
        if (v >= 4) mLaunchCounter = AE::readValue<int32_t>(s);
        if (v >= 5) mPassiveUnlockNotice = AE::readValue<uint8_t>(s);
        if (v >= 6) {
            readPurchaseList(s, mPassivePurchases, kPassiveBoosterKinds);
            readPurchaseList(s, mBoosterPurchases, kBoosterKinds);
        }
        if (v >= 7) mGoldPurchaseCounter = AE::readValue<uint64_t>(s);
    }
    mBoughtOffers.clear();
    if (v >= 8) {
        const uint32_t offers = AE::readValue<uint32_t>(s);
        if (!countFits(s, offers, 2)) return false;
        for (uint32_t i = 0; i < offers && !streamFailed(s); ++i) {
            std::string key = readCStringChecked(s);
            std::string value = readCStringChecked(s);
            mBoughtOffers[key] = value;
        }
    }
    if (v >= 9) mReservedStamp = AE::readValue<uint64_t>(s);
    return !streamFailed(s);
}

void PlayerProfile::setGold(int value) {
    mGold = value > 0 ? value : 0;
    if (ProgressSaver* saver = ProgressSaver::instancePointer()) saver->saveNow();
}

void PlayerProfile::setSilver(int value) {
    mSilver = value > 0 ? value : 0;
    if (ProgressSaver* saver = ProgressSaver::instancePointer()) saver->saveNow();
}

int PlayerProfile::getStars() const {
    int total = mStarsBase;
    for (const StarGrant& grant : mStarGrants) total += grant.amount;
    return total;
}

void PlayerProfile::addStarGrant(int amount, uint64_t time) {
    mStarGrants.push_back(StarGrant{amount, time});
    if (ProgressSaver* saver = ProgressSaver::instancePointer()) saver->syncRemote();
    if (GameProperties* properties = GameProperties::instancePointer()) properties->saveProfile();
}

void PlayerProfile::unlockBooster(int kind) {
    if (std::find(mUnlockedBoosters.begin(), mUnlockedBoosters.end(), kind) == mUnlockedBoosters.end()) {
        mUnlockedBoosters.push_back(kind);
    }
}

void PlayerProfile::unlockPassiveBonus(int kind) {
    if (std::find(mUnlockedPassiveBoosters.begin(), mUnlockedPassiveBoosters.end(), kind) ==
        mUnlockedPassiveBoosters.end()) {
        mUnlockedPassiveBoosters.push_back(kind);
        mPassiveUnlockNotice = 1;
    }
}

bool PlayerProfile::isBoosterUnlocked(int kind) const {
    return std::find(mUnlockedBoosters.begin(), mUnlockedBoosters.end(), kind) != mUnlockedBoosters.end();
}

void PlayerProfile::setSoundVolume(float volume) {
    mSoundVolume = volume;
    QV::SoundManager* sound = QV::SoundManager::instancePointer();
    if (!sound) return;
    QV::MutexLock lock(sound->mutex());
    if (sound->isEnabled()) sound->setGroupVolume0(volume);
}

void PlayerProfile::setMusicVolume(float volume) {
    mMusicVolume = volume;
    QV::SoundManager* sound = QV::SoundManager::instancePointer();
    if (!sound) return;
    {
        QV::MutexLock lock(sound->mutex());
        if (sound->isEnabled()) sound->setGroupVolume1(volume);
    }
    QV::MutexLock lock(sound->mutex());
    if (sound->isEnabled()) sound->setGroupVolume2(volume);
}

int64_t PlayerProfile::daysSinceCreation() const { return daysSinceCreation(currentUnixTime()); }

int64_t PlayerProfile::daysSinceCreation(uint64_t now) const {
    const uint64_t c = mCreationTime / kSecondsPerDay * kSecondsPerDay;
    const uint64_t n = now / kSecondsPerDay * kSecondsPerDay;
    return n < c ? 0 : static_cast<int64_t>((n - c) / kSecondsPerDay);
}

bool PlayerProfile::hasStringKey(const std::string& key) const { return mBoughtOffers.count(key) != 0; }

FriendRequestRecord* PlayerProfile::findSocialEntry(uint32_t idLow, uint32_t idHigh) {
    const uint64_t id = uint64_t(idHigh) << 32 | idLow;
    for (auto& record : mFriendRequests) {
        if (record->friendId == id) return record.get();
    }
    return nullptr;
}

void PlayerProfile::clearFriendRequests() { mFriendRequests.clear(); }

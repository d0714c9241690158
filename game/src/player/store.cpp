#include "player/store.h"

#include <algorithm>
#include <cstdio>

#include "player/game_properties.h"
#include "player/player_profile.h"
#include "player/progress_saver.h"

namespace {

constexpr int kOutsideCurrencyBalance = 100500;

void saveNow() {
    if (ProgressSaver* saver = ProgressSaver::instancePointer()) {
        saver->saveNow();
    } else if (GameProperties* properties = GameProperties::instancePointer()) {
        properties->saveProfile();
    }
}

}  // namespace

Store::~Store() {
    clearOffers();
    clearExtras();
}

bool Store::buy(const StoreItem& item) {
    GameProperties* properties = GameProperties::instancePointer();
    if (!properties) return false;
    PlayerProfile* profile = properties->profile();
    const int silver = profile->mSilver;
    const int gold = profile->mGold;
    int balance = kOutsideCurrencyBalance;
    if (item.currency == kCurrencySilver) balance = silver;
    if (item.currency == kCurrencyGold) balance = gold;
    if (item.price > float(balance)) return false;

    const int price = static_cast<int>(item.price);
    // Payment and goods change the profile together and reach the disk in one
    // save: a stop between two saves would leave a purchase paid and not granted.
    int silverAfter = silver;
    int goldAfter = gold;
    if (item.currency == kCurrencySilver) silverAfter = silver - price > 0 ? silver - price : 0;
    if (item.currency == kCurrencyGold) goldAfter = gold - price > 0 ? gold - price : 0;
    profile->mSilver = silverAfter;
    profile->mGold = goldAfter;

    switch (item.goods) {
        case kGoodsSilver:
            profile->mSilver = std::max(silverAfter + item.amount, 0);
            break;
        case kGoodsGold:
            profile->mGoldPurchaseCounter += 7;
            profile->mGold = std::max(goldAfter + item.amount, 0);
            break;
        case kGoodsStars: {
            const uint64_t now = currentUnixTime();
            if (now != 0) {
                profile->mStarGrants.push_back(StarGrant{item.amount, now});
                if (ProgressSaver* saver = ProgressSaver::instancePointer()) saver->syncRemote();
            } else {
                profile->mStarsBase += item.amount;
            }
            break;
        }
        default:
            break;
    }
    // Every purchase is on disk before it is reported.
    saveNow();
    return true;
}

std::vector<std::pair<int, int>> Store::getBonusPack(int day) {
    switch (day) {
        case 1: return {{50, kCurrencySilver}};
        case 2: return {{100, kCurrencySilver}};
        case 3: return {{150, kCurrencySilver}};
        case 4: return {{200, kCurrencySilver}};
        case 5: return {{250, kCurrencySilver}, {5, kCurrencyGold}};
        default: return {};
    }
}

std::vector<StoreItem> Store::getStarOffers(int goods) {
    if (goods != kGoodsStars) return {};
    std::vector<StoreItem> items;
    const int packs[4][2] = {{1, 75}, {5, 150}, {15, 450}, {20, 600}};
    for (const auto& pack : packs) {
        StoreItem item;
        item.goods = kGoodsStars;
        item.amount = pack[0];
        item.price = float(pack[1]);
        item.currency = kCurrencySilver;
        items.push_back(item);
    }
    return items;
}

int Store::getStarsRequirement(int index) {
    static const int kRequirements[8] = {0, 40, 85, 135, 170, 220, 260, 320};
    if (index < 0 || index >= 8) return 0;
    return kRequirements[index];
}

std::vector<int32_t> Store::getBoostersUnlockedAtLevel(int level) {
    switch (level) {
        case 5: return {2};
        case 17: return {3};
        case 25: return {0};
        case 41: return {1};
        default: return {};
    }
}

std::vector<int32_t> Store::getPassiveBonusesUnlockedAtLevel(int level) {
    switch (level) {
        case 11: return {1};
        case 22: return {2};
        case 36: return {0};
        default: return {};
    }
}

std::pair<int, int> Store::getChipReward(const std::vector<int>& chipIds) {
    for (int id : chipIds) {
        switch (id) {
            case 11: return {4, 1};
            case 14: case 15: case 16: return {5, 1};
            case 17: return {6, 1};
            case 18: return {7, 1};
            case 19: case 20: case 21: return {8, 1};
            case 23: return {10, 1};
            case 24: return {12, 1};
            default: break;
        }
    }
    return {0, 1};
}

std::string StoreOffer::key() const {
    char text[32];
    switch (keyKind) {
        case 1:
            std::snprintf(text, sizeof(text), ":%d", b);
            return name + text;
        case 2:
            std::snprintf(text, sizeof(text), ":%d", a);
            return name + text;
        default:
            return name;
    }
}

int64_t StoreOffer::secondsLeft() const {
    GameProperties* properties = GameProperties::instancePointer();
    return secondsLeft(properties ? properties->profile() : nullptr, std::time(nullptr));
}

int64_t StoreOffer::secondsLeft(const PlayerProfile* profile, std::time_t now) const {
    std::tm beginCopy = begin;
    std::tm endCopy = end;
    const std::time_t beginTime = std::mktime(&beginCopy);
    const std::time_t endTime = std::mktime(&endCopy);
    if (now < beginTime || now > endTime) return 0;
    if (profile && profile->hasStringKey(key())) return 0;
    return static_cast<int64_t>(endTime - now);
}

#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "singleton.h"

class PlayerProfile;
namespace QV {
class Sprite;
}

constexpr int kGoodsSilver = 1;
constexpr int kGoodsGold = 2;
constexpr int kGoodsStars = 3;
constexpr int kCurrencySilver = 1;
constexpr int kCurrencyGold = 2;

struct StoreItem {
    int32_t goods = 0;
    int32_t amount = 0;
    float price = 0.0f;
    int32_t currency = 0;
    // Used by the currency shop's rows; empty and 0 in the store's own tables.
    std::string title;
    std::string description;
    int32_t number = 0;
    std::string icon;
};

// A holiday offer; nothing adds any in this game.
struct StoreOffer {
    std::string name;
    int32_t keyKind = 0;
    int32_t a = 0;
    int32_t b = 0;
    std::tm begin{};
    std::tm end{};
    // What the holiday window shows: rewards as (goods kind, amount) pairs,
    // the price and its currency as display texts, and a picture (not owned).
    struct Contents {
        std::vector<std::pair<int32_t, int32_t>> rewards;
        std::string priceText;
        std::string currencyText;
    } contents;
    QV::Sprite* picture = nullptr;

    // The key under which the profile remembers the offer as bought.
    std::string key() const;
    int64_t secondsLeft() const;
    int64_t secondsLeft(const PlayerProfile* profile, std::time_t now) const;
};

class Store : public QV::Singleton<Store> {
public:
    Store() = default;
    ~Store() override;

    // Pays and grants; false (and nothing changed) when the balance is short.
    bool buy(const StoreItem& item);

    static std::vector<std::pair<int, int>> getBonusPack(int day);
    static std::vector<StoreItem> getStarOffers(int goods);
    static int getStarsRequirement(int index);
    static std::vector<int32_t> getBoostersUnlockedAtLevel(int level);
    static std::vector<int32_t> getPassiveBonusesUnlockedAtLevel(int level);
    // The value of a destroyed chip from its list of ids: (value, 1).
    static std::pair<int, int> getChipReward(const std::vector<int>& chipIds);

    std::vector<std::unique_ptr<StoreOffer>>& offers() { return mOffers; }
    void clearOffers() { mOffers.clear(); }
    void clearExtras() { mExtras.clear(); }

private:
    struct Extra {
        virtual ~Extra() = default;
    };
    std::vector<std::unique_ptr<StoreOffer>> mOffers;
    std::vector<std::unique_ptr<Extra>> mExtras;
};

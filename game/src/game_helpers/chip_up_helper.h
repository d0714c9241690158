#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "game_helpers/game_helper.h"

class Chip;

// Rising chips: after each move every chip with a ChipUp layer trades
// places with the chip above it, once its column below is full; a wall or a
// goal chip above holds it. At row 1 it stays. A column still filling
// below delays the rise until it is full.
class ChipUpHelper : public GameHelper {
public:
    static constexpr float kTradeTime = 1.0f;

    ChipUpHelper() = default;

    // The rising chips of the level now on the board (at level begin).
    void collectChips();
    void onLevelStart() override;
    // After a move: at once on an idle board, else once its tasks are done.
    void onMoveMade();
    void checkChipsUp();
    void forgetChip(Chip* chip);
    void update(float dt) override;
    std::string describe() const override;

private:
    std::map<Chip*, int> mChips;
    std::map<Chip*, uint32_t> mGenerations;
    // Chips that still owe this move's rise: their column below was not
    // full yet (a refill on its way), so they rise once it is.
    std::set<Chip*> mOwed;
    bool mCheckPending = false;
    int mRises = 0;
};

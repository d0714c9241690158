#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game_helpers/game_helper.h"

class Chip;
class GameField;

// Chip generators count the player's moves and, every "limit" counted moves,
// turn a plain chip within their "radius" into a stuff chip (nearer cells
// are likelier). A move whose matches hit a generator or a stuff chip is not
// counted. Stuff chips are knocked down by neighbouring destruction.
class ChipGeneratorHelper : public GameHelper {
public:
    ChipGeneratorHelper() = default;

    // The generators of the level now on the board (at each level start).
    void collectGenerators();
    void onLevelStart() override;
    // The board reports a chip destroyed next to this one: true when the hit
    // was taken here (a stuff chip lost a layer).
    bool onNeighbourDestroyed(Chip* neighbour);
    // Set by the mode after every move of a level without a time limit.
    void setMoved() { mMoved = true; }
    void update(float dt) override;
    std::string describe() const override;
    // Turns one plain chip near the generator into a stuff chip.
    void generate(Chip* generator);

    size_t generatorCount() const { return mGenerators.size(); }

private:
    struct Entry {
        Chip* chip;
        uint32_t generation;
    };
    bool alive(const Entry& entry) const;

    std::vector<Entry> mGenerators;
    bool mHit = false;
    bool mMoved = false;
    int mMade = 0;
};

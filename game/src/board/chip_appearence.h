#pragma once

#include <memory>
#include <vector>

#include "vector2.h"

class Cell;
class Chip;
class GameField;

namespace QV {
class Animation;
}

// One chip's keyframe path; the animation moves the chip's position itself.
struct AppearanceTrack {
    QV::Vector2<float>* target = nullptr;
    std::unique_ptr<QV::Animation> animation;
    float delay = 0.0f;
};

// An entry or shuffle animation of the chips. The board is frozen while the
// current one runs; it is finished when every track has ended.
class ChipAppearence {
public:
    ChipAppearence(float duration, bool reversed) : duration(duration), reversed(reversed) {}
    virtual ~ChipAppearence();
    virtual void start(GameField* field) = 0;

    void update(float dt);
    bool isFinished() const { return tracks.empty(); }

    std::vector<AppearanceTrack> tracks;
    float duration;
    bool reversed;

protected:
    // A new non-looping, playing animation bound to the chip's position.
    QV::Animation& addTrack(Chip* chip);
};

// From the four corners of the board.
class ChipAppearenceCross : public ChipAppearence {
public:
    using ChipAppearence::ChipAppearence;
    void start(GameField* field) override;
};

// One after another from above the board's top centre.
class ChipAppearenceLine : public ChipAppearence {
public:
    using ChipAppearence::ChipAppearence;
    void start(GameField* field) override;
};

// The shuffle: plain chips dealt again so that no run forms and a move
// exists; each leaves at the bottom, climbs a side and drops in from the top.
class ChipMixing : public ChipAppearence {
public:
    explicit ChipMixing(float duration) : ChipAppearence(duration, false) {}
    void start(GameField* field) override;
    void addChipTrack(GameField* field, Cell* cell, Chip* chip);
};

// The field's appearances; only the current one runs.
class ChipAppearenceSet {
public:
    explicit ChipAppearenceSet(GameField* field) : field(field) {}
    ChipAppearence* currentAppearence() const {
        return current < items.size() ? items[current].get() : nullptr;
    }
    void clear() { items.clear(); }

    std::vector<std::unique_ptr<ChipAppearence>> items;
    GameField* field;
    size_t current = 0;
};

#pragma once

#include <memory>
#include <vector>

class GameField;

// An entry or shuffle animation of the chips. The board is frozen while the
// current one runs.
class ChipAppearence {
public:
    ChipAppearence(float duration, bool reversed) : duration(duration), reversed(reversed) {}
    virtual ~ChipAppearence() = default;
    virtual void start(GameField* field);
    virtual void update(float dt);
    virtual bool isFinished() const { return finished; }

    float duration;
    bool reversed;
    float time = 0.0f;
    bool finished = true;
    GameField* field = nullptr;
};

class ChipAppearenceCross : public ChipAppearence {
public:
    using ChipAppearence::ChipAppearence;
};

class ChipAppearenceLine : public ChipAppearence {
public:
    using ChipAppearence::ChipAppearence;
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

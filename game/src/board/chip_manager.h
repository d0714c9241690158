#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "board/objects_group.h"
#include "board/property_values.h"
#include "singleton.h"

class Chip;
class ChipSelector;

namespace QV {
class LuaScript2;
}

// A named chip template: colour group, layers, drop rate, selector.
class ChipPrototype {
public:
    ChipPrototype() = default;
    ChipPrototype(const ChipPrototype&) = delete;
    ChipPrototype& operator=(const ChipPrototype&) = delete;
    virtual ~ChipPrototype() = default;

    std::string name;
    int group = -1;
    BehaviorsGroup behaviors;
    float dropRate = 0.0f;
    ChipSelector* selector = nullptr;
    float gamePoints = 0.0f;
};

// How a level or a rule asks for a chip.
struct ChipDescription {
    std::string prototypeName;
    int column = 0;
    int row = 0;
    int radius = 0;
    PropertyMap properties;
};

// Knows every chip kind and hands out pooled chips.
class ChipManager : public QV::Singleton<ChipManager> {
public:
    static constexpr int kSequenceLength = 512;

    // Loads "sound_resources_lua" (when a sound manager exists) and the prototypes file.
    explicit ChipManager(const std::string& prototypesFile = "chip_prototypes_lua");
    ~ChipManager() override;

    void releaseChips();
    void loadPrototypes(const std::string& file);
    QV::LuaScript2* getScript(const std::string& file);
    void clearScripts();

    void buildRandomSequence();
    // The next plain colour prototype of the cyclic sequence; null when the
    // sequence has no filled slot.
    ChipPrototype* nextRandomPrototype();
    // The next chip to drop: the spawn queue's front entry, else the sequence.
    ChipPrototype* nextSpawnPrototype();

    // A destroyed chip of the pool, else a new one; either way with a
    // generation it has never had.
    Chip* allocateChip();
    // Null when the prototype is unknown or the sequence is empty.
    Chip* createChip(const ChipDescription& description);
    Chip* createChip(const std::string& prototypeName, int column, int row,
                     const PropertyMap& properties = PropertyMap());
    Chip* createNextChip(float x, float y);

    ChipPrototype* findPrototype(const std::string& name) const;

    std::vector<Chip*> pool;
    std::map<std::string, ChipPrototype*> prototypes;
    std::map<std::string, ChipPrototype*> available;
    float dropRateSum = 0.0f;
    std::vector<ChipPrototype*> colourPrototypes;
    std::vector<int> sequence;
    int cursor = 0;
    std::map<std::string, QV::LuaScript2*> scriptCache;
    // Prototype names that the next dropped chips take before the sequence.
    std::deque<std::string> spawnQueue;
    // Told of every chip made from a prototype (tools list them).
    std::function<void(const ChipPrototype& prototype, const Chip& chip)> createdObserver;
    // Told before a destroyed chip is handed out again, so that nothing
    // (a cell, the selection) still links it; the field sets it.
    std::function<void(Chip* chip)> reuseObserver;
    const void* reuseObserverOwner = nullptr;
    uint32_t lastGeneration = 0;
};

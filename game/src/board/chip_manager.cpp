#include "board/chip_manager.h"

extern "C" {
#include <lua.h>
}

#include <cmath>
#include <memory>

#include "board/behavior.h"
#include "board/board_fatal.h"
#include "board/board_random.h"
#include "board/chip.h"
#include "board/chip_selector.h"
#include "board/lua_fields.h"
#include "lua_script2.h"
#include "sound_system/sound_manager.h"

namespace {

const char* const kColourSuffixes[] = {"_R", "_G", "_B", "_M", "_Y", "_O"};
// The order in which plain colours take their places in the sequence.
const char* const kSequenceNames[] = {"Simple_G", "Simple_R", "Simple_B",
                                      "Simple_Y", "Simple_M", "Simple_O"};

// The prototype table is on the stack top.
ChipPrototype* loadPrototype(QV::LuaScript2& script, const std::string& suffix) {
    std::unique_ptr<ChipPrototype> prototype(new ChipPrototype());
    std::string name;
    script.getString("Name", &name);
    prototype->name = name + suffix;
    prototype->group = groupOfSuffix(suffix);
    if (!script.openTable("Behavior")) BOARD_FATAL("Chip prototype '" + name + "' has no Behavior table");
    prototype->behaviors.load(script, suffix);
    script.closeTable();
    readFloatField(script, "DropRate", &prototype->dropRate);
    std::string selectorName = "NearestChipSameGroupSelector";
    script.getString("Selector", &selectorName);
    if (selectorName.empty()) selectorName = "NearestChipSameGroupSelector";
    prototype->selector = ChipSelector::create(selectorName);
    readFloatField(script, "GamePoints", &prototype->gamePoints);
    return prototype.release();
}

// "MultipleColors" of the first table in the open "Behavior" list.
bool firstLayerMultiColoured(QV::LuaScript2& script) {
    lua_State* L = script.state();
    bool multi = false;
    lua_checkstack(L, 4);
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (lua_istable(L, -1)) {
            script.openTopTable();
            readFlagField(script, "MultipleColors", &multi);
            script.closeTable();
            lua_pop(L, 2);
            return multi;
        }
        lua_pop(L, 1);
    }
    return multi;
}

}  // namespace

ChipManager::ChipManager(const std::string& prototypesFile) {
    pool.reserve(500);
    if (QV::SoundManager* sound = QV::SoundManager::instancePointer()) {
        sound->loadSoundResources("sound_resources_lua", "default");
    }
    // A fatal error that a tool turns into an exception must not leak what
    // was loaded so far.
    struct Cleanup {
        ChipManager* manager;
        ~Cleanup() {
            if (!manager) return;
            for (auto& entry : manager->prototypes) delete entry.second;
            manager->prototypes.clear();
            manager->clearScripts();
        }
    } cleanup{this};
    loadPrototypes(prototypesFile);
    cleanup.manager = nullptr;
}

ChipManager::~ChipManager() {
    releaseChips();
    for (auto& entry : prototypes) delete entry.second;
    prototypes.clear();
    available.clear();
    colourPrototypes.clear();
    sequence.clear();
    clearScripts();
}

void ChipManager::releaseChips() {
    for (Chip* chip : pool) delete chip;
    pool.clear();
}

void ChipManager::loadPrototypes(const std::string& file) {
    QV::LuaScript2 script(QV::createLuaState());
    if (!script.loadScript(file, "default")) BOARD_FATAL("Failed to load chip prototypes file");
    if (!script.openTable("ChipPrototypes")) BOARD_FATAL("Chip prototypes file has no ChipPrototypes table");
    lua_State* L = script.state();
    lua_checkstack(L, 8);
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (!lua_istable(L, -1)) BOARD_FATAL("A chip prototype is not a table");
        script.openTopTable();
        if (!script.openTable("Behavior")) BOARD_FATAL("A chip prototype has no Behavior table");
        bool multi = firstLayerMultiColoured(script);
        script.closeTable();
        std::vector<std::string> suffixes;
        if (multi) {
            suffixes.assign(std::begin(kColourSuffixes), std::end(kColourSuffixes));
        } else {
            suffixes.push_back(std::string());
        }
        for (const std::string& suffix : suffixes) {
            ChipPrototype* prototype = loadPrototype(script, suffix);
            // The first prototype of a name stays.
            if (!prototypes.emplace(prototype->name, prototype).second) delete prototype;
        }
        script.closeTable();
        lua_pop(L, 1);
    }
    script.closeTable();
    clearScripts();
}

QV::LuaScript2* ChipManager::getScript(const std::string& file) {
    auto it = scriptCache.find(file);
    if (it != scriptCache.end()) return it->second;
    std::unique_ptr<QV::LuaScript2> script(new QV::LuaScript2(QV::createLuaState()));
    if (!script->loadScript(file, "default")) BOARD_FATAL("Failed to load script '" + file + "'");
    QV::LuaScript2* raw = script.release();
    scriptCache[file] = raw;
    return raw;
}

void ChipManager::clearScripts() {
    for (auto& entry : scriptCache) delete entry.second;
    scriptCache.clear();
}

void ChipManager::buildRandomSequence() {
    sequence.assign(kSequenceLength, -1);
    cursor = 0;
    colourPrototypes.clear();
    for (const char* name : kSequenceNames) {
        auto it = available.find(name);
        if (it != available.end()) colourPrototypes.push_back(it->second);
    }
    int slot = 0;
    // A sum or rate that is not positive earns no slot; no slot is written
    // past the end however the rates add up.
    if (dropRateSum > 0.0f && std::isfinite(dropRateSum)) {
        for (size_t i = 0; i < colourPrototypes.size(); ++i) {
            float rate = colourPrototypes[i]->dropRate;
            if (!(rate > 0.0f)) continue;
            double share = static_cast<double>(rate) / dropRateSum * kSequenceLength;
            int count = share >= kSequenceLength ? kSequenceLength : static_cast<int>(share);
            for (int n = 0; n < count && slot < kSequenceLength; ++n) sequence[slot++] = static_cast<int>(i);
        }
    }
    for (int pass = 0; pass < 4; ++pass) {
        for (int j = 0; j < kSequenceLength; ++j) {
            int other = boardRand() % kSequenceLength;
            std::swap(sequence[j], sequence[other]);
        }
    }
}

ChipPrototype* ChipManager::nextRandomPrototype() {
    if (sequence.empty() || colourPrototypes.empty()) return nullptr;
    for (int tries = 0; tries < kSequenceLength; ++tries) {
        int value = sequence[static_cast<unsigned>(cursor) % kSequenceLength];
        // Wraps at a multiple of the length, so the slot order is unchanged.
        cursor = (cursor + 1) % (kSequenceLength * 4096);
        if (value >= 0 && static_cast<size_t>(value) < colourPrototypes.size()) {
            return colourPrototypes[value];
        }
    }
    return nullptr;
}

ChipPrototype* ChipManager::nextSpawnPrototype() {
    while (!spawnQueue.empty()) {
        std::string name = spawnQueue.front();
        spawnQueue.pop_front();
        if (ChipPrototype* prototype = findPrototype(name)) return prototype;
    }
    return nextRandomPrototype();
}

ChipPrototype* ChipManager::findPrototype(const std::string& name) const {
    auto it = prototypes.find(name);
    return it == prototypes.end() ? nullptr : it->second;
}

Chip* ChipManager::allocateChip() {
    for (Chip* chip : pool) {
        if (chip->destroyed) {
            if (reuseObserver) reuseObserver(chip);
            chip->reset();
            chip->generation = ++lastGeneration;
            return chip;
        }
    }
    Chip* chip = new Chip();
    chip->generation = ++lastGeneration;
    pool.push_back(chip);
    return chip;
}

Chip* ChipManager::createChip(const ChipDescription& description) {
    const bool random = description.prototypeName.empty() || description.prototypeName == "Random";
    ChipPrototype* prototype =
        random ? nextRandomPrototype() : findPrototype(description.prototypeName);
    if (!prototype) return nullptr;
    Chip* chip = allocateChip();
    chip->applyPrototype(prototype);
    chip->radius = description.radius;
    chip->detonating = 0;
    chip->position = {description.column + 0.5f, description.row + 0.5f};
    chip->target = chip->position;
    chip->properties = description.properties;
    if (createdObserver) createdObserver(*prototype, *chip);
    return chip;
}

Chip* ChipManager::createChip(const std::string& prototypeName, int column, int row,
                              const PropertyMap& properties) {
    ChipDescription description;
    description.prototypeName = prototypeName;
    description.column = column;
    description.row = row;
    description.radius = 1;
    description.properties = properties;
    return createChip(description);
}

Chip* ChipManager::createNextChip(float x, float y) {
    ChipPrototype* prototype = nextSpawnPrototype();
    if (!prototype) return nullptr;
    Chip* chip = allocateChip();
    chip->applyPrototype(prototype);
    chip->position = {x, y};
    chip->detonating = 0;
    if (createdObserver) createdObserver(*prototype, *chip);
    return chip;
}

#include "board/behavior.h"

#include <algorithm>

extern "C" {
#include <lua.h>
}

#include <memory>

#include "board/action.h"
#include "board/board_fatal.h"
#include "board/board_sound.h"
#include "board/chip.h"
#include "board/drawable.h"
#include "board/game_field.h"
#include "board/lua_fields.h"
#include "lua_script2.h"
#include "sound_system/sound_manager.h"

namespace {

struct TemplateEntry {
    int kind;
    int colour;
    std::unique_ptr<Behavior> behavior;
};

std::vector<TemplateEntry>& registry() {
    static std::vector<TemplateEntry> entries;
    return entries;
}

void cloneActions(const ActionsGroup& from, ActionsGroup& to) {
    for (Action* action : from) to.add(action->clone());
}

void cloneDrawables(const DrawablesGroup& from, DrawablesGroup& to) {
    for (Drawable* drawable : from) {
        if (Drawable* copy = drawable->clone()) to.add(copy);
    }
}

void loadDrawableList(QV::LuaScript2& script, const char* key, DrawablesGroup& group,
                      const std::string& suffix) {
    if (!script.openTable(key)) return;
    group.load(script, suffix);
    script.closeTable();
}

void loadActionList(QV::LuaScript2& script, const char* key, ActionsGroup& group) {
    if (!script.openTable(key)) return;
    group.load(script);
    script.closeTable();
}

}  // namespace

int groupOfSuffix(const std::string& suffix) {
    static const char* const kSuffixes[] = {"_R", "_G", "_B", "_M", "_Y", "_O", "_C"};
    for (int i = 0; i < 7; ++i) {
        if (suffix == kSuffixes[i]) return i;
    }
    return -1;
}

char groupLetter(int group) {
    static const char kLetters[] = "RGBMYOC";
    return group >= 0 && group < 7 ? kLetters[group] : '-';
}

Behavior::Behavior(const Behavior& other)
    : canFalling(other.canFalling),
      canIterateWithGroup(other.canIterateWithGroup),
      levelGoal(other.levelGoal),
      score(other.score),
      kind(other.kind),
      destroySound(other.destroySound),
      destroySoundName(other.destroySoundName) {
    cloneActions(other.onDestroyActions, onDestroyActions);
    cloneActions(other.onIdleActions, onIdleActions);
    cloneDrawables(other.onIdleDrawables, onIdleDrawables);
    cloneDrawables(other.onDetonateDrawables, onDetonateDrawables);
    cloneDrawables(other.onSelectDrawables, onSelectDrawables);
    cloneDrawables(other.onDestroyDrawables, onDestroyDrawables);
    cloneDrawables(other.hotspotDrawables, hotspotDrawables);
    cloneDrawables(other.inGroupDrawables, inGroupDrawables);
}

Behavior* Behavior::load(QV::LuaScript2& script, const std::string& colourSuffix) {
    std::unique_ptr<Behavior> behavior(new Behavior());
    std::string name;
    readStringField(script, "Name", &name);
    behavior->kind = behaviorKindFromName(name);

    int multiple = 1;
    bool multiColoured = !readIntField(script, "MultipleColors", &multiple) || multiple != 0;
    const std::string suffix = multiColoured ? colourSuffix : std::string();

    loadActionList(script, "OnDestroyActions", behavior->onDestroyActions);
    loadActionList(script, "OnIdleActions", behavior->onIdleActions);
    loadDrawableList(script, "OnIdleDrawables", behavior->onIdleDrawables, suffix);
    loadDrawableList(script, "OnSelectDrawables", behavior->onSelectDrawables, suffix);
    loadDrawableList(script, "OnDestroyDrawables", behavior->onDestroyDrawables, suffix);
    loadDrawableList(script, "HotspotDrawables", behavior->hotspotDrawables, suffix);
    loadDrawableList(script, "InGroupDrawables", behavior->inGroupDrawables, suffix);
    loadDrawableList(script, "OnDetonateDrawables", behavior->onDetonateDrawables, suffix);

    readFlagField(script, "CanFalling", &behavior->canFalling);
    readFlagField(script, "CanIterateWithGroup", &behavior->canIterateWithGroup);
    readFlagField(script, "LevelGoal", &behavior->levelGoal);
    readIntField(script, "score", &behavior->score);

    std::string sound;
    readStringField(script, "onDestroySound", &sound);
    QV::SoundManager* soundManager = QV::SoundManager::instancePointer();
    behavior->destroySound = (soundManager && !sound.empty()) ? soundManager->acquireResource(sound) : 0;
    behavior->destroySoundName = sound;

    registerTemplate(*behavior, groupOfSuffix(colourSuffix));

    for (DrawablesGroup* group : {&behavior->onIdleDrawables, &behavior->onSelectDrawables,
                                  &behavior->inGroupDrawables, &behavior->onDetonateDrawables}) {
        for (Drawable* drawable : *group) drawable->setRestartOnActivation(false);
    }
    return behavior.release();
}

void Behavior::update(Chip* chip, float dt) {
    onIdleDrawables.updateAll(dt);
    onSelectDrawables.updateAll(dt);
    inGroupDrawables.updateAll(dt);
    onDetonateDrawables.updateAll(dt);
    if (!chip || !chip->selected) hotspotDrawables.updateAll(dt);
}

void Behavior::registerTemplate(const Behavior& behavior, int colour) {
    for (const TemplateEntry& entry : registry()) {
        if (entry.kind == behavior.kind && entry.colour == colour) return;
    }
    registry().push_back({behavior.kind, colour, std::make_unique<Behavior>(behavior)});
}

Behavior* Behavior::createByKind(int kind, int colour) {
    const Behavior* candidate = nullptr;
    for (const TemplateEntry& entry : registry()) {
        if (entry.kind != kind) continue;
        if (!candidate || entry.colour == colour) candidate = entry.behavior.get();
    }
    if (!candidate) BOARD_FATAL("Failed to create behavior");
    return new Behavior(*candidate);
}

void Behavior::clearRegistry() { registry().clear(); }

size_t Behavior::registrySize() { return registry().size(); }

// Groups.

ActionsGroup::~ActionsGroup() { ActionsGroup::clear(); }

void ActionsGroup::clear() {
    for (Action* action : items) delete action;
    items.clear();
}

bool ActionsGroup::executeAll(GameField* field, Chip* chip, float dt) {
    // Most layers have no actions: nothing to copy every frame.
    if (items.empty()) return true;
    bool result = true;
    // Index walk: an action may add layers or tasks while it runs.
    std::vector<Action*> snapshot(items.begin(), items.end());
    for (Action* action : snapshot) {
        if (!action->execute(field, chip, dt)) result = false;
    }
    return result;
}

void ActionsGroup::load(QV::LuaScript2& script) {
    lua_State* L = script.state();
    if (!lua_istable(L, -1)) return;
    lua_checkstack(L, 4);
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        std::string text;
        if (script.topToString(&text)) {
            if (Action* action = Action::create(text)) add(action);
        }
        lua_pop(L, 1);
    }
}

DrawablesGroup::~DrawablesGroup() { DrawablesGroup::clear(); }

void DrawablesGroup::clear() {
    for (Drawable* drawable : items) delete drawable;
    items.clear();
}

void DrawablesGroup::setActiveAll(bool active) {
    for (Drawable* drawable : items) drawable->setActive(active);
}

void DrawablesGroup::setOpacityAll(float opacity) {
    for (Drawable* drawable : items) drawable->setOpacity(opacity);
}

void DrawablesGroup::updateAll(float dt) {
    for (Drawable* drawable : items) drawable->update(dt);
}

BehaviorsGroup::~BehaviorsGroup() { BehaviorsGroup::clear(); }

void BehaviorsGroup::clear() {
    for (Behavior* behavior : items) delete behavior;
    items.clear();
}

void BehaviorsGroup::drawAll(GameFieldRenderer* renderer, GameField* field, Chip* chip, int x, int y) {
    for (Behavior* behavior : items) behavior->draw(renderer, field, chip, x, y);
}

BehaviorScore BehaviorsGroup::popOuterBehavior(GameField* field, Chip* chip, bool force) {
    BehaviorScore result;
    if (items.empty()) return result;
    // Owned while popped: a fatal error in its actions must not leak it.
    std::unique_ptr<Behavior> outer(items.back());
    items.pop_back();
    playBoardSound(outer->destroySound, outer->destroySoundName);
    bool allowed = outer->onDestroyActions.executeAll(field, chip, 0.0f);
    if (allowed || force) {
        result.kind = outer->kind;
        result.score = outer->score;
    } else {
        items.push_back(outer.release());
    }
    return result;
}

void BehaviorsGroup::runIdleActions(GameField* field, Chip* chip, float dt) {
    if (std::none_of(items.begin(), items.end(), [](const Behavior* layer) { return !layer->onIdleActions.empty(); })) {
        return;
    }
    bool keep = true;
    std::vector<Behavior*> snapshot(items.rbegin(), items.rend());
    for (Behavior* behavior : snapshot) {
        if (!behavior->onIdleActions.executeAll(field, chip, dt)) keep = false;
    }
    if (!keep && chip) chip->destroy(field, true, true);
}

void BehaviorsGroup::updateDrawables(Chip* chip, float dt) {
    for (Behavior* behavior : items) behavior->update(chip, dt);
}

bool BehaviorsGroup::canFall() const {
    for (Behavior* behavior : items) {
        if (!behavior->canFalling) return false;
    }
    return true;
}

int BehaviorsGroup::countLevelGoals() const {
    int count = 0;
    for (Behavior* behavior : items) count += behavior->levelGoal ? 1 : 0;
    return count;
}

void BehaviorsGroup::load(QV::LuaScript2& script, const std::string& suffix) {
    lua_State* L = script.state();
    if (!lua_istable(L, -1)) return;
    lua_checkstack(L, 4);
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (lua_istable(L, -1) && script.openTopTable()) {
            Behavior* behavior = Behavior::load(script, suffix);
            script.closeTable();
            add(behavior);
        }
        lua_pop(L, 1);
    }
}

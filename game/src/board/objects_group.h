#pragma once

#include <list>
#include <string>

class Action;
class Behavior;
class Chip;
class Drawable;
class GameField;
class GameFieldRenderer;

namespace QV {
class LuaScript2;
}

// An ordered list of pointers, front to back. The base owns nothing and its
// clear does nothing; the derived groups own their elements.
template <class T>
class ObjectsGroup {
public:
    using List = std::list<T*>;

    ObjectsGroup() = default;
    ObjectsGroup(const ObjectsGroup&) = delete;
    ObjectsGroup& operator=(const ObjectsGroup&) = delete;
    virtual ~ObjectsGroup() = default;

    virtual void add(T* object) { items.push_back(object); }
    virtual void remove(T* object) {
        for (auto it = items.begin(); it != items.end(); ++it) {
            if (*it == object) {
                items.erase(it);
                return;
            }
        }
    }
    virtual void clear() {}

    bool empty() const { return items.empty(); }
    size_t size() const { return items.size(); }
    T* back() const { return items.empty() ? nullptr : items.back(); }
    typename List::const_iterator begin() const { return items.begin(); }
    typename List::const_iterator end() const { return items.end(); }

    List items;
};

class ActionsGroup : public ObjectsGroup<Action> {
public:
    ~ActionsGroup() override;
    void clear() override;
    // Every action runs, also after a false; the AND of the results (true when empty).
    bool executeAll(GameField* field, Chip* chip, float dt);
    // The open Lua value is a list of action texts; unknown texts are skipped.
    void load(QV::LuaScript2& script);
};

class DrawablesGroup : public ObjectsGroup<Drawable> {
public:
    ~DrawablesGroup() override;
    void clear() override;
    // Queues every drawable on the renderer at pixel (x, y); the chip is unused.
    void drawAll(GameFieldRenderer* renderer, Chip* chip, int x, int y);
    void setActiveAll(bool active);
    void setOpacityAll(float opacity);
    void updateAll(float dt);
    // The open Lua value is a drawable list; see drawable_factory.h.
    void load(QV::LuaScript2& script, const std::string& suffix);
};

// Removed-layer record: {kind, score}; {0, 0} when nothing was removed.
struct BehaviorScore {
    int kind = 0;
    int score = 0;
};

// A chip's layers, inner first; the last is the outer one.
class BehaviorsGroup : public ObjectsGroup<Behavior> {
public:
    ~BehaviorsGroup() override;
    void clear() override;
    void drawAll(GameFieldRenderer* renderer, GameField* field, Chip* chip, int x, int y);
    BehaviorScore popOuterBehavior(GameField* field, Chip* chip, bool force);
    void runIdleActions(GameField* field, Chip* chip, float dt);
    void updateDrawables(Chip* chip, float dt);
    bool canFall() const;
    int countLevelGoals() const;
    // The open Lua value is a list of behaviour tables.
    void load(QV::LuaScript2& script, const std::string& suffix);
};

#pragma once

#include <cstdint>
#include <vector>

// A short-lived animation over the board. It reports its end through
// finished; the list that owns it deletes it.
class GameFieldEffect {
public:
    explicit GameFieldEffect(int32_t layer = 0) : layer(layer) {}
    GameFieldEffect(const GameFieldEffect&) = delete;
    GameFieldEffect& operator=(const GameFieldEffect&) = delete;
    virtual ~GameFieldEffect() = default;

    virtual void update(float dt) = 0;
    virtual void draw() = 0;

    bool finished = false;
    int32_t layer = 0;
};

// The board's effects, higher layers first (so lower layers are drawn last,
// on top). Owns them.
class GameFieldEffectList {
public:
    GameFieldEffectList() = default;
    GameFieldEffectList(const GameFieldEffectList&) = delete;
    GameFieldEffectList& operator=(const GameFieldEffectList&) = delete;
    ~GameFieldEffectList();

    // Takes the effect unless it is listed already, and keeps the order.
    void add(GameFieldEffect* effect);
    // While enabled: updates every effect (those added meanwhile wait a
    // frame), then deletes the finished ones.
    void update(float dt);
    // While enabled: draws every effect in list order.
    void draw();
    void clear();

    const std::vector<GameFieldEffect*>& getEffects() const { return effects; }

    bool enabled = true;

private:
    std::vector<GameFieldEffect*> effects;
};

#pragma once

#include <string>
#include <vector>

#include "board/behavior_kind.h"
#include "board/objects_group.h"

class Chip;
class GameField;
class GameFieldRenderer;

namespace QV {
class LuaScript2;
}

// One layer of a chip: flags the board queries, a score, a destroy sound,
// actions run on destruction and while idle, and six drawable lists.
class Behavior {
public:
    Behavior() = default;
    // Deep copy: actions and drawables are cloned.
    Behavior(const Behavior& other);
    Behavior& operator=(const Behavior&) = delete;
    virtual ~Behavior() = default;

    // Reads the behaviour table open in the script; registers it as a template.
    static Behavior* load(QV::LuaScript2& script, const std::string& colourSuffix);

    void update(Chip* chip, float dt);
    void draw(GameFieldRenderer* renderer, GameField* field, Chip* chip, int x, int y);
    void playIdleMarker(const std::string& name);
    void activateSceneNode(const std::string& name);

    // Adds a copy unless the (kind, colour) pair is registered already.
    static void registerTemplate(const Behavior& behavior, int colour);
    // A copy of the registered template (the last exact colour match, else the
    // first of the kind); fatal without any template of the kind.
    static Behavior* createByKind(int kind, int colour);
    static void clearRegistry();
    static size_t registrySize();

    ActionsGroup onDestroyActions;
    ActionsGroup onIdleActions;
    DrawablesGroup onIdleDrawables;
    DrawablesGroup onDetonateDrawables;
    DrawablesGroup onSelectDrawables;
    DrawablesGroup onDestroyDrawables;
    DrawablesGroup hotspotDrawables;
    DrawablesGroup inGroupDrawables;
    bool canFalling = true;
    bool canIterateWithGroup = true;
    bool levelGoal = false;
    int score = 0;
    int kind = kSimple;
    int destroySound = 0;
    // The resource name behind destroySound (tools list the sounds by name).
    std::string destroySoundName;
};

// Group number of a colour suffix: "_R" 0 .. "_O" 5, "_C" 6, any other -1.
int groupOfSuffix(const std::string& suffix);
// Letter of a group for names and printing: R G B M Y O C, '-' for none.
char groupLetter(int group);

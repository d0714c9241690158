#pragma once

#include <cstdint>
#include <string>

// One rule a level adds on top of the board (goals, the limit, ...). The mode
// owns it; the level state lists it, updates it every frame and draws it
// around the board, highest priority first.
class GameHelper {
public:
    GameHelper() = default;
    GameHelper(const GameHelper&) = delete;
    GameHelper& operator=(const GameHelper&) = delete;
    // Leaves the level's list, so the level never keeps a deleted rule.
    virtual ~GameHelper();
    virtual void update(float dt) { (void)dt; }
    virtual void renderUnderField() {}
    virtual void render() {}
    virtual void onLevelStart() {}
    // A GameHelperKind.
    virtual int getKind() const { return 0; }
    // Its kind name and its state as "key=value" words (tools print it);
    // empty when the rule has nothing on the level.
    virtual std::string describe() const { return "helper"; }

    int32_t priority = 0;
};

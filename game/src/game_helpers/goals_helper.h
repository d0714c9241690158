#pragma once

#include <string>

#include "game_helpers/game_helper.h"

namespace AE {
class ISceneNode;
class TextSceneNode;
}
namespace QV {
class LuaScript2;
}
struct ChipDestroyInfo;

// The level's goals: up to two kinds of objects to clear, counted on the
// board at level start (the targets) and in play, or, without goal kinds,
// a score to reach. Falling targets come onto the board a few at a time.
// The dial scene shows the counters when it exists.
class GoalsHelper : public GameHelper {
public:
    static constexpr float kCounterDuration = 0.5f;

    struct Slot {
        int kind = 0;
        int target = 0;
        int done = 0;
        int shown = 0;
        float timer = 0.0f;
        AE::TextSceneNode* text = nullptr;
    };

    explicit GoalsHelper(const std::string& sceneName);
    ~GoalsHelper() override;

    // The level table "GameField" is open in the script.
    void readLevelGoals(QV::LuaScript2& script);
    void resetScoreGoal(int target);
    void buildGoalIcons();
    void onChipDestroyed(const ChipDestroyInfo& info);
    void countGoal(int slot);
    void addScore(int points);
    bool areGoalsReached() const;
    bool hasNoGoals() const { return mSlots[0].kind == 0 && mSlots[1].kind == 0; }

    void update(float dt) override;
    void render() override;
    void onLevelStart() override { buildGoalIcons(); }
    int getKind() const override { return 7; }
    std::string describe() const override;

    int configuredKind(int i) const { return mConfigured[i]; }
    const Slot& slot(int i) const { return mSlots[i]; }
    int fallingOnBoard() const { return mFallingOnBoard; }
    int fallingToSpawn() const { return mFallingToSpawn; }

private:
    void queueFallingTargets();

    int mConfigured[2] = {0, 0};
    AE::ISceneNode* mScene = nullptr;  // owned
    Slot mSlots[3];
    int mFallingToSpawn = 0;
    int mFallingAtOnce = 1;
    int mFallingOnBoard = 0;
};

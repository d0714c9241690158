#pragma once

#include <memory>
#include <string>

#include "game_helpers/game_helper.h"
#include "game_helpers/limit_helper_listener.h"

class Behavior;
class Chip;
class GameField;
namespace QV {
class LuaScript2;
}

// Ice sources (chips with an Ice layer) freeze the plain chips beside them in
// three stages; fully frozen chips carry the freeze further, up to the
// radius. The freeze is timed by a time limit ("LevelLimitType" 1: every
// 3 s) or follows each move once the board has no match left. A chip
// destroyed next to an iced chip knocks its outer ice layer off.
class IceHelper : public GameHelper, public LimitHelperListener {
public:
    static constexpr int kDefaultRadius = 5;
    static constexpr int kTimedPeriod = 3;

    IceHelper();
    ~IceHelper() override;

    // The level table "GameField" is open in the script.
    void readLevel(QV::LuaScript2& script);
    void onLimitChanged(int oldValue, int newValue) override;
    // True when the hit was taken here (the neighbour lost an ice layer).
    bool onNeighbourDestroyed(Chip* destroyed, Chip* neighbour);
    void update(float dt) override;
    int getKind() const override;
    std::string describe() const override;
    // Every ice source freezes once.
    void freeze();
    // Set by the mode after every move of a level whose ice is not timed.
    void setFreezeAfterMove() { mFreezeAfterMove = true; }

    bool isTimed() const { return mTimed; }
    int threshold() const { return mThreshold; }
    int radius() const { return mRadius; }
    int freezes() const { return mFreezes; }

private:
    void freezeFrom(GameField* field, Chip* source, int radius);
    // A copy of the stage's layer template (made on first use: only levels
    // with ice need the ice templates).
    Behavior* stageLayer(int kind, int colour);

    bool mTimed = false;
    int mThreshold = 0;
    int mRadius = kDefaultRadius;
    bool mFreezeAfterMove = false;
    int mFreezes = 0;
    std::unique_ptr<Behavior> mStages[3];
};

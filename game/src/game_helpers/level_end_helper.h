#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/view/scene_effect.h"
#include "game_helpers/game_helper.h"

namespace AE {
class ISceneNode;
}
class Cell;
class Chip;
class GameField;
class LimitHelper;

// The run after a win: the win effect, then every move (or three seconds of
// time) still left becomes a bonus chip on a random plain cell, then the
// bonus chips on the board go off one by one. The mode waits for finished.
class LevelEndHelper : public GameHelper, public SceneEffectListener {
public:
    enum State { kWinEffect = 0, kWaitEffect = 1, kSettle = 2, kConvert = 3, kSetOff = 4, kFinished = 7 };
    static constexpr float kStep = 0.5f;
    static constexpr float kTimePortion = 3.0f;
    // A bonus chip that has not gone off after this long is left where it is.
    static constexpr float kSetOffPatience = 5.0f;

    LevelEndHelper();
    ~LevelEndHelper() override;

    void start(LimitHelper* limit);
    void update(float dt) override;
    void onLevelStart() override;
    std::string describe() const override;
    void onSceneEffectFinished(SceneEffect* effect) override;

    bool convertMoveToBonusChip();
    bool setOffBonusChip();

    bool isStarted() const { return mStarted; }
    bool isFinished() const { return mFinished; }
    int state() const { return mState; }
    int conversions() const { return mConversions; }

private:
    static GameField* field();
    void playWinEffect(GameField* board);
    void spendOne();

    bool mStarted = false;
    bool mFinished = false;
    int mState = kWinEffect;
    int mConversions = 0;
    LimitHelper* mLimit = nullptr;  // not owned
    float mTimer = 0.0f;
    std::vector<Cell*> mCandidates;
    int mSound = 0;
    AE::ISceneNode* mEndEffects = nullptr;  // owned, not displayed
    SceneEffect* mEffect = nullptr;          // the win effect while it plays; the effect list owns it
    // The bonus chip last set off, how long it has refused to go, and those given up on.
    Chip* mTried = nullptr;
    uint32_t mTriedGeneration = 0;
    float mTriedFor = 0.0f;
    std::vector<std::pair<Chip*, uint32_t>> mGivenUp;
};

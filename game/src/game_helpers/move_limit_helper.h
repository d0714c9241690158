#pragma once

#include "game_helpers/limit_helper.h"

// A limit of moves: one move spent per swap, the count-in of the level's
// moves (and of moves bought later), "normal" on the panel at 0.
class MoveLimitHelper : public LimitHelper {
public:
    static constexpr int kBoughtMoves = 5;

    MoveLimitHelper(const std::string& uiResource, const std::string& uiTable, int moves, float countDuration);

    void update(float dt) override;
    int getKind() const override { return 1; }
    std::string describe() const override;
    bool isExhausted() const override { return mRemaining == 0 && mPending == 0; }
    void onMoveMade() override;
    void takeRemaining() override;
    void showInitialCount() override;
    bool isRunningLow() const override { return mRemaining + mPending < 4; }

    void addMoves(int moves);
    void setCount(int value, bool immediate);
    int remaining() const { return mRemaining; }
    int pending() const { return mPending; }

private:
    void arrive() override;

    int mRemaining = 0;
    int mOld = 0;
    int mPending = 0;
    bool mDialogSeen = false;
};

#pragma once

#include "game_helpers/limit_helper.h"

// A limit of seconds: runs from the first move while no dialog is open, the
// board is idle and no lesson is active; "warning" on the panel at 10 s.
class TimerHelper : public LimitHelper {
public:
    static constexpr float kBoughtSeconds = 15.0f;

    TimerHelper(const std::string& uiResource, const std::string& uiTable, float seconds, float countDuration);

    void update(float dt) override;
    int getKind() const override { return 2; }
    std::string describe() const override;
    bool isExhausted() const override {
        return static_cast<int>(mRemaining) == 0 && static_cast<int>(mPending) == 0;
    }
    void takeRemaining() override;
    void showInitialCount() override;
    bool isRunningLow() const override { return mRemaining + mPending <= 20.0f; }

    void addTime(float seconds);
    // Sets what is left (not below 0) and shows it at once, telling nobody.
    void setRemaining(float seconds);
    void setRunning(bool running) { mRunning = running; }
    bool isRunning() const { return mRunning; }
    float remaining() const { return mRemaining; }

private:
    void arrive() override;
    static std::string clock(float seconds);

    float mPending = 0.0f;
    float mRemaining = 0.0f;
    float mOld = 0.0f;
    bool mRunning = false;
};

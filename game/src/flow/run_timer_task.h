#pragma once

#include "board/task.h"

class MainMode;

// Lets a time limit run again 0.1 s after the board was shuffled.
class RunTimerTask : public Task {
public:
    explicit RunTimerTask(MainMode* mode) : mMode(mode) {
        delay = 0.1f;
        blockWhileRunning = 0;
        blockWhileWaiting = 1;
    }
    bool update(float dt) override;

private:
    MainMode* mMode;
};

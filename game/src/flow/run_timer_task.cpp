#include "flow/run_timer_task.h"

#include "flow/main_mode.h"

bool RunTimerTask::update(float) {
    if (mMode) mMode->restartTimer();
    return true;
}

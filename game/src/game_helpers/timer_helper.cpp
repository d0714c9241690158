#include "game_helpers/timer_helper.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "board/game_field.h"
#include "board/task.h"
#include "dialogs/dialog_window_manager.h"
#include "flow/game_level.h"
#include "format_string.h"
#include "tutorial/tutorial_registry.h"

TimerHelper::TimerHelper(const std::string& uiResource, const std::string& uiTable, float seconds,
                         float countDuration)
    : LimitHelper(uiResource, uiTable, countDuration), mPending(seconds) {
    label("WINDOW_TIME", "s_time_levels_times_steps_psd", "LIMIT_TITLE_TIME");
}

std::string TimerHelper::clock(float seconds) {
    const int whole = static_cast<int>(seconds);
    return QV::formatString("%02d:%02d", whole / 60, whole % 60);
}

std::string TimerHelper::describe() const {
    return QV::formatString("limit time %.1f", static_cast<double>(mRemaining));
}

void TimerHelper::showInitialCount() {
    mRemaining = 0.0f;
    addTime(mPending);
    playPanelMarker("init", false);
}

void TimerHelper::addTime(float seconds) {
    mOld = mRemaining;
    mPending = seconds;
    announce(clock(seconds));
}

void TimerHelper::arrive() {
    mRemaining = std::max(mRemaining + mPending, 0.0f);
    showCounter(clock(mRemaining));
    mPending = 0.0f;
}

void TimerHelper::setRemaining(float seconds) {
    mRemaining = std::max(seconds, 0.0f);
    mCountTimer = 0.0f;
    showCounter(clock(mRemaining));
}

void TimerHelper::takeRemaining() {
    mOld = mRemaining;
    mRemaining = 0.0f;
    mCountTimer = mCountDuration;
}

void TimerHelper::update(float dt) {
    if (mPreview) mPreview->update(dt);
    DialogWindowManager* windows = DialogWindowManager::instancePointer();
    if (windows && windows->isWindowOpen()) return;
    stepFlight(dt);
    GameLevel* gameLevel = level();
    GameField* field = gameLevel ? gameLevel->getField() : nullptr;
    if (field && !field->levelBegun) return;
    if (!mRunning || isTutorialLessonActive(getTutorialSequences())) return;
    if (mCountTimer > 0.0f) {
        mCountTimer = std::max(mCountTimer - dt, 0.0f);
        showCounter(clock(mCountTimer / mCountDuration * mOld));
        return;
    }
    if (gameLevel && gameLevel->openDialogCount() > 0) return;
    if (field && field->taskManager->size() > 0) return;
    if (mState != kCounting) return;
    const float before = mRemaining;
    mRemaining = std::max(mRemaining - dt, 0.0f);
    if (before > 10.0f && mRemaining <= 10.0f) playPanelMarker("warning", false);
    showCounter(clock(mRemaining));
    if (static_cast<int>(before) != static_cast<int>(mRemaining))
        tellChanged(static_cast<int>(before), static_cast<int>(mRemaining));
    if (before > 0.0f && isExhausted()) tellReached();
}

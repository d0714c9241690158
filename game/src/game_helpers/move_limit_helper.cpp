#include "game_helpers/move_limit_helper.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "dialogs/dialog_window_manager.h"
#include "format_string.h"

MoveLimitHelper::MoveLimitHelper(const std::string& uiResource, const std::string& uiTable, int moves,
                                 float countDuration)
    : LimitHelper(uiResource, uiTable, countDuration), mPending(moves) {
    label("WINDOW_STROKES", "s_steps_levels_times_steps_psd", "LIMIT_TITLE_MOVES");
}

std::string MoveLimitHelper::describe() const { return QV::formatString("limit moves %d", mRemaining); }

void MoveLimitHelper::showInitialCount() {
    mRemaining = 0;
    addMoves(mPending);
    playPanelMarker("init", false);
}

void MoveLimitHelper::addMoves(int moves) {
    mOld = mRemaining;
    mPending = moves;
    announce(QV::formatString("%d", moves));
}

void MoveLimitHelper::arrive() {
    setCount(mRemaining + mPending, true);
    mPending = 0;
}

void MoveLimitHelper::setCount(int value, bool immediate) {
    mOld = mRemaining;
    mRemaining = std::max(value, 0);
    if (mRemaining == 0) playPanelMarker("normal", true);
    if (immediate) {
        mCountTimer = 0.0f;
        showCounter(QV::formatString("%d", mRemaining));
    } else {
        mCountTimer = mCountDuration;
    }
}

void MoveLimitHelper::onMoveMade() {
    setCount(mRemaining - 1, false);
    tellChanged(mOld, mRemaining);
    if (mRemaining == 0) tellReached();
}

void MoveLimitHelper::takeRemaining() {
    mOld = mRemaining;
    mRemaining = 0;
    mCountTimer = mCountDuration;
}

void MoveLimitHelper::update(float dt) {
    if (mPreview) mPreview->update(dt);
    stepFlight(dt);
    DialogWindowManager* windows = DialogWindowManager::instancePointer();
    const bool dialog = windows && windows->isWindowOpen();
    if (dialog != mDialogSeen) {
        if (dialog) playPanelMarker("normal", false);
        mDialogSeen = dialog;
    }
    if (mCountTimer != 0.0f) {
        mCountTimer = std::max(mCountTimer - dt, 0.0f);
        const int step = static_cast<int>((mRemaining - mOld) * (mCountTimer / mCountDuration) + 0.5f);
        showCounter(QV::formatString("%d", mRemaining - step));
    }
}

#include "tutorial/destroy_chip_tutorial_lesson.h"

#include <algorithm>

#include "tutorial/game_event.h"
#include "tutorial/lesson_support.h"
#include "tutorial/mask_blackout.h"
#include "tutorial/tutorial_window.h"

using namespace lesson_support;

DestroyChipTutorialLesson::DestroyChipTutorialLesson(QV::LuaScript2& data, TutorialLessonListener* listener)
    : TutorialLesson(listener) {
    mText = readString(data, "text");
    mLevel = readString(data, "level");
    mCells = readCells(data, "chips");
    mArrowMarkers[0] = readString(data, "hor", "90");
    mArrowMarkers[1] = readString(data, "ver", "90");
    mMaskFile = readString(data, "maskFile");
    mMaskTable = readString(data, "maskTable");
    mPadding = readPoint(data, "padding");
    mOffset = readPoint(data, "offset");
}

DestroyChipTutorialLesson::~DestroyChipTutorialLesson() { deleteWindow(); }

TutorialLesson* DestroyChipTutorialLesson::create(QV::LuaScript2& data, TutorialLessonListener* listener) {
    return new DestroyChipTutorialLesson(data, listener);
}

void DestroyChipTutorialLesson::deleteWindow() {
    delete mWindow;
    mWindow = nullptr;
}

// Without cells there is nothing to point at: the window stays in the screen's centre area.
QV::Vector2<float> DestroyChipTutorialLesson::targetPoint() const {
    if (mCells.empty()) return QV::Vector2<float>();
    return cellCentre(mCells.front().first, mCells.front().second);
}

QV::Vector2<float> DestroyChipTutorialLesson::cornerPoint() const {
    if (mCells.empty()) return QV::Vector2<float>();
    int32_t column = mCells.front().first, row = mCells.front().second;
    for (const auto& cell : mCells) {
        column = std::min(column, cell.first);
        row = std::min(row, cell.second);
    }
    return cellCorner(column, row);
}

void DestroyChipTutorialLesson::onGameEvent(GameEvent* event) {
    switch (event->mType) {
        case GameEventType::LevelBegun: {
            auto* begun = static_cast<BeginLevelGameEvent*>(event);
            if (mState == Done) return;
            if (!levelMatches(mLevel, begun->mLevelName)) return;
            // The level began again (a replay) while our window was up: it goes first.
            deleteWindow();
            mWindowOpened = 0;
            setState(Active);
            update(0.0f);
            break;
        }
        case GameEventType::ChipDestroyed: {
            if (mState != Active) return;
            const ChipDestroyInfo& info = static_cast<DestroyChipGameEvent*>(event)->mInfo;
            for (const auto& cell : mCells) {
                if (cell.first != info.column || cell.second != info.row) continue;
                if (mWindow && !mWindow->isHiding()) mWindow->close();
                setInterfaceEnabled(true);
            }
            break;
        }
        case GameEventType::LayoutChanged:
            if (!mWindow) return;
            mWindow->setTarget(targetPoint());
            if (mWindow->mRenderer->mBlackout) mWindow->mRenderer->mBlackout->place(cornerPoint());
            break;
        case GameEventType::SkipLesson:
            if (mState == Waiting && levelMatches(mLevel, static_cast<BeginLevelGameEvent*>(event)->mLevelName))
                setState(Done);
            break;
        default:
            break;
    }
}

void DestroyChipTutorialLesson::update(float) {
    if (mWindowOpened || mState != Active || openDialogCount() > 0) return;
    if (levelCompleted()) {
        setState(Done);
        return;
    }
    mWindowOpened = 1;
    setInterfaceEnabled(false);
    mWindow = new TutorialWindow(true, false, this);
    mWindow->mArrowMarkers[0] = mArrowMarkers[0];
    mWindow->mArrowMarkers[1] = mArrowMarkers[1];
    mWindow->setText(mText);
    if (mMaskFile.empty()) return;
    auto* blackout = new MaskBlackout(mMaskFile, mMaskTable);
    blackout->mPadding = mPadding;
    blackout->mMaskOffsetH = mOffset;
    blackout->mMaskOffsetV = mOffset;
    mWindow->setBlackout(blackout);
    mWindow->show(targetPoint());
    blackout->place(cornerPoint());
}

bool DestroyChipTutorialLesson::isCellAllowed(int32_t column, int32_t row) {
    if (mState != Active) return true;
    for (const auto& cell : mCells) {
        if (cell.first == column && cell.second == row) return true;
    }
    return false;
}

void DestroyChipTutorialLesson::onWindowClosed() {
    deleteWindow();
    setState(Done);
}

#include "tutorial/info_tutorial_lesson.h"

#include "flow/game_level.h"
#include "tutorial/blackout.h"
#include "tutorial/game_event.h"
#include "tutorial/lesson_support.h"
#include "tutorial/mask_blackout.h"
#include "tutorial/solid_blackout.h"
#include "tutorial/tutorial_window.h"

using namespace lesson_support;

InfoTutorialLesson::InfoTutorialLesson(QV::LuaScript2& data, TutorialLessonListener* listener)
    : TutorialLesson(listener) {
    mLevel = readString(data, "level");
    mIsCell = readFlag(data, "isCell") ? 1 : 0;
    if (!mIsCell) mSlot = readString(data, "slot");
    if (mSlot.empty()) {
        if (hasKey(data, "target")) {
            readIntPair(data, "target", mTargetH);
            mTargetV[0] = mTargetH[0];
            mTargetV[1] = mTargetH[1];
        } else {
            readIntPair(data, "targetH", mTargetH);
            readIntPair(data, "targetV", mTargetV);
        }
    }
    mText = readString(data, "text");
    mArrowMarkers[0] = readString(data, "hor", "90");
    mArrowMarkers[1] = readString(data, "ver", "90");
    if (mTargetH[0] != 0 || mTargetH[1] != 0 || !mSlot.empty()) {
        mMaskFile = readString(data, "maskFile");
        mMaskTable = readString(data, "maskTable");
        mPadding = readPoint(data, "padding");
        if (hasKey(data, "maskOffset")) {
            mMaskOffsetH = mMaskOffsetV = readPoint(data, "maskOffset");
        } else {
            mMaskOffsetH = readPoint(data, "horMaskOffset");
            mMaskOffsetV = readPoint(data, "verMaskOffset");
        }
    }
}

InfoTutorialLesson::~InfoTutorialLesson() { deleteWindow(); }

TutorialLesson* InfoTutorialLesson::create(QV::LuaScript2& data, TutorialLessonListener* listener) {
    return new InfoTutorialLesson(data, listener);
}

void InfoTutorialLesson::deleteWindow() {
    delete mWindow;
    mWindow = nullptr;
}

QV::Vector2<float> InfoTutorialLesson::getTargetPoint() const {
    const int32_t* target = tutorialOrientation() == 1 ? mTargetV : mTargetH;
    if (!mSlot.empty()) {
        GameLevel* state = level();
        if (!state) return QV::Vector2<float>();
        const LevelLayoutMarker marker = state->getLayoutMarker(mSlot);
        return QV::Vector2<float>(marker.x, marker.y);
    }
    if (mIsCell) return cellCentre(target[0], target[1]);
    return QV::Vector2<float>(static_cast<float>(target[0]), static_cast<float>(target[1]));
}

void InfoTutorialLesson::start() {
    Blackout* blackout = nullptr;
    if (mTargetH[0] == 0 && mTargetH[1] == 0 && mSlot.empty()) {
        blackout = new SolidBlackout();
    } else {
        auto* mask = new MaskBlackout(mMaskFile, mMaskTable);
        mask->mMaskOffsetH = mMaskOffsetH;
        mask->mMaskOffsetV = mMaskOffsetV;
        mask->mPadding = mPadding;
        blackout = mask;
    }
    const QV::Vector2<float> target = getTargetPoint();
    // A window still up from an earlier start (the level began again) goes first.
    deleteWindow();
    mWindow = new TutorialWindow(target.x != 0.0f || target.y != 0.0f, true, this);
    mWindow->mArrowMarkers[0] = mArrowMarkers[0];
    mWindow->mArrowMarkers[1] = mArrowMarkers[1];
    mWindow->setText(mText);
    mWindow->setBlackout(blackout);
    mWindow->show(target);
    setState(Active);
}

void InfoTutorialLesson::onGameEvent(GameEvent* event) {
    switch (event->mType) {
        case GameEventType::LevelBegun:
            if (mState == Done || !levelMatches(mLevel, static_cast<BeginLevelGameEvent*>(event)->mLevelName)) return;
            if (levelCompleted()) {
                deleteWindow();
                setState(Done);
                setInterfaceEnabled(true);
                return;
            }
            start();
            setInterfaceEnabled(false);
            break;
        case GameEventType::LayoutChanged:
            if (mWindow) mWindow->setTarget(getTargetPoint());
            break;
        case GameEventType::SkipLesson:
            if (mState == Waiting && levelMatches(mLevel, static_cast<BeginLevelGameEvent*>(event)->mLevelName))
                setState(Done);
            break;
        default:
            break;
    }
}

void InfoTutorialLesson::onBecameCurrent() {
    if (mState != Waiting || !levelLoaded() || !levelMatches(mLevel, currentLevelScript())) return;
    if (levelCompleted()) {
        setState(Done);
        return;
    }
    start();
}

bool InfoTutorialLesson::isCellAllowed(int32_t, int32_t) { return mState != Active; }

void InfoTutorialLesson::onWindowClosed() {
    // Done first, so that the next lesson is current before the interface comes back.
    setState(Done);
    deleteWindow();
    setInterfaceEnabled(true);
}

#include "tutorial/bonus_tutorial_lesson.h"

#include "board/mode.h"
#include "game_helpers/game_helper.h"
#include "player/game_properties.h"
#include "player/player_profile.h"
#include "tutorial/booster_tutorial_panel.h"
#include "tutorial/game_event.h"
#include "tutorial/lesson_support.h"
#include "tutorial/mask_blackout.h"
#include "tutorial/tutorial_window.h"

using namespace lesson_support;

namespace {

struct BoosterTeaching {
    const char* dataName;
    const char* grantName;
    int32_t silver;
};

// Kept as the profiles already written name them.
constexpr BoosterTeaching kBoosters[4] = {
    {"comet", "gefest", 110}, {"light", "zeus", 200}, {"arrow", "artemoda", 50}, {"detonator", "ares", 90}};

PlayerProfile* profile() {
    GameProperties* properties = GameProperties::instancePointer();
    return properties ? properties->profile() : nullptr;
}

bool validKind(int32_t kind) { return kind >= 0 && kind < 4; }

}  // namespace

BoosterTutorialPanel* findBoosterTutorialPanel() {
    Mode* mode = Mode::current();
    GameHelper* helper = mode ? mode->getHelper(kHelperBoostersPanel) : nullptr;
    return dynamic_cast<BoosterTutorialPanel*>(helper);
}

BonusTutorialLesson::BonusTutorialLesson(QV::LuaScript2& data, TutorialLessonListener* listener)
    : TutorialLesson(listener) {
    const std::string type = readString(data, "bonusType");
    for (int32_t kind = 0; kind < 4; ++kind) {
        if (type == kBoosters[kind].dataName) mBonusKind = kind;
    }
    mFirstArrowMarkers[0] = readString(data, "hor1", "90");
    mFirstArrowMarkers[1] = readString(data, "ver1", "90");
    mSecondArrowMarkers[0] = readString(data, "hor2", "90");
    mSecondArrowMarkers[1] = readString(data, "ver2", "90");
    mTexts[0] = readString(data, "text1");
    mTexts[1] = readString(data, "text2");
    mLevel = readString(data, "level");
    mMaskFile = readString(data, "maskFile");
    mMaskTable = readString(data, "maskTable");
    if (hasKey(data, "maskOffset")) {
        mMaskOffsetH = mMaskOffsetV = readPoint(data, "maskOffset");
    } else {
        mMaskOffsetH = readPoint(data, "horMaskOffset");
        mMaskOffsetV = readPoint(data, "verMaskOffset");
    }
}

BonusTutorialLesson::~BonusTutorialLesson() { deleteWindow(); }

TutorialLesson* BonusTutorialLesson::create(QV::LuaScript2& data, TutorialLessonListener* listener) {
    return new BonusTutorialLesson(data, listener);
}

std::string BonusTutorialLesson::grantKey() const {
    return std::string("MoneyHasBeenIssued:") + (validKind(mBonusKind) ? kBoosters[mBonusKind].grantName : "");
}

int32_t BonusTutorialLesson::grantAmount() const { return validKind(mBonusKind) ? kBoosters[mBonusKind].silver : 0; }

void BonusTutorialLesson::deleteWindow() {
    delete mWindow;
    mWindow = nullptr;
}

QV::Vector2<float> BonusTutorialLesson::buttonPoint() const {
    BoosterTutorialPanel* panel = findBoosterTutorialPanel();
    return panel ? panel->getButtonCenter(mBonusKind) : QV::Vector2<float>();
}

void BonusTutorialLesson::setState(int32_t state) {
    if (state == Waiting) mStep = FirstWindow;
    TutorialLesson::setState(state);
}

void BonusTutorialLesson::openWindow(const std::string arrowMarkers[2], const std::string& text) {
    deleteWindow();
    mWindow = new TutorialWindow(true, false, this);
    mWindow->mArrowMarkers[0] = arrowMarkers[0];
    mWindow->mArrowMarkers[1] = arrowMarkers[1];
    if (!mMaskFile.empty()) {
        auto* blackout = new MaskBlackout(mMaskFile, mMaskTable);
        blackout->mMaskOffsetH = mMaskOffsetH;
        blackout->mMaskOffsetV = mMaskOffsetV;
        mWindow->setBlackout(blackout);
    }
    mWindow->show(buttonPoint());
    mWindow->setText(text);
}

void BonusTutorialLesson::reposition() {
    if (mWindow && (mStep == FirstWindow || mStep == SecondWindow)) mWindow->setTarget(buttonPoint());
}

void BonusTutorialLesson::onGameEvent(GameEvent* event) {
    PlayerProfile* player = profile();
    switch (event->mType) {
        case GameEventType::LevelBegun: {
            if (!player || !validKind(mBonusKind)) return;
            if (!levelMatches(mLevel, static_cast<BeginLevelGameEvent*>(event)->mLevelName)) return;
            if (!player->isBoosterUnlocked(mBonusKind)) return;
            // A window still up from an earlier start of the level goes first.
            deleteWindow();
            if (levelCompleted() || player->mBoosterCounts[mBonusKind] > 0 || player->hasStringKey(grantKey())) {
                setState(Done);
                return;
            }
            mStep = FirstWindow;
            openWindow(mFirstArrowMarkers, mTexts[0]);
            setState(Active);
            reposition();
            break;
        }
        case GameEventType::BoosterEvent: {
            if (mState == Waiting) return;
            auto* booster = static_cast<BonusEvent*>(event);
            if (booster->mBonusKind != mBonusKind) return;
            if (booster->mAction == BonusEventAction::PressedWithoutStock ||
                booster->mAction == BonusEventAction::PressedWithStock) {
                if (mWindow) mWindow->close();
            } else if (booster->mAction == BonusEventAction::Bought) {
                openWindow(mSecondArrowMarkers, mTexts[1]);
                if (player) player->mBoosterPurchases[mBonusKind].purchases = 1;
                mStep = SecondWindow;
            }
            break;
        }
        case GameEventType::LayoutChanged:
            reposition();
            break;
        case GameEventType::SkipLesson:
            if (mState == Waiting && player && validKind(mBonusKind) &&
                levelMatches(mLevel, static_cast<BeginLevelGameEvent*>(event)->mLevelName) &&
                player->isBoosterUnlocked(mBonusKind))
                setState(Done);
            break;
        default:
            break;
    }
}

bool BonusTutorialLesson::isCellAllowed(int32_t, int32_t) {
    return !(mWindow && mWindow->mRoot && mWindow->mRoot->isVisible() && mWindow->mRoot->isShown());
}

void BonusTutorialLesson::onWindowClosed() {
    PlayerProfile* player = profile();
    GameProperties* properties = GameProperties::instancePointer();
    if (mStep == FirstWindow) {
        if (player && !player->hasStringKey(grantKey())) {
            player->setSilver(player->mSilver + grantAmount());
            player->mBoughtOffers[grantKey()] = "true";
            if (properties) properties->saveProfile();
        }
        if (BoosterTutorialPanel* panel = findBoosterTutorialPanel()) panel->showButtonHint(mBonusKind);
        mStep = PurchaseOpen;
        deleteWindow();
    } else if (mStep == SecondWindow) {
        if (BoosterTutorialPanel* panel = findBoosterTutorialPanel()) panel->useBooster(mBonusKind);
        // Nothing of the window is touched after it told us: it is deleted here.
        deleteWindow();
        mStep = Finished;
        setState(Done);
        if (properties) properties->saveProfile();
    }
}

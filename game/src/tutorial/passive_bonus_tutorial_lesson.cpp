#include "tutorial/passive_bonus_tutorial_lesson.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "dialogs/play_level_window.h"
#include "format_string.h"
#include "player/game_properties.h"
#include "player/player_profile.h"
#include "tutorial/game_event.h"
#include "tutorial/lesson_support.h"
#include "tutorial/mask_blackout.h"
#include "tutorial/tutorial_window.h"

using namespace lesson_support;

namespace {

PlayerProfile* profile() {
    GameProperties* properties = GameProperties::instancePointer();
    return properties ? properties->profile() : nullptr;
}

bool passiveUnlocked(const PlayerProfile& player, int32_t kind) {
    const auto& unlocked = player.mUnlockedPassiveBoosters;
    return std::find(unlocked.begin(), unlocked.end(), kind) != unlocked.end();
}

}  // namespace

PassiveBonusTutorialLesson::PassiveBonusTutorialLesson(QV::LuaScript2& data, TutorialLessonListener* listener)
    : TutorialLesson(listener) {
    const std::string bonus = readString(data, "bonus");
    if (bonus == "color") mPassiveKind = 0;
    else if (bonus == "moves") mPassiveKind = 1;
    else if (bonus == "boom") mPassiveKind = 2;
    mArrowMarkers[0] = readString(data, "hor", "90");
    mArrowMarkers[1] = readString(data, "ver", "90");
    mText = readString(data, "text");
    mMaskFile = readString(data, "maskFile");
    mMaskTable = readString(data, "maskTable");
}

PassiveBonusTutorialLesson::~PassiveBonusTutorialLesson() { deleteWindow(); }

TutorialLesson* PassiveBonusTutorialLesson::create(QV::LuaScript2& data, TutorialLessonListener* listener) {
    return new PassiveBonusTutorialLesson(data, listener);
}

void PassiveBonusTutorialLesson::deleteWindow() {
    delete mWindow;
    mWindow = nullptr;
}

QV::Vector2<float> PassiveBonusTutorialLesson::slotPoint() const {
    if (!mSlotNode) return QV::Vector2<float>();
    const QV::Vector2<float> at = mSlotNode->getWorldPosition();
    return QV::Vector2<float>(at.x - 5.0f + mSlotHalfSize.x, at.y + mSlotHalfSize.y);
}

void PassiveBonusTutorialLesson::onGameEvent(GameEvent* event) {
    PlayerProfile* player = profile();
    switch (event->mType) {
        case GameEventType::LevelWindowShown: {
            if (mState != Waiting || !player || !passiveUnlocked(*player, mPassiveKind)) return;
            if (!player->mPassiveUnlockNotice) {
                setState(Done);
                return;
            }
            PlayLevelWindow* window = static_cast<PlayLevelWindowGameEvent*>(event)->mWindow;
            int32_t slot = -1;
            for (int32_t i = 0; window && i < 3; ++i) {
                if (window->mSlotKinds[i] == mPassiveKind) slot = i;
            }
            // A passive booster the start window does not offer has no slot to point at: it waits.
            AE::ISceneNode* holder = slot >= 0 && window->mScene
                                         ? window->mScene->findNode(QV::formatString("#bonus%d", slot))
                                         : nullptr;
            mSlotNode = holder ? holder->findNode("regular") : nullptr;
            if (!mSlotNode) return;
            const QV::Vector2<float> size = mSlotNode->getSize();
            mSlotHalfSize = QV::Vector2<float>(size.x / 2, size.y / 2);
            setState(Active);
            mWindow = new TutorialWindow(true, true, this);
            mWindow->mArrowMarkers[0] = mArrowMarkers[0];
            mWindow->mArrowMarkers[1] = mArrowMarkers[1];
            mWindow->setText(mText);
            auto* blackout = new MaskBlackout(mMaskFile, mMaskTable);
            const QV::Vector2<float> mask = blackout->maskSize();
            blackout->mMaskOffsetH = blackout->mMaskOffsetV = QV::Vector2<float>(-mask.x / 2, -mask.y / 2);
            mWindow->setBlackout(blackout);
            mWindow->setAuraVisible(false);
            mWindow->show(slotPoint());
            break;
        }
        case GameEventType::LayoutChanged:
            if (mState == Active && mWindow) mWindow->setTarget(slotPoint());
            break;
        case GameEventType::SkipLesson:
            if (mState == Waiting && player && passiveUnlocked(*player, mPassiveKind)) {
                setState(Done);
                player->mPassiveUnlockNotice = 0;
            }
            break;
        default:
            break;
    }
}

void PassiveBonusTutorialLesson::onWindowClosed() {
    if (PlayerProfile* player = profile()) player->mPassiveUnlockNotice = 0;
    deleteWindow();
    setState(Done);
}

#pragma once

#include <cstdint>
#include <string>

#include "tutorial/tutorial_lesson.h"
#include "tutorial/tutorial_window_listener.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}
namespace QV {
class LuaScript2;
}
class TutorialWindow;

// The passive booster lesson ("PassiveBonusLesson"): points at a newly
// unlocked passive booster's slot in the level start window.
class PassiveBonusTutorialLesson : public TutorialLesson, public TutorialWindowListener {
public:
    PassiveBonusTutorialLesson(QV::LuaScript2& data, TutorialLessonListener* listener);
    ~PassiveBonusTutorialLesson() override;

    void onGameEvent(GameEvent* event) override;
    void onWindowClosed() override;
    QV::Vector2<float> slotPoint() const;

    static TutorialLesson* create(QV::LuaScript2& data, TutorialLessonListener* listener);

    int32_t mPassiveKind = -1;  // 0 color, 1 moves, 2 boom; -1 when the data named none
    std::string mText;
    TutorialWindow* mWindow = nullptr;  // owned
    AE::ISceneNode* mSlotNode = nullptr;  // not owned
    QV::Vector2<float> mSlotHalfSize;
    std::string mMaskFile;
    std::string mMaskTable;
    std::string mArrowMarkers[2] = {"90", "90"};

private:
    void deleteWindow();
};

#pragma once

#include <cstdint>
#include <string>

#include "tutorial/tutorial_lesson.h"
#include "tutorial/tutorial_window_listener.h"
#include "vector2.h"

namespace QV {
class LuaScript2;
}
class TutorialWindow;

// The info lesson ("InfoLesson"): a text with a close button, pointing at a
// layout marker of the level, a cell or a screen point, or at nothing over a
// uniformly dimmed screen. No cell takes clicks while it shows.
class InfoTutorialLesson : public TutorialLesson, public TutorialWindowListener {
public:
    InfoTutorialLesson(QV::LuaScript2& data, TutorialLessonListener* listener);
    ~InfoTutorialLesson() override;

    void onGameEvent(GameEvent* event) override;
    bool isCellAllowed(int32_t column, int32_t row) override;
    void onBecameCurrent() override;
    void onWindowClosed() override;

    QV::Vector2<float> getTargetPoint() const;
    void start();

    static TutorialLesson* create(QV::LuaScript2& data, TutorialLessonListener* listener);

    std::string mText;
    std::string mSlot;
    int32_t mTargetH[2] = {0, 0};
    int32_t mTargetV[2] = {0, 0};
    uint8_t mIsCell = 0;
    TutorialWindow* mWindow = nullptr;  // owned
    std::string mLevel;
    std::string mArrowMarkers[2] = {"90", "90"};
    std::string mMaskFile;
    std::string mMaskTable;
    QV::Vector2<float> mPadding;
    QV::Vector2<float> mMaskOffsetH;
    QV::Vector2<float> mMaskOffsetV;

private:
    void deleteWindow();
};

#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tutorial/tutorial_lesson.h"
#include "tutorial/tutorial_window_listener.h"
#include "vector2.h"

namespace QV {
class LuaScript2;
}
class TutorialWindow;

// The cell lesson ("DestroyChipLesson"): at the start of its level it points
// at the first of its cells over a dimmed screen and lets only its cells take
// clicks, until a chip in one of them is destroyed.
class DestroyChipTutorialLesson : public TutorialLesson, public TutorialWindowListener {
public:
    DestroyChipTutorialLesson(QV::LuaScript2& data, TutorialLessonListener* listener);
    ~DestroyChipTutorialLesson() override;

    void onGameEvent(GameEvent* event) override;
    void update(float dt) override;
    bool isCellAllowed(int32_t column, int32_t row) override;
    void onWindowClosed() override;

    static TutorialLesson* create(QV::LuaScript2& data, TutorialLessonListener* listener);

    std::string mLevel;
    std::string mText;
    std::vector<std::pair<int32_t, int32_t>> mCells;  // column, row; file order
    TutorialWindow* mWindow = nullptr;                // owned
    std::string mArrowMarkers[2] = {"90", "90"};
    std::string mMaskFile;
    std::string mMaskTable;
    QV::Vector2<float> mPadding;
    QV::Vector2<float> mOffset;
    int32_t mWindowOpened = 0;

private:
    QV::Vector2<float> targetPoint() const;
    QV::Vector2<float> cornerPoint() const;
    void deleteWindow();
};

#pragma once

#include <cstdint>
#include <vector>

#include "tutorial/tutorial_lesson.h"

namespace QV {
class LuaScript2;
}

// The multi lesson ("MultiLesson"): child lessons run in order inside one step
// of the sequence. Its state mirrors the current child's after each event.
class MultiTutorialLesson : public TutorialLesson, public TutorialLessonListener {
public:
    MultiTutorialLesson(QV::LuaScript2& data, TutorialLessonListener* listener);
    ~MultiTutorialLesson() override;

    void onGameEvent(GameEvent* event) override;
    void update(float dt) override;
    bool isCellAllowed(int32_t column, int32_t row) override;
    void reset() override;
    void onLessonCompleted() override;

    TutorialLesson* currentChild() const;

    static TutorialLesson* create(QV::LuaScript2& data, TutorialLessonListener* listener);

    std::vector<TutorialLesson*> mLessons;  // owned
    int32_t mCurrentIndex = -1;
};

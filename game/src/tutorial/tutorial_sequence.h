#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tutorial/tutorial_lesson.h"

class TutorialLessonFactory;

// One scripted tutorial: the lessons of one Lua file, met in file order.
// Only the current lesson sees events and updates.
class TutorialSequence : public TutorialLessonListener {
public:
    // Reads the file `name` of package "default"; a file that cannot be loaded
    // is fatal. Lessons are built by the game's factory unless one is given.
    explicit TutorialSequence(const std::string& name, const TutorialLessonFactory* factory = nullptr);
    ~TutorialSequence() override;
    TutorialSequence(const TutorialSequence&) = delete;
    TutorialSequence& operator=(const TutorialSequence&) = delete;

    // Moves on to the next lesson (a lesson reached done).
    void onLessonCompleted() override;

    // Moves past a current lesson that is already done (one finished while
    // the sequence was being read).
    void skipDoneLessons();

    // Makes the lesson at `index` current, or none when the index is outside
    // the lessons. Lesson states are not touched.
    void setCurrentIndex(int32_t index);

    std::string mName;                     // resource name; also its key in the saved progress
    std::vector<TutorialLesson*> mLessons; // owned, in file order
    TutorialLesson* mCurrentLesson = nullptr;
    int32_t mCurrentIndex = 0;             // the lesson count once finished

private:
    // Lessons may report done while they are read; that must not move the sequence.
    bool mBuilding = false;
};

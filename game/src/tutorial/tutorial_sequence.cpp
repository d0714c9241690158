#include "tutorial/tutorial_sequence.h"

extern "C" {
#include <lua.h>
}

#include "format_string.h"
#include "lua_script2.h"
#include "report_assert.h"
#include "tutorial/tutorial_lesson_factory.h"

TutorialSequence::TutorialSequence(const std::string& name, const TutorialLessonFactory* factory)
    : mName(name) {
    if (!factory) factory = &getTutorialLessonFactory();
    QV::LuaScript2 script(QV::createLuaState());
    if (!script.loadScript(mName, "default")) {
        QV::reportAssert("QV", QV::formatString("%s file not found!", mName.c_str()),
                         "..\\src\\tutorial\\tutorial_sequence", 18);
        QV::breakpointTrap();
    }
    mBuilding = true;
    if (script.openTable("lessons")) {
        lua_State* L = script.state();
        const int count = static_cast<int>(lua_objlen(L, -1));
        for (int i = 1; i <= count; ++i) {
            lua_rawgeti(L, -1, i);
            if (!lua_istable(L, -1)) {
                lua_pop(L, 1);
                continue;
            }
            script.openTopTable();
            std::string className;
            script.getString("class", &className);
            if (script.openTable("data")) {
                if (TutorialLesson* lesson = factory->create(className, script, this)) {
                    mLessons.push_back(lesson);
                }
                script.closeTable();
            }
            script.closeTable();
            lua_pop(L, 1);
        }
        script.closeTable();
    }
    mBuilding = false;
    if (!mLessons.empty()) mCurrentLesson = mLessons[mCurrentIndex];
}

TutorialSequence::~TutorialSequence() {
    for (TutorialLesson* lesson : mLessons) delete lesson;
}

void TutorialSequence::onLessonCompleted() {
    if (mBuilding) return;
    mCurrentIndex += 1;
    if (mCurrentIndex < 0 || mCurrentIndex >= static_cast<int32_t>(mLessons.size())) {
        mCurrentIndex = static_cast<int32_t>(mLessons.size());
        mCurrentLesson = nullptr;
        return;
    }
    TutorialLesson* lesson = mLessons[mCurrentIndex];
    mCurrentLesson = lesson;
    lesson->onBecameCurrent();
    // A lesson that is already done when it comes up (one with nothing to
    // teach) must not hold the sequence.
    if (mCurrentLesson == lesson && lesson->mState == TutorialLesson::Done) onLessonCompleted();
}

void TutorialSequence::skipDoneLessons() {
    if (mCurrentLesson && mCurrentLesson->mState == TutorialLesson::Done) onLessonCompleted();
}

void TutorialSequence::setCurrentIndex(int32_t index) {
    mCurrentIndex = index;
    if (index >= 0 && index < static_cast<int32_t>(mLessons.size())) {
        mCurrentLesson = mLessons[index];
    } else {
        mCurrentLesson = nullptr;
    }
}

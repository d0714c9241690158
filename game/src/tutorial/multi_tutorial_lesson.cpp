#include "tutorial/multi_tutorial_lesson.h"

extern "C" {
#include <lua.h>
}

#include <string>

#include "lua_script2.h"
#include "tutorial/destroy_chip_tutorial_lesson.h"
#include "tutorial/game_event.h"
#include "tutorial/info_tutorial_lesson.h"
#include "tutorial/tutorial_lesson_factory.h"

namespace {

// A multi lesson holds only these kinds.
const TutorialLessonFactory& childFactory() {
    static const TutorialLessonFactory factory = [] {
        const TutorialLessonFactory& game = getTutorialLessonFactory();
        TutorialLessonFactory made;
        for (const char* name : {"DestroyChipLesson", "InfoLesson", "BonusLesson"}) {
            if (game.isRegistered(name)) made.registerClass(name, game.creator(name));
        }
        return made;
    }();
    return factory;
}

}  // namespace

MultiTutorialLesson::MultiTutorialLesson(QV::LuaScript2& data, TutorialLessonListener* listener)
    : TutorialLesson(listener) {
    lua_State* L = data.state();
    const int count = static_cast<int>(lua_objlen(L, -1));
    for (int i = 1; i <= count; ++i) {
        lua_rawgeti(L, -1, i);
        if (lua_istable(L, -1)) {
            data.openTopTable();
            std::string className;
            data.getString("class", &className);
            if (data.openTable("data")) {
                if (TutorialLesson* lesson = childFactory().create(className, data, this)) mLessons.push_back(lesson);
                data.closeTable();
            }
            data.closeTable();
        }
        lua_pop(L, 1);
    }
    if (!mLessons.empty()) {
        mCurrentIndex = 0;
    } else {
        // Nothing to teach: done while read, and the sequence moves past it.
        setState(Done);
    }
}

MultiTutorialLesson::~MultiTutorialLesson() {
    for (TutorialLesson* lesson : mLessons) delete lesson;
}

TutorialLesson* MultiTutorialLesson::create(QV::LuaScript2& data, TutorialLessonListener* listener) {
    return new MultiTutorialLesson(data, listener);
}

TutorialLesson* MultiTutorialLesson::currentChild() const {
    if (mCurrentIndex < 0 || mCurrentIndex >= static_cast<int32_t>(mLessons.size())) return nullptr;
    return mLessons[mCurrentIndex];
}

void MultiTutorialLesson::onGameEvent(GameEvent* event) {
    TutorialLesson* child = currentChild();
    if (!child) return;
    if (event->mType == GameEventType::SkipLesson) {
        int32_t offered = mCurrentIndex;
        child->onGameEvent(event);
        while (mCurrentIndex != -1 && mCurrentIndex != offered && currentChild()) {
            offered = mCurrentIndex;
            currentChild()->onGameEvent(event);
        }
    } else {
        child->onGameEvent(event);
    }
    if (TutorialLesson* now = currentChild()) {
        if (now->mState == Active) mState = Active;
    }
}

void MultiTutorialLesson::onLessonCompleted() {
    mCurrentIndex += 1;
    mState = Waiting;
    if (TutorialLesson* next = currentChild()) {
        next->onBecameCurrent();
        return;
    }
    mCurrentIndex = -1;
    setState(Done);
}

bool MultiTutorialLesson::isCellAllowed(int32_t column, int32_t row) {
    TutorialLesson* child = currentChild();
    return child ? child->isCellAllowed(column, row) : true;
}

void MultiTutorialLesson::update(float dt) {
    if (TutorialLesson* child = currentChild()) child->update(dt);
}

void MultiTutorialLesson::reset() {
    mCurrentIndex = mLessons.empty() ? -1 : 0;
    for (TutorialLesson* lesson : mLessons) lesson->mState = Waiting;
}

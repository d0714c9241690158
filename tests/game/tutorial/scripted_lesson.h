#pragma once

#include <string>
#include <vector>

extern "C" {
#include <lua.h>
}

#include "lua_script2.h"
#include "tutorial/game_event.h"
#include "tutorial/tutorial_lesson.h"
#include "tutorial/tutorial_lesson_factory.h"

// A lesson whose behaviour its "data" table scripts, writing what happens to
// it into a journal ("name:event 1", "name:update", "name:current", "name:reset").
//   name          its name in the journal
//   activateOn    the event type that makes it active
//   doneOn        the event type that makes it done
//   consume, fail set the event's consumed flag / clear its result flag
//   doneAtRead    done while it is being read (as a lesson with nothing to teach)
//   doneWhenCurrent done as soon as it becomes current
class ScriptedLesson : public TutorialLesson {
public:
    ScriptedLesson(QV::LuaScript2& data, TutorialLessonListener* listener);
    ~ScriptedLesson() override;

    void onGameEvent(GameEvent* event) override;
    void update(float dt) override;
    bool isCellAllowed(int32_t column, int32_t row) override;
    void onBecameCurrent() override;
    void reset() override;

    static TutorialLesson* create(QV::LuaScript2& data, TutorialLessonListener* listener);
    static std::vector<std::string>& journal();
    static int& alive();
    // A factory that knows only "InfoLesson" (built as a ScriptedLesson).
    static TutorialLessonFactory factory();

    std::string mName;
    int mActivateOn = -1;
    int mDoneOn = -1;
    bool mConsume = false;
    bool mFail = false;
    bool mDoneWhenCurrent = false;
};

inline int scriptedReadInt(QV::LuaScript2& data, const char* key, int fallback) {
    data.pushField(key);
    int value = 0;
    const bool ok = data.topToInt(&value);
    lua_pop(data.state(), 1);
    return ok ? value : fallback;
}


inline ScriptedLesson::ScriptedLesson(QV::LuaScript2& data, TutorialLessonListener* listener)
    : TutorialLesson(listener) {
    data.getString("name", &mName);
    mActivateOn = scriptedReadInt(data, "activateOn", -1);
    mDoneOn = scriptedReadInt(data, "doneOn", -1);
    mConsume = scriptedReadInt(data, "consume", 0) != 0;
    mFail = scriptedReadInt(data, "fail", 0) != 0;
    mDoneWhenCurrent = scriptedReadInt(data, "doneWhenCurrent", 0) != 0;
    ++alive();
    if (scriptedReadInt(data, "doneAtRead", 0)) setState(Done);
}

inline ScriptedLesson::~ScriptedLesson() { --alive(); }

inline void ScriptedLesson::onGameEvent(GameEvent* event) {
    const int type = static_cast<int>(event->mType);
    journal().push_back(mName + ":event " + std::to_string(type));
    if (mConsume) event->mConsumed = true;
    if (mFail) event->mResult = false;
    if (type == mActivateOn) setState(Active);
    if (type == mDoneOn) setState(Done);
}

inline void ScriptedLesson::update(float) { journal().push_back(mName + ":update"); }

inline bool ScriptedLesson::isCellAllowed(int32_t, int32_t) { return mState != Active; }

inline void ScriptedLesson::onBecameCurrent() {
    journal().push_back(mName + ":current");
    if (mDoneWhenCurrent) setState(Done);
}

inline void ScriptedLesson::reset() { journal().push_back(mName + ":reset"); }

inline TutorialLesson* ScriptedLesson::create(QV::LuaScript2& data, TutorialLessonListener* listener) {
    return new ScriptedLesson(data, listener);
}

inline std::vector<std::string>& ScriptedLesson::journal() {
    static std::vector<std::string> entries;
    return entries;
}

inline int& ScriptedLesson::alive() {
    static int count = 0;
    return count;
}

inline TutorialLessonFactory ScriptedLesson::factory() {
    TutorialLessonFactory made;
    made.registerClass("InfoLesson", &ScriptedLesson::create);
    return made;
}

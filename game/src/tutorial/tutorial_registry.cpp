#include "tutorial/tutorial_registry.h"

extern "C" {
#include <lua.h>
}

#include <string>

#include "log_system.h"
#include "lua_script2.h"
#include "tutorial/game_event.h"
#include "tutorial/tutorial_sequence.h"

namespace {

TutorialSequenceList* gSequences = nullptr;

void logIfPossible(const std::string& message) {
    if (QV::LogSystem::instancePointer()) QV::logLine(message);
}

}  // namespace

TutorialSequenceList& getTutorialSequences() {
    if (!gSequences) gSequences = new TutorialSequenceList;
    return *gSequences;
}

void loadTutorialSequences(TutorialSequenceList& list, const TutorialLessonFactory* factory) {
    QV::LuaScript2 script(QV::createLuaState());
    if (!script.loadScript("tutorial_lua", "default")) {
        logIfPossible("ERROR: Failed to load 'tutorial_lua': no tutorial sequences");
        return;
    }
    if (!script.openTable("load")) {
        logIfPossible("ERROR: 'tutorial_lua' has no table 'load': no tutorial sequences");
        return;
    }
    std::vector<std::string> names;
    const int count = static_cast<int>(lua_objlen(script.state(), -1));
    for (int i = 1; i <= count; ++i) {
        std::string name;
        if (script.getStringAt(i, &name)) names.push_back(name);
    }
    script.closeTable();
    for (const std::string& name : names) list.push_back(new TutorialSequence(name, factory));
}

bool dispatchTutorialEvent(GameEvent* event, TutorialSequenceList& list) {
    if (!event) return true;
    for (TutorialSequence* sequence : list) {
        sequence->skipDoneLessons();
        TutorialLesson* offered = sequence->mCurrentLesson;
        if (!offered) continue;
        offered->onGameEvent(event);
        // One event may finish a lesson and start its successor.
        while (sequence->mCurrentLesson && sequence->mCurrentLesson != offered) {
            offered = sequence->mCurrentLesson;
            offered->onGameEvent(event);
        }
        if (event->mConsumed) break;
    }
    const bool result = event->mResult;
    delete event;
    return result;
}

bool isTutorialLessonActive(const TutorialSequenceList& list) {
    for (const TutorialSequence* sequence : list) {
        if (sequence->mCurrentLesson && sequence->mCurrentLesson->mState == TutorialLesson::Active) {
            return true;
        }
    }
    return false;
}

bool isTutorialCellAllowed(const TutorialSequenceList& list, int column, int row) {
    for (const TutorialSequence* sequence : list) {
        if (sequence->mCurrentLesson && !sequence->mCurrentLesson->isCellAllowed(column, row)) return false;
    }
    return true;
}

void updateTutorials(TutorialSequenceList& list, float dt) {
    for (TutorialSequence* sequence : list) {
        sequence->skipDoneLessons();
        if (sequence->mCurrentLesson) sequence->mCurrentLesson->update(dt);
    }
}

void resetTutorials(TutorialSequenceList& list) {
    for (TutorialSequence* sequence : list) {
        sequence->mCurrentIndex = 0;
        if (!sequence->mLessons.empty()) sequence->mCurrentLesson = sequence->mLessons.front();
        for (TutorialLesson* lesson : sequence->mLessons) {
            lesson->reset();
            lesson->setState(TutorialLesson::Waiting);
        }
    }
}

void destroyTutorialSequences(TutorialSequenceList& list) {
    for (TutorialSequence* sequence : list) delete sequence;
    list.clear();
}

void releaseTutorialSequences() {
    if (!gSequences) return;
    destroyTutorialSequences(*gSequences);
    delete gSequences;
    gSequences = nullptr;
}

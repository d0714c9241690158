#include "tutorial/tutorial_lesson_factory.h"

void TutorialLessonFactory::registerClass(const std::string& className, Creator creator) {
    if (creator) {
        mCreators[className] = creator;
    } else {
        mCreators.erase(className);
    }
}

bool TutorialLessonFactory::isRegistered(const std::string& className) const {
    return mCreators.count(className) != 0;
}

TutorialLessonFactory::Creator TutorialLessonFactory::creator(const std::string& className) const {
    auto it = mCreators.find(className);
    return it == mCreators.end() ? nullptr : it->second;
}

TutorialLesson* TutorialLessonFactory::create(const std::string& className, QV::LuaScript2& data,
                                              TutorialLessonListener* listener) const {
    auto it = mCreators.find(className);
    if (it == mCreators.end()) return nullptr;
    return it->second(data, listener);
}

TutorialLessonFactory& getTutorialLessonFactory() {
    static TutorialLessonFactory factory = [] {
        TutorialLessonFactory made;
        registerGameTutorialLessons(made);
        return made;
    }();
    return factory;
}

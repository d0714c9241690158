#pragma once

#include <map>
#include <string>

namespace QV {
class LuaScript2;
}
class TutorialLesson;
class TutorialLessonListener;

// Builds lessons by their class name in the sequence files ("MultiLesson",
// "InfoLesson", ...). A creator reads the lesson from the open "data" table.
class TutorialLessonFactory {
public:
    using Creator = TutorialLesson* (*)(QV::LuaScript2& data, TutorialLessonListener* listener);

    // A later registration of the same name replaces the earlier one.
    void registerClass(const std::string& className, Creator creator);
    bool isRegistered(const std::string& className) const;
    // Null for a class name nobody registered.
    Creator creator(const std::string& className) const;
    // Null for a class name nobody registered.
    TutorialLesson* create(const std::string& className, QV::LuaScript2& data,
                           TutorialLessonListener* listener) const;

private:
    std::map<std::string, Creator> mCreators;
};

// The factory the game's sequences use, filled with the game's lesson classes
// on first use.
TutorialLessonFactory& getTutorialLessonFactory();

// Adds every lesson class of the game; each lesson kind adds its line here.
void registerGameTutorialLessons(TutorialLessonFactory& factory);

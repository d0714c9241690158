#include "tutorial/tutorial_lesson_factory.h"

// Explicit registration: a static library drops self-registering objects that
// nothing references, so every lesson class is listed here.
void registerGameTutorialLessons(TutorialLessonFactory& /*factory*/) {
    // "DestroyChipLesson", "MultiLesson", "InfoLesson", "BonusLesson" and
    // "PassiveBonusLesson" register here as their classes are written.
}

#include "tutorial/bonus_tutorial_lesson.h"
#include "tutorial/destroy_chip_tutorial_lesson.h"
#include "tutorial/info_tutorial_lesson.h"
#include "tutorial/multi_tutorial_lesson.h"
#include "tutorial/passive_bonus_tutorial_lesson.h"
#include "tutorial/tutorial_lesson_factory.h"

// Explicit registration: a static library drops self-registering objects that
// nothing references, so every lesson class is listed here.
void registerGameTutorialLessons(TutorialLessonFactory& factory) {
    factory.registerClass("DestroyChipLesson", &DestroyChipTutorialLesson::create);
    factory.registerClass("InfoLesson", &InfoTutorialLesson::create);
    factory.registerClass("MultiLesson", &MultiTutorialLesson::create);
    factory.registerClass("BonusLesson", &BonusTutorialLesson::create);
    factory.registerClass("PassiveBonusLesson", &PassiveBonusTutorialLesson::create);
}

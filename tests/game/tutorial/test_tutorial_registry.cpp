#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>
#include <string>
#include <vector>

#include "file.h"
#include "file_system.h"
#include "scripted_lesson.h"
#include "tutorial/game_event.h"
#include "tutorial/tutorial_registry.h"
#include "tutorial/tutorial_sequence.h"
#include "tutorial_content.h"

namespace {

using Journal = std::vector<std::string>;

// A plain event that notes its own deletion.
class CountedEvent : public GameEvent {
public:
    CountedEvent(GameEventType type, int* deleted) : GameEvent(type), mDeleted(deleted) {}
    ~CountedEvent() override { ++*mDeleted; }
    int* mDeleted;
};

class TutorialRegistryTest : public testing::Test {
protected:
    void SetUp() override {
        ScriptedLesson::journal().clear();
        ScriptedLesson::alive() = 0;
    }
    void TearDown() override {
        destroyTutorialSequences(list);
        EXPECT_EQ(ScriptedLesson::alive(), 0);
    }
    void load(const std::map<std::string, std::string>& scripts) {
        TutorialContent content(scripts);
        loadTutorialSequences(list, &factory);
    }
    ScriptedLesson* lessonOf(int sequence, int index) {
        return static_cast<ScriptedLesson*>(list[sequence]->mLessons[index]);
    }
    Journal takeJournal() {
        Journal out;
        out.swap(ScriptedLesson::journal());
        return out;
    }

    TutorialLessonFactory factory = ScriptedLesson::factory();
    TutorialSequenceList list;
};

TEST_F(TutorialRegistryTest, LoadsOneSequencePerNameInOrderWithTheirLessons) {
    load({{"tutorial_lua", "load = { \"b_lua\", \"a_lua\", \"empty_lua\" }\n"},
          {"a_lua", lessons(lesson("name = 'a1'") + "42,\n" + lesson("name = 'x'", "NoSuchLesson") +
                            lesson("name = 'a2'") + "{ class = 'InfoLesson' },\n")},
          {"b_lua", lessons(lesson("name = 'b1'"))},
          {"empty_lua", "lessons = {}\n"}});
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->mName, "b_lua");
    EXPECT_EQ(list[1]->mName, "a_lua");
    EXPECT_EQ(list[2]->mName, "empty_lua");

    // Entries that are not tables, unknown classes and entries without "data" build nothing.
    ASSERT_EQ(list[1]->mLessons.size(), 2u);
    EXPECT_EQ(lessonOf(1, 0)->mName, "a1");
    EXPECT_EQ(lessonOf(1, 1)->mName, "a2");
    EXPECT_EQ(list[1]->mCurrentLesson, list[1]->mLessons[0]);
    EXPECT_EQ(list[1]->mCurrentIndex, 0);

    // Finished from the start.
    EXPECT_TRUE(list[2]->mLessons.empty());
    EXPECT_EQ(list[2]->mCurrentLesson, nullptr);
    EXPECT_EQ(list[2]->mCurrentIndex, 0);

    // No lesson is told it became current while sequences are built.
    EXPECT_TRUE(takeJournal().empty());
}

TEST_F(TutorialRegistryTest, MissingOrBrokenListGivesNoSequences) {
    for (const char* text : {"", "load = 5\n", "this is not lua"}) {
        std::map<std::string, std::string> scripts = {{"other_lua", "x = 1\n"}};
        if (*text) scripts["tutorial_lua"] = text;
        load(scripts);
        EXPECT_TRUE(list.empty()) << text;
    }
}

// The shipped sequences read with the game's lesson classes: the first levels'
// (swap, goal, moves, and tiles with the time limit in one step) and the boosters'.
TEST_F(TutorialRegistryTest, ShippedSequencesReadWithTheGamesLessons) {
    qvtest::MediaEngine engine(QV_SOURCE_DIR);
    std::unique_ptr<QV::File> file(engine.files().open("default", "tutorial_lua"));
    ASSERT_TRUE(file);
    loadTutorialSequences(list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->mName, "tutorial_first_levels_lua");
    EXPECT_EQ(list[1]->mName, "tutorial_boosters_lua");
    const std::vector<std::string> first = {"DestroyChipTutorialLesson", "InfoTutorialLesson", "InfoTutorialLesson",
                                            "MultiTutorialLesson"};
    ASSERT_EQ(list[0]->mLessons.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_NE(std::string(typeid(*list[0]->mLessons[i]).name()).find(first[i]), std::string::npos) << i;
    EXPECT_EQ(list[1]->mLessons.size(), 5u);
    for (const TutorialSequence* sequence : list) {
        EXPECT_EQ(sequence->mCurrentIndex, 0);
        for (const TutorialLesson* lesson : sequence->mLessons) EXPECT_EQ(lesson->mState, TutorialLesson::Waiting);
    }
}

TEST_F(TutorialRegistryTest, EmptyLoadListIsAllowed) {
    load({{"tutorial_lua", "load = {}\n"}});
    EXPECT_TRUE(list.empty());
}

using TutorialSequenceDeathTest = TutorialRegistryTest;

TEST_F(TutorialSequenceDeathTest, SequenceFileThatCannotBeLoadedIsFatal) {
    EXPECT_DEATH(
        {
            load({{"tutorial_lua", "load = { \"gone_lua\" }\n"}});
        },
        "gone_lua file not found!");
}

TEST_F(TutorialRegistryTest, EventsReachTheCurrentLessonOfEachSequenceInOrder) {
    load({{"tutorial_lua", "load = { \"a_lua\", \"b_lua\", \"c_lua\" }\n"},
          {"a_lua", lessons(lesson("name = 'a1', doneOn = 1") + lesson("name = 'a2'"))},
          {"b_lua", lessons(lesson("name = 'b1'") + lesson("name = 'b2'"))},
          {"c_lua", "lessons = {}\n"}});

    int deleted = 0;
    EXPECT_TRUE(dispatchTutorialEvent(new CountedEvent(GameEventType::LevelBegun, &deleted), list));
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(takeJournal(), (Journal{"a1:event 0", "b1:event 0"}));

    // a1 completes on the chip event: a2 becomes current and is offered the same event.
    dispatchTutorialEvent(new CountedEvent(GameEventType::ChipDestroyed, &deleted), list);
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(takeJournal(), (Journal{"a1:event 1", "a2:current", "a2:event 1", "b1:event 1"}));
    EXPECT_EQ(list[0]->mCurrentIndex, 1);
}

TEST_F(TutorialRegistryTest, OneEventCanFinishSeveralLessonsOfASequence) {
    load({{"tutorial_lua", "load = { \"a_lua\" }\n"},
          {"a_lua", lessons(lesson("name = 'a1', doneOn = 5") + lesson("name = 'a2', doneOn = 5") +
                            lesson("name = 'a3'"))}});
    dispatchTutorialEvent(new BeginLevelGameEvent("level_1_lua", GameEventType::SkipLesson), list);
    EXPECT_EQ(takeJournal(), (Journal{"a1:event 5", "a2:current", "a2:event 5", "a3:current",
                                      "a3:event 5"}));
    EXPECT_EQ(list[0]->mCurrentIndex, 2);

    // The last lesson done: finished, index at the count, no more events.
    lessonOf(0, 2)->setState(TutorialLesson::Done);
    EXPECT_EQ(list[0]->mCurrentLesson, nullptr);
    EXPECT_EQ(list[0]->mCurrentIndex, 3);
    takeJournal();
    dispatchTutorialEvent(new GameEvent(GameEventType::LayoutChanged), list);
    EXPECT_TRUE(takeJournal().empty());
    // A stray completion afterwards does not walk past the end.
    lessonOf(0, 2)->setState(TutorialLesson::Done);
    EXPECT_EQ(list[0]->mCurrentIndex, 3);
}

TEST_F(TutorialRegistryTest, ConsumedEventStopsAtItsSequenceAndResultIsReturned) {
    load({{"tutorial_lua", "load = { \"a_lua\", \"b_lua\", \"c_lua\" }\n"},
          {"a_lua", lessons(lesson("name = 'a1'"))},
          {"b_lua", lessons(lesson("name = 'b1', consume = 1, fail = 1"))},
          {"c_lua", lessons(lesson("name = 'c1'"))}});
    int deleted = 0;
    EXPECT_FALSE(dispatchTutorialEvent(new CountedEvent(GameEventType::BoosterEvent, &deleted), list));
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(takeJournal(), (Journal{"a1:event 4", "b1:event 4"}));
}

TEST_F(TutorialRegistryTest, WithoutSequencesEventIsDeletedAndResultIsOne) {
    int deleted = 0;
    EXPECT_TRUE(dispatchTutorialEvent(new CountedEvent(GameEventType::ChipDestroyed, &deleted), list));
    EXPECT_EQ(deleted, 1);
    EXPECT_TRUE(dispatchTutorialEvent(nullptr, list));
}

TEST_F(TutorialRegistryTest, ActiveUpdateAndReset) {
    load({{"tutorial_lua", "load = { \"a_lua\", \"b_lua\" }\n"},
          {"a_lua", lessons(lesson("name = 'a1', doneOn = 1") + lesson("name = 'a2', activateOn = 0"))},
          {"b_lua", lessons(lesson("name = 'b1'"))}});
    EXPECT_FALSE(isTutorialLessonActive(list));
    dispatchTutorialEvent(new GameEvent(GameEventType::ChipDestroyed), list);
    dispatchTutorialEvent(new BeginLevelGameEvent("level_2_lua"), list);
    EXPECT_TRUE(isTutorialLessonActive(list));
    EXPECT_FALSE(list[0]->mCurrentLesson->isCellAllowed(0, 0));
    takeJournal();

    updateTutorials(list, 0.02f);
    EXPECT_EQ(takeJournal(), (Journal{"a2:update", "b1:update"}));

    resetTutorials(list);
    EXPECT_EQ(takeJournal(), (Journal{"a1:reset", "a2:reset", "b1:reset"}));
    EXPECT_FALSE(isTutorialLessonActive(list));
    EXPECT_EQ(list[0]->mCurrentIndex, 0);
    EXPECT_EQ(list[0]->mCurrentLesson, list[0]->mLessons[0]);
    for (TutorialLesson* lesson : list[0]->mLessons) EXPECT_EQ(lesson->mState, TutorialLesson::Waiting);
}

// A lesson with nothing to teach reports done while it is read: the sequence
// does not move then, but moves past it as soon as it comes up.
TEST_F(TutorialRegistryTest, LessonDoneWhileReadIsPassedWhenItComesUp) {
    load({{"tutorial_lua", "load = { \"a_lua\", \"b_lua\" }\n"},
          {"a_lua", lessons(lesson("name = 'a1', doneAtRead = 1") + lesson("name = 'a2'"))},
          {"b_lua", lessons(lesson("name = 'b1', doneOn = 2") + lesson("name = 'b2', doneAtRead = 1") +
                            lesson("name = 'b3', doneWhenCurrent = 1") + lesson("name = 'b4'"))}});
    EXPECT_EQ(list[0]->mCurrentIndex, 0);
    EXPECT_EQ(list[0]->mCurrentLesson, list[0]->mLessons[0]);

    dispatchTutorialEvent(new GameEvent(GameEventType::LayoutChanged), list);
    EXPECT_EQ(takeJournal(), (Journal{"a2:current", "a2:event 2", "b1:event 2", "b2:current",
                                      "b3:current", "b4:current", "b4:event 2"}));
    EXPECT_EQ(list[0]->mCurrentIndex, 1);
    EXPECT_EQ(list[1]->mCurrentIndex, 3);
}

TEST(GameEvent, KindsCarryTheirFieldsAndDeleteThroughTheBase) {
    ChipDestroyInfo info;
    info.column = 3;
    info.row = 7;
    info.kinds = {1, 10, 14};
    std::vector<GameEvent*> events = {
        new BeginLevelGameEvent("level_12_lua"),
        new DestroyChipGameEvent(info),
        new GameEvent(GameEventType::LayoutChanged),
        new PlayLevelWindowGameEvent(nullptr),
        new BonusEvent(2, BonusEventAction::Bought),
        new BeginLevelGameEvent("level_3_lua", GameEventType::SkipLesson),
    };
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(static_cast<int>(events[i]->mType), static_cast<int>(i));
        EXPECT_FALSE(events[i]->mConsumed);
        EXPECT_TRUE(events[i]->mResult);
    }
    info.kinds.push_back(99);  // the event keeps its own copy
    auto* chip = static_cast<DestroyChipGameEvent*>(events[1]);
    EXPECT_EQ(chip->mInfo.column, 3);
    EXPECT_EQ(chip->mInfo.row, 7);
    EXPECT_EQ(chip->mInfo.kinds, (std::vector<int32_t>{1, 10, 14}));
    EXPECT_EQ(static_cast<BeginLevelGameEvent*>(events[0])->mLevelName, "level_12_lua");
    EXPECT_EQ(static_cast<BonusEvent*>(events[4])->mBonusKind, 2);
    for (GameEvent* event : events) delete event;  // the leak checker sees the subclasses' parts
}

}  // namespace

namespace {

// The board's question: a click on a cell acts only when every sequence's
// current lesson allows the cell (a scripted lesson refuses every cell while active).
TEST_F(TutorialRegistryTest, ACellIsAllowedOnlyWhenEveryCurrentLessonAllowsIt) {
    load({{"tutorial_lua", "load = { \"a_lua\", \"b_lua\" }\n"},
          {"a_lua", lessons(lesson("name = 'a1'"))},
          {"b_lua", lessons(lesson("name = 'b1', activateOn = 0, doneOn = 2"))}});
    EXPECT_TRUE(isTutorialCellAllowed(list, 3, 4));
    dispatchTutorialEvent(new BeginLevelGameEvent("level_1_lua"), list);
    EXPECT_FALSE(isTutorialCellAllowed(list, 3, 4));
    dispatchTutorialEvent(new GameEvent(GameEventType::LayoutChanged), list);
    EXPECT_EQ(list[1]->mCurrentLesson, nullptr);
    EXPECT_TRUE(isTutorialCellAllowed(list, 3, 4));
}

}  // namespace

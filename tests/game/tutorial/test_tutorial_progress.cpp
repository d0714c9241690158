#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "animationeditor/vector_stream.h"
#include "scripted_lesson.h"
#include "tutorial/tutorial_progress.h"
#include "tutorial/tutorial_registry.h"
#include "tutorial/tutorial_sequence.h"
#include "tutorial_content.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes u32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
Bytes name(const std::string& text) {
    Bytes out(text.begin(), text.end());
    out.push_back(0);
    return out;
}
Bytes record(const std::string& sequence, const Bytes& payload) {
    return name(sequence) + u32(static_cast<uint32_t>(payload.size())) + payload;
}

// The two-sequence example: a_lua at lesson 1, b_lua at lesson 2.
const Bytes kExample = u32(2) + record("a_lua", u32(1)) + record("b_lua", u32(2));

class TutorialProgressTest : public testing::Test {
protected:
    void SetUp() override {
        std::string three = lessons(lesson("name = 'x'") + lesson("name = 'y'") + lesson("name = 'z'"));
        TutorialContent content({{"tutorial_lua", "load = { \"a_lua\", \"b_lua\", \"empty_lua\" }\n"},
                                 {"a_lua", three},
                                 {"b_lua", three},
                                 {"empty_lua", "lessons = {}\n"}});
        TutorialLessonFactory factory = ScriptedLesson::factory();
        loadTutorialSequences(list, &factory);
        ASSERT_EQ(list.size(), 3u);
    }
    void TearDown() override { destroyTutorialSequences(list); }

    Bytes save() {
        Bytes bytes;
        AE::VectorStream stream(&bytes);
        saveTutorialProgress(stream, list);
        return bytes;
    }
    bool load(Bytes bytes) {
        AE::VectorStream stream(&bytes);
        return loadTutorialProgress(stream, list);
    }
    std::vector<int> indices() {
        std::vector<int> out;
        for (TutorialSequence* s : list) out.push_back(s->mCurrentIndex);
        return out;
    }
    void expectConsistent() {
        for (TutorialSequence* s : list) {
            const int count = static_cast<int>(s->mLessons.size());
            if (s->mCurrentIndex >= 0 && s->mCurrentIndex < count) {
                EXPECT_EQ(s->mCurrentLesson, s->mLessons[s->mCurrentIndex]) << s->mName;
            } else {
                EXPECT_EQ(s->mCurrentLesson, nullptr) << s->mName;
            }
        }
    }

    TutorialSequenceList list;
};

TEST_F(TutorialProgressTest, ExampleRoundTripsByteForByte) {
    ASSERT_TRUE(load(kExample));
    EXPECT_EQ(indices(), (std::vector<int>{1, 2, 0}));
    expectConsistent();
    delete list.back();  // the example names two sequences
    list.pop_back();
    EXPECT_EQ(save(), kExample);
}

TEST_F(TutorialProgressTest, FreshAndFinishedSequencesSaveAndReload) {
    // Fresh: every index 0; the empty sequence is finished from the start.
    EXPECT_EQ(save(), u32(3) + record("a_lua", u32(0)) + record("b_lua", u32(0)) +
                          record("empty_lua", u32(0)));
    // The last lesson of a_lua done: the lesson count is saved.
    for (int i = 0; i < 3; ++i) list[0]->mCurrentLesson->setState(TutorialLesson::Done);
    Bytes saved = save();
    EXPECT_EQ(saved, u32(3) + record("a_lua", u32(3)) + record("b_lua", u32(0)) +
                         record("empty_lua", u32(0)));

    resetTutorials(list);
    ASSERT_TRUE(load(saved));
    EXPECT_EQ(indices(), (std::vector<int>{3, 0, 0}));
    EXPECT_EQ(list[0]->mCurrentLesson, nullptr);
    EXPECT_EQ(list[2]->mCurrentLesson, nullptr);
    expectConsistent();
}

TEST_F(TutorialProgressTest, RecordsApplyByName) {
    struct Case {
        const char* what;
        Bytes section;
        std::vector<int> expected;
    } cases[] = {
        {"unknown sequence ignored, missing ones kept", u32(1) + record("zzz_lua", u32(2)), {0, 0, 0}},
        {"later record of a name wins", u32(2) + record("b_lua", u32(1)) + record("b_lua", u32(2)),
         {0, 2, 0}},
        {"index out of range leaves it finished", u32(2) + record("a_lua", u32(7)) +
                                                       record("b_lua", u32(0xFFFFFFFFu)),
         {7, -1, 0}},
        {"longer payload: its first four bytes", u32(1) + record("a_lua", u32(2) + u32(9)), {2, 0, 0}},
        {"bytes after the records are not read", u32(1) + record("a_lua", u32(1)) + Bytes{1, 2, 3},
         {1, 0, 0}},
    };
    for (const Case& c : cases) {
        resetTutorials(list);
        EXPECT_TRUE(load(c.section)) << c.what;
        EXPECT_EQ(indices(), c.expected) << c.what;
        expectConsistent();
    }
}

TEST_F(TutorialProgressTest, DamagedSectionChangesNothing) {
    struct Case {
        const char* what;
        Bytes section;
    } cases[] = {
        {"empty", {}},
        {"count cut", {2, 0}},
        {"fewer records than counted", u32(3) + record("a_lua", u32(1))},
        {"name without its zero", u32(1) + Bytes{'a', '_', 'l'}},
        {"length cut", u32(1) + name("a_lua") + Bytes{4, 0}},
        {"payload cut", u32(1) + name("a_lua") + u32(4) + Bytes{1, 0}},
        {"length far past the end", u32(1) + name("a_lua") + u32(0xFFFFFFF0u) + u32(1)},
        {"huge count", u32(0xFFFFFFFFu) + record("a_lua", u32(1))},
    };
    for (const Case& c : cases) {
        resetTutorials(list);
        list[1]->setCurrentIndex(2);
        EXPECT_FALSE(load(c.section)) << c.what;
        EXPECT_EQ(indices(), (std::vector<int>{0, 2, 0})) << c.what;
        expectConsistent();
    }
}

TEST_F(TutorialProgressTest, RecordTooShortForAnIndexIsSkipped) {
    for (size_t length : {0u, 1u, 3u}) {
        resetTutorials(list);
        Bytes section = u32(2) + record("a_lua", Bytes(length, 1)) + record("b_lua", u32(1));
        EXPECT_FALSE(load(section)) << length;
        EXPECT_EQ(indices(), (std::vector<int>{0, 1, 0})) << length;
    }
}

TEST(TutorialProgressDecoder, ReadsRecordsInFileOrder) {
    std::vector<TutorialProgressRecord> records;
    std::string error;
    ASSERT_TRUE(decodeTutorialProgress(kExample.data(), kExample.size(), &records, &error));
    ASSERT_EQ(records.size(), 2u);
    int32_t index = -9;
    EXPECT_EQ(records[0].name, "a_lua");
    EXPECT_TRUE(records[0].index(&index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(records[1].name, "b_lua");
    EXPECT_TRUE(records[1].index(&index));
    EXPECT_EQ(index, 2);

    Bytes cut(kExample.begin(), kExample.end() - 1);
    EXPECT_FALSE(decodeTutorialProgress(cut.data(), cut.size(), &records, &error));
    EXPECT_EQ(error, "record 1: payload cut short");
}

}  // namespace

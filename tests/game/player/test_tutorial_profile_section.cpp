#include <gtest/gtest.h>

#include "animationeditor/vector_stream.h"
#include "game/player/save_test_util.h"
#include "game/tutorial/scripted_lesson.h"
#include "game/tutorial/tutorial_content.h"
#include "player/game_properties.h"
#include "support/temp_dir.h"
#include "tutorial/tutorial_sequence.h"
#include "player/tutorial_profile_section.h"

namespace {

class TutorialProfileSectionTest : public testing::Test {
protected:
    void SetUp() override {
        std::string three = lessons(lesson("name = 'x'") + lesson("name = 'y'") + lesson("name = 'z'"));
        TutorialContent content({{"tutorial_lua", "load = { \"a_lua\", \"b_lua\" }\n"},
                                 {"a_lua", three},
                                 {"b_lua", three}});
        TutorialLessonFactory factory = ScriptedLesson::factory();
        loadTutorialSequences(list, &factory);
        ASSERT_EQ(list.size(), 2u);
    }
    void TearDown() override { destroyTutorialSequences(list); }

    TutorialSequenceList list;
    qvtest::TempDir dir;
};

TEST_F(TutorialProfileSectionTest, ProgressTravelsWithTheProfileFile) {
    {
        GameProperties properties(dir.path());
        registerTutorialSection(properties, list);
        list[0]->setCurrentIndex(2);
        list[1]->setCurrentIndex(3);  // finished
        ASSERT_TRUE(properties.saveProfile());
    }
    list[0]->setCurrentIndex(0);
    list[1]->setCurrentIndex(0);

    // Loaded before the tutorial plugs in: the bytes wait and are read at registration.
    GameProperties properties(dir.path());
    EXPECT_EQ(list[0]->mCurrentIndex, 0);
    registerTutorialSection(properties, list);
    EXPECT_EQ(list[0]->mCurrentIndex, 2);
    EXPECT_EQ(list[1]->mCurrentIndex, 3);
    EXPECT_EQ(list[1]->mCurrentLesson, nullptr);

    // Reloading with the tutorial registered reads it during the load.
    list[0]->setCurrentIndex(1);
    EXPECT_TRUE(properties.loadProfile(0));
    EXPECT_EQ(list[0]->mCurrentIndex, 2);
}

TEST_F(TutorialProfileSectionTest, DamagedTutorialSectionCostsOnlyTheTutorial) {
    SectionMap sections;
    {
        AE::VectorStream stream(&sections["profile"]);
        PlayerProfile profile;
        profile.mSilver = 999;
        profile.write(stream);
    }
    sections["tutorial"] = savetest::hexBytes("02000000 615f6c756100 04000000 01");
    std::vector<uint8_t> payload = writeSectionTable(sections);
    ASSERT_EQ(writeSaveFileAt(dir.file("profile_0.dat"), payload.data(), int(payload.size()), 0), 0);

    list[0]->setCurrentIndex(1);
    GameProperties properties(dir.path());
    registerTutorialSection(properties, list);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(properties.loadProfile(0));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(properties.profile()->mSilver, 999);
    EXPECT_EQ(list[0]->mCurrentIndex, 1);
}

}  // namespace

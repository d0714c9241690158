#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "animationeditor/vector_stream.h"
#include "player/game_properties.h"
#include "flow/main_mode.h"
#include "flow/main_mode_map_state.h"
#include "player/main_mode_section.h"
#include "flow/mode_factory.h"
#include "player/platform_config.h"
#include "player/profile_sections.h"
#include "player/save_file.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"

namespace {

// "main_mode_lua" over package "default" (levels without scripts take the default thresholds).
class ModeContent {
public:
    explicit ModeContent(const std::string& mainMode) {
        const std::string media = mDir.file("media");
        qvtest::writeFile(media + "/main_mode.lua", mainMode);
        qvtest::writeMedia(media, {{"default", {{"main_mode_lua", "/main_mode.lua"}}}});
        mEngine = std::make_unique<qvtest::MediaEngine>(mDir.path());
        std::filesystem::create_directories(mDir.file("save"));
    }
    std::string saveFolder() const { return mDir.file("save/"); }

private:
    qvtest::TempDir mDir;
    std::unique_ptr<qvtest::MediaEngine> mEngine;
};

const char kTwoParts[] = R"(
episodes = { { mapScene = "map_xml", parts = {
    { levels = { { file = "a" }, { file = "b" } } },
    { levels = { { file = "c" } } } } } }
)";
const char kThreeParts[] = R"(
episodes = { { mapScene = "map_xml", parts = {
    { levels = { { file = "a" }, { file = "b" } } },
    { levels = { { file = "c" } } },
    { levels = { { file = "d" } } } } } }
)";

const std::vector<PlatformModeEntry> kMainModeEntry = {{"MainMode", {{"suffix", ""}}}};

MainMode* mainMode(GameProperties& properties) { return static_cast<MainMode*>(properties.findMode("MainMode")); }

TEST(ModeFactory, OnlyTheWholeCaseSensitiveNameMakesAMainModeWithItsSuffix) {
    ModeContent content(kTwoParts);
    const struct {
        const char* className;
        bool made;
    } cases[] = {{"MainMode", true}, {"mainmode", false}, {"MainModeX", false}, {"Main", false}, {"", false}};
    for (const auto& c : cases) {
        std::unique_ptr<Mode> mode(createMode(c.className, {{"suffix", "_hd"}}));
        EXPECT_EQ(mode != nullptr, c.made) << c.className;
        if (mode) {
            EXPECT_EQ(static_cast<MainMode*>(mode.get())->getSuffix(), "_hd");
        }
    }
}

TEST(GameModes, TheTableKeepsTheFirstEntryOfAClassAndLookingUpAddsNothing) {
    ModeContent content(kTwoParts);
    {
        PlatformConfig config(1, {{"Unknown", {}}, {"MainMode", {{"suffix", ""}}}, {"MainMode", {{"suffix", "_b"}}}});
        GameProperties properties(content.saveFolder());
        ASSERT_EQ(properties.modes().size(), 1u);
        EXPECT_EQ(mainMode(properties)->getSuffix(), "");
        EXPECT_EQ(properties.findMode("Unknown"), nullptr);
        EXPECT_EQ(properties.findMode("mainMode"), nullptr);
        EXPECT_EQ(properties.modes().size(), 1u);
        EXPECT_EQ(properties.currentMode(), nullptr);
    }
    PlatformConfig config(1, {{"Unknown", {}}});
    GameProperties properties(content.saveFolder());
    EXPECT_TRUE(properties.modes().empty());
    EXPECT_EQ(properties.currentMode(), nullptr);
}

TEST(GameModes, TheMainModeSectionIsSavedFirstAndReadBack) {
    ModeContent content(kTwoParts);
    PlatformConfig config(1, kMainModeEntry);
    {
        GameProperties properties(content.saveFolder());
        MainMode* mode = mainMode(properties);
        ASSERT_NE(mode, nullptr);
        mode->episodes()[0]->mParts[0]->mLevels[0]->mCompleted = true;
        mode->episodes()[0]->mParts[0]->mLevels[0]->mBestScore = 1234;
        mode->updateProgress();
        ASSERT_TRUE(properties.saveProfile());
    }
    SaveFileInfo info = inspectSaveFile(content.saveFolder() + "profile_0.dat", 1);
    ASSERT_EQ(info.status, SaveFileStatus::Ok);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> sections;
    ASSERT_TRUE(listSectionTable(info.payload.data(), info.payload.size(), sections));
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].first, "MainMode");
    EXPECT_EQ(sections[0].second.size(), 37u + 4 + 2 * (1 + 4) + 5 * 3);

    GameProperties properties(content.saveFolder());
    MainMode* mode = mainMode(properties);
    const EpisodeLevel* first = mode->getEpisodes()[0]->mParts[0]->mLevels[0];
    EXPECT_TRUE(first->mCompleted);
    EXPECT_EQ(first->mBestScore, 1234);
    EXPECT_TRUE(mode->hasProgress());
    EXPECT_EQ(mode->getCurrentLevel(), 1);

    // A new game clears the tree but keeps the profile file's other sections.
    properties.newGame();
    EXPECT_FALSE(mode->getEpisodes()[0]->mParts[0]->mLevels[0]->mCompleted);
    EXPECT_FALSE(mode->getEpisodes()[0]->mParts[0]->mClosed);
    EXPECT_TRUE(mode->getEpisodes()[0]->mParts[1]->mClosed);
    EXPECT_FALSE(mode->hasProgress());
}

TEST(GameModes, AMissingOrMisshapenSectionLeavesTheModeResetAndTheProfileLoaded) {
    ModeContent content(kTwoParts);
    const std::string file = content.saveFolder() + "profile_0.dat";
    {   // Written by a game without modes: no "MainMode" section at all.
        PlatformConfig none(1, {});
        GameProperties properties(content.saveFolder());
        properties.profile()->mSilver = 777;
        ASSERT_TRUE(properties.saveProfile());
    }
    {
        PlatformConfig config(1, kMainModeEntry);
        GameProperties properties(content.saveFolder());
        EXPECT_EQ(properties.profile()->mSilver, 777);
        EXPECT_FALSE(mainMode(properties)->hasProgress());
        EXPECT_EQ(mainMode(properties)->getHearts(), 5);
    }
    // A section written against other episode data (three parts) keeps what fits two.
    SaveFileInfo info = inspectSaveFile(file, 1);
    SectionMap sections;
    ASSERT_TRUE(parseSectionTable(info.payload.data(), info.payload.size(), sections));
    MainModeProgress longer;
    longer.hearts = 2;
    longer.hasProgress = true;
    longer.episodes.resize(1);
    longer.episodes[0].parts = {{false, {{true, 10}, {true, 20}}}, {false, {{true, 30}}}, {true, {{false, 0}}}};
    std::vector<uint8_t> bytes;
    AE::VectorStream stream(&bytes);
    writeMainModeSection(stream, longer);
    sections["MainMode"] = bytes;
    const std::vector<uint8_t> payload = writeSectionTable(sections);
    ASSERT_EQ(writeSaveFileAt(file, payload.data(), int(payload.size()), 1), 0);

    {
        PlatformConfig config(1, kMainModeEntry);
        GameProperties properties(content.saveFolder());
        EXPECT_EQ(properties.profile()->mSilver, 777);
        EXPECT_EQ(mainMode(properties)->getHearts(), 2);
        EXPECT_TRUE(mainMode(properties)->getEpisodes()[0]->mParts[0]->mLevels[0]->mCompleted);
        EXPECT_FALSE(std::filesystem::exists(file + ".bad"));
    }
    // A damaged section (cut short) leaves the mode reset.
    bytes.resize(bytes.size() - 3);
    sections["MainMode"] = bytes;
    const std::vector<uint8_t> damaged = writeSectionTable(sections);
    ASSERT_EQ(writeSaveFileAt(file, damaged.data(), int(damaged.size()), 1), 0);
    PlatformConfig config(1, kMainModeEntry);
    GameProperties properties(content.saveFolder());
    EXPECT_EQ(properties.profile()->mSilver, 777);
    EXPECT_EQ(mainMode(properties)->getHearts(), 5);
    EXPECT_FALSE(mainMode(properties)->getEpisodes()[0]->mParts[0]->mLevels[0]->mCompleted);
    // The profile is not refused; the file as it was is copied aside before a save drops that progress.
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(qvtest::readFile(file + ".bad"), qvtest::readFile(file));
}

TEST(GameModes, ASectionOfThreePartsReadsBackAgainstThreeParts) {
    ModeContent content(kThreeParts);
    PlatformConfig config(1, kMainModeEntry);
    MainModeProgress progress;
    progress.hearts = 2;
    progress.episodes.resize(1);
    progress.episodes[0].parts = {{false, {{true, 10}, {true, 20}}}, {false, {{true, 30}}}, {true, {{false, 0}}}};
    SectionMap sections;
    {
        GameProperties properties(content.saveFolder());
        AE::VectorStream profile(&sections["profile"]);
        properties.profile()->write(profile);
    }
    AE::VectorStream stream(&sections["MainMode"]);
    writeMainModeSection(stream, progress);
    const std::vector<uint8_t> payload = writeSectionTable(sections);
    ASSERT_EQ(writeSaveFileAt(content.saveFolder() + "profile_0.dat", payload.data(), int(payload.size()), 1), 0);
    const uint8_t id[8] = {};
    ASSERT_EQ(writeSaveFileAt(content.saveFolder() + "last_profile.dat", id, 8, 1), 0);

    GameProperties properties(content.saveFolder());
    MainMode* mode = mainMode(properties);
    EXPECT_EQ(mode->getHearts(), 2);
    EXPECT_EQ(mode->getEpisodes()[0]->mParts[1]->mLevels[0]->mBestScore, 30);
    // The third part follows an open part, so the locks leave it as stored: closed.
    EXPECT_TRUE(mode->getEpisodes()[0]->mParts[2]->mClosed);
    mode->updateProgress();
    EXPECT_EQ(mode->getCurrentPart(), 2);
}

TEST(EverydayBonusDay, FollowsTheStampAndTheRun) {
    constexpr uint64_t day = 86400;
    const uint64_t now = 20000 * day + 3600;
    const struct {
        uint64_t stamp;
        int32_t index;
        int32_t due;
    } cases[] = {
        {0, 0, 1},                        // a fresh profile
        {20000 * day, 3, 0},              // today's already taken
        {20001 * day, 3, 0},              // the clock went back: nothing until that day
        {19999 * day, 0, 1},              // the day after a new game
        {19999 * day, 2, 3},              // the run goes on
        {19999 * day, 5, 5},              // and stays at its last pack
        {19998 * day, 4, 1},              // a missed day starts again
    };
    for (const auto& c : cases) {
        PlayerProfile profile;
        profile.mDayStamp = c.stamp;
        profile.mDayIndex = c.index;
        EXPECT_EQ(dueEverydayBonusDay(profile, now), c.due) << c.stamp / day << " " << c.index;
    }
}

}  // namespace

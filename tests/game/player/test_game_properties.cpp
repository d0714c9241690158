#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

#include <filesystem>

#include "animationeditor/vector_stream.h"
#include "game/player/save_test_util.h"
#include "player/game_properties.h"
#include "player/platform_config.h"
#include "player/profile_sections.h"
#include "player/save_file.h"
#include "support/temp_dir.h"
#include "tutorial/tutorial_progress.h"

using savetest::fileBytes;
using savetest::hexBytes;
using savetest::putFile;

namespace {

bool exists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> sectionNames(const std::string& path, int platformCode) {
    SaveFileInfo info = inspectSaveFile(path, platformCode);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> list;
    std::vector<std::string> names;
    if (info.status == SaveFileStatus::Ok && listSectionTable(info.payload.data(), info.payload.size(), list)) {
        for (auto& entry : list) names.push_back(entry.first);
    }
    return names;
}

// A stand-in for a mode's section: a counter and whether it was reset.
struct FakeSection {
    uint32_t value = 0;
    int resets = 0;
    bool lastResetWasNewGame = false;
    ProfileSection section() {
        ProfileSection s;
        s.write = [this](AE::DataStream& out) { AE::writeValue<uint32_t>(out, value); };
        s.read = [this](AE::DataStream& in) {
            value = AE::readValue<uint32_t>(in);
            return true;
        };
        s.reset = [this](bool newGame) {
            value = 0;
            ++resets;
            lastResetWasNewGame = newGame;
        };
        return s;
    }
};

TEST(GameProperties, FirstStartAndFirstSave) {
    qvtest::TempDir dir;
    PlatformConfig config(1, {});
    GameProperties properties(dir.path());
    EXPECT_EQ(properties.profile()->mGold, 20);
    EXPECT_FALSE(exists(dir.file("last_profile.dat")));

    FakeSection mode;
    mode.value = 7;
    properties.registerSection("MainMode", mode.section());
    ASSERT_TRUE(properties.saveProfile());
    EXPECT_EQ(fileBytes(dir.file("last_profile.dat")), hexBytes("00000000 41000100 0000000000000000"));
    EXPECT_EQ(sectionNames(dir.file("profile_0.dat"), 1),
              (std::vector<std::string>{"MainMode", "profile", "tutorial"}));
}

TEST(GameProperties, SaveAndLoadRoundTrip) {
    qvtest::TempDir dir;
    FakeSection mode;
    {
        GameProperties properties(dir.path());
        properties.registerSection("MainMode", mode.section());
        properties.profile()->mSilver = 1234;
        properties.profile()->mLaunchCounter = 3;
        mode.value = 99;
        ASSERT_TRUE(properties.saveProfile());
    }
    mode.value = 0;
    GameProperties properties(dir.path());
    EXPECT_EQ(properties.profile()->mSilver, 1234);
    EXPECT_EQ(properties.profile()->mLaunchCounter, 3);
    // Registered after the load: the kept bytes are read at registration.
    properties.registerSection("MainMode", mode.section());
    EXPECT_EQ(mode.value, 99u);
    EXPECT_TRUE(properties.keptSections().count("MainMode") == 0);

    // A reload with the section registered reads it during the load.
    mode.value = 1;
    EXPECT_TRUE(properties.loadProfile(0));
    EXPECT_EQ(mode.value, 99u);

    properties.newGame();
    EXPECT_TRUE(mode.lastResetWasNewGame);
    EXPECT_EQ(properties.profile()->mSilver, 350);
    EXPECT_EQ(properties.profile()->mLaunchCounter, 3);
    properties.resetAll();
    EXPECT_FALSE(mode.lastResetWasNewGame);
    EXPECT_EQ(properties.profile()->mLaunchCounter, 0);
}

TEST(GameProperties, TutorialBytesSurviveWithoutATutorial) {
    qvtest::TempDir dir;
    const std::vector<uint8_t> tutorial =
        hexBytes("02000000 615f6c756100 04000000 01000000 625f6c756100 04000000 02000000");
    SectionMap sections;
    {
        std::vector<uint8_t>& profile = sections["profile"];
        AE::VectorStream stream(&profile);
        PlayerProfile p;
        p.mGold = 55;
        p.write(stream);
    }
    sections["tutorial"] = tutorial;
    std::vector<uint8_t> payload = writeSectionTable(sections);
    ASSERT_EQ(writeSaveFileAt(dir.file("profile_0.dat"), payload.data(), int(payload.size()), 0), 0);
    uint64_t id = 0;
    ASSERT_EQ(writeSaveFileAt(dir.file("last_profile.dat"), &id, 8, 0), 0);

    GameProperties properties(dir.path());
    EXPECT_EQ(properties.profile()->mGold, 55);
    properties.profile()->mGold = 56;
    ASSERT_TRUE(properties.saveProfile());
    SaveFileInfo info = inspectSaveFile(dir.file("profile_0.dat"), 0);
    SectionMap saved;
    ASSERT_TRUE(parseSectionTable(info.payload.data(), info.payload.size(), saved));
    EXPECT_EQ(saved["tutorial"], tutorial);

    std::vector<TutorialProgressRecord> records;
    ASSERT_TRUE(decodeTutorialProgress(tutorial.data(), tutorial.size(), &records, nullptr));
    ASSERT_EQ(records.size(), 2u);
    int32_t index = 0;
    EXPECT_EQ(records[1].name, "b_lua");
    EXPECT_TRUE(records[1].index(&index));
    EXPECT_EQ(index, 2);
}

// Profile files that must be refused: each is kept as ".bad", one ERROR line
// names it, and the game goes on with a fresh profile.
TEST(GameProperties, DamagedProfileFilesAreKeptAside) {
    std::vector<uint8_t> good;
    {
        qvtest::TempDir dir;
        GameProperties properties(dir.path());
        properties.profile()->mSilver = 777;
        ASSERT_TRUE(properties.saveProfile());
        good = fileBytes(dir.file("profile_0.dat"));
    }
    auto withPayload = [](std::vector<uint8_t> payload) {
        return buildSaveFileBytes(payload.data(), int(payload.size()), 0);
    };
    std::vector<uint8_t> payload(good.begin() + 8, good.end());
    // The byte sum cannot see trailing zero bytes that were cut off.
    std::vector<uint8_t> cut = payload;
    while (cut.back() == 0) cut.pop_back();
    std::vector<uint8_t> flipped = good;
    flipped[40] ^= 0x10;
    SectionMap noProfile;
    noProfile["tutorial"] = hexBytes("00000000");
    std::vector<uint8_t> shortProfile = hexBytes("01000000 70726f66696c6500 04000000 0a000000");

    struct Case {
        const char* what;
        std::vector<uint8_t> file;
    };
    const std::vector<Case> cases = {
        {"checksum mismatch", flipped},
        {"another platform code", buildSaveFileBytes(payload.data(), int(payload.size()), 3)},
        {"trailing zeros cut off", withPayload(cut)},
        {"bytes after the last section", withPayload([&] { auto p = payload; p.push_back(1); return p; }())},
        {"no profile section", withPayload(writeSectionTable(noProfile))},
        {"profile section cut short", withPayload(shortProfile)},
        {"section count beyond the data", withPayload(hexBytes("ffffffff 6100"))},
        {"5-byte file", hexBytes("0102030405")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qvtest::TempDir dir;
        putFile(dir.file("profile_0.dat"), c.file);
        uint64_t id = 0;
        ASSERT_EQ(writeSaveFileAt(dir.file("last_profile.dat"), &id, 8, 0), 0);
        testing::internal::CaptureStderr();
        GameProperties properties(dir.path());
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(properties.profile()->mSilver, 350);
        EXPECT_FALSE(exists(dir.file("profile_0.dat")));
        EXPECT_EQ(fileBytes(dir.file("profile_0.dat.bad")), c.file);
        EXPECT_NE(log.find("ERROR:"), std::string::npos);
        EXPECT_NE(log.find("profile_0.dat.bad"), std::string::npos) << log;
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
        // The next save writes a fresh file and leaves the kept one alone.
        ASSERT_TRUE(properties.saveProfile());
        EXPECT_EQ(fileBytes(dir.file("profile_0.dat.bad")), c.file);
    }
}

TEST(GameProperties, UnreadableProfileIsKeptAsideToo) {
    qvtest::TempDir dir;
    std::filesystem::create_directory(dir.file("profile_0.dat"));
    qvtest::writeFile(dir.file("profile_0.dat/inside"), "x");
    uint64_t id = 0;
    ASSERT_EQ(writeSaveFileAt(dir.file("last_profile.dat"), &id, 8, 0), 0);
    testing::internal::CaptureStderr();
    GameProperties properties(dir.path());
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("ERROR:"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("profile_0.dat.bad")));
    EXPECT_TRUE(properties.saveProfile());
    EXPECT_EQ(inspectSaveFile(dir.file("x/profile_0.dat"), 0).status, SaveFileStatus::Missing);
    qvtest::writeFile(dir.file("plain"), "x");
    EXPECT_EQ(inspectSaveFile(dir.file("plain/profile_0.dat"), 0).status, SaveFileStatus::ReadError);
}

// A pointer file that is not exactly one id is kept aside, and the profile
// file that is there is loaded in its place.
TEST(GameProperties, LastProfileNeedsExactlyEightBytes) {
    for (int size : {4, 9}) {
        SCOPED_TRACE(size);
        qvtest::TempDir dir;
        {
            GameProperties properties(dir.path());
            properties.profile()->mGold = 99;
            ASSERT_TRUE(properties.saveProfile());
        }
        std::vector<uint8_t> payload(size_t(size), 0);
        ASSERT_EQ(writeSaveFileAt(dir.file("last_profile.dat"), payload.data(), size, 0), 0);
        testing::internal::CaptureStderr();
        GameProperties properties(dir.path());
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(properties.profile()->mGold, 99);
        EXPECT_TRUE(exists(dir.file("last_profile.dat.bad")));
        EXPECT_NE(log.find("loading '" + dir.file("profile_0.dat") + "'"), std::string::npos) << log;
    }
}

// Without a usable pointer and without the default profile, the profile file
// of the lowest id that exists is loaded; other names are nobody's profile.
TEST(GameProperties, WithoutThePointerTheLowestExistingProfileIsLoaded) {
    qvtest::TempDir dir;
    for (uint64_t id : {12u, 3u}) {
        GameProperties properties(dir.path());
        properties.profile()->mProfileId = id;
        properties.profile()->mGold = int(id);
        ASSERT_TRUE(properties.saveProfile());
    }
    std::filesystem::remove(dir.file("last_profile.dat"));
    qvtest::writeFile(dir.file("profile_01.dat"), "not ours");
    qvtest::writeFile(dir.file("profile_x.dat"), "not ours");
    testing::internal::CaptureStderr();
    GameProperties properties(dir.path());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(properties.profile()->mGold, 3);
    EXPECT_EQ(properties.profile()->mProfileId, 3u);
}

// A save never replaces a profile file that was not loaded: it is kept aside
// first, or, when it cannot be, the save is refused.
TEST(GameProperties, AProfileFileThatWasNotLoadedIsNeverWrittenOver) {
    qvtest::TempDir dir;
    GameProperties properties(dir.path());  // nothing there yet
    const std::vector<uint8_t> other = savetest::hexBytes("0102030405060708 09");
    putFile(dir.file("profile_0.dat"), other);  // appeared after the load
    testing::internal::CaptureStderr();
    ASSERT_TRUE(properties.saveProfile());
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(fileBytes(dir.file("profile_0.dat.bad")), other);
    EXPECT_NE(log.find("kept as '" + dir.file("profile_0.dat.bad") + "'"), std::string::npos) << log;
    // Its own file it writes over without a word.
    testing::internal::CaptureStderr();
    ASSERT_TRUE(properties.saveProfile());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(exists(dir.file("profile_0.dat.bad.1")));
}

// A failed save logs one error line with the path and the reason each time,
// keeps the old file, and the next save tries again.
TEST(GameProperties, AFailedSaveSaysWhyAndTheNextSaveTriesAgain) {
    qvtest::TempDir dir;
    GameProperties properties(dir.path());
    properties.profile()->mSilver = 1;
    ASSERT_TRUE(properties.saveProfile());
    const std::vector<uint8_t> before = fileBytes(dir.file("profile_0.dat"));
    properties.profile()->mSilver = 2;

    // A full disk: writes past the file-size limit fail as they would with no space left.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 16;
    // The log is caught on a pipe: a file would meet the same limit.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::fflush(stderr);
    const int oldStderr = dup(2);
    dup2(fds[1], 2);
    close(fds[1]);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved1 = properties.saveProfile();
    const bool saved2 = properties.saveProfile();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    std::fflush(stderr);
    dup2(oldStderr, 2);
    close(oldStderr);
    std::string log;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof(buffer))) > 0;) log.append(buffer, size_t(n));
    close(fds[0]);
    EXPECT_FALSE(saved1);
    EXPECT_FALSE(saved2);
    const std::string line = "ERROR: Save file '" + dir.file("profile_0.dat") + "' not written: cannot write '" +
                             dir.file("profile_0.dat.tmp") + "': File too large\n";
    EXPECT_EQ(log, line + line);
    EXPECT_EQ(fileBytes(dir.file("profile_0.dat")), before);
    EXPECT_FALSE(exists(dir.file("profile_0.dat.tmp")));

    ASSERT_TRUE(properties.saveProfile());
    PlayerProfile stored;
    ASSERT_TRUE(savetest::storedProfile(dir.path(), stored));
    EXPECT_EQ(stored.mSilver, 2);
}

TEST(GameProperties, WithoutAPerUserFolderNothingIsWrittenHere) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir inside(dir.path());
    const char* names[] = {"XDG_DATA_HOME", "HOME"};
    std::string saved[2];
    bool had[2];
    for (int i = 0; i < 2; ++i) {
        const char* value = getenv(names[i]);
        had[i] = value != nullptr;
        saved[i] = value ? value : "";
    }
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/", 1);
    testing::internal::CaptureStderr();
    {
        GameProperties properties;
        EXPECT_FALSE(properties.saveProfile());
    }
    const std::string log = testing::internal::GetCapturedStderr();
    for (int i = 0; i < 2; ++i) {
        if (had[i]) {
            setenv(names[i], saved[i].c_str(), 1);
        } else {
            unsetenv(names[i]);
        }
    }
    EXPECT_NE(log.find("WARNING:"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(GameProperties, PlatformConfigFromScript) {
    std::unique_ptr<PlatformConfig> config(PlatformConfig::fromScriptText(
        "platformCode = 7\n"
        "modes = { { class = \"MainMode\", params = { { key = \"suffix\", val = \"_a\" } } },\n"
        "          { class = \"Other\" } }\n"));
    EXPECT_EQ(config->platformCode(), 7);
    ASSERT_EQ(config->modes().size(), 2u);
    EXPECT_EQ(config->modes()[0].className, "MainMode");
    EXPECT_EQ(config->modes()[0].params.at("suffix"), "_a");
    EXPECT_TRUE(config->modes()[1].params.empty());
    EXPECT_EQ(currentPlatformCode(), 7);

    std::unique_ptr<PlatformConfig> empty(PlatformConfig::fromScriptText("platformCode = 'x'"));
    EXPECT_EQ(empty->platformCode(), 0);
    EXPECT_TRUE(empty->modes().empty());
}

}  // namespace

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "game/player/save_test_util.h"
#include "player/game_properties.h"
#include "player/main_mode_section.h"
#include "player/save_dump_text.h"
#include "player/save_file.h"
#include "support/temp_dir.h"

namespace {

std::string run(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0) output.append(buffer, n);
    int rc = pclose(pipe);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return output;
}

bool hasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

TEST(SaveDump, ShowsContainerSectionsAndFields) {
    qvtest::TempDir dir;
    MainModeProgress progress;
    progress.episodes.resize(1);
    progress.episodes[0].parts.resize(1);
    progress.episodes[0].parts[0].levels.resize(2);
    progress.episodes[0].parts[0].closed = false;
    progress.episodes[0].parts[0].levels[0] = {true, 1200};
    progress.hearts = 4;
    {
        GameProperties properties(dir.path());
        ProfileSection section;
        section.write = [&](AE::DataStream& s) { writeMainModeSection(s, progress); };
        properties.registerSection("MainMode", section);
        properties.profile()->mSilver = 321;
        properties.profile()->mBoughtOffers["winter:3"] = "1";
        ASSERT_TRUE(properties.saveProfile());
    }
    qvtest::writeFile(dir.file("main_mode.lua"),
                      "episodes = { { parts = { { levels = { { file = 'a' }, { file = 'b' } } } } } }\n");

    int status = -1;
    const std::string tool = QV_BINARY_DIR "/save_dump";
    std::string out = run(tool + " --episodes " + dir.file("main_mode.lua") + " " + dir.file("profile_0.dat"),
                          &status);
    EXPECT_EQ(status, 0) << out;
    for (const char* line : {"checksum_ok = 1", "platform_code = 0", "format = 65", "status = ok", "sections = 3",
                             "section.0 = \"MainMode\" 56", "section.1 = \"profile\" 251",
                             "section.2 = \"tutorial\" 4", "profile.version = 10", "profile.silver = 321",
                             "profile.gold = 20", "profile.bought_offer.\"winter:3\" = \"1\"",
                             "MainMode.version = 13", "MainMode.hearts = 4",
                             "MainMode.episode.0.part.0.closed = 0",
                             "MainMode.episode.0.part.0.level.0.best_score = 1200",
                             "MainMode.episode.0.part.0.level.1.completed = 0", "tutorial.sequences = 0"}) {
        EXPECT_TRUE(hasLine(out, line)) << line << "\n" << out;
    }

    out = run(tool + " " + dir.file("last_profile.dat"), &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(hasLine(out, "payload_size = 8")) << out;
    EXPECT_TRUE(hasLine(out, "last_profile.profile_id = 0")) << out;

    // Without episode data the tree stays bytes; a damaged file says so and fails.
    std::string text;
    EXPECT_EQ(dumpSaveFile(dir.file("profile_0.dat"), SaveDumpOptions(), text), 0);
    EXPECT_NE(text.find("MainMode.tree_bytes = "), std::string::npos) << text;
    std::vector<uint8_t> bytes = savetest::fileBytes(dir.file("profile_0.dat"));
    bytes[20] ^= 1;
    savetest::putFile(dir.file("profile_0.dat"), bytes);
    EXPECT_EQ(dumpSaveFile(dir.file("profile_0.dat"), SaveDumpOptions(), text), 1);
    EXPECT_TRUE(hasLine(text, "checksum_ok = 0")) << text;
    EXPECT_TRUE(hasLine(text, "status = damaged")) << text;
    std::vector<uint8_t> big = buildSaveFileBytes(std::vector<uint8_t>(70000, 1).data(), 70000, 5);
    savetest::putFile(dir.file("big.dat"), big);
    EXPECT_EQ(dumpSaveFile(dir.file("big.dat"), SaveDumpOptions(), text), 1);
    EXPECT_TRUE(hasLine(text, "platform_code = 5")) << text;
    EXPECT_TRUE(hasLine(text, "payload_size = 70000")) << text;
    EXPECT_TRUE(hasLine(text, "status = damaged")) << text;
    out = run(tool + " " + dir.file("missing.dat"), &status);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(hasLine(out, "status = missing")) << out;
}

}  // namespace

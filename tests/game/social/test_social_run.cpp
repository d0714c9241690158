// The social layer in the real game, by script: connect from the main menu,
// the map's gifts, the level start window's friends, and what was saved.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "game/player/save_test_util.h"
#include "image.h"
#include "image_png.h"
#include "player/game_properties.h"
#include "player/main_mode_section.h"
#include "player/platform_config.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

// The content, a windowed 1280 x 720 profile whose first level is won, with
// three hearts, and whose daily bonus is not due.
void prepareRun(const qvtest::TempDir& dir, const std::string& script) {
    std::filesystem::copy(QV_SOURCE_DIR "/media", dir.file("media"), std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(dir.file("data/Varnel/Glimvale"));
    qvtest::writeFile(dir.file("resolution.txt"), "1280\n720\n");
    qvtest::writeFile(dir.file("input.txt"), script);
    PlayerProfile profile;
    profile.mFullScreen = 0;
    profile.mDayStamp = (uint64_t(std::time(nullptr)) / 86400 + 2) * 86400;
    MainModeProgress progress;
    progress.hasProgress = true;
    progress.hearts = 3;
    progress.currentLevel = 1;
    progress.episodes.resize(1);
    progress.episodes[0].parts = {{false, {{true, 800}, {false, 0}, {false, 0}}},
                                  {true, {{false, 0}, {false, 0}, {false, 0}}}};
    ASSERT_EQ(savetest::writeProfileFile(dir.file("data/Varnel/Glimvale/profile_0.dat"), profile, progress), 0);
}

std::map<std::string, std::string> runEnvironment(const qvtest::TempDir& dir) {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return {{"SDL_VIDEODRIVER", driver && *driver ? driver : "offscreen"},
            {"ALSOFT_DRIVERS", "null"},
            {"QV_NO_MESSAGE_BOX", "1"},
            {"XDG_DATA_HOME", dir.file("data")},
            {"QV_INPUT_SCRIPT", dir.file("input.txt")},
            {"QV_FIXED_DT", "0.02"},
            {"QV_PERF_COUNTER", "7"}};
}

std::string saveDump(const std::string& file) {
    std::string out;
    const std::string command = std::string(QV_BINARY_DIR "/save_dump --episodes ") + QV_SOURCE_DIR +
                                "/media/main_mode.lua " + file + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
    return out;
}

bool hasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

void expectInOrder(const std::string& log, const std::vector<std::string>& lines) {
    size_t at = 0;
    for (const std::string& line : lines) {
        const size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "'" << line << "' missing or out of order in\n" << log;
        at = found + line.size();
    }
}

std::vector<uint8_t> readPng(const std::string& path, uint32_t* width, uint32_t* height) {
    const std::string bytes = qvtest::readFile(path);
    QV::MemoryImageSource source(bytes.data(), bytes.size());
    QV::PngImage image;
    std::string error;
    if (bytes.empty() || !image.decode(source, &error)) return {};
    *width = image.width();
    *height = image.height();
    return std::vector<uint8_t>(image.pixels(), image.pixels() + size_t(image.width()) * image.height() * 4);
}

// Compares a screenshot with tests/game/expected/<name>.png (QV_UPDATE_EXPECTED=1 writes it).
void expectPicture(const std::string& shot, const std::string& name) {
    uint32_t width = 0, height = 0;
    const std::vector<uint8_t> got = readPng(shot, &width, &height);
    ASSERT_FALSE(got.empty()) << "no picture in " << shot;
    const std::string expectedPath = std::string(QV_SOURCE_DIR) + "/tests/game/expected/" + name + ".png";
    if (std::getenv("QV_UPDATE_EXPECTED")) {
        std::filesystem::copy_file(shot, expectedPath, std::filesystem::copy_options::overwrite_existing);
        GTEST_SKIP() << "wrote " << expectedPath;
    }
    uint32_t ew = 0, eh = 0;
    const std::vector<uint8_t> expected = readPng(expectedPath, &ew, &eh);
    ASSERT_FALSE(expected.empty()) << "missing " << expectedPath;
    ASSERT_EQ(ew, width);
    ASSERT_EQ(eh, height);
    int off = 0;
    for (size_t i = 0; i + 3 < got.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(int(got[i + c]) - int(expected[i + c])) > 12) {
                ++off;
                break;
            }
        }
    }
    const std::string actualPath = std::string(QV_BINARY_DIR) + "/" + name + "_actual.png";
    if (off > int(width * height) / 200)
        std::filesystem::copy_file(shot, actualPath, std::filesystem::copy_options::overwrite_existing);
    EXPECT_LE(off, int(width * height) / 200) << off << " pixels differ; picture in " << actualPath;
}

}  // namespace

// Connect on the menu (waiting, then success), close the window, Play: the
// map's gifts button opens the three requests; accepting them all gives a
// heart and three extra moves. The level start window lists the two friends
// with progress. Closing the game writes the profile and the social data file.
TEST(SocialRun, ConnectAcceptTheGiftsSeeTheFriendsAndSave) {
    qvtest::TempDir dir;
    prepareRun(dir,
               "380 button btnFacebook\n420 screenshot connected.png\n440 button btnClose\n"
               "500 button btnPlay\n640 button btnMail\n720 screenshot mail.png\n760 button btnOk\n"
               "840 click 230 600\n940 screenshot start.png\n960 button btnClose\n1100 close\n");
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    ASSERT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    expectInOrder(log, {"FacebookMessageWnd: mode 0", "FACEBOOK session opened", "FACEBOOK: Get facebook user data",
                        "FACEBOOK: Get facebook user's friends data", "FacebookMessageWnd: mode 1",
                        "void MainModeMapState::initializeAsync() -begin"});
    EXPECT_EQ(log.find("ERROR:"), std::string::npos) << log;

    const std::string dump = saveDump(dir.file("data/Varnel/Glimvale/profile_0.dat"));
    for (const char* line : {"MainMode.read_ok = 1", "MainMode.hearts = 4", "MainMode.extra_moves = 3"})
        EXPECT_TRUE(hasLine(dump, line)) << line << " in\n" << dump;
    const std::string social = saveDump(dir.file("data/Varnel/Glimvale/facebook_data.dat"));
    EXPECT_TRUE(hasLine(social, "facebook.entries = 0")) << social;
    EXPECT_TRUE(hasLine(social, "facebook.read_ok = 1")) << social;

    expectPicture(dir.file("connected.png"), "social_run_connected");
    expectPicture(dir.file("mail.png"), "social_run_mail");
    expectPicture(dir.file("start.png"), "social_run_level_start");
}

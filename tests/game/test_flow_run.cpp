#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "game_properties.h"
#include "image.h"
#include "image_png.h"
#include "platform_config.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

// A run folder with the content, an empty data folder and a windowed 1280 x 720 profile.
void prepareRun(const qvtest::TempDir& dir, const std::string& script) {
    std::filesystem::create_directories(dir.file("media"));
    std::filesystem::copy(QV_SOURCE_DIR "/media", dir.file("media"), std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(dir.file("data/Varnel/Glimvale"));
    qvtest::writeFile(dir.file("resolution.txt"), "1280\n720\n");
    qvtest::writeFile(dir.file("input.txt"), script);
    PlatformConfig config(1, {});
    GameProperties properties(dir.file("data/Varnel/Glimvale/"));
    properties.profile()->mFullScreen = 0;
    properties.saveProfile();
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

TEST(FlowRun, EscapeOnTheMenuAsksAndAcceptingEndsWithStatusZeroAndSaves) {
    qvtest::TempDir dir;
    // The menu is up well before frame 400; "No" keeps it, the second question is accepted.
    prepareRun(dir, "400 key 27\n440 button btnReject\n480 button btnExit\n520 button btnAccept\n2000 close\n");
    const std::string profile = dir.file("data/Varnel/Glimvale/profile_0.dat");
    std::filesystem::remove(profile);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait(120.0)) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_NE(log.find("void MainMenu::initialize() -end"), std::string::npos);
    EXPECT_NE(log.find("MainMenu: exit accepted"), std::string::npos) << log;
    EXPECT_EQ(log.find("Screenshot"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(profile));  // saved on the way out
}

TEST(FlowScreenshot, MainMenuWithItsLakeAndVersion) {
    qvtest::TempDir dir;
    prepareRun(dir, "400 screenshot menu.png\n410 close\n");
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait(120.0)) << qvtest::readFile(dir.file("QV.log"));
    ASSERT_EQ(game.exitCode(), 0) << game.stderrText();
    uint32_t width = 0, height = 0;
    const std::vector<uint8_t> got = readPng(dir.file("menu.png"), &width, &height);
    ASSERT_FALSE(got.empty()) << qvtest::readFile(dir.file("QV.log"));

    const std::string expectedPath = std::string(QV_SOURCE_DIR) + "/tests/game/expected/main_menu.png";
    if (std::getenv("QV_UPDATE_EXPECTED")) {
        std::filesystem::copy_file(dir.file("menu.png"), expectedPath, std::filesystem::copy_options::overwrite_existing);
        GTEST_SKIP() << "wrote " << expectedPath;
    }
    uint32_t ew = 0, eh = 0;
    const std::vector<uint8_t> expected = readPng(expectedPath, &ew, &eh);
    ASSERT_FALSE(expected.empty()) << "missing " << expectedPath << " (QV_UPDATE_EXPECTED=1 writes it)";
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
    const std::string actualPath = std::string(QV_BINARY_DIR) + "/main_menu_actual.png";
    if (off > int(width * height) / 200)
        std::filesystem::copy_file(dir.file("menu.png"), actualPath, std::filesystem::copy_options::overwrite_existing);
    EXPECT_LE(off, int(width * height) / 200) << off << " pixels differ; picture in " << actualPath;
}

}  // namespace

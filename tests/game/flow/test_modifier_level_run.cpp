// The level with ice, chain bombs and a chip generator in the real game: a
// fresh profile whose episode starts with it (the run's own copy of the
// content), played for a few swaps and pictured mid-play.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "image.h"
#include "image_png.h"
#include "player/game_properties.h"
#include "player/platform_config.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

const char kLevel[] = "meadow_10";

// The run's content: the game's, with an episode of this one level on the
// map's first stone.
void prepareRun(const qvtest::TempDir& dir, const std::string& script) {
    std::filesystem::create_directories(dir.file("media"));
    std::filesystem::copy(QV_SOURCE_DIR "/media", dir.file("media"), std::filesystem::copy_options::recursive);
    qvtest::writeFile(dir.file("media/main_mode.lua"),
                      std::string("episodes = { { mapScene = \"map_episode_1_xml\", parts = { { openMarker = "
                                  "\"open_part_1\", levels = { { file = \"") +
                          kLevel +
                          "\", back1 = \"level_back_meadow_xml\", back2 = \"level_field_xml\", title = \"10\" } } } } } }\n");
    std::string map = qvtest::readFile(dir.file("media/scenes/flow/map_episode_1.xml"));
    const std::string place = "name=\"#meadow_1\"";
    const size_t at = map.find(place);
    ASSERT_NE(at, std::string::npos);
    map.replace(at, place.size(), std::string("name=\"#") + kLevel + "\"");
    qvtest::writeFile(dir.file("media/scenes/flow/map_episode_1.xml"), map);
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

// Compares a screenshot with its expected picture (QV_UPDATE_EXPECTED=1 writes it).
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
    const std::string actualPath = std::string(QV_BINARY_DIR) + "/" + name + "_actual.png";
    if (off > int(width * height) / 200)
        std::filesystem::copy_file(shot, actualPath, std::filesystem::copy_options::overwrite_existing);
    EXPECT_LE(off, int(width * height) / 200) << off << " pixels differ; picture in " << actualPath;
}

TEST(ModifierLevelScreenshot, IceChainBombsAndAGeneratorMidPlay) {
    qvtest::TempDir dir;
    // Menu, intro, the daily bonus, the level's stone and its start window as
    // for the first level; then swaps read off the board as it goes (those
    // that find no run there swap back) and a picture after the last.
    std::string script = "400 button btnPlay\n";
    for (int frame = 460; frame <= 820; frame += 30) script += std::to_string(frame) + " click 100 650\n";
    script += "1000 button btnOk\n1100 click 230 600\n1200 button btnPlay\n";
    const char* swaps[] = {"0 1 0 2", "3 1 4 1", "4 2 4 3", "0 7 0 8", "5 6 6 6", "4 3 4 4", "2 6 2 7"};
    int frame = 1510;
    for (const char* swap : swaps) {
        script += std::to_string(frame) + " swap " + swap + "\n";
        frame += 150;
    }
    const int shot = frame - 150 + 75;
    script += std::to_string(shot) + " screenshot level.png\n";
    script += std::to_string(shot + 20) + " close\n";
    prepareRun(dir, script);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    ASSERT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_NE(log.find(std::string("Level started: ") + kLevel), std::string::npos) << log;
    expectPicture(dir.file("level.png"), "modifier_level_play");
}

}  // namespace

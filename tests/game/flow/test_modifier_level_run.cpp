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
#include "game/flow/game_run.h"

namespace {

using namespace gamerun;

const char kLevel[] = "meadow_10";

// The run's content: the game's, with an episode of this one level on the
// map's first stone.
void prepareRun(const qvtest::TempDir& dir, const std::string& script) {
    copyContent(dir);
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
    prepareFolders(dir, script);
    PlatformConfig config(1, {});
    GameProperties properties(dir.file("data/Varnel/Glimvale/"));
    properties.profile()->mFullScreen = 0;
    properties.saveProfile();
}

TEST(ModifierLevelScreenshot, IceChainBombsAndAGeneratorMidPlay) {
    qvtest::TempDir dir;
    // Menu, intro, the daily bonus, the level's stone and its start window as
    // for the first level; then swaps read off the board as it goes (those
    // that find no run there swap back) and a picture after the last.
    std::string script = playThroughTheIntro();
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

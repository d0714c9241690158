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
#include "game/flow/game_run.h"

namespace {

using namespace gamerun;

// The content, a windowed 1280 x 720 profile whose first level is won, with
// three hearts, and whose daily bonus is not due.
void prepareRun(const qvtest::TempDir& dir, const std::string& script) {
    copyContent(dir);
    prepareFolders(dir, script);
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
    EXPECT_EQ(errorLines(log), "") << log;

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

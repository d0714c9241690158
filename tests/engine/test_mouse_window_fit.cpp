#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

// The real program in a window of another shape than its 1280x720 workspace:
// 800x500 letterboxes the workspace to 800x450 at a top offset of 25, so the
// scripted clicks must arrive at the matching workspace points (the size
// stays inside the smallest work area a test machine offers). The window
// back end is whatever the environment names (offscreen, or x11 under Xvfb).
TEST(WindowFitRun, ScriptedClicksArriveAtWorkspacePoints) {
    qvtest::TempDir dir;
    std::filesystem::create_directories(dir.file("media"));
    std::filesystem::copy(QV_SOURCE_DIR "/media", dir.file("media"), std::filesystem::copy_options::recursive);
    qvtest::writeFile(dir.file("input.txt"),
                      "0 resize 800 500\n"
                      "6 click 400 300\n"
                      "9 click 100 150\n"
                      "12 press right\n"
                      "12 move 0 0\n");

    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(),
                              {{"QV_INPUT_SCRIPT", dir.file("input.txt")},
                               {"XDG_DATA_HOME", dir.file("data")},
                               {"ALSOFT_DRIVERS", "null"},
                               {"QV_NO_MESSAGE_BOX", "1"}});
    const bool seen = qvtest::waitForFileText(dir.file("QV.log"), "Input script: right press", 60.0);
    game.signal(SIGTERM);
    ASSERT_TRUE(game.wait(30.0));
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    ASSERT_TRUE(seen) << log << game.stderrText();
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();

    for (const char* line : {"Input script: left press at window 400,300, workspace 640,440",
                             "Input script: left press at window 100,150, workspace 160,200",
                             "Input script: right press at window 0,0, workspace 0,-40"}) {
        EXPECT_NE(log.find(line), std::string::npos) << "missing: " << line << "\n" << log;
    }
}

}  // namespace

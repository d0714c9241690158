#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

struct Press {
    int x = 0, y = 0, windowW = 0, windowH = 0, workX = 0, workY = 0;
};

// The presses the program logged, in order.
std::vector<Press> presses(const std::string& log) {
    std::vector<Press> result;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        const size_t at = line.find("Input script: ");
        if (at == std::string::npos) continue;
        Press p;
        char button[8] = {};
        if (std::sscanf(line.c_str() + at, "Input script: %7s press at window %d,%d of %dx%d, workspace %d,%d", button,
                        &p.x, &p.y, &p.windowW, &p.windowH, &p.workX, &p.workY) == 7)
            result.push_back(p);
    }
    return result;
}

// Where a window point lands in a 1280x720 workspace letterboxed into the window.
void expectedWorkspace(const Press& p, int& x, int& y) {
    const double W = 1280, H = 720;
    const double scale = std::min(p.windowW / W, p.windowH / H);
    const double offsetX = std::trunc((p.windowW - W * scale) / 2);
    const double offsetY = std::trunc((p.windowH - H * scale) / 2);
    x = static_cast<int>(std::trunc((p.x - offsetX) / scale));
    y = static_cast<int>(std::trunc((p.y - offsetY) / scale));
}

// The real program in a window of another size than its 1280x720 workspace
// (the script asks for 800x500; the game may place its window otherwise, so
// the size is taken from the log): each scripted click must arrive at the
// workspace point that matches its window point. The window back end is
// whatever the environment names (offscreen, or x11 under Xvfb).
TEST(WindowFitRun, ScriptedClicksArriveAtWorkspacePoints) {
    qvtest::TempDir dir;
    std::filesystem::create_directories(dir.file("media"));
    std::filesystem::copy(QV_SOURCE_DIR "/media", dir.file("media"), std::filesystem::copy_options::recursive);
    qvtest::writeFile(dir.file("input.txt"),
                      "0 resize 800 500\n"
                      "6 click 400 300\n"
                      "9 click 100 150\n"
                      "12 press right\n"
                      "12 move 0 0\n"
                      "14 close\n");

    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(),
                              {{"QV_INPUT_SCRIPT", dir.file("input.txt")},
                               {"XDG_DATA_HOME", dir.file("data")},
                               {"ALSOFT_DRIVERS", "null"},
                               {"QV_NO_MESSAGE_BOX", "1"}});
    // The script ends the run; ctest's time limit is the only clock.
    ASSERT_TRUE(game.wait());
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    ASSERT_EQ(game.exitCode(), 0) << log << game.stderrText();

    const std::vector<Press> got = presses(log);
    ASSERT_EQ(got.size(), 3u) << log;
    const int points[3][2] = {{400, 300}, {100, 150}, {0, 0}};
    for (size_t i = 0; i < got.size(); ++i) {
        const Press& p = got[i];
        EXPECT_EQ(p.x, points[i][0]);
        EXPECT_EQ(p.y, points[i][1]);
        EXPECT_FALSE(p.windowW == 1280 && p.windowH == 720) << "the window must differ from the workspace";
        int x = 0, y = 0;
        expectedWorkspace(p, x, y);
        // One pixel of slack for single-precision rounding in the engine.
        EXPECT_NEAR(p.workX, x, 1) << "window " << p.windowW << "x" << p.windowH;
        EXPECT_NEAR(p.workY, y, 1) << "window " << p.windowW << "x" << p.windowH;
    }
}

}  // namespace

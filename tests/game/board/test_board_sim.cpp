// The headless simulator on our media and on the 5x5 test content.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

struct SimRun {
    std::string out;
    std::string err;
    int exitCode = -1;
};

SimRun runSim(const std::string& script) {
    qvtest::TempDir dir;
    qvtest::writeFile(dir.file("script.txt"), script);
    qvtest::ChildProcess child(std::string(QV_BINARY_DIR) + "/board_sim", {dir.file("script.txt")}, dir.path());
    EXPECT_TRUE(child.wait());
    return {child.stdoutText(), child.stderrText(), child.exitCode()};
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

const std::string kContent = std::string("content ") + QV_SOURCE_DIR + "/tests/game/board/content\n";

TEST(BoardSim, LoadsPrintsAndDumpsAFixedLevel) {
    // The dump after the entry animations, which fly the chips in.
    SimRun run = runSim(kContent + "# a comment\n\nload level_fixed\nprint\nready\ndump\nquit\nprint\n");
    EXPECT_EQ(run.exitCode, 0);
    std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), 9u) << run.out;
    EXPECT_EQ(out[0], "loaded 5x5");
    EXPECT_EQ(out[1], ". . . . .");
    EXPECT_EQ(out[2], "R:Simple+Chain G B R G");
    EXPECT_EQ(out[4], "B R G/2 B R");
    EXPECT_EQ(out[5], "R G B R R");
    EXPECT_EQ(out[8].rfind("{\"width\":5,\"height\":5,\"cells\":[", 0), 0u);
    EXPECT_NE(out[8].find("{\"column\":0,\"row\":1,\"solidity\":1,\"chip\":{\"group\":0,\"kinds\":[\"Simple\","
                          "\"Chain\"],\"position\":[0.5,1.5],\"target\":[0.5,1.5],\"moveState\":0,"
                          "\"detonating\":0,\"destroyed\":0,\"properties\":{}}}"),
              std::string::npos);
}

TEST(BoardSim, RandomLevelsRepeatWithTheSameCounter) {
    const std::string script = kContent + "counter 77\nload level_5x5\nprint\ndraw 12\n";
    SimRun first = runSim(script);
    SimRun second = runSim(script);
    EXPECT_EQ(first.out, second.out);
    std::vector<std::string> out = lines(first.out);
    ASSERT_EQ(out.size(), 8u) << first.out;
    EXPECT_EQ(out[2].rfind("# ", 0), 0u);  // the hole, then random colours
    EXPECT_NE(out[2].find("-:Wall"), std::string::npos);
    EXPECT_NE(out[6].find("/3"), std::string::npos);
    std::istringstream draws(out[7]);
    int count = 0;
    for (std::string name; draws >> name; ++count) {
        EXPECT_TRUE(name == "Simple_R" || name == "Simple_G" || name == "Simple_B") << name;
    }
    EXPECT_EQ(count, 12);
}

TEST(BoardSim, BadDataGivesErrorsAndTheRunGoesOn) {
    const std::string bad = std::string("content ") + QV_SOURCE_DIR + "/tests/game/board/bad_grid\n";
    SimRun run = runSim(kContent + "load level_unknown\nprint\nload level_notable\nload level_missing\n"
                        "load level_broken\ndt 0.5\nmode main\nload level_fixed\nmode plain\nfly\ndraw x\n" + bad +
                        "load level_fixed\nprint\n");
    EXPECT_EQ(run.exitCode, 0);
    std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), 16u) << run.out;
    EXPECT_EQ(out[0], "loaded 5x5");
    EXPECT_EQ(out[3], ". . R . .");
    EXPECT_EQ(out[7], "error: level script 'level_notable_lua' defines no GameField table");
    EXPECT_EQ(out[8], "error: no level script 'level_missing_lua'");
    EXPECT_EQ(out[9], "loaded 5x5");
    EXPECT_EQ(out[10].rfind("error: dt", 0), 0u);
    // The main mode starts only the levels of its episodes.
    EXPECT_EQ(out[11], "error: no level 'level_fixed' in the episodes");
    EXPECT_EQ(out[12], "error: unknown command 'fly'");
    EXPECT_EQ(out[13].rfind("error: ", 0), 0u);
    EXPECT_EQ(out[14], "error: gamefield_lua: gridWidth must be 1..255, not 0");
    EXPECT_EQ(out[15], "error: no level loaded");
    EXPECT_NE(run.err.find("ERROR: AvailableChips names 'Simple_Q'"), std::string::npos);
    EXPECT_NE(run.err.find("ERROR: Chips names 'Nothing'"), std::string::npos);
}

TEST(BoardSim, RunsOnTheGameMediaAlone) {
    // Our prototypes and field parameters load; there is no such level.
    SimRun run = runSim("counter 3\ndraw 1\nload level_none\n");
    EXPECT_EQ(lines(run.out),
              (std::vector<std::string>{"error: no level loaded", "error: no level script 'level_none_lua'"}));
    EXPECT_EQ(run.err.find("Assert"), std::string::npos);
}

}  // namespace

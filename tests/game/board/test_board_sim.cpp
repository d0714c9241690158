// The headless simulator on our media and on the 5x5 test content.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
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

const std::string kMedia = std::string(QV_SOURCE_DIR) + "/media";

// The simulator finds the game's content through QV_MEDIA_DIR, wherever the build folder is.
SimRun runSim(const std::string& script, const std::string& program = std::string(QV_BINARY_DIR) + "/board_sim",
              const std::map<std::string, std::string>& env = {{"QV_MEDIA_DIR", kMedia}}) {
    qvtest::TempDir dir;
    qvtest::writeFile(dir.file("script.txt"), script);
    qvtest::ChildProcess child(program, {dir.file("script.txt")}, dir.path(), env);
    EXPECT_TRUE(child.wait());
    return {child.stdoutText(), child.stderrText(), child.exitCode()};
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

size_t countOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
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

TEST(BoardSim, LevelDataThatRaisesOrRunsAwayIsOneErrorLine) {
    // Loose levels over the game's content; each read of them runs Lua code.
    qvtest::TempDir content;
    const std::string raising = "setmetatable({}, { __index = function(_, key) error('no ' .. key) end })";
    const std::string looping = "setmetatable({}, { __index = function() while true do end end })";
    const std::pair<const char*, std::string> cases[] = {
        {"level_field", "GameField = " + raising},
        {"level_grid", "GameField = { Grid = " + raising + " }"},
        {"level_chips", "GameField = { Chips = { { Type = 'Simple_R', PosX = 0, PosY = 1 }, " + raising + " } }"},
        {"level_cells", "GameField = { Grid = { Cells = { " + raising + " } } }"},
        {"level_globals", "setmetatable(_G, { __index = function(_, key) error('no global ' .. key) end })"},
        {"level_looping", "GameField = " + looping},
        {"level_runaway", "GameField = {}\nwhile true do end"},
        // Catching the stop in a loop does not outlive it.
        {"level_catching", "GameField = setmetatable({}, { __index = function()\n"
                           "  while true do pcall(function() while true do end end) end end })"},
        {"level_error_object", "GameField = setmetatable({}, { __index = function() error({}) end })"},
    };
    std::string script = "content " + content.path() + "\n";
    for (const auto& c : cases) {
        qvtest::writeFile(content.file(std::string(c.first) + ".lua"), c.second);
        script += std::string("load ") + c.first + "\n";
    }
    SimRun run = runSim(script + kContent + "load level_fixed\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), std::size(cases) + 1) << run.out << run.err;
    const char* const why[] = {"no Grid", "no Cells", "no Type", "no PosX", "no global GameField",
                               "stopped after 20000000 Lua instructions",
                               "stopped after 20000000 Lua instructions",
                               "stopped after 20000000 Lua instructions", "(an error value that is no text)"};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string head = std::string("error: level script '") + cases[i].first + "_lua' cannot be read: ";
        EXPECT_EQ(out[i].rfind(head, 0), 0u) << out[i];
        EXPECT_NE(out[i].find(why[i]), std::string::npos) << out[i];
        EXPECT_EQ(countOf(run.err, std::string("ERROR: level script '") + cases[i].first + "_lua'"), 1u) << run.err;
    }
    EXPECT_EQ(out.back(), "loaded 5x5");
    EXPECT_EQ(run.err.find("PANIC"), std::string::npos);
}

TEST(BoardSim, FieldParametersThatFreezeTheBoardAreRefusedByName) {
    const std::string level = "GameField = { AvailableChips = { 'Simple_R', 'Simple_G' }, Chips = {} }";
    const std::pair<std::string, std::string> cases[] = {
        {"chipAcceleration = -1", "error: gamefield_lua: chipAcceleration must be a number of at least 0, not -1"},
        {"chipAcceleration = 0/0", "error: gamefield_lua: chipAcceleration must be a number of at least 0, not "},
        {"chipAcceleration = 1/0", "error: gamefield_lua: chipAcceleration must be a number of at least 0, not inf"},
        {"estimateSuspendTime = 1e30",
         "error: gamefield_lua: estimateSuspendTime must be 0..60 seconds, not 1e+30"},
        {"estimateSuspendTime = -0.5", "error: gamefield_lua: estimateSuspendTime must be 0..60 seconds, not -0.5"},
        {"estimateSuspendTime = 0/0", "error: gamefield_lua: estimateSuspendTime must be 0..60 seconds, not "},
        {"chipAcceleration = 0, estimateSuspendTime = 60", "loaded 5x5"},
    };
    std::vector<std::unique_ptr<qvtest::TempDir>> dirs;
    std::string script;
    auto folder = [&](const std::string& gamefield) {
        dirs.push_back(std::make_unique<qvtest::TempDir>());
        qvtest::writeFile(dirs.back()->file("gamefield.lua"), gamefield);
        qvtest::writeFile(dirs.back()->file("level_small.lua"), level);
        script += "content " + dirs.back()->path() + "\nload level_small\n";
    };
    for (const auto& c : cases) folder("Parameters = { gridWidth = 5, gridHeight = 5, " + c.first + " }");
    folder("Parameters = setmetatable({}, { __index = function(_, key) error('no ' .. key) end })");
    folder("Parameters = setmetatable({}, { __index = function() while true do end end })");
    folder("Parameters = { gridWidth = 5, gridHeight = 5 }\nwhile true do end");
    SimRun run = runSim(script);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), std::size(cases) + 3) << run.out << run.err;
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(out[i].rfind(cases[i].second, 0), 0u) << out[i];
    const size_t more = std::size(cases);
    EXPECT_EQ(out[more].rfind("error: gamefield_lua: cannot read Parameters: ", 0), 0u) << out[more];
    EXPECT_NE(out[more].find("no gridWidth"), std::string::npos) << out[more];
    EXPECT_EQ(out[more + 1].rfind("error: gamefield_lua: cannot read Parameters: ", 0), 0u) << out[more + 1];
    EXPECT_NE(out[more + 1].find("stopped after"), std::string::npos) << out[more + 1];
    EXPECT_EQ(out[more + 2], "error: Failed to load config file gamefield_lua: stopped after 20000000 Lua instructions");
}

TEST(BoardSim, EngineContentErrorsGiveErrorLines) {
    // A chip prototype whose picture is a particle effect that does not exist.
    qvtest::TempDir missingEffect;
    qvtest::writeFile(missingEffect.file("chip_prototypes.lua"),
                      "ChipPrototypes = { { Name = 'Simple', DropRate = 1, Behavior = { { Name = 'Simple',"
                      " MultipleColors = 1, OnIdleDrawables = { { 'ParticleFX', 'no_such_fx', '', 10 } } } } } }");
    qvtest::writeFile(missingEffect.file("level_small.lua"), "GameField = { Chips = {} }");
    // A whole content folder whose config does not parse.
    qvtest::TempDir brokenConfig;
    qvtest::writeFile(brokenConfig.file("filelist.lua"), "directories = {}");
    qvtest::writeFile(brokenConfig.file("config.lua"), "config = ");
    SimRun run = runSim("content " + missingEffect.path() + "\nload level_small\ncontent " + brokenConfig.path() +
                        "\nload level_fixed\n" + kContent + "load level_fixed\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), 4u) << run.out << run.err;
    EXPECT_EQ(out[0].rfind("error: ", 0), 0u) << out[0];
    EXPECT_NE(out[0].find("no_such_fx"), std::string::npos) << out[0];
    EXPECT_EQ(out[1], "error: Failed to load config file");
    EXPECT_EQ(out[2], "error: no content: the content '" + brokenConfig.path() + "' failed: Failed to load config file");
    EXPECT_EQ(out[3], "loaded 5x5");
}

TEST(BoardSim, AFatalErrorWhileALayerIsPoppedFreesTheLayer) {
    // The chain of the chained chip asks, as it goes, for a layer no prototype
    // has: a fatal error while the chain is off its chip. Under the address
    // sanitizer a leak of that layer fails the run's status.
    qvtest::TempDir content;
    qvtest::writeFile(content.file("chip_prototypes.lua"),
                      "ChipPrototypes = {\n"
                      "  { Name = 'Simple', DropRate = 1, Behavior = { { Name = 'Simple', MultipleColors = 1 } } },\n"
                      "  { Name = 'Trap', Behavior = { { Name = 'Simple', MultipleColors = 1 },\n"
                      "    { Name = 'Chain', MultipleColors = 0, CanFalling = 0,"
                      " OnDestroyActions = { 'AddBehavior:SuperBomb' } } } },\n}\n");
    qvtest::writeFile(content.file("gamefield.lua"), "Parameters = { gridWidth = 5, gridHeight = 5 }");
    std::string level = qvtest::readFile(std::string(QV_SOURCE_DIR) + "/tests/game/board/content/play_chain.lua");
    level.replace(level.find("Chain_R"), 7, "Trap_R");
    qvtest::writeFile(content.file("level_trap.lua"), level);
    SimRun run = runSim("content " + content.path() + "\ncounter 5\nload level_trap\nset refill 0\nready\n"
                        "click 2 5\nclick 3 5\nsettle\nprint\n" + kContent + "load level_fixed\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), 5u) << run.out << run.err;
    EXPECT_EQ(out[2], "error: Failed to create behavior");
    EXPECT_EQ(out[3], "error: no level loaded");
    EXPECT_EQ(out[4], "loaded 5x5");
}

TEST(BoardSim, FramesOfACommandAreBounded) {
    // At one microsecond a frame, an hour is 3.6e9 frames: refused, not wrapped.
    SimRun run = runSim(kContent + "counter 5\nload level_fixed\ndt 0.000001\nrun 3600\nsettle\ndt 0.01\nrun 0.5\n"
                        "ready\ncounter 5\nload level_fixed\nready\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), 6u) << run.out;
    // (dt is a float: about 3.6e9 frames.)
    EXPECT_EQ(out[1].rfind("error: 3600 s at dt 1e-06 is 36000000", 0), 0u) << out[1];
    EXPECT_EQ(out[2].rfind("error: 60 s at dt 1e-06 is 600000", 0), 0u) << out[2];
    for (int i : {1, 2}) EXPECT_NE(out[i].find(" frames; a command runs at most 1000000"), std::string::npos);
    // Half a second at 0.01 is 50 frames of the entry the second run waits out whole.
    int early = 0, whole = 0;
    ASSERT_EQ(std::sscanf(out[3].c_str(), "ready %d", &early), 1) << out[3];
    ASSERT_EQ(std::sscanf(out[5].c_str(), "ready %d", &whole), 1) << out[5];
    EXPECT_EQ(early + 50, whole);
}

TEST(BoardSim, FindsTheGameContentWhereverItRuns) {
    // A copy of the program outside the source tree, with no variable set,
    // falls back on the tree it was built from.
    qvtest::TempDir elsewhere;
    const std::string copy = elsewhere.file("board_sim");
    std::filesystem::copy_file(std::string(QV_BINARY_DIR) + "/board_sim", copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
    unsetenv("QV_MEDIA_DIR");
    SimRun found = runSim("load level_none\n", copy, {});
    EXPECT_EQ(lines(found.out), std::vector<std::string>{"error: no level script 'level_none_lua'"}) << found.err;
    // A variable naming no content is honoured, and the error says where it looked.
    SimRun missing = runSim("load level_none\n" + kContent + "content " + kMedia + "\nload level_none\n", copy,
                            {{"QV_MEDIA_DIR", elsewhere.path()}});
    EXPECT_EQ(missing.exitCode, 0);
    const std::string why = "no game content: no media/filelist.lua in $QV_MEDIA_DIR '" + elsewhere.path() + "'";
    EXPECT_NE(missing.err.find("board_sim: " + why), std::string::npos) << missing.err;
    EXPECT_EQ(lines(missing.out), (std::vector<std::string>{"error: no content: " + why, "error: " + why,
                                                             "error: no level script 'level_none_lua'"}));
}

}  // namespace

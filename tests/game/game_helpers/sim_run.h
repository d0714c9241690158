#pragma once

// Runs board_sim on a script, as the rule objects' tests do: the profile
// lives in the run's home folder, and the game's content is found wherever
// the build folder lies. Output comes back a line at a time.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace simrun {

struct SimRun {
    std::vector<std::string> out;
    std::string err;
    int exitCode = -1;
};

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

inline SimRun runSim(qvtest::TempDir& home, const std::string& script) {
    qvtest::writeFile(home.file("script.txt"), script);
    qvtest::ChildProcess child(std::string(QV_BINARY_DIR) + "/board_sim", {home.file("script.txt")}, home.path(),
                               {{"XDG_DATA_HOME", home.path()}, {"QV_MEDIA_DIR", std::string(QV_SOURCE_DIR) + "/media"}});
    EXPECT_TRUE(child.wait());
    return {lines(child.stdoutText()), child.stderrText(), child.exitCode()};
}

inline SimRun runSim(const std::string& script) {
    qvtest::TempDir home;
    return runSim(home, script);
}

}  // namespace simrun

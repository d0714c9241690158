#pragma once

#include <string>
#include <utility>
#include <vector>

namespace qvtest {

struct CapturedRun {
    bool exited = false;
    int exitCode = -1;
    bool signaled = false;
    int signal = 0;
    std::string out;
    std::string err;
};

struct CapturedRunOptions {
    std::string workingDirectory;                            // empty: inherit
    std::vector<std::pair<std::string, std::string>> env;    // added or replaced
    std::vector<std::string> unsetEnv;
    std::vector<int> cpus;                                   // empty: inherit the mask
};

// Runs a program to its end (optionally on given processors), capturing standard output and error.
// No clock of its own: a program that hangs is ended by ctest's time limit.
CapturedRun runCaptured(const std::string& program, const std::vector<std::string>& arguments,
                     const CapturedRunOptions& options = CapturedRunOptions());

}  // namespace qvtest

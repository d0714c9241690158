#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace qvtest {

// A program started in its own working directory with extra environment,
// its standard output and error captured to files in that directory.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& args, const std::string& workDir,
                 const std::map<std::string, std::string>& env = {});
    ~ChildProcess();

    // Waits until the child ends; true when it was started. No clock of its own:
    // a run ends through its script, and a hang is ended by ctest's time limit.
    bool wait();
    void signal(int signalNumber);
    bool running();
    pid_t pid() const { return mPid; }

    bool exited() const { return mExited; }
    int exitCode() const { return mExitCode; }
    bool signaled() const { return mSignaled; }
    int termSignal() const { return mTermSignal; }
    std::string stdoutText() const;
    std::string stderrText() const;

private:
    void reap(int status);
    pid_t mPid = -1;
    std::string mWorkDir;
    bool mDone = false;
    bool mExited = false;
    int mExitCode = -1;
    bool mSignaled = false;
    int mTermSignal = 0;
};

// Polls until the file contains the text (true) or the child has ended without
// it (false). No clock: a child that hangs is ended by ctest's time limit.
bool waitForFileText(const std::string& path, const std::string& text, ChildProcess& writer);

// The path of a program built beside the tests (QV_TEST_PROGS) or the game (QV_GLIMVALE).
std::string testProgram(const std::string& name);
std::string glimvaleProgram();

}  // namespace qvtest

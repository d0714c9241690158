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

    // Waits up to the timeout; kills the child when it has not ended by then.
    // Returns true when it ended by itself.
    bool wait(double timeoutSeconds);
    void signal(int signalNumber);
    bool running();

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

// Polls until the file contains the text or the timeout passes.
bool waitForFileText(const std::string& path, const std::string& text, double timeoutSeconds);

// The path of a program built beside the tests (QV_TEST_PROGS) or the game (QV_GLIMVALE).
std::string testProgram(const std::string& name);
std::string glimvaleProgram();

}  // namespace qvtest

#include "support/child_process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/temp_dir.h"

namespace qvtest {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& workDir, const std::map<std::string, std::string>& env)
    : mWorkDir(workDir) {
    std::string outPath = workDir + "/child.stdout";
    std::string errPath = workDir + "/child.stderr";
    mPid = fork();
    if (mPid == 0) {
        if (chdir(workDir.c_str()) != 0) _exit(126);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) dup2(out, 1);
        if (err >= 0) dup2(err, 2);
        for (const auto& [key, value] : env) setenv(key.c_str(), value.c_str(), 1);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess() {
    if (mPid > 0 && !mDone) {
        kill(mPid, SIGKILL);
        int status = 0;
        waitpid(mPid, &status, 0);
    }
}

void ChildProcess::reap(int status) {
    mDone = true;
    if (WIFEXITED(status)) {
        mExited = true;
        mExitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        mSignaled = true;
        mTermSignal = WTERMSIG(status);
    }
}

bool ChildProcess::running() {
    if (mPid <= 0 || mDone) return false;
    int status = 0;
    if (waitpid(mPid, &status, WNOHANG) == mPid) {
        reap(status);
        return false;
    }
    return true;
}

bool ChildProcess::wait() {
    if (mPid <= 0) return false;
    if (mDone) return true;
    int status = 0;
    pid_t got;
    do {
        got = waitpid(mPid, &status, 0);
    } while (got < 0 && errno == EINTR);
    if (got != mPid) return false;
    reap(status);
    return true;
}

void ChildProcess::signal(int signalNumber) {
    if (mPid > 0 && !mDone) kill(mPid, signalNumber);
}

std::string ChildProcess::stdoutText() const { return readFile(mWorkDir + "/child.stdout"); }
std::string ChildProcess::stderrText() const { return readFile(mWorkDir + "/child.stderr"); }

bool waitForFileText(const std::string& path, const std::string& text, ChildProcess& writer) {
    for (;;) {
        // Read after checking: the child may write its last line and end in between.
        const bool ended = !writer.running();
        if (readFile(path).find(text) != std::string::npos) return true;
        if (ended) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string testProgram(const std::string& name) {
    const char* dir = std::getenv("QV_TEST_PROGS");
    return std::string(dir ? dir : QV_BINARY_DIR "/test_progs") + "/" + name;
}

std::string glimvaleProgram() {
    const char* path = std::getenv("QV_GLIMVALE");
    return path ? std::string(path) : std::string(QV_BINARY_DIR "/glimvale");
}

}  // namespace qvtest

#include "support/captured_run.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace qvtest {

CapturedRun runCaptured(const std::string& program, const std::vector<std::string>& arguments,
                     const CapturedRunOptions& options) {
    CapturedRun result;
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) return result;
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return result;
    }
    std::vector<std::string> argStorage;
    argStorage.push_back(program);
    argStorage.insert(argStorage.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : argStorage) argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = fork();
    if (pid == 0) {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) _exit(120);
        for (const auto& e : options.env) setenv(e.first.c_str(), e.second.c_str(), 1);
        for (const auto& name : options.unsetEnv) unsetenv(name.c_str());
        if (!options.cpus.empty()) {
            cpu_set_t set;
            CPU_ZERO(&set);
            for (int cpu : options.cpus) CPU_SET(cpu, &set);
            if (sched_setaffinity(0, sizeof(set), &set) != 0) _exit(121);
        }
        execv(program.c_str(), argv.data());
        _exit(122);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    if (pid < 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        return result;
    }
    bool outOpen = true;
    bool errOpen = true;
    while (outOpen || errOpen) {
        pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
        if (!outOpen) fds[0].fd = -1;
        if (!errOpen) fds[1].fd = -1;
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        char buffer[4096];
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            ssize_t got = read(fds[i].fd, buffer, sizeof(buffer));
            if (got > 0) {
                (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(got));
            } else {
                (i == 0 ? outOpen : errOpen) = false;
            }
        }
    }
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        result.exited = true;
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signaled = true;
        result.signal = WTERMSIG(status);
    }
    return result;
}

}  // namespace qvtest

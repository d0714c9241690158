// Helper program for the crash and thread tests: sets up the engine pieces a
// run of the game would have, then fails in the way argv[1] names.
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "crash_handler.h"
#include "format_string.h"
#include "function.h"
#include "job_manager.h"
#include "log_system.h"
#include "platform/crash_signals.h"
#include "report_assert.h"
#include "timer_manager.h"

namespace {

struct Unused {};

volatile int* gNull = nullptr;
volatile int gZero = 0;

__attribute__((no_sanitize_address, no_sanitize_undefined, noinline)) void dereferenceNull() { *gNull = 42; }

__attribute__((no_sanitize_undefined, noinline)) int divideByZero() { return 7 / gZero; }

void* holdLogLock(void*) {
    pthread_mutex_lock(QV::Singleton<QV::LogSystem>::instance()->mutex());
    for (;;) pause();
    return nullptr;
}

int recurse(int depth) {
    volatile char pad[512];
    pad[0] = static_cast<char>(depth);
    if (gZero == 0) return recurse(depth + 1) + pad[0];
    return pad[0];
}

void* overflowThread(void*) {
    QV::installThreadCrashStack();
    std::printf("overflow alt stack: %d\n", QV::Platform::hasAlternateSignalStack() ? 1 : 0);
    std::fflush(stdout);
    recurse(0);
    return nullptr;
}

// The calling thread's processors, as "0,2,3".
std::string threadProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (pthread_getaffinity_np(pthread_self(), sizeof(set), &set) != 0) return "?";
    std::string text;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &set)) text += (text.empty() ? "" : ",") + std::to_string(cpu);
    }
    return text;
}

// A sink that faults while the log's lock is held by the faulting thread.
class FaultingStream : public QV::LogStream {
public:
    void write(const std::string& message) override {
        if (message == "fault now") dereferenceNull();
    }
    int kind() const override { return 99; }
};

std::string gJobProcessors;
void recordJobProcessors() { gJobProcessors = threadProcessors(); }

}  // namespace

int main(int argc, char** argv) {
    // No core files in the test's folder.
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    if (argc < 2) return 2;
    std::string mode = argv[1];

    QV::LogSystem log;
    QV::installCrashHandler();
    QV::JobManager jobs;
    QV::logLine("crash_prog " + mode);

    if (mode == "assert") {
        QV_FATAL("Test failure");
    } else if (mode == "segv") {
        dereferenceNull();
    } else if (mode == "job_null") {
        QV::Job* job = jobs.addJob(new QV::Function<Unused>(&dereferenceNull));
        job->start();
        while (jobs.updateJobs() > 0) usleep(1000);
    } else if (mode == "locked_log") {
        pthread_t holder;
        pthread_create(&holder, nullptr, holdLogLock, nullptr);
        usleep(100000);
        dereferenceNull();
    } else if (mode == "fault_in_log") {
        log.streams().push_back(new FaultingStream());
        QV::logLine("fault now");
    } else if (mode == "fpe") {
        volatile int result = divideByZero();
        (void)result;
    } else if (mode == "abort") {
        std::abort();
    } else if (mode == "overflow_thread") {
        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setstacksize(&attributes, 256 * 1024);
        pthread_t thread;
        pthread_create(&thread, &attributes, overflowThread, nullptr);
        pthread_join(thread, nullptr);
    } else if (mode == "thread_fail") {
        // No room for a new thread's stack: creation fails.
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        long pages = 0;
        if (FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
            std::fclose(f);
        }
        rlimit tight{static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + 2 * 1024 * 1024,
                     limit.rlim_max};
        if (pages == 0 || setrlimit(RLIMIT_AS, &tight) != 0) return 4;
        QV::Job* job = jobs.addJob(new QV::Function<Unused>(&recordJobProcessors));
        job->start();
        bool finished = job->isFinished();
        int running = jobs.updateJobs();
        setrlimit(RLIMIT_AS, &limit);
        std::string logText;
        if (FILE* f = std::fopen("QV.log", "r")) {
            char buffer[4096];
            size_t got;
            while ((got = std::fread(buffer, 1, sizeof(buffer), f)) > 0) logText.append(buffer, got);
            std::fclose(f);
        }
        // The thread started after all: nothing to check.
        if (logText.find("Failed to start job thread") == std::string::npos) return 4;
        std::printf("running jobs: %d, finished: %d, kept: %d\n", running, finished ? 1 : 0,
                    static_cast<int>(jobs.jobCount()));
        return 0;
    } else if (mode == "processors") {
        const std::string before = threadProcessors();
        QV::TimerManager timers;
        QV::Job* job = jobs.addJob(new QV::Function<Unused>(&recordJobProcessors));
        job->start();
        while (jobs.updateJobs() > 0) usleep(1000);
        std::printf("started=%s\nmain=%s\njob=%s\n", before.c_str(), threadProcessors().c_str(),
                    gJobProcessors.c_str());
        return 0;
    }
    std::printf("survived\n");
    return 3;
}

#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "job_manager.h"
#include "log_system.h"
#include "platform/crash_signals.h"
#include "support/captured_run.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "timer_manager.h"

namespace {

// A job body that waits until released.
struct GatedWork {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    std::atomic<bool> entered{false};
    std::atomic<bool> done{false};
    bool hadAlternateStack = false;
    cpu_set_t mask;

    void run() {
        hadAlternateStack = QV::Platform::hasAlternateSignalStack();
        CPU_ZERO(&mask);
        pthread_getaffinity_np(pthread_self(), sizeof(mask), &mask);
        entered = true;
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return open; });
        done = true;
    }
    void release() {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        changed.notify_all();
    }
};

QV::IFunction* work(GatedWork& w) { return new QV::Function<GatedWork>(&w, &GatedWork::run); }

void waitUntilNotRunning(QV::Job* job) {
    for (int i = 0; i < 5000 && job->isRunning(); ++i) usleep(1000);
    ASSERT_FALSE(job->isRunning());
}

TEST(JobManager, CountsRunningJobsAndReapsFinishedOnes) {
    QV::JobManager jobs;
    EXPECT_EQ(jobs.updateJobs(), 0);

    GatedWork a, b, never;
    QV::Job* jobA = jobs.addJob(work(a));
    QV::Job* jobB = jobs.addJob(work(b));
    jobs.addJob(work(never));  // added, never started: kept, not counted
    EXPECT_EQ(jobs.updateJobs(), 0);
    EXPECT_FALSE(a.entered);

    jobA->start();
    jobB->start();
    jobA->start();  // already running: no second thread
    // Both count (the frame stays in its loading branch) until both end.
    EXPECT_EQ(jobs.updateJobs(), 2);
    EXPECT_EQ(jobs.updateJobs(), 2);  // the render frame asks too

    a.release();
    waitUntilNotRunning(jobA);
    EXPECT_TRUE(a.done);
    EXPECT_TRUE(jobA->isFinished());
    // The finished job goes and the count drops in the same call.
    EXPECT_EQ(jobs.updateJobs(), 1);
    EXPECT_EQ(jobs.jobCount(), 2u);

    b.release();
    waitUntilNotRunning(jobB);
    EXPECT_EQ(jobs.updateJobs(), 0);
    EXPECT_EQ(jobs.updateJobs(), 0);
    EXPECT_EQ(jobs.jobCount(), 1u);
    jobs.clear();
    EXPECT_EQ(jobs.jobCount(), 0u);
    EXPECT_FALSE(never.entered);
}

TEST(JobManager, JobStartedAgainAfterItFinishedRunsAgain) {
    QV::JobManager jobs;
    std::atomic<int> runs{0};
    struct Counter {
        std::atomic<int>* runs;
        void run() { ++*runs; }
    } counter{&runs};
    QV::Job* job = jobs.addJob(new QV::Function<Counter>(&counter, &Counter::run));
    job->start();
    waitUntilNotRunning(job);
    job->start();  // before the frame reaped it
    waitUntilNotRunning(job);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(jobs.updateJobs(), 0);
    EXPECT_EQ(jobs.jobCount(), 0u);
}

long mappedBytes() {
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    return pages * sysconf(_SC_PAGESIZE);
}

TEST(JobManager, ReapedJobThreadsAreReleased) {
    // An ended thread that is never joined keeps its whole stack mapped.
    QV::JobManager jobs;
    struct Nothing {
        void run() {}
    } nothing;
    long before = mappedBytes();
    for (int i = 0; i < 60; ++i) {
        QV::Job* job = jobs.addJob(new QV::Function<Nothing>(&nothing, &Nothing::run));
        job->start();
        waitUntilNotRunning(job);
        EXPECT_EQ(jobs.updateJobs(), 0);
    }
    EXPECT_LT(mappedBytes() - before, 120L * 1024 * 1024);
}

TEST(JobManager, ClearWaitsForRunningJobs) {
    GatedWork w;
    {
        QV::JobManager jobs;
        jobs.addJob(work(w))->start();
        while (!w.entered) usleep(1000);
        std::thread releaser([&w] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            w.release();
        });
        jobs.clear();
        EXPECT_TRUE(w.done);
        EXPECT_EQ(jobs.jobCount(), 0u);
        releaser.join();

        // The destructor waits as well.
        GatedWork later;
        jobs.addJob(work(later))->start();
        while (!later.entered) usleep(1000);
        later.release();
    }
    EXPECT_EQ(QV::Singleton<QV::JobManager>::instancePointer(), nullptr);
}

TEST(JobManager, WaitForRunningJobsEndsWithTheLastJobOrAtItsLimit) {
    QV::JobManager jobs;
    GatedWork w;
    jobs.addJob(work(w))->start();
    jobs.addJob(work(w));  // never started: nothing to wait for
    EXPECT_FALSE(jobs.waitForRunningJobs(std::chrono::milliseconds(30)));
    EXPECT_FALSE(w.done);
    std::thread releaser([&w] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        w.release();
    });
    EXPECT_TRUE(jobs.waitForRunningJobs(std::chrono::seconds(600)));
    EXPECT_TRUE(w.done);
    releaser.join();
    // The ended job stays until the frame reaps it.
    EXPECT_EQ(jobs.jobCount(), 2u);
    EXPECT_EQ(jobs.updateJobs(), 0);
    EXPECT_EQ(jobs.jobCount(), 1u);
    EXPECT_TRUE(jobs.waitForRunningJobs(std::chrono::milliseconds(0)));
}

TEST(JobManager, JobThreadsRunOnTheStartersProcessorsAndHaveACrashStack) {
    cpu_set_t mine;
    CPU_ZERO(&mine);
    ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof(mine), &mine), 0);
    QV::JobManager jobs;
    QV::TimerManager timers;
    GatedWork w;
    QV::Job* job = jobs.addJob(work(w));
    w.release();
    job->start();
    waitUntilNotRunning(job);
    EXPECT_EQ(jobs.updateJobs(), 0);
    EXPECT_TRUE(w.hadAlternateStack);
    EXPECT_TRUE(CPU_EQUAL(&w.mask, &mine));
}

// A process started on some processors (not the first) keeps all of them on
// its main thread, with the frame timer made, and on its job threads: nothing
// confines the game to one processor another program may keep busy.
TEST(JobManager, ProcessGivenSomeProcessorsKeepsThemAllOnEveryThread) {
    cpu_set_t mine;
    CPU_ZERO(&mine);
    ASSERT_EQ(sched_getaffinity(0, sizeof(mine), &mine), 0);
    std::vector<int> later;
    for (int cpu = 1; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &mine)) later.push_back(cpu);
    }
    if (later.size() < 2) GTEST_SKIP() << "needs two processors besides the first";
    qvtest::TempDir dir;
    qvtest::CapturedRunOptions options;
    options.workingDirectory = dir.path();
    options.cpus = later;
    qvtest::CapturedRun r = qvtest::runCaptured(qvtest::testProgram("crash_prog"), {"processors"}, options);
    ASSERT_TRUE(r.exited) << r.err;
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string all;
    for (int cpu : later) all += (all.empty() ? "" : ",") + std::to_string(cpu);
    EXPECT_NE(r.out.find("\nstarted=" + all + "\nmain=" + all + "\njob=" + all + "\n"), std::string::npos) << r.out;
}

TEST(JobManager, ThreadThatFailsToStartIsLoggedAndCountsAsFinished) {
    qvtest::TempDir dir;
    qvtest::CapturedRunOptions options;
    options.workingDirectory = dir.path();
    qvtest::CapturedRun r = qvtest::runCaptured(qvtest::testProgram("crash_prog"), {"thread_fail"}, options);
    if (r.exited && r.exitCode == 4) GTEST_SKIP() << "thread creation could not be made to fail here";
    ASSERT_TRUE(r.exited) << r.err;
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("running jobs: 0, finished: 1, kept: 0"), std::string::npos) << r.out;
    EXPECT_NE(qvtest::readFile(dir.file("QV.log")).find("ERROR: Failed to start job thread: "), std::string::npos);
}

}  // namespace

#pragma once

#include <atomic>

#include "function.h"
#include "thread.h"

namespace QV {

// One piece of work run on its own thread; owns its function.
class Job {
public:
    explicit Job(IFunction* function);
    ~Job();
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    // Starts the job on a new thread unless it is running already.
    void start();

    bool isRunning() const { return mRunning.load(std::memory_order_acquire); }
    bool isFinished() const { return mFinished.load(std::memory_order_acquire); }
    bool isStarted() const { return mStarted; }

private:
    friend class JobManager;

    Thread mThread;
    // Written by the job's thread, read by the main thread.
    std::atomic<bool> mFinished{false};
    std::atomic<bool> mRunning{false};
    bool mStarted = false;
    IFunction* mFunction;
};

}  // namespace QV

#include "job.h"

#include <cstring>

#include "format_string.h"
#include "job_manager.h"
#include "log_system.h"

namespace QV {

Job::Job(IFunction* function) : mFunction(function) {}

Job::~Job() {
    delete mFunction;
    mFunction = nullptr;
}

void Job::start() {
    if (isRunning()) return;
    mFinished.store(false, std::memory_order_relaxed);
    mRunning.store(true, std::memory_order_release);
    mStarted = true;
    // Started again after it finished: the old thread is past its last access,
    // and reusing it would leave the job marked running with no thread at all.
    if (mThread.isJoinable()) mThread.join();
    int result = mThread.create(&JobManager::runJob, this);
    if (result != 0) {
        // Counting a job that never runs would keep the loading screen up for ever.
        logLine(formatString("ERROR: Failed to start job thread: %s", std::strerror(result)));
        mFinished.store(true, std::memory_order_release);
        mRunning.store(false, std::memory_order_release);
    }
}

}  // namespace QV

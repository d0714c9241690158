#include "job_manager.h"

#include <thread>

namespace QV {

JobManager::~JobManager() { clear(); }

Job* JobManager::addJob(IFunction* function) {
    Job* job = new Job(function);
    mJobs.push_back(job);
    return job;
}

void JobManager::runJob(void* raw) {
    Job* job = static_cast<Job*>(raw);
    if (job->mFunction) job->mFunction->invoke();
    job->mFinished.store(true, std::memory_order_release);
    // Last touch of the record: once running reads false the main thread may delete it.
    job->mRunning.store(false, std::memory_order_release);
}

int JobManager::updateJobs() {
    int running = 0;
    for (std::size_t i = 0; i < mJobs.size();) {
        Job* job = mJobs[i];
        if (job->isRunning()) {
            ++running;
            ++i;
        } else if (job->isStarted()) {
            // The thread is past its last access to the job; joining frees it.
            job->mThread.join();
            delete job;
            mJobs.erase(mJobs.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    return running;
}

bool JobManager::waitForRunningJobs(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (Job* job : mJobs) {
        // Sleeping rather than spinning leaves the processor to the job.
        while (job->isRunning()) {
            if (std::chrono::steady_clock::now() >= deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return true;
}

void JobManager::clear() {
    for (Job* job : mJobs) {
        job->mThread.join();
        delete job;
    }
    mJobs.clear();
}

}  // namespace QV

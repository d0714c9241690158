#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

#include "function.h"
#include "job.h"
#include "singleton.h"

namespace QV {

// The jobs, in the order they were added; owned. Used from the main thread only.
class JobManager : public Singleton<JobManager> {
public:
    JobManager() = default;
    ~JobManager() override;

    // A job for the function (owned from now on); it runs once started.
    Job* addJob(IFunction* function);
    // Number of running jobs; finished ones are joined and removed.
    int updateJobs();
    // Waits until no started job runs any more, at most the limit; false when
    // the limit ran out first. Finished jobs stay until the next updateJobs.
    bool waitForRunningJobs(std::chrono::milliseconds limit);
    // Waits for every job and deletes them all.
    void clear();

    std::size_t jobCount() const { return mJobs.size(); }

    // The body of every job thread.
    static void runJob(void* job);

private:
    std::vector<Job*> mJobs;
};

}  // namespace QV

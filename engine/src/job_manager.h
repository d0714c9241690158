#pragma once

#include <vector>

#include "function.h"
#include "singleton.h"

namespace QV {

// Placeholder until the jobs land: no job ever runs.
class Job;

class JobManager : public Singleton<JobManager> {
public:
    JobManager() = default;
    ~JobManager() override { clear(); }
    Job* addJob(IFunction* function);
    int updateJobs() { return 0; }
    void clear() {}
};

}  // namespace QV

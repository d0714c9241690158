#include "job_manager.h"

namespace QV {

Job* JobManager::addJob(IFunction* function) {
    if (function) function->invoke();
    delete function;
    return nullptr;
}

}  // namespace QV

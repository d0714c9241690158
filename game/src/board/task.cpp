#include "board/task.h"

TaskManager::~TaskManager() { clear(); }

void TaskManager::addTask(Task* task) {
    if (task) tasks.push_back(task);
}

bool TaskManager::update(float dt) {
    if (!enabled) return false;
    bool result = true;
    // Index walk: tasks added while a task runs are visited in this pass.
    for (size_t i = 0; i < tasks.size();) {
        Task* task = tasks[i];
        task->delay -= dt;
        if (task->delay <= 0.0f) {
            if (task->blockWhileRunning) result = false;
            if (task->update(dt)) {
                // The task may have added others behind it; find it again.
                for (size_t j = 0; j < tasks.size(); ++j) {
                    if (tasks[j] == task) {
                        tasks.erase(tasks.begin() + static_cast<long>(j));
                        delete task;
                        break;
                    }
                }
                continue;
            }
        }
        ++i;
    }
    return result;
}

bool TaskManager::hasWaitingBlocker() const {
    for (const Task* task : tasks) {
        if (task->delay > 0.0f && task->blockWhileWaiting) return true;
    }
    return false;
}

void TaskManager::clear() {
    // A task's destructor may not add tasks; take the list first.
    std::vector<Task*> taken;
    taken.swap(tasks);
    for (Task* task : taken) delete task;
}

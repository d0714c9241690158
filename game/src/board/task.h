#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A delayed or multi-frame job of the board.
class Task {
public:
    virtual ~Task() = default;
    // True when finished; the manager then deletes the task.
    virtual bool update(float dt) = 0;
    // 0 for the board's kinds; level rules give their own tasks other values.
    virtual int getType() const { return 0; }

    float delay = 0.0f;
    uint8_t blockWhileRunning = 0;
    uint8_t blockWhileWaiting = 0;
};

class TaskManager {
public:
    TaskManager() = default;
    TaskManager(const TaskManager&) = delete;
    TaskManager& operator=(const TaskManager&) = delete;
    ~TaskManager();

    void addTask(Task* task);
    // False when disabled or when a due blocking task was seen this frame.
    bool update(float dt);
    bool hasWaitingBlocker() const;
    void clear();
    size_t size() const { return tasks.size(); }

    std::vector<Task*> tasks;
    uint8_t enabled = 1;
};

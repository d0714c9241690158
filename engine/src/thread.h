#pragma once

#include <pthread.h>

namespace QV {

// A POSIX thread running body(argument); started as an engine thread (its
// own crash stack, the process's original processor mask).
class Thread {
public:
    using Body = void (*)(void*);

    Thread() = default;
    // A thread never joined is detached, so its resources are freed when it ends.
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Returns 0 or the error of the thread's creation.
    int create(Body body, void* argument);
    // Waits for the thread to end; returns whether the join failed.
    bool join();
    bool isJoinable() const { return mJoinable; }

    static void* threadMain(void* thread);

private:
    pthread_t mHandle{};
    Body mBody = nullptr;
    void* mArgument = nullptr;
    bool mJoinable = false;
};

}  // namespace QV

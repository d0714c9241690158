#pragma once

#include <pthread.h>

namespace QV {

// Scoped lock; a null mutex is neither locked nor unlocked.
class MutexLock {
public:
    explicit MutexLock(pthread_mutex_t* mutex) : mMutex(mutex) {
        if (mMutex) pthread_mutex_lock(mMutex);
    }
    ~MutexLock() {
        if (mMutex) pthread_mutex_unlock(mMutex);
    }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    pthread_mutex_t* mMutex;
};

// Initialises a recursive POSIX mutex, the kind most managers hold.
inline void initRecursiveMutex(pthread_mutex_t* mutex) {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(mutex, &attr);
    pthread_mutexattr_destroy(&attr);
}

}  // namespace QV

#include "thread.h"

#include "crash_handler.h"

namespace QV {

Thread::~Thread() {
    if (mJoinable) pthread_detach(mHandle);
}

int Thread::create(Body body, void* argument) {
    if (mJoinable) return 0;
    mBody = body;
    mArgument = argument;
    int result = startEngineThread(&mHandle, &Thread::threadMain, this);
    mJoinable = result == 0;
    return result;
}

bool Thread::join() {
    if (!mJoinable) return false;
    bool failed = pthread_join(mHandle, nullptr) != 0;
    mJoinable = false;
    return failed;
}

void* Thread::threadMain(void* raw) {
    Thread* thread = static_cast<Thread*>(raw);
    // Read before the body runs: once it returns the owner may delete the thread.
    Body body = thread->mBody;
    void* argument = thread->mArgument;
    body(argument);
    pthread_exit(nullptr);
}

}  // namespace QV

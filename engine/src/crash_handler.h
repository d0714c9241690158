#pragma once

#include <pthread.h>

namespace QV {

// Process-wide: crashes (SEGV, BUS, ILL, FPE, TRAP, ABRT) of any thread write
// "QV.dmp", show the "Dump" box and log the crash report, then the process
// dies of the same signal. Also gives the calling thread its alternate stack.
void installCrashHandler();

// Gives the calling thread its own alternate signal stack, so a crash on it
// (a stack overflow included) is still reported. Every engine thread calls it
// first; startEngineThread does so already.
bool installThreadCrashStack();

// Starts an engine thread with its own crash stack. Returns 0 or the
// pthread_create error.
int startEngineThread(pthread_t* handle, void* (*body)(void*), void* argument);

// The dump file's name and the time the report waits for the log's lock.
extern const char* const kCrashDumpFileName;
constexpr int kCrashLogLockMilliseconds = 1000;

}  // namespace QV

#pragma once

#include <cstddef>
#include <cstdint>

namespace QV::Platform {

constexpr int kMaxCrashRegisters = 40;

// What a crash signal tells about the faulting thread.
struct CrashSignal {
    int signal = 0;
    int code = 0;                      // si_code
    std::uint64_t faultAddress = 0;    // si_addr
    std::uint64_t instructionPointer = 0;
    std::uint64_t stackPointer = 0;
    int registerCount = 0;
    const char* registerNames[kMaxCrashRegisters] = {};
    std::uint64_t registerValues[kMaxCrashRegisters] = {};
};

// The exception code a crash signal is reported with (access violation
// 0xC0000005 for SEGV and BUS, breakpoint 0x80000003 for TRAP, ...).
std::uint32_t exceptionCodeForSignal(int signal, int signalCode);

using CrashSignalHandler = void (*)(const CrashSignal& signal);

// Routes SEGV, BUS, ILL, FPE, TRAP and ABRT of every thread to the handler, run
// on the thread's alternate signal stack when it has one.
bool installCrashSignalHandlers(CrashSignalHandler handler);

// Gives the calling thread its own alternate signal stack (once; released when
// the thread ends) and records its stack bounds for the crash report.
bool installAlternateSignalStack();
bool hasAlternateSignalStack();

// Bounds recorded by installAlternateSignalStack: top is the highest address.
// Both 0 when the thread never installed one. Safe inside a signal handler.
void recordedStackBounds(std::uint64_t* top, std::uint64_t* bottom);

// Restores the default action of the signal and delivers it again; the
// process ends the way the signal says (the parent sees it).
[[noreturn]] void reraiseWithDefaultAction(int signal);

std::uint32_t currentThreadId();

// Plain system calls, safe inside a signal handler.
void rawWrite(int fd, const char* text, std::size_t length);
int rawCreateFile(const char* path);   // -1 on failure, errno in lastErrorNumber()
int rawOpenForAppend(const char* path);
bool rawWriteAll(int fd, const void* data, std::size_t length);
void rawClose(int fd);
int lastErrorNumber();
// Seconds since the epoch.
std::int64_t wallClockSeconds();
// Offset of local time from UTC, in seconds (not safe in a signal handler: call it beforehand).
std::int64_t localTimeOffsetSeconds();

// The process's memory map text, cut to the capacity; returns its length.
std::size_t readMemoryMap(char* buffer, std::size_t capacity);
// The running program's path; returns its length (0 on failure).
std::size_t executablePath(char* buffer, std::size_t capacity);

}  // namespace QV::Platform

#pragma once

#include <cstddef>
#include <cstdint>

namespace QV {

// Receives the crash report one line at a time (no line feed).
class CrashReportSink {
public:
    virtual ~CrashReportSink() = default;
    virtual void line(const char* text) = 0;
};

struct CrashReportInput {
    std::uint64_t exceptionAddress = 0;
    std::uint32_t exceptionCode = 0;
    std::uint32_t exceptionFlags = 0;
    std::uint64_t mainModuleBase = 0;
    int registerCount = 0;
    const char* const* registerNames = nullptr;
    const std::uint64_t* registerValues = nullptr;
    std::uint64_t stackPointer = 0;
    std::uint64_t stackTop = 0;     // highest address of the thread's stack
    std::uint64_t stackBottom = 0;  // lowest address
    const char* memoryMap = nullptr;  // text in the form of /proc/<pid>/maps
    std::size_t memoryMapLength = 0;
};

// The whole report: banner, exception, registers, stack, modules. Formats into
// fixed buffers and reads the stack in place, so it can run in a signal handler.
void writeCrashReport(CrashReportSink& sink, const CrashReportInput& input);

void writeExceptionBlock(CrashReportSink& sink, const CrashReportInput& input);
void writeRegisterBlock(CrashReportSink& sink, const CrashReportInput& input);
// Rows of seven 64-bit words from the stack pointer up to the top; the words
// are read where they lie, so the range must be readable memory.
void writeStackBlock(CrashReportSink& sink, std::uint64_t stackPointer, std::uint64_t top, std::uint64_t bottom);
// One line per mapped file that has executable code.
void writeModuleBlock(CrashReportSink& sink, const char* memoryMap, std::size_t length);

// Start of the first mapping of the given file in the map text; 0 when absent.
std::uint64_t findModuleBase(const char* memoryMap, std::size_t length, const char* path);

}  // namespace QV

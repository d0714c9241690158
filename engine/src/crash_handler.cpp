#include "crash_handler.h"

#include <time.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "crash_report.h"
#include "log_system.h"
#include "platform/crash_signals.h"
#include "platform/message_box.h"

// "QV.dmp" layout, every field in the machine's byte order (little-endian on
// the machines we build for):
//   char[4]  magic "QVDM"          u32 version (1)
//   u32 signal                     u32 exception code (as in the report)
//   u32 signal code (si_code)      u32 thread id
//   u64 exception address          u64 fault address (si_addr)
//   u32 register count N           u32 reserved (0)
//   N x { char name[8]; u64 value }
//   u64 stack pointer  u64 stack top  u64 stack bottom
//   u32 stack byte count S         S bytes of the stack from the stack pointer up
//   u32 map text length M          M bytes of /proc/self/maps text

namespace QV {

const char* const kCrashDumpFileName = "QV.dmp";

namespace {

constexpr std::uint32_t kDumpVersion = 1;
constexpr std::size_t kDumpStackLimit = 64 * 1024;
constexpr std::size_t kMemoryMapCapacity = 512 * 1024;

// Static, not on the alternate stack: only one crash report runs at a time.
char gMemoryMap[kMemoryMapCapacity];
char gExecutable[4096];
std::atomic<std::uint32_t> gReportingThread{0};
std::int64_t gLocalOffset = 0;

void writeText(int fd, const char* text) { Platform::rawWrite(fd, text, std::strlen(text)); }

// Lines go straight to the log's sinks with plain system calls: the crash may
// have struck inside the allocator or stdio, whose locks would never be freed.
class RawLogSink : public CrashReportSink {
public:
    explicit RawLogSink(LogSystem* log) {
        if (!log) {
            mFiles[mFileCount++] = kLogFileName;
            mStdout = true;
            return;
        }
        for (LogStream* stream : log->streams()) {
            if (!stream) continue;
            if (stream->kind() == 8) {
                mStdout = true;
            } else if (FileLogStream* file = dynamic_cast<FileLogStream*>(stream)) {
                if (mFileCount < kMaxFiles) mFiles[mFileCount++] = file->fileName().c_str();
            }
        }
    }

    void line(const char* text) override {
        std::int64_t local = Platform::wallClockSeconds() + gLocalOffset;
        std::int64_t ofDay = ((local % 86400) + 86400) % 86400;
        int hour = static_cast<int>(ofDay / 3600);
        int minute = static_cast<int>(ofDay / 60 % 60);
        int second = static_cast<int>(ofDay % 60);
        char buffer[4700];
        if (mStdout) {
            int n = std::snprintf(buffer, sizeof(buffer), "%.2i:%.2i:%.2i: %s \n", hour, minute, second, text);
            if (n > 0) Platform::rawWrite(1, buffer, clampLength(n, sizeof(buffer)));
        }
        int n = std::snprintf(buffer, sizeof(buffer), "%02d:%02d:%02d: %s\n", hour, minute, second, text);
        for (int i = 0; i < mFileCount; ++i) {
            // Appended line by line, so a second fault keeps what was written.
            int fd = Platform::rawOpenForAppend(mFiles[i]);
            if (fd < 0) continue;
            if (n > 0) Platform::rawWriteAll(fd, buffer, clampLength(n, sizeof(buffer)));
            Platform::rawClose(fd);
        }
    }

private:
    static std::size_t clampLength(int n, std::size_t capacity) {
        return static_cast<std::size_t>(n) < capacity ? static_cast<std::size_t>(n) : capacity - 1;
    }

    static constexpr int kMaxFiles = 4;
    const char* mFiles[kMaxFiles] = {};
    int mFileCount = 0;
    bool mStdout = false;
};

bool lockWithTimeLimit(pthread_mutex_t* mutex, int milliseconds) {
    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_sec += milliseconds / 1000;
    deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    return pthread_mutex_timedlock(mutex, &deadline) == 0;
}

// The stack holds other frames' sanitizer red zones: copy it unchecked.
__attribute__((no_sanitize_address, noinline)) void copyStackBytes(unsigned char* to, std::uint64_t from,
                                                                  std::size_t length) {
    const volatile unsigned char* source = reinterpret_cast<const volatile unsigned char*>(from);
    for (std::size_t i = 0; i < length; ++i) to[i] = source[i];
}

unsigned char gStackChunk[4096];

struct DumpWriter {
    int fd;
    bool ok = true;
    void bytes(const void* data, std::size_t length) {
        if (ok) ok = Platform::rawWriteAll(fd, data, length);
    }
    void u32(std::uint32_t value) { bytes(&value, sizeof(value)); }
    void u64(std::uint64_t value) { bytes(&value, sizeof(value)); }
};

bool writeDump(int fd, const Platform::CrashSignal& crash, std::uint32_t code, std::uint64_t top,
               std::uint64_t bottom, std::size_t mapLength) {
    DumpWriter out{fd};
    out.bytes("QVDM", 4);
    out.u32(kDumpVersion);
    out.u32(static_cast<std::uint32_t>(crash.signal));
    out.u32(code);
    out.u32(static_cast<std::uint32_t>(crash.code));
    out.u32(Platform::currentThreadId());
    out.u64(crash.instructionPointer);
    out.u64(crash.faultAddress);
    out.u32(static_cast<std::uint32_t>(crash.registerCount));
    out.u32(0);
    for (int i = 0; i < crash.registerCount; ++i) {
        char name[8] = {};
        std::strncpy(name, crash.registerNames[i], sizeof(name) - 1);
        out.bytes(name, sizeof(name));
        out.u64(crash.registerValues[i]);
    }
    out.u64(crash.stackPointer);
    out.u64(top);
    out.u64(bottom);
    std::size_t stackBytes = 0;
    if (crash.stackPointer >= bottom && crash.stackPointer < top) {
        stackBytes = static_cast<std::size_t>(top - crash.stackPointer);
        if (stackBytes > kDumpStackLimit) stackBytes = kDumpStackLimit;
    }
    out.u32(static_cast<std::uint32_t>(stackBytes));
    for (std::size_t done = 0; done < stackBytes; done += sizeof(gStackChunk)) {
        std::size_t length = stackBytes - done < sizeof(gStackChunk) ? stackBytes - done : sizeof(gStackChunk);
        copyStackBytes(gStackChunk, crash.stackPointer + done, length);
        out.bytes(gStackChunk, length);
    }
    out.u32(static_cast<std::uint32_t>(mapLength));
    out.bytes(gMemoryMap, mapLength);
    return out.ok;
}

void crashHandler(const Platform::CrashSignal& crash) {
    std::uint32_t self = Platform::currentThreadId();
    std::uint32_t expected = 0;
    if (!gReportingThread.compare_exchange_strong(expected, self)) {
        // A fault inside the report itself: let the signal end the process.
        if (expected == self) return;
        // Another thread is reporting and will end the process.
        for (;;) {
            timespec pause{1, 0};
            nanosleep(&pause, nullptr);
        }
    }

    std::uint32_t code = Platform::exceptionCodeForSignal(crash.signal, crash.code);
    std::uint64_t top = 0;
    std::uint64_t bottom = 0;
    Platform::recordedStackBounds(&top, &bottom);
    std::size_t mapLength = Platform::readMemoryMap(gMemoryMap, sizeof(gMemoryMap));

    char text[4096];
    int fd = Platform::rawCreateFile(kCrashDumpFileName);
    if (fd >= 0) {
        if (writeDump(fd, crash, code, top, bottom, mapLength)) {
            writeText(1, "QV dump created.\n");
        } else {
            std::snprintf(text, sizeof(text), "QV MiniDumpWriteDump failed. Error: %u \n",
                          static_cast<unsigned>(Platform::lastErrorNumber()));
            writeText(1, text);
        }
        Platform::rawClose(fd);
    } else {
        std::snprintf(text, sizeof(text), "CreateFile failed. Error: %u \n",
                      static_cast<unsigned>(Platform::lastErrorNumber()));
        writeText(1, text);
    }

    std::snprintf(text, sizeof(text), "Unhandled exception at 0x%016llX. Exception code 0x%08X",
                  static_cast<unsigned long long>(crash.instructionPointer), code);
    if (Platform::messageBoxesInteractive()) {
        Platform::showOkCancelBox("Dump", text, Platform::MessageBoxIcon::Error);
    } else {
        writeText(2, "Dump\n");
        writeText(2, text);
        writeText(2, "\n");
    }

    CrashReportInput input;
    input.exceptionAddress = crash.instructionPointer;
    input.exceptionCode = code;
    input.exceptionFlags = 0;
    input.mainModuleBase = findModuleBase(gMemoryMap, mapLength, gExecutable);
    input.registerCount = crash.registerCount;
    input.registerNames = crash.registerNames;
    input.registerValues = crash.registerValues;
    input.stackPointer = crash.stackPointer;
    input.stackTop = top;
    input.stackBottom = bottom;
    input.memoryMap = gMemoryMap;
    input.memoryMapLength = mapLength;

    LogSystem* log = Singleton<LogSystem>::instancePointer();
    // The lock keeps other threads' lines out of the report; it is given up
    // after a while, since its holder may be the thread that crashed.
    bool locked = log && lockWithTimeLimit(log->mutex(), kCrashLogLockMilliseconds);
    RawLogSink sink(log);
    writeCrashReport(sink, input);
    if (locked) pthread_mutex_unlock(log->mutex());
}

struct EngineThreadStart {
    void* (*body)(void*);
    void* argument;
};

void* engineThreadMain(void* raw) {
    EngineThreadStart start = *static_cast<EngineThreadStart*>(raw);
    delete static_cast<EngineThreadStart*>(raw);
    installThreadCrashStack();
    return start.body(start.argument);
}

}  // namespace

void installCrashHandler() {
    gLocalOffset = Platform::localTimeOffsetSeconds();
    if (Platform::executablePath(gExecutable, sizeof(gExecutable)) == 0) gExecutable[0] = '\0';
    installThreadCrashStack();
    Platform::installCrashSignalHandlers(crashHandler);
}

bool installThreadCrashStack() { return Platform::installAlternateSignalStack(); }

int startEngineThread(pthread_t* handle, void* (*body)(void*), void* argument) {
    if (!handle || !body) return EINVAL;
    EngineThreadStart* start = new (std::nothrow) EngineThreadStart{body, argument};
    if (!start) return ENOMEM;
    const int result = pthread_create(handle, nullptr, engineThreadMain, start);
    if (result != 0) delete start;
    return result;
}

}  // namespace QV

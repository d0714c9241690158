#include "platform/crash_signals.h"

#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <cstring>

namespace QV::Platform {

namespace {

// Large enough for the report's formatting and for sanitizer-instrumented frames.
constexpr std::size_t kAlternateStackSize = 256 * 1024;

const int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGABRT};

constexpr std::uint32_t kAccessViolation = 0xC0000005u;
constexpr std::uint32_t kBreakpoint = 0x80000003u;
constexpr std::uint32_t kIllegalInstruction = 0xC000001Du;
constexpr std::uint32_t kIntegerDivideByZero = 0xC0000094u;
constexpr std::uint32_t kIntegerOverflow = 0xC0000095u;
constexpr std::uint32_t kFloatDivideByZero = 0xC000008Eu;
constexpr std::uint32_t kFloatInexactResult = 0xC000008Fu;
constexpr std::uint32_t kFloatInvalidOperation = 0xC0000090u;
constexpr std::uint32_t kFloatOverflow = 0xC0000091u;
constexpr std::uint32_t kFloatUnderflow = 0xC0000093u;
constexpr std::uint32_t kFatalAppExit = 0x40000015u;

CrashSignalHandler gHandler = nullptr;

struct ThreadCrashState {
    void* mapping;
    std::size_t mappingSize;
    std::uint64_t stackTop;
    std::uint64_t stackBottom;
};

thread_local ThreadCrashState tState = {nullptr, 0, 0, 0};

pthread_key_t gReleaseKey;
pthread_once_t gReleaseKeyOnce = PTHREAD_ONCE_INIT;

void releaseAlternateStack(void*) {
    if (!tState.mapping) return;
    stack_t off{};
    off.ss_flags = SS_DISABLE;
    sigaltstack(&off, nullptr);
    munmap(tState.mapping, tState.mappingSize);
    tState.mapping = nullptr;
}

void createReleaseKey() { pthread_key_create(&gReleaseKey, releaseAlternateStack); }

void fillRegisters(const ucontext_t* context, CrashSignal& out) {
    auto add = [&out](const char* name, std::uint64_t value) {
        if (out.registerCount < kMaxCrashRegisters) {
            out.registerNames[out.registerCount] = name;
            out.registerValues[out.registerCount] = value;
            ++out.registerCount;
        }
    };
#if defined(__x86_64__)
    const greg_t* r = context->uc_mcontext.gregs;
    add("RDI", r[REG_RDI]);
    add("RSI", r[REG_RSI]);
    add("RBX", r[REG_RBX]);
    add("RDX", r[REG_RDX]);
    add("RCX", r[REG_RCX]);
    add("RAX", r[REG_RAX]);
    add("RBP", r[REG_RBP]);
    add("RIP", r[REG_RIP]);
    add("RSP", r[REG_RSP]);
    add("R8", r[REG_R8]);
    add("R9", r[REG_R9]);
    add("R10", r[REG_R10]);
    add("R11", r[REG_R11]);
    add("R12", r[REG_R12]);
    add("R13", r[REG_R13]);
    add("R14", r[REG_R14]);
    add("R15", r[REG_R15]);
    out.instructionPointer = static_cast<std::uint64_t>(r[REG_RIP]);
    out.stackPointer = static_cast<std::uint64_t>(r[REG_RSP]);
#elif defined(__aarch64__)
    static const char* const kNames[31] = {"X0",  "X1",  "X2",  "X3",  "X4",  "X5",  "X6",  "X7",
                                           "X8",  "X9",  "X10", "X11", "X12", "X13", "X14", "X15",
                                           "X16", "X17", "X18", "X19", "X20", "X21", "X22", "X23",
                                           "X24", "X25", "X26", "X27", "X28", "FP",  "LR"};
    for (int i = 0; i < 31; ++i) add(kNames[i], context->uc_mcontext.regs[i]);
    add("SP", context->uc_mcontext.sp);
    add("PC", context->uc_mcontext.pc);
    out.instructionPointer = context->uc_mcontext.pc;
    out.stackPointer = context->uc_mcontext.sp;
#else
    (void)context;
#endif
}

void onCrashSignal(int signal, siginfo_t* info, void* rawContext) {
    CrashSignal crash;
    crash.signal = signal;
    if (info) {
        crash.code = info->si_code;
        crash.faultAddress = reinterpret_cast<std::uint64_t>(info->si_addr);
    }
    if (rawContext) fillRegisters(static_cast<const ucontext_t*>(rawContext), crash);
    int savedErrno = errno;
    if (gHandler) gHandler(crash);
    errno = savedErrno;
    reraiseWithDefaultAction(signal);
}

}  // namespace

std::uint32_t exceptionCodeForSignal(int signal, int signalCode) {
    switch (signal) {
        case SIGSEGV:
        case SIGBUS:
            return kAccessViolation;
        case SIGTRAP:
            return kBreakpoint;
        case SIGILL:
            return kIllegalInstruction;
        case SIGABRT:
            return kFatalAppExit;
        case SIGFPE:
            switch (signalCode) {
                case FPE_INTOVF: return kIntegerOverflow;
                case FPE_FLTDIV: return kFloatDivideByZero;
                case FPE_FLTRES: return kFloatInexactResult;
                case FPE_FLTINV: return kFloatInvalidOperation;
                case FPE_FLTOVF: return kFloatOverflow;
                case FPE_FLTUND: return kFloatUnderflow;
                default: return kIntegerDivideByZero;
            }
        default:
            return kAccessViolation;
    }
}

bool installCrashSignalHandlers(CrashSignalHandler handler) {
    gHandler = handler;
    struct sigaction action{};
    action.sa_sigaction = onCrashSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    // One crash at a time per thread: the other crash signals wait while the report runs.
    for (int s : kCrashSignals) sigaddset(&action.sa_mask, s);
    bool ok = true;
    for (int s : kCrashSignals) {
        if (sigaction(s, &action, nullptr) != 0) ok = false;
    }
    return ok;
}

bool installAlternateSignalStack() {
    if (tState.mapping) return true;
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
        void* address = nullptr;
        std::size_t size = 0;
        if (pthread_attr_getstack(&attributes, &address, &size) == 0) {
            tState.stackBottom = reinterpret_cast<std::uint64_t>(address);
            tState.stackTop = tState.stackBottom + size;
        }
        pthread_attr_destroy(&attributes);
    }
    long page = sysconf(_SC_PAGESIZE);
    if (page <= 0) page = 4096;
    std::size_t total = kAlternateStackSize + static_cast<std::size_t>(page);
    void* mapping = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) return false;
    // The lowest page is a guard, so an overflow of the handler faults instead of corrupting.
    mprotect(mapping, static_cast<std::size_t>(page), PROT_NONE);
    stack_t stack{};
    stack.ss_sp = static_cast<char*>(mapping) + page;
    stack.ss_size = kAlternateStackSize;
    stack.ss_flags = 0;
    if (sigaltstack(&stack, nullptr) != 0) {
        munmap(mapping, total);
        return false;
    }
    tState.mapping = mapping;
    tState.mappingSize = total;
    pthread_once(&gReleaseKeyOnce, createReleaseKey);
    // Any non-null value makes the destructor run when the thread ends.
    pthread_setspecific(gReleaseKey, mapping);
    return true;
}

bool hasAlternateSignalStack() {
    stack_t current{};
    if (sigaltstack(nullptr, &current) != 0) return false;
    return (current.ss_flags & SS_DISABLE) == 0 && current.ss_sp != nullptr;
}

void recordedStackBounds(std::uint64_t* top, std::uint64_t* bottom) {
    if (top) *top = tState.stackTop;
    if (bottom) *bottom = tState.stackBottom;
}

void reraiseWithDefaultAction(int signal) {
    struct sigaction action{};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    // Only reached when the signal's default action does not end the process.
    _exit(128 + signal);
}

std::uint32_t currentThreadId() { return static_cast<std::uint32_t>(syscall(SYS_gettid)); }

void rawWrite(int fd, const char* text, std::size_t length) { rawWriteAll(fd, text, length); }

int rawCreateFile(const char* path) { return open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644); }

int rawOpenForAppend(const char* path) { return open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644); }

bool rawWriteAll(int fd, const void* data, std::size_t length) {
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        ssize_t written = write(fd, p, length);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

void rawClose(int fd) {
    if (fd >= 0) close(fd);
}

int lastErrorNumber() { return errno; }

std::int64_t wallClockSeconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec;
}

std::int64_t localTimeOffsetSeconds() {
    time_t now = time(nullptr);
    struct tm parts{};
    localtime_r(&now, &parts);
    return parts.tm_gmtoff;
}

std::size_t readMemoryMap(char* buffer, std::size_t capacity) {
    if (!buffer || capacity == 0) return 0;
    int fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    std::size_t used = 0;
    while (used < capacity) {
        ssize_t got = read(fd, buffer + used, capacity - used);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        used += static_cast<std::size_t>(got);
    }
    close(fd);
    return used;
}

std::size_t executablePath(char* buffer, std::size_t capacity) {
    if (!buffer || capacity < 2) return 0;
    ssize_t got = readlink("/proc/self/exe", buffer, capacity - 1);
    if (got <= 0) return 0;
    buffer[got] = '\0';
    return static_cast<std::size_t>(got);
}

}  // namespace QV::Platform

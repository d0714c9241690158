#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "crash_report.h"
#include "log_system.h"
#include "platform/crash_signals.h"
#include "report_assert.h"
#include "support/captured_run.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

class LineSink : public QV::CrashReportSink {
public:
    void line(const char* text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

std::string hex16(std::uint64_t value) {
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "%016llX", static_cast<unsigned long long>(value));
    return buffer;
}

TEST(CrashReport, StackRowsOfSevenWords) {
    struct Case {
        int words;
        int fullRows;
        int lastLineWords;
    } cases[] = {{0, 0, 0}, {1, 0, 1}, {7, 0, 7}, {8, 1, 1}, {14, 1, 7}, {15, 2, 1}, {22, 3, 1}};
    for (const Case& c : cases) {
        std::vector<std::uint64_t> stack(static_cast<size_t>(c.words) + 1);
        for (int i = 0; i < c.words; ++i) stack[i] = 0x1000u + static_cast<std::uint64_t>(i);
        std::uint64_t sp = reinterpret_cast<std::uint64_t>(stack.data());
        std::uint64_t top = sp + 8u * static_cast<std::uint64_t>(c.words);
        LineSink sink;
        QV::writeStackBlock(sink, sp, top, sp - 64);
        ASSERT_EQ(sink.lines.size(), static_cast<size_t>(2 + c.fullRows + 1)) << c.words;
        EXPECT_EQ(sink.lines[0], "");
        EXPECT_EQ(sink.lines[1], "Stack (top: 0x" + hex16(top) + " bottom: 0x" + hex16(sp - 64) + " size: 0x" +
                                     hex16(64 + 8u * c.words).substr(8) + "):");
        int word = 0;
        for (int row = 0; row < c.fullRows; ++row) {
            std::string expected = "0x" + hex16(sp + 56u * row) + ":";
            for (int i = 0; i < 7; ++i, ++word) {
                char b[32];
                std::snprintf(b, sizeof(b), " 0x%016x", 0x1000 + word);
                expected += b;
            }
            EXPECT_EQ(sink.lines[2 + row], expected) << c.words;
        }
        std::string last = "0x" + hex16(sp + 56u * c.fullRows) + ": ";
        for (int i = 0; i < c.lastLineWords; ++i, ++word) {
            char b[16];
            std::snprintf(b, sizeof(b), "0x%x ", 0x1000 + word);
            last += b;
        }
        EXPECT_EQ(sink.lines.back(), last) << c.words;
    }
}

TEST(CrashReport, StackPointerOutsideTheStackIsNotRead) {
    struct Case {
        std::uint64_t sp;
    } cases[] = {{0x7000'1010u}, {0x6FFF'0000u}, {0u}};  // above top, below bottom, none
    for (const Case& c : cases) {
        LineSink sink;
        QV::CrashReportInput input;
        input.stackPointer = c.sp;
        input.stackTop = 0x7000'1000u;
        input.stackBottom = 0x7000'0000u;
        QV::writeCrashReport(sink, input);
        auto stack = std::find(sink.lines.begin(), sink.lines.end(),
                               "Stack (top: 0x0000000070001000 bottom: 0x0000000070000000 size: 0x00001000):");
        ASSERT_NE(stack, sink.lines.end());
        ASSERT_LT(stack + 3, sink.lines.end());
        EXPECT_EQ(*(stack + 1), "ERROR: Failed to dump stack");
        // The module block still follows.
        EXPECT_EQ(*(stack + 2), "");
        EXPECT_EQ(*(stack + 3), "Modules: ");
    }
}

TEST(CrashReport, BannerExceptionAndRegisterBlocks) {
    const char* names[] = {"RDI", "RSI", "RBX", "RDX", "RCX", "RAX", "RBP", "RIP", "RSP", "R8"};
    std::uint64_t values[] = {1, 2, 3, 4, 5, 6, 7, 0x55550000'1234ABCDull, 9, 0xFFFFFFFF'FFFFFFFFull};
    QV::CrashReportInput input;
    input.exceptionAddress = 0x5555'0000'1234ull;
    input.exceptionCode = 0x80000003u;
    input.mainModuleBase = 0x5555'0000'0000ull;
    input.registerCount = 10;
    input.registerNames = names;
    input.registerValues = values;
    input.stackPointer = 1;  // outside: not read
    LineSink sink;
    QV::writeCrashReport(sink, input);
    std::vector<std::string> expected = {
        "",
        "***************************************",
        "* ERROR: Unhandled exception occured! *",
        "***************************************",
        "",
        "ExceptionAddress:              0x0000555500001234",
        "ExceptionCode:                 80000003",
        "ExceptionFlags:                00000000",
        "ExceptionAddress (0x00400000): 0x0000000000401234",
        "",
        "Registers:",
        "RDI: 0000000000000001 RSI: 0000000000000002 RBX: 0000000000000003",
        "RDX: 0000000000000004 RCX: 0000000000000005 RAX: 0000000000000006",
        "RBP: 0000000000000007 RIP: 555500001234ABCD RSP: 0000000000000009",
        "R8: FFFFFFFFFFFFFFFF",
    };
    ASSERT_GE(sink.lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(sink.lines[i], expected[i]) << i;
    for (const std::string& line : sink.lines) EXPECT_EQ(line.find("0x0x"), std::string::npos) << line;
}

TEST(CrashReport, ModulesFromMemoryMap) {
    const std::string map =
        "555555554000-555555556000 r--p 00000000 08:01 1001   /opt/game/glimvale\n"
        "555555556000-555555560000 r-xp 00002000 08:01 1001   /opt/game/glimvale\n"
        "555555560000-555555562000 rw-p 0000c000 08:01 1001   /opt/game/glimvale\n"
        "555555562000-555555583000 rw-p 00000000 00:00 0      [heap]\n"
        "7ffff7a00000-7ffff7a28000 r--p 00000000 08:01 2002   /usr/lib/x86_64-linux-gnu/libc.so.6\n"
        "7ffff7a28000-7ffff7bbd000 r-xp 00028000 08:01 2002   /usr/lib/x86_64-linux-gnu/libc.so.6\n"
        "7ffff7bbd000-7ffff7c15000 r--p 001bd000 08:01 2002   /usr/lib/x86_64-linux-gnu/libc.so.6\n"
        "7ffff7c20000-7ffff7c30000 r--s 00000000 08:01 3003   /usr/share/fonts/data.bin\n"
        "7ffff7c30000-7ffff7c31000 rw-p 00000000 00:00 0 \n"
        "7ffffffde000-7ffffffff000 rw-p 00000000 00:00 0      [stack]\n"
        "garbage line\n"
        "7ffff7fc3000-7ffff7fc5000 r-xp 00000000 00:00 0      [vdso]";
    LineSink sink;
    QV::writeModuleBlock(sink, map.data(), map.size());
    std::vector<std::string> expected = {
        "",
        "Modules: ",
        "/opt/game/glimvale Handle (0x0000555555554000) Address (0x0000555555554000-0x0000555555562000)",
        "/usr/lib/x86_64-linux-gnu/libc.so.6 Handle (0x00007FFFF7A00000) Address "
        "(0x00007FFFF7A00000-0x00007FFFF7C15000)",
    };
    EXPECT_EQ(sink.lines, expected);
    EXPECT_EQ(QV::findModuleBase(map.data(), map.size(), "/opt/game/glimvale"), 0x555555554000ull);
    EXPECT_EQ(QV::findModuleBase(map.data(), map.size(), "/opt/game/glim"), 0u);
    EXPECT_EQ(QV::findModuleBase(nullptr, 0, "/x"), 0u);
}

TEST(CrashReport, ExceptionCodesOfSignals) {
    struct Case {
        int signal;
        int code;
        std::uint32_t expected;
    } cases[] = {
        {SIGSEGV, SEGV_MAPERR, 0xC0000005u}, {SIGBUS, BUS_ADRERR, 0xC0000005u}, {SIGTRAP, 0, 0x80000003u},
        {SIGILL, ILL_ILLOPC, 0xC000001Du},   {SIGFPE, FPE_INTDIV, 0xC0000094u}, {SIGFPE, FPE_FLTDIV, 0xC000008Eu},
        {SIGABRT, 0, 0x40000015u},
    };
    for (const Case& c : cases) EXPECT_EQ(QV::Platform::exceptionCodeForSignal(c.signal, c.code), c.expected) << c.signal;
}

TEST(ReportAssert, CancelEndsWithMinusOneAndLogsTheReport) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    EXPECT_EXIT(
        {
            setenv("QV_MESSAGE_BOX_ANSWER", "cancel", 1);
            QV::LogSystem log;
            QV::reportAssert("QV", "Singleton not initialized: class QV::SoundManager", "sound_manager.cpp", 77);
        },
        testing::ExitedWithCode(255), "An error was occured");
    std::string logText = qvtest::readFile(dir.file("QV.log"));
    EXPECT_NE(logText.find(": ERROR: Assert occured\n Name:\n  QV\n\nDescription:\n  Singleton not initialized: "
                           "class QV::SoundManager\n\nFile:\n  sound_manager.cpp\n\nLine:\n  77\n"),
              std::string::npos)
        << logText;
}

// Process-level: the helper program fails in a given way under the crash handler.
struct CrashCase {
    const char* mode;
    const char* answer;
    int signal;            // 0: exits normally
    const char* code;
};

void PrintTo(const CrashCase& c, std::ostream* out) { *out << c.mode << " answered " << c.answer; }

class CrashProcess : public testing::TestWithParam<CrashCase> {};

std::uint32_t readU32(const std::string& bytes, size_t offset) {
    std::uint32_t value = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

// Walks the dump's layout; false when its sizes do not add up to the file.
bool dumpIsWellFormed(const std::string& dump, std::uint32_t* signal, std::uint32_t* code) {
    if (dump.size() < 48 || dump.compare(0, 4, "QVDM") != 0 || readU32(dump, 4) != 1) return false;
    *signal = readU32(dump, 8);
    *code = readU32(dump, 12);
    size_t offset = 40;
    std::uint32_t registers = readU32(dump, offset);
    offset += 8 + registers * 16u + 24;
    offset += 4 + readU32(dump, offset);
    offset += 4 + readU32(dump, offset);
    return offset == dump.size();
}

TEST_P(CrashProcess, ReportsAndDiesOfTheSignal) {
    const CrashCase& c = GetParam();
    qvtest::TempDir dir;
    qvtest::CapturedRunOptions options;
    options.workingDirectory = dir.path();
    options.env = {{"QV_MESSAGE_BOX_ANSWER", c.answer}, {"QV_NO_MESSAGE_BOX", "1"}};
    qvtest::CapturedRun r = qvtest::runCaptured(qvtest::testProgram("crash_prog"), {c.mode}, options);
    std::string logText = qvtest::readFile(dir.file("QV.log"));
    std::string dump = qvtest::readFile(dir.file("QV.dmp"));
    SCOPED_TRACE(std::string(c.mode) + "\nstdout:\n" + r.out + "\nstderr:\n" + r.err + "\nQV.log:\n" + logText);

    if (c.signal == 0) {
        // Cancel: ended at once with -1, no dump, no crash report.
        ASSERT_TRUE(r.exited);
        EXPECT_EQ(r.exitCode, 255);
        EXPECT_TRUE(dump.empty());
        EXPECT_EQ(r.out.find("QV dump created."), std::string::npos);
        EXPECT_NE(logText.find("ERROR: Assert occured\n Name:\n  QV\n\nDescription:\n  Test failure\n\nFile:\n  "),
                  std::string::npos);
        EXPECT_EQ(logText.find("Unhandled exception"), std::string::npos);
        return;
    }
    ASSERT_TRUE(r.signaled);
    EXPECT_EQ(r.signal, c.signal);
    EXPECT_NE(r.out.find("QV dump created.\n"), std::string::npos);
    std::uint32_t signal = 0, code = 0;
    EXPECT_TRUE(dumpIsWellFormed(dump, &signal, &code)) << dump.size();
    EXPECT_EQ(signal, static_cast<std::uint32_t>(c.signal));
    EXPECT_EQ(code, std::strtoul(c.code, nullptr, 16));
    EXPECT_TRUE(std::regex_search(r.err, std::regex(std::string("Dump\nUnhandled exception at 0x[0-9A-F]{16}\\. "
                                                                "Exception code 0x") + c.code)));

    const std::string t = "[0-9]{2}:[0-9]{2}:[0-9]{2}: ";
    std::regex report(t + "\n" + t + "\\*{39}\n" + t + "\\* ERROR: Unhandled exception occured! \\*\n" + t +
                      "\\*{39}\n" + t + "\n" + t + "ExceptionAddress:              0x[0-9A-F]{16}\n" + t +
                      "ExceptionCode:                 " + c.code + "\n" + t + "ExceptionFlags:                00000000\n" +
                      t + "ExceptionAddress \\(0x00400000\\): 0x[0-9A-F]{16}\n" + t + "\n" + t + "Registers:\n" + t +
                      "RDI: [0-9A-F]{16} RSI: [0-9A-F]{16} RBX: [0-9A-F]{16}\n");
    EXPECT_TRUE(std::regex_search(logText, report));
    // The faulting thread's stack is dumped in rows of seven words.
    EXPECT_TRUE(std::regex_search(logText, std::regex(t + "Stack \\(top: 0x[0-9A-F]{16} bottom: 0x[0-9A-F]{16} "
                                                          "size: 0x[0-9A-F]{8,}\\):\n" + t +
                                                          "(0x[0-9A-F]{16}:( 0x[0-9a-f]{16}){7}\n|ERROR: Failed)")));
    EXPECT_TRUE(std::regex_search(
        logText, std::regex(t + "Modules: \n" + t + "/.*crash_prog Handle \\(0x[0-9A-F]{16}\\) Address \\(0x[0-9A-F]{16}-0x[0-9A-F]{16}\\)\n")));
    EXPECT_EQ(logText.find("0x0x"), std::string::npos);
    // The same lines on standard output, with the trailing space.
    EXPECT_NE(r.out.find(": * ERROR: Unhandled exception occured! * \n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CrashProcess,
    testing::Values(CrashCase{"assert", "cancel", 0, ""}, CrashCase{"assert", "ok", SIGTRAP, "80000003"},
                    CrashCase{"segv", "ok", SIGSEGV, "C0000005"}, CrashCase{"job_null", "ok", SIGSEGV, "C0000005"},
                    CrashCase{"locked_log", "ok", SIGSEGV, "C0000005"},
                    CrashCase{"fault_in_log", "ok", SIGSEGV, "C0000005"}, CrashCase{"fpe", "ok", SIGFPE, "C0000094"},
                    CrashCase{"abort", "ok", SIGABRT, "40000015"},
                    CrashCase{"overflow_thread", "ok", SIGSEGV, "C0000005"}),
    [](const testing::TestParamInfo<CrashCase>& info) { return std::string(info.param.mode) + "_" + info.param.answer; });

TEST(CrashProcess, DumpThatCannotBeCreatedIsReportedAndTheReportStillFollows) {
    qvtest::TempDir dir;
    qvtest::writeFile(dir.file("QV.dmp/blocker"), "");  // a folder in the dump's place
    qvtest::CapturedRunOptions options;
    options.workingDirectory = dir.path();
    options.env = {{"QV_MESSAGE_BOX_ANSWER", "ok"}};
    qvtest::CapturedRun r = qvtest::runCaptured(qvtest::testProgram("crash_prog"), {"segv"}, options);
    ASSERT_TRUE(r.signaled);
    EXPECT_NE(r.out.find("CreateFile failed. Error: "), std::string::npos) << r.out;
    EXPECT_NE(qvtest::readFile(dir.file("QV.log")).find("* ERROR: Unhandled exception occured! *"),
              std::string::npos);
}

}  // namespace

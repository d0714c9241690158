#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "format_string.h"
#include "log_system.h"
#include "report_assert.h"
#include "support/temp_dir.h"

namespace {

TEST(FormatString, CapsAt1095Characters) {
    struct Case {
        size_t length;
        size_t expected;
    } cases[] = {{0, 0}, {1094, 1094}, {1095, 1095}, {1096, 1095}, {5000, 1095}};
    for (const Case& c : cases) {
        std::string input(c.length, 'x');
        EXPECT_EQ(QV::formatString("%s", input.c_str()).size(), c.expected) << c.length;
    }
}

TEST(FormatString, IntToString) {
    EXPECT_EQ(intToString(0), "0");
    EXPECT_EQ(intToString(-42), "-42");
    EXPECT_EQ(intToString(2147483647), "2147483647");
}

TEST(LogSystem, FileAndStdoutLineForms) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    {
        std::ofstream stale("QV.log");
        stale << "old run\n";
    }
    testing::internal::CaptureStdout();
    {
        QV::LogSystem log;
        EXPECT_EQ(qvtest::readFile("QV.log"), "");  // emptied at start
        QV::logLine("Init FileSystem...");
        QV::logLine("two\nlines");
        QV::logLine("");
    }
    std::string out = testing::internal::GetCapturedStdout();
    std::string file = qvtest::readFile("QV.log");
    std::regex fileForm(
        "[0-9]{2}:[0-9]{2}:[0-9]{2}: Init FileSystem\\.\\.\\.\n"
        "[0-9]{2}:[0-9]{2}:[0-9]{2}: two\nlines\n"
        "[0-9]{2}:[0-9]{2}:[0-9]{2}: \n");
    EXPECT_TRUE(std::regex_match(file, fileForm)) << file;
    std::regex outForm(
        "[0-9]{2}:[0-9]{2}:[0-9]{2}: Init FileSystem\\.\\.\\. \n"
        "[0-9]{2}:[0-9]{2}:[0-9]{2}: two\nlines \n"
        "[0-9]{2}:[0-9]{2}:[0-9]{2}:  \n");
    EXPECT_TRUE(std::regex_match(out, outForm)) << out;
    EXPECT_EQ(QV::Singleton<QV::LogSystem>::instancePointer(), nullptr);
}

}  // namespace

namespace {

TEST(FatalReportDeathTest, WithoutLogWritesStderrAndLogFileDirectly) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    ASSERT_EQ(QV::Singleton<QV::LogSystem>::instancePointer(), nullptr);
    EXPECT_EXIT(QV::reportAssert("QV", "early failure", "early.cpp", 7), testing::ExitedWithCode(255),
                "ERROR: Assert occured\n Name:\n  QV\n\nDescription:\n  early failure\n\nFile:\n  early.cpp\n\nLine:\n  7");
    std::string file = qvtest::readFile("QV.log");
    EXPECT_NE(file.find(": ERROR: Assert occured\n Name:\n  QV"), std::string::npos) << file;
}

}  // namespace

#include <gtest/gtest.h>

#include <regex>

#include "memory_manager.h"
#include "support/temp_dir.h"

namespace {

const char* const kHeader = "*******************************\n***** MEMORY MANAGED DUMP *****\n";
const char* const kFooter = "************* END *************\n*******************************\n";

TEST(MemoryManager, CleanRunReportIsAppended) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    qvtest::writeFile("QV.log", "12:00:00: earlier line\n");
    QV::MemoryManager manager;
    EXPECT_TRUE(manager.isEnabled());
    manager.dumpLeaks();
    EXPECT_EQ(qvtest::readFile("QV.log"), std::string("12:00:00: earlier line\n") + kHeader +
                                              "MemoryManager: Memory Leaks not found\n" + kFooter);
}

TEST(MemoryManager, TrackedBlocksAreListedInAddressOrder) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    QV::MemoryManager manager;
    char blocks[3];
    manager.track(&blocks[2], 64, "b.cpp", 7);
    manager.track(&blocks[0], 16, "a.cpp", 12);
    manager.track(&blocks[1], 8, "gone.cpp", 1);
    manager.untrack(&blocks[1]);
    EXPECT_EQ(manager.recordCount(), 2u);
    manager.dumpLeaks();
    std::string report = qvtest::readFile("QV.log");
    std::regex form(std::string("\\*+\n\\*+ MEMORY MANAGED DUMP \\*+\n") +
                    "WARNING: Possible memory leak at a\\.cpp:12, size 16 bytes, ptr 0x[0-9A-F]+ \n"
                    "WARNING: Possible memory leak at b\\.cpp:7, size 64 bytes, ptr 0x[0-9A-F]+ \n"
                    "WARNING: Found 2 possible memory leaks\n\\*+ END \\*+\n\\*+\n");
    EXPECT_TRUE(std::regex_match(report, form)) << report;
}

TEST(MemoryManager, UnwritableLogWritesNothing) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    qvtest::writeFile("QV.log/blocker", "");  // a folder where the file would be
    QV::MemoryManager manager;
    manager.dumpLeaks();
    EXPECT_EQ(qvtest::readFile("QV.log/blocker"), "");
}

}  // namespace

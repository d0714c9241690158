#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <memory>
#include <string>
#include <vector>

#include "log_system.h"
#include "package_archive.h"
#include "package_archive_writer.h"
#include "support/temp_dir.h"

namespace {

using QV::PackageArchiveItem;

std::string word(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = char((v >> (8 * i)) & 0xFF);
    return s;
}

// A record placed in an explicit slot; data follows the table in slot order.
struct Slot {
    std::string name;  // raw 128 bytes are taken when longer
    std::string data;
};

std::string rawArchive(const std::vector<Slot>& slots) {
    std::string table, data;
    uint32_t offset = QV::kPackageHeaderSize + uint32_t(slots.size()) * 136;
    for (const Slot& s : slots) {
        std::string name = s.name.substr(0, 128);
        name.resize(128, '\0');
        table += name + word(offset) + word(uint32_t(s.data.size()));
        data += s.data;
        offset += uint32_t(s.data.size());
    }
    return word(1) + word(2) + word(uint32_t(slots.size())) + table + data;
}

// One record with the given declared place, followed by two bytes of data.
std::string withRecord(const std::string& name, uint32_t offset, uint32_t size) {
    std::string record = name;
    record.resize(128, '\0');
    return word(1) + word(2) + word(1) + record + word(offset) + word(size) + "ok";
}

std::string build(const std::vector<PackageArchiveItem>& items) {
    std::string archive, error;
    EXPECT_TRUE(QV::buildPackageArchive(items, archive, error)) << error;
    return archive;
}

class ArchiveFile {
public:
    explicit ArchiveFile(const std::string& bytes) {
        qvtest::writeFile(mDir.file("data.qvp"), bytes);
        mReader = std::make_unique<QV::QVPReader>(mDir.file("data.qvp"));
    }
    QV::QVPReader& reader() { return *mReader; }
    std::string readAll(const std::string& location) {
        std::unique_ptr<QV::File> f(mReader->openFile(location));
        if (!f) return "<absent>";
        std::string out(f->size() + 16, '\0');
        int n = f->read(&out[0], int(out.size()));
        out.resize(n > 0 ? size_t(n) : 0);
        return out;
    }

private:
    qvtest::TempDir mDir;
    std::unique_ptr<QV::QVPReader> mReader;
};

TEST(PackageArchive, NameHashTakesBytesAsSignedChars) {
    struct Case {
        const char* name;
        uint32_t hash;
    } cases[] = {
        {"", 0u},
        {"a", 97u},
        {"ab", 3105u},
        {"/config.lua", 2273013947u},
        {"\xC3\xA9", 4294965318u},  // -61 * 31 - 87, wrapped
    };
    for (const Case& c : cases) EXPECT_EQ(QV::packageNameHash(c.name), c.hash) << c.name;
}

TEST(PackageArchive, WriterPlacesRecordsFromHomeSlotAndReaderProbes) {
    // N = 3: "b" homes in the last slot, "a" and "d" share slot 1, so "d"
    // probes 1, 2 and wraps to 0.
    ArchiveFile archive(build({{"b", "bee"}, {"a", "ay"}, {"d", "dee"}}));
    const QV::PackageTable& table = archive.reader().table();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_STREQ(table.record(2).name, "b");
    EXPECT_STREQ(table.record(1).name, "a");
    EXPECT_STREQ(table.record(0).name, "d");
    struct Case {
        const char* name;
        uint32_t probes;
        const char* data;
    } cases[] = {{"b", 1, "bee"}, {"a", 1, "ay"}, {"d", 3, "dee"}, {"c", 0, "<absent>"},
                 {"B", 0, "<absent>"}, {"", 0, "<absent>"}};
    for (const Case& c : cases) {
        EXPECT_EQ(table.probeCount(c.name), c.probes) << c.name;
        EXPECT_EQ(archive.readAll(c.name), c.data) << c.name;
    }
}

TEST(PackageArchive, LookupCases) {
    std::string longest(127, 'x');
    longest[0] = '/';
    // The name with high bytes goes in first, so it takes its home slot.
    const std::string summer = "/\xC3\xA9t\xC3\xA9.lua";
    ArchiveFile archive(build({{summer, "summer"},
                               {"/config.lua", "cfg"},
                               {longest, "long"},
                               {"/Data/a.png", "png"},
                               {"/fifth", "5"}}));
    struct Case {
        std::string name;
        const char* data;
    } cases[] = {
        {"/config.lua", "cfg"},
        {"/Config.lua", "<absent>"},  // case-sensitive
        {"/CONFIG.LUA", "<absent>"},
        {"config.lua", "<absent>"},
        {longest, "long"},
        {longest + "y", "<absent>"},  // 128 bytes cannot be a stored name
        {"/\xC3\xA9t\xC3\xA9.lua", "summer"},
        {"/Data/a.png", "png"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(archive.readAll(c.name), c.data) << c.name;
        const QV::PackageTable& table = archive.reader().table();
        EXPECT_EQ(table.find(c.name.c_str()), table.probe(c.name.c_str())) << c.name;
    }
    // Home slot from the signed-char hash, which differs from an unsigned one
    // here (the table size is odd: a multiple of 256 would hide the sign).
    uint32_t unsignedHash = 0;
    for (unsigned char c : summer) unsignedHash = unsignedHash * 31 + c;
    uint32_t home = QV::packageNameHash(summer.c_str()) % 5;
    ASSERT_NE(unsignedHash % 5, home);
    EXPECT_EQ(std::string(archive.reader().table().record(home).name), summer);
    EXPECT_EQ(archive.reader().table().probeCount(summer.c_str()), 1u);
}

TEST(PackageArchive, SingleEntryAndRecordsAwayFromHome) {
    ArchiveFile one(build({{"/only", "1"}}));
    EXPECT_EQ(one.readAll("/only"), "1");
    EXPECT_EQ(one.readAll("/other"), "<absent>");

    // A writer that hashed bytes as unsigned would put this name elsewhere:
    // the reader still finds it, after a longer scan.
    const std::string name = "/\xFF";
    uint32_t home = QV::packageNameHash(name.c_str()) % 4;
    std::vector<Slot> slots(4, Slot{"", ""});
    slots[0] = {"/p0", "zero"};
    slots[(home + 3) % 4] = {name, "far"};
    for (uint32_t i = 1; i < 4; ++i) {
        if (slots[i].name.empty()) slots[i] = {"/p" + std::to_string(i), ""};
    }
    ArchiveFile far(rawArchive(slots));
    EXPECT_EQ(far.readAll(name), "far");
    EXPECT_EQ(far.reader().table().probeCount(name.c_str()), 4u);
}

TEST(PackageArchive, RepeatedNameAnswersWhatTheWalkMeetsFirst) {
    // Damaged: "/n" twice. From its home slot the walk meets one copy first.
    uint32_t home = QV::packageNameHash("/n") % 3;
    std::vector<Slot> slots(3, Slot{"/other", "o"});
    slots[(home + 2) % 3] = {"/n", "far"};
    slots[(home + 1) % 3] = {"/n", "near"};
    slots[home] = {"/x", "x"};
    ArchiveFile archive(rawArchive(slots));
    EXPECT_EQ(archive.readAll("/n"), "near");
    EXPECT_EQ(archive.reader().table().find("/n"), archive.reader().table().probe("/n"));
}

TEST(PackageArchive, UnterminatedNamesAreComparedWithinTheirRecord) {
    std::string full(128, 'n');  // no terminator at all
    ArchiveFile archive(rawArchive({{full, "x"}, {"/ok", "ok"}}));
    EXPECT_EQ(archive.readAll(full.substr(0, 127)), "<absent>");
    EXPECT_EQ(archive.readAll(full), "<absent>");
    EXPECT_EQ(archive.readAll("/ok"), "ok");
}

TEST(PackageArchive, ReadsAndSeeks) {
    std::string thirty = "0123456789abcdefghijklmnopqrst";
    ArchiveFile archive(build({{"/thirty", thirty}, {"/empty", ""}, {"/other", "OTHER"}}));
    std::unique_ptr<QV::File> f(archive.reader().openFile("/thirty"));
    std::unique_ptr<QV::File> g(archive.reader().openFile("/other"));
    ASSERT_TRUE(f && g);
    auto* seekable = dynamic_cast<QV::QVPFile*>(f.get());
    ASSERT_NE(seekable, nullptr);
    EXPECT_TRUE(f->open("/thirty"));
    EXPECT_EQ(f->size(), 30u);

    char buffer[128];
    EXPECT_EQ(f->read(buffer, 100), 30);
    EXPECT_EQ(std::string(buffer, 30), thirty);
    EXPECT_EQ(f->read(buffer, 100), 0);

    struct Case {
        int32_t seekTo;
        int32_t position;
        int count;
        const char* data;
    } cases[] = {{-5, 0, 3, "012"}, {10, 10, 5, "abcde"}, {1000, 29, 10, "t"},
                 {29, 29, 1, "t"}, {0, 0, 0, ""}};
    for (const Case& c : cases) {
        seekable->seek(c.seekTo);
        EXPECT_EQ(f->position(), c.position) << c.seekTo;
        // Another file on the shared handle moves it in between.
        char other[5];
        EXPECT_EQ(g->read(other, 1), 1);
        int n = f->read(buffer, c.count);
        EXPECT_EQ(std::string(buffer, n > 0 ? n : 0), c.data) << c.seekTo;
    }

    std::unique_ptr<QV::File> e(archive.reader().openFile("/empty"));
    ASSERT_TRUE(e);
    dynamic_cast<QV::QVPFile*>(e.get())->seek(3);
    EXPECT_EQ(e->position(), 0);
    EXPECT_EQ(e->read(buffer, 10), 0);

    // Closing does not stop later reads.
    seekable->seek(0);
    f->close();
    EXPECT_EQ(f->read(buffer, 2), 2);
}

TEST(PackageArchive, LogsOpeningAndMissingArchive) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    std::string log;
    {
        QV::LogSystem logSystem;
        // A missing archive is optional: no error.
        QV::QVPReader missing(dir.file("absent.qvp"));
        EXPECT_EQ(missing.openFile("/config.lua"), nullptr);
        log = qvtest::readFile(dir.file("QV.log"));
        EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
        // One that is there but cannot be opened is.
        std::filesystem::create_directories(dir.file("folder.qvp"));
        QV::QVPReader unreadable(dir.file("folder.qvp"));
        EXPECT_EQ(unreadable.openFile("/config.lua"), nullptr);
        qvtest::writeFile(dir.file("data.qvp"), build({{"/a", "1"}, {"/b", "2"}, {"/c", "3"}}));
        QV::QVPReader present(dir.file("data.qvp"));
    }
    log = qvtest::readFile(dir.file("QV.log"));
    for (const char* line :
         {"sizeof(TableEntry) = 136\n", "ERROR: Failed to open QVP archive.\n",
          "QVP Archive total files: 3\n", "QVP Hash table size: 420\n", "hash table loaded in ",
          "initHashTable done\n"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    }
}

TEST(PackageArchiveDeathTest, DamagedArchivesAreFatalReports) {
    struct Case {
        std::string bytes;
        const char* report;
    } cases[] = {
        {word(1) + word(2) + word(0), "QVP must contain at least one file"},
        {word(1) + word(2) + word(1000) + std::string(136, 'x'), "1000 entries do not fit"},
        {word(1) + word(2) + word(0xFFFFFFFFu), "entries do not fit"},
        {std::string("QVP"), "the header is incomplete"},
        // Declared sizes and offsets are checked against the file when the table is read.
        {withRecord("/big.lua", 12 + 136, 0xFFFFFFF0u), "entry '/big.lua' \\(offset 148, size 4294967280\\) lies past"},
        {withRecord("/far.lua", 0xFFFFFFF0u, 1), "entry '/far.lua' \\(offset 4294967280, size 1\\) lies past"},
        {withRecord("/one.lua", 12 + 136, 3), "entry '/one.lua' .* lies past the archive's end \\(150 bytes\\)"},
        {build({{"/a", "0123456789"}}).substr(0, 12 + 136 + 6), "entry '/a' \\(offset 148, size 10\\)"},  // cut short
    };
    for (const Case& c : cases) {
        qvtest::TempDir dir;
        qvtest::writeFile(dir.file("data.qvp"), c.bytes);
        // The report names the archive too.
        EXPECT_EXIT(QV::QVPReader reader(dir.file("data.qvp")), testing::ExitedWithCode(255),
                    "data.qvp: .*" + std::string(c.report));
    }
}

TEST(PackageArchiveWriter, RefusesWhatTheReaderCannotHold) {
    struct Case {
        std::vector<PackageArchiveItem> items;
        const char* error;
    } cases[] = {
        {{}, "at least one file"},
        {{{"/a", "1"}, {"/a", "2"}}, "listed twice"},
        {{{std::string(128, 'x'), ""}}, "does not fit"},
        {{{"", "1"}}, "does not fit"},
    };
    for (const Case& c : cases) {
        std::string archive, error;
        EXPECT_FALSE(QV::buildPackageArchive(c.items, archive, error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST(PackageArchiveWriter, PackToolPacksEveryListedFile) {
    std::string tool = std::string(QV_BINARY_DIR) + "/qvp_pack";
    if (access(tool.c_str(), X_OK) != 0) GTEST_SKIP() << "qvp_pack not built";
    qvtest::TempDir dir;
    qvtest::writeFile(dir.file("media/config.lua"), "config = {}\n");
    qvtest::writeFile(dir.file("media/filelist.lua"),
                      "directories = { pc = { { \"/lists/default.lua\" } } }\n");
    qvtest::writeFile(dir.file("media/lists/default.lua"),
                      "name = \"default\"\nfilelist = { { name = \"logo_xml\", filename = "
                      "\"/ui/logo.xml\" } }\n");
    qvtest::writeFile(dir.file("media/ui/logo.xml"), "<logo/>");
    qvtest::writeFile(dir.file("media/unlisted.txt"), "not packed");
    std::string command = tool + " " + dir.file("media") + " " + dir.file("out.qvp") + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ArchiveFile archive(qvtest::readFile(dir.file("out.qvp")));
    EXPECT_EQ(archive.reader().table().size(), 4u);
    EXPECT_EQ(archive.readAll("/ui/logo.xml"), "<logo/>");
    EXPECT_EQ(archive.readAll("/config.lua"), "config = {}\n");
    EXPECT_EQ(archive.readAll("/unlisted.txt"), "<absent>");

    qvtest::writeFile(dir.file("media/lists/default.lua"),
                      "name = \"default\"\nfilelist = { { name = \"gone\", filename = "
                      "\"/gone.png\" } }\n");
    command = tool + " " + dir.file("media") + " " + dir.file("bad.qvp") + " 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_NE(access(dir.file("bad.qvp").c_str(), F_OK), 0);
}

}  // namespace

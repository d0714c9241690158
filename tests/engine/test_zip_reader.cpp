#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "file_system.h"
#include "log_system.h"
#include "loose_file.h"
#include "support/temp_dir.h"
#include "zip_reader.h"

namespace {

void writeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    zipFile zf = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zf, nullptr);
    for (const auto& m : members) {
        zip_fileinfo info{};
        ASSERT_EQ(zipOpenNewFileInZip64(zf, m.first.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                        Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0),
                  ZIP_OK);
        if (!m.second.empty()) {
            ASSERT_EQ(zipWriteInFileInZip(zf, m.second.data(), unsigned(m.second.size())), ZIP_OK);
        }
        ASSERT_EQ(zipCloseFileInZip(zf), ZIP_OK);
    }
    ASSERT_EQ(zipClose(zf, nullptr), ZIP_OK);
}

std::string readAll(QV::File* file) {
    std::string out;
    char chunk[7];  // small on purpose: many reads per member
    int n;
    while ((n = file->read(chunk, sizeof(chunk))) > 0) out.append(chunk, n);
    return out;
}

// A content directory "./media/" inside a fresh temporary working directory.
class ZipFixture : public testing::Test {
protected:
    void SetUp() override {
        mCd = std::make_unique<qvtest::ScopedChdir>(mDir.path());
        QV::gContentDirectory = "./media/";
        QV::gZipArchivePath.clear();
    }
    void TearDown() override { mCd.reset(); }

    qvtest::TempDir mDir;
    std::unique_ptr<qvtest::ScopedChdir> mCd;
};

TEST_F(ZipFixture, MemberNamesDropOneLeadingSlash) {
    std::string big(100000, 'z');
    writeZip(mDir.file("media/data.zip"), {{"ui/a.xml", "<a/>"},
                                           {"top.lua", "x = 1"},
                                           {"\xC3\xA9t\xC3\xA9.txt", "summer"},
                                           {"big.bin", big},
                                           {"empty", ""}});
    QV::ZipReader reader;
    struct Case {
        const char* location;
        std::string data;
    } cases[] = {
        {"/ui/a.xml", "<a/>"},  {"ui/a.xml", "<a/>"},   {"//ui/a.xml", "<absent>"},
        {"/top.lua", "x = 1"},  {"/UI/A.XML", "<absent>"}, {"/\xC3\xA9t\xC3\xA9.txt", "summer"},
        {"/big.bin", big},      {"/empty", ""},          {"/missing", "<absent>"},
        {"/ui", "<absent>"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QV::File> f(reader.openFile(c.location));
        if (!f) {
            EXPECT_TRUE(c.data == "<absent>") << c.location;
            continue;
        }
        EXPECT_EQ(f->size(), c.data.size()) << c.location;
        EXPECT_TRUE(readAll(f.get()) == c.data) << c.location;
        EXPECT_EQ(f->position(), int32_t(c.data.size())) << c.location;
    }
}

TEST_F(ZipFixture, HandlesArePooledAndReturnedOnce) {
    writeZip(mDir.file("media/data.zip"), {{"a", "AAAA"}, {"b", "BBBB"}});
    QV::ZipReader reader;
    std::unique_ptr<QV::File> a(reader.openFile("/a"));
    ASSERT_TRUE(a);
    EXPECT_EQ(reader.pooledHandleCount(), 0u);
    std::unique_ptr<QV::File> b(reader.openFile("/b"));
    ASSERT_TRUE(b);
    EXPECT_EQ(reader.pooledHandleCount(), 0u);  // a second handle was opened
    char c;
    EXPECT_EQ(a->read(&c, 1), 1);
    EXPECT_EQ(b->read(&c, 1), 1);
    EXPECT_EQ(c, 'B');

    // Closed, then deleted: the handle goes back once, not twice.
    a->close();
    EXPECT_EQ(a->read(&c, 1), -1);
    a.reset();
    EXPECT_EQ(reader.pooledHandleCount(), 1u);
    b.reset();
    EXPECT_EQ(reader.pooledHandleCount(), 2u);

    // Absent members do not grow the number of handles.
    for (int i = 0; i < 5; ++i) EXPECT_EQ(reader.openFile("/nothing"), nullptr);
    EXPECT_EQ(reader.pooledHandleCount(), 2u);

    // Two live files never share a handle.
    std::unique_ptr<QV::File> x(reader.openFile("/a"));
    std::unique_ptr<QV::File> y(reader.openFile("/b"));
    EXPECT_EQ(readAll(x.get()), "AAAA");
    EXPECT_EQ(readAll(y.get()), "BBBB");
}

TEST_F(ZipFixture, OverlongNamesAreAbsent) {
    std::string cut(QV::kZipNameLimit, 'n');
    std::string overlong = cut + "tail";
    writeZip(mDir.file("media/data.zip"), {{overlong, "long"}, {cut.substr(1), "fits"}});
    QV::ZipReader reader;
    EXPECT_EQ(reader.openFile("/" + overlong), nullptr);
    EXPECT_EQ(reader.openFile("/" + cut), nullptr);  // the overlong name cut short
    std::unique_ptr<QV::File> f(reader.openFile("/" + cut.substr(1)));
    ASSERT_TRUE(f);
    EXPECT_EQ(readAll(f.get()), "fits");
}

// Overwrites a 32-bit field of the first central-directory record.
void patchCentralRecord(const std::string& path, size_t field, uint32_t value) {
    std::string bytes = qvtest::readFile(path);
    const size_t at = bytes.find(std::string("PK\x01\x02", 4));
    ASSERT_NE(at, std::string::npos);
    for (int i = 0; i < 4; ++i) bytes[at + field + i] = char((value >> (8 * i)) & 0xFF);
    qvtest::writeFile(path, bytes);
}

using ZipDeathTest = ZipFixture;

TEST_F(ZipDeathTest, MembersThatDoNotFitTheArchiveAreFatalReports) {
    struct Case {
        size_t field;  // in the central-directory record
        uint32_t value;
        const char* report;
    } cases[] = {
        {24, 0xFFFFFFF0u, "member 'b.lua' \\(data at [0-9]+, [0-9]+ bytes compressed, 4294967280 declared\\)"},
        {20, 0x7FFFFFF0u, "member 'b.lua' \\(data at [0-9]+, 2147483632 bytes compressed"},
        {42, 0x7FFFFFF0u, "member 'b.lua' \\(data at 0,"},
    };
    for (const Case& c : cases) {
        writeZip(mDir.file("media/data.zip"), {{"b.lua", "return 1"}});
        patchCentralRecord(mDir.file("media/data.zip"), c.field, c.value);
        EXPECT_EXIT(
            {
                QV::ZipReader reader;
                reader.openFile("/b.lua");
            },
            testing::ExitedWithCode(255), std::string("ZIP archive ./media/data.zip is damaged: ") + c.report);
    }
}

TEST_F(ZipFixture, MissingArchiveIsSilentAndRetried) {
    qvtest::ScopedChdir stay(mDir.path());
    {
        QV::LogSystem log;
        QV::ZipReader reader;
        EXPECT_EQ(reader.openFile("/a"), nullptr);
        EXPECT_EQ(reader.pooledHandleCount(), 0u);
        // Appears later: the next request opens it.
        writeZip(mDir.file("media/data.zip"), {{"a", "late"}});
        std::unique_ptr<QV::File> f(reader.openFile("/a"));
        ASSERT_TRUE(f);
        EXPECT_EQ(readAll(f.get()), "late");
    }
    std::string log = qvtest::readFile(mDir.file("QV.log"));
    EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
    EXPECT_NE(log.find("ZipReader::cacheFileLocationInfo: done in "), std::string::npos) << log;
    EXPECT_EQ(QV::gZipArchivePath, "./media/data.zip");
}

TEST_F(ZipFixture, ThreadsReadDifferentMembersAtOnce) {
    std::vector<std::pair<std::string, std::string>> members;
    for (int i = 0; i < 8; ++i) members.push_back({"m" + std::to_string(i), std::string(3000, char('a' + i))});
    writeZip(mDir.file("media/data.zip"), members);
    QV::ZipReader reader;
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 50; ++round) {
                int i = (t + round) % 8;
                std::unique_ptr<QV::File> f(reader.openFile("/" + members[i].first));
                if (!f || readAll(f.get()) != members[i].second) ++failures[t];
            }
        });
    }
    for (std::thread& t : threads) t.join();
    for (int f : failures) EXPECT_EQ(f, 0);
    EXPECT_LE(reader.pooledHandleCount(), 4u);
}

TEST(LooseFiles, ContentDirectoryFirstThenLocationAsGiven) {
    qvtest::TempDir dir;
    qvtest::writeFile(dir.file("media/ten.bin"), "0123456789");
    qvtest::writeFile(dir.file("elsewhere/abs.txt"), "absolute");
    QV::gContentDirectory = dir.file("media/");
    QV::LocalReader reader;
    struct Case {
        std::string location;
        const char* data;
    } cases[] = {
        {"/ten.bin", "0123456789"},            // content directory + "/ten.bin" (doubled slash)
        {dir.file("elsewhere/abs.txt"), "absolute"},  // second attempt, as given
        {"/nothing", "<absent>"},
        {"/", "<absent>"},                      // a directory is not a file
    };
    for (const Case& c : cases) {
        std::unique_ptr<QV::File> f(reader.openFile(c.location));
        EXPECT_EQ(f ? readAll(f.get()) : "<absent>", c.data) << c.location;
    }

    QV::LocalFile file;
    ASSERT_TRUE(file.open(dir.file("media/ten.bin")));
    char buffer[20];
    EXPECT_EQ(file.size(), 10u);
    EXPECT_EQ(file.read(buffer, 20), 10);
    EXPECT_EQ(file.read(buffer, 20), 0);
    file.seek(4);
    EXPECT_EQ(file.position(), 4);
    EXPECT_EQ(file.read(buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "456");
    file.seek(-1);
    EXPECT_EQ(file.position(), -1);  // failed state
    file.close();
    EXPECT_EQ(file.read(buffer, 3), 0);
    QV::gContentDirectory.clear();
}

}  // namespace

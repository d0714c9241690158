#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "config_manager.h"
#include "file_system.h"
#include "log_system.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"

namespace {

std::string readAll(QV::File* file) {
    std::string out;
    char chunk[64];
    int n;
    while ((n = file->read(chunk, sizeof(chunk))) > 0) out.append(chunk, n);
    return out;
}

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class FileSystemTest : public testing::Test {
protected:
    void start(const std::string& config = qvtest::configLua()) {
        if (!config.empty()) qvtest::writeFile(mDir.file("media/config.lua"), config);
        mEngine = std::make_unique<qvtest::MediaEngine>(mDir.path());
    }
    void TearDown() override {
        mEngine.reset();
    }
    std::string media(const std::string& path) { return mDir.file("media" + path); }
    std::string log() { return qvtest::readFile(mDir.file("QV.log")); }
    std::string contents(const std::string& package, const std::string& name) {
        std::unique_ptr<QV::File> f(mEngine->files().open(package, name));
        return f ? readAll(f.get()) : "<null>";
    }

    qvtest::TempDir mDir;
    std::unique_ptr<qvtest::MediaEngine> mEngine;
};

TEST_F(FileSystemTest, BuildsTheTableAndOpensWithFallbacks) {
    qvtest::writeMedia(media(""), {{"default",
                                    {{"only_default", "/shared.txt"},
                                     {"greeting", "/hello_default.txt"},
                                     {"listed_missing", "/no_such_file.txt"}}},
                                   {"en", {{"greeting", "/hello_en.txt"}}},
                                   {"fr", {{"greeting", "/hello_fr.txt"}}}},
                       "");
    qvtest::writeFile(media("/shared.txt"), "shared");
    qvtest::writeFile(media("/hello_default.txt"), "hello?");
    qvtest::writeFile(media("/hello_en.txt"), "hello");
    qvtest::writeFile(media("/hello_fr.txt"), "bonjour");
    start();

    QV::FileSystem::PackageTable table = mEngine->files().packageTable();
    EXPECT_EQ(table["default"]["config"], "/config.lua");
    EXPECT_EQ(table["default"]["filelist.lua"], "/filelist.lua");
    EXPECT_EQ(table["default"]["/lists/en.lua"], "/lists/en.lua");  // each list under its own text
    EXPECT_EQ(table["fr"]["greeting"], "/hello_fr.txt");

    struct Case {
        const char* package;
        const char* name;
        const char* data;
    } cases[] = {
        {"localization", "greeting", "hello"},     // current language "en"
        {"localization", "only_default", "shared"},
        {"en", "greeting", "hello"},
        {"fr", "greeting", "bonjour"},
        {"fr", "only_default", "shared"},          // package lacks it: "default"
        {"de", "greeting", "hello?"},              // unknown package: "default"
        {"fr", "nothing", "<null>"},
        {"default", "filelist.lua", nullptr},
        {"Default", "GREETING", "<null>"},         // names are case-sensitive
    };
    for (const Case& c : cases) {
        std::string got = contents(c.package, c.name);
        if (c.data) EXPECT_EQ(got, c.data) << c.package << "/" << c.name;
        else EXPECT_NE(got, "<null>") << c.package << "/" << c.name;
    }
    EXPECT_TRUE(mEngine->files().hasFile("en", "greeting"));
    EXPECT_FALSE(mEngine->files().hasFile("localization", "greeting"));  // no substitution
    EXPECT_FALSE(mEngine->files().hasFile("fr", "only_default"));        // no fallback

    EXPECT_EQ(log().find("WARNING"), std::string::npos) << "absent names log nothing";
    EXPECT_EQ(contents("fr", "listed_missing"), "<null>");
    EXPECT_EQ(contents("default", "listed_missing"), "<null>");
    std::string line =
        "WARNING: Failed to find 'listed_missing' in package 'default'. Content directory: ./media/";
    EXPECT_EQ(count(log(), line), 2u) << log();
    EXPECT_NE(log().find("Filesystem:: load files location info in "), std::string::npos);
}

TEST_F(FileSystemTest, PackageListsThatFailAreSkippedOthersLoad) {
    qvtest::writeFile(media("/filelist.lua"),
                      "directories = { common = {\n"
                      "  { '/lists/first.lua' }, { '/lists/absent.lua' }, { '/lists/broken.lua' },\n"
                      "  { '/lists/throws.lua' }, { '/lists/second.lua' } } }\n");
    qvtest::writeFile(media("/lists/first.lua"),
                      "name = 'default'\nfilelist = { { name = 'a', filename = '/first_a' },\n"
                      "  { name = 'b', filename = '/first_b' } }\n");
    qvtest::writeFile(media("/lists/broken.lua"), "name = 'default' filelist = {{{");
    qvtest::writeFile(media("/lists/throws.lua"),
                      "name = 'default'\nfilelist = { { name = 'c', filename = '/c' } }\nerror('x')");
    qvtest::writeFile(media("/lists/second.lua"),
                      "name = 'default'\nfilelist = { { name = 'b', filename = '/second_b' } }\n");
    start();
    QV::FileSystem::PackageTable table = mEngine->files().packageTable();
    EXPECT_EQ(table["default"]["a"], "/first_a");
    EXPECT_EQ(table["default"]["b"], "/second_b");  // read later, wins
    EXPECT_EQ(table["default"].count("c"), 0u);
    std::string text = log();
    EXPECT_EQ(count(text, "WARNING: Failed to find '/lists/absent.lua' in package 'default'."), 1u)
        << text;
    EXPECT_EQ(count(text, "WARNING: Failed to load package list '/lists/broken.lua': "), 1u) << text;
    EXPECT_EQ(count(text, "WARNING: Failed to load package list '/lists/throws.lua': "), 1u) << text;
}

TEST_F(FileSystemTest, ReadFileAddsATerminator) {
    qvtest::writeMedia(media(""), {{"default", {{"ten", "/ten.txt"}, {"empty", "/empty.txt"}}}}, "");
    qvtest::writeFile(media("/ten.txt"), "0123456789");
    qvtest::writeFile(media("/empty.txt"), "");
    start();
    char* buffer = new char[3];
    EXPECT_EQ(mEngine->files().readFile("ten", &buffer), 0);  // the old array is freed
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(std::string(buffer, 11), std::string("0123456789\0", 11));
    EXPECT_EQ(mEngine->files().readFile("empty", &buffer), 1);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(mEngine->files().readFile("absent", &buffer), 1);
    EXPECT_EQ(buffer, nullptr);
}

TEST(FileSystemNoConfig, ReloadKeepsOnlyTheBuiltInEntries) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    QV::gContentDirectory = "./media/";
    {
        QV::LogSystem log;
        QV::FileSystem files;
        files.reloadFileTable();
        QV::FileSystem::PackageTable table = files.packageTable();
        EXPECT_EQ(table.size(), 1u);
        EXPECT_EQ(table["default"].size(), 2u);
    }
    std::string text = qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(text.find("ERROR"), std::string::npos) << text;  // no archive is no fault
    EXPECT_EQ(text.find("Filesystem::"), std::string::npos);
}

// An archive that is there but cannot be read (here a folder in its place) is one.
TEST(FileSystemNoConfig, AnArchiveThatCannotBeOpenedIsAnErrorOfEachReader) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    std::filesystem::create_directories(dir.file("media/data.qvp"));
    QV::gContentDirectory = "./media/";
    {
        QV::LogSystem log;
        QV::FileSystem files;
    }
    std::string text = qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(count(text, "ERROR: Failed to open QVP archive."), 2u) << text;  // one per reader
}

TEST(FileSystemDeathTest, BrokenFileListsAreFatal) {
    struct Case {
        const char* filelist;  // null: no file at all
        const char* list;
        const char* report;
    } cases[] = {
        {nullptr, "", "Failed to load filelist.lua"},
        {"directories = {", "", "Failed to load filelist.lua"},
        {"nothing = {}", "", "Description:\n  \n"},
        {"directories = { other = {} }", "", "Description:\n  \n"},
        {"directories = { common = { 'not a table' } }", "", "Description:\n  \n"},
        {"directories = { common = { {} } }", "", "Description:\n  \n"},
        {"directories = { common = { { '/l.lua' } } }", "filelist = {}", "Description:\n  \n"},
        {"directories = { common = { { '/l.lua' } } }", "name = 'p'", "Description:\n  \n"},
        {"directories = { common = { { '/l.lua' } } }", "name = 'p' filelist = { 5 }",
         "Description:\n  \n"},
        {"directories = { common = { { '/l.lua' } } }",
         "name = 'p' filelist = { { name = 'n' } }", "Description:\n  \n"},
        {"directories = { common = { { '/l.lua' } } }",
         "name = 'p' filelist = { { filename = '/f' } }", "Description:\n  \n"},
    };
    for (const Case& c : cases) {
        qvtest::TempDir dir;
        qvtest::writeFile(dir.file("media/config.lua"), qvtest::configLua());
        if (c.filelist) qvtest::writeFile(dir.file("media/filelist.lua"), c.filelist);
        qvtest::writeFile(dir.file("media/l.lua"), c.list);
        EXPECT_EXIT(qvtest::MediaEngine engine(dir.path()), testing::ExitedWithCode(255), c.report)
            << (c.filelist ? c.filelist : "(none)") << " / " << c.list;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "engine_allocators.h"
#include "file_system.h"
#include "log_system.h"
#include "support/temp_dir.h"
#include "xml_cached_files_manager.h"
#include "xml_data_reader.h"

namespace {

using Cache = QV::XmlCachedFilesManager;

const char* const kSprites =
    "<?xml version=\"1.0\"?><root><hero><Pos v0='3' v1='4'/></hero></root>";

// Loose files under "<temp>/media/", listed in package "default" (and "en").
class XmlCache : public testing::Test {
protected:
    XmlCache() : cd(dir.path()) {
        qvtest::writeFile(dir.file("media/filelist.lua"),
                          "directories = { common = { {\"/lists/default.lua\"}, {\"/lists/en.lua\"} } }\n");
        qvtest::writeFile(dir.file("media/lists/default.lua"),
                          "name = \"default\"\nfilelist = {\n"
                          "  { name = \"game_field_sxml\", filename = \"/xml/game_field.xml\" },\n"
                          "  { name = \"bad_sxml\", filename = \"/xml/bad.xml\" },\n"
                          "  { name = \"plain_sxml\", filename = \"/xml/plain.xml\" },\n"
                          "}\n");
        qvtest::writeFile(dir.file("media/lists/en.lua"),
                          "name = \"en\"\nfilelist = { { name = \"game_field_sxml\", filename = \"/xml/en.xml\" } }\n");
        qvtest::writeFile(dir.file("media/xml/game_field.xml"), kSprites);
        qvtest::writeFile(dir.file("media/xml/en.xml"), "<root><hero><Pos v0='5' v1='6'/></hero></root>");
        qvtest::writeFile(dir.file("media/xml/plain.xml"), "<root><x v='1'/></root>");
        qvtest::writeFile(dir.file("media/xml/bad.xml"), "<root><unclosed></root>");
        QV::gContentDirectory = "./media/";
        log = new QV::LogSystem();
        allocators.init();
        files = new QV::FileSystem();
        files->loadDirectoryList("common");
        Cache::purge();
    }
    ~XmlCache() override {
        Cache::purge();
        delete files;
        delete log;
    }
    int countInLog(const std::string& text) {
        std::string all = qvtest::readFile("QV.log");
        int n = 0;
        for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) ++n;
        return n;
    }
    static QV::Vector2<float> pos(QV::XmlDataReader* r) {
        QV::Vector2<float> v;
        if (r->gotoChild("hero")) {
            r->readVector2("Pos", &v);
            r->gotoParent();
        }
        return v;
    }

    qvtest::TempDir dir;
    qvtest::ScopedChdir cd;
    QV::LogSystem* log;
    QV::EngineAllocators allocators;
    QV::FileSystem* files;
};

TEST(XmlCacheNames, SpritesNamesMapToTheirXmlTwins) {
    struct Case {
        const char* name;
        const char* file;
    } cases[] = {
        {"game_field_sprites", "game_field_sxml"},
        {"plain", "plain_sxml"},
        {"a_sprites_b_sprites", "a_sprites_b_sxml"},  // the last occurrence
        {"ui_sprites_big", "ui_sxml"},                 // cut there: the rest goes
        {"_sprites", "_sxml"},
        {"", "_sxml"},
    };
    for (const Case& c : cases) EXPECT_EQ(Cache::mappedFileName(c.name), c.file) << c.name;
}

TEST_F(XmlCache, HitsReuseTheParsedDocument) {
    QV::XmlDataReader* first = Cache::getDocument("default", "game_field_sprites");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(pos(first), QV::Vector2<float>(3, 4));
    first->gotoChild("hero");  // left anywhere: the next user starts at "root" again
    Cache::releaseDocument(first);
    QV::XmlDataReader* again = Cache::getDocument("default", "game_field_sprites");
    EXPECT_EQ(again, first);
    EXPECT_STREQ(again->getCurrentNode().name(), "root");
    EXPECT_EQ(countInLog(">>> XML Cache default: game_field_sprites (0)"), 1);
    EXPECT_EQ(countInLog(">>> XML Cache"), 1);

    // Still in use: a second entry with a document of its own.
    QV::XmlDataReader* second = Cache::getDocument("default", "game_field_sprites");
    EXPECT_NE(second, first);
    EXPECT_EQ(pos(second), QV::Vector2<float>(3, 4));
    EXPECT_EQ(countInLog(">>> XML Cache default: game_field_sprites (1)"), 1);

    // The package is part of the key.
    QV::XmlDataReader* english = Cache::getDocument("en", "game_field_sprites");
    EXPECT_EQ(pos(english), QV::Vector2<float>(5, 6));
    EXPECT_EQ(countInLog(">>> XML Cache en: game_field_sprites (2)"), 1);
    EXPECT_EQ(Cache::entryCount(), 3u);
    for (auto* r : {again, second, english}) Cache::releaseDocument(r);
}

TEST_F(XmlCache, MissingResourceGivesAReaderWhoseReadsFail) {
    QV::XmlDataReader* r = Cache::getDocument("default", "nothing_sprites");
    ASSERT_NE(r, nullptr);
    EXPECT_FALSE(r->getCurrentNode());
    float f = 7;
    EXPECT_FALSE(r->readFloat("x", &f));
    EXPECT_EQ(f, 0.0f);
    EXPECT_EQ(countInLog(">>> XML Cache default: nothing_sprites (0)"), 1);
    Cache::releaseDocument(r);
}

TEST_F(XmlCache, PurgeKeepsWhatIsInUse) {
    QV::XmlDataReader* kept = Cache::getDocument("default", "game_field_sprites");
    QV::XmlDataReader* dropped = Cache::getDocument("default", "plain");
    Cache::releaseDocument(dropped);
    Cache::releaseDocument(nullptr);
    const uint32_t usedBoth = allocators.getBuddyAllocator()->used();
    Cache::purge();
    EXPECT_EQ(Cache::entryCount(), 1u);
    EXPECT_LT(allocators.getBuddyAllocator()->used(), usedBoth);  // the dropped text went back
    EXPECT_EQ(pos(kept), QV::Vector2<float>(3, 4));
    Cache::releaseDocument(kept);
    Cache::purge();
    EXPECT_EQ(Cache::entryCount(), 0u);
    EXPECT_EQ(allocators.getBuddyAllocator()->used(), 0u);
}

TEST_F(XmlCache, OverLongNamesAreRefused) {
    struct Case {
        std::string package, name;
        bool accepted;
    } cases[] = {
        {"default", std::string(127, 'n'), true},
        {std::string(127, 'p'), "plain", true},
        {"default", std::string(128, 'n'), false},
        {std::string(500, 'p'), "plain", false},
        {"default", std::string("pla\0in", 6), false},
    };
    for (const Case& c : cases) {
        QV::XmlDataReader* r = Cache::getDocument(c.package, c.name);
        EXPECT_EQ(r != nullptr, c.accepted) << c.package.size() << " " << c.name.size();
        Cache::releaseDocument(r);
    }
    EXPECT_EQ(Cache::entryCount(), 2u);
    EXPECT_EQ(countInLog("ERROR: XML Cache refused an over-long name"), 3);
}

TEST_F(XmlCache, ManagerDropsIdleDocumentsWhenDeleted) {
    Cache::releaseDocument(Cache::getDocument("default", "plain"));
    {
        Cache manager;
        EXPECT_EQ(Cache::instancePointer(), &manager);
    }
    EXPECT_EQ(Cache::entryCount(), 0u);
}

TEST_F(XmlCache, ThreadsShareTheCacheSafely) {
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&wrong, t] {
            for (int i = 0; i < 100; ++i) {
                const char* name = (i + t) % 2 ? "game_field_sprites" : "plain";
                QV::XmlDataReader* r = Cache::getDocument("default", name);
                if (!r || !r->getCurrentNode()) ++wrong;
                Cache::releaseDocument(r);
                if (i % 25 == 0) Cache::purge();
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_LE(Cache::entryCount(), 8u);
}

using XmlCacheDeathTest = XmlCache;

TEST_F(XmlCacheDeathTest, MalformedResourceIsFatalWithItsLogLines) {
    EXPECT_EXIT(Cache::getDocument("default", "bad_sprites"), testing::ExitedWithCode(255), "xml_data_reader\\.cpp");
    EXPECT_EQ(countInLog("Failed to parse XML file: bad_sxml"), 1);
    EXPECT_EQ(countInLog("Error description: "), 1);
}

}  // namespace

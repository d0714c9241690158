#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "config_manager.h"
#include "log_system.h"
#include "file_system.h"
#include "package_archive_writer.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"

namespace {

std::string platformsConfig(const std::string& platforms, const std::string& rest = "") {
    return "config = { platforms = {" + platforms + "}, currentPlatform = 'pc'" + rest + " }\n";
}

struct Started {
    explicit Started(const std::string& config) {
        qvtest::writeFile(dir.file("media/config.lua"), config);
        qvtest::writeFile(dir.file("media/filelist.lua"),
                          "directories = { common = {}, a = {}, ['7'] = {}, b = {}, d = {} }\n");
        engine = std::make_unique<qvtest::MediaEngine>(dir.path());
    }
    ~Started() {
        engine.reset();
    }
    std::string log() { return qvtest::readFile(dir.file("QV.log")); }
    qvtest::TempDir dir;
    std::unique_ptr<qvtest::MediaEngine> engine;
};

TEST(ConfigManager, ShippedMediaLoads) {
    qvtest::TempDir dir;
    std::filesystem::copy(std::string(QV_SOURCE_DIR) + "/media", dir.file("media"),
                          std::filesystem::copy_options::recursive);
    std::filesystem::remove(dir.file("media/data.qvp"));
    std::filesystem::remove(dir.file("media/data.zip"));
    {
        qvtest::MediaEngine engine(dir.path());
        QV::ConfigManager& config = engine.config();
        EXPECT_EQ(config.vertexFormat(), 21);
        ASSERT_NE(config.currentPlatform(), nullptr);
        EXPECT_EQ(config.currentPlatformName(), "pc");
        EXPECT_EQ(config.resolution().width, 1280);
        EXPECT_EQ(config.resolution().height, 720);
        EXPECT_EQ(config.fullscreenFitType(), 0);
        EXPECT_FLOAT_EQ(config.fullscreenMinimalAspect(), 1.33f);
        EXPECT_EQ(config.workspaceZoom(), 1.0f);
        EXPECT_EQ(config.currentLanguage(), "en");
        EXPECT_EQ(config.defaultLanguage(), "en");
        ASSERT_NE(config.currentPlatformDirectories(), nullptr);
        QV::FileSystem::PackageTable table = engine.files().packageTable();
        EXPECT_EQ(table["default"]["config_lua"], "/config.lua");
        EXPECT_EQ(table["default"].count("/filelists/en.lua"), 1u);
    }
    std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_NE(log.find("Current platform: pc\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Current language: en\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("WARNING"), std::string::npos) << log;
}

TEST(ConfigManager, KeysDefaultsAndPlatformChoice) {
    struct Case {
        std::string config;
        std::string name;
        int width, height, fit;
        float aspect, zoom;
        std::string language, defaultLanguage;
        std::vector<std::string> directories;
    } cases[] = {
        {platformsConfig("{ name = 'pc', directories = {'a', 7, {}, 'b'}, resolution = {800, 600} }"),
         "pc", 800, 600, 0, 1.33f, 1.0f, "en", "", {"a", "7", "b"}},
        // Two of the same name: the first. Fit 1 ignores the zoom.
        {platformsConfig("{ name = 'pc', directories = {}, resolution = {1024, 768},"
                         "  fullscreenFitType = 1, fullscreenMinimalAspect = 1.5, workspaceZoom = 2 },"
                         "{ name = 'pc', directories = {'x'}, resolution = {1, 1} }",
                         ", currentLanguage = 'de', defaultLanguage = 'en'"),
         "pc", 1024, 768, 1, 1.5f, 1.0f, "de", "en", {}},
        // Fit 2 reads the zoom; numeric strings are numbers; a map of platforms.
        {platformsConfig("phone = { name = 'phone', directories = {}, resolution = {'720', 1280.9} },"
                         "desk = { name = 'pc', directories = {'d'}, resolution = {1280, 720},"
                         "  fullscreenFitType = '2', workspaceZoom = '1.25', fullscreenMinimalAspect = 'x' }"),
         "pc", 1280, 720, 2, 1.33f, 1.25f, "en", "", {"d"}},
        // A numeric name is read as its text; booleans read as missing.
        {"config = { platforms = { { name = 7, directories = {}, resolution = {640, 480},"
         " fullscreenFitType = true } }, currentPlatform = 7, currentLanguage = false }",
         "7", 640, 480, 0, 1.33f, 1.0f, "en", "", {}},
    };
    for (const Case& c : cases) {
        Started s(c.config);
        QV::ConfigManager& config = s.engine->config();
        EXPECT_EQ(config.currentPlatformName(), c.name) << c.config;
        EXPECT_EQ(config.resolution().width, c.width) << c.config;
        EXPECT_EQ(config.resolution().height, c.height) << c.config;
        EXPECT_EQ(config.fullscreenFitType(), c.fit) << c.config;
        EXPECT_FLOAT_EQ(config.fullscreenMinimalAspect(), c.aspect) << c.config;
        EXPECT_FLOAT_EQ(config.workspaceZoom(), c.zoom) << c.config;
        EXPECT_EQ(config.currentLanguage(), c.language) << c.config;
        EXPECT_EQ(config.defaultLanguage(), c.defaultLanguage) << c.config;
        ASSERT_NE(config.currentPlatformDirectories(), nullptr);
        EXPECT_EQ(*config.currentPlatformDirectories(), c.directories) << c.config;
        EXPECT_NE(s.log().find("Current language: " + c.language + "\n"), std::string::npos);
    }
}

TEST(ConfigManager, PresetPlatformNameWinsAndUnknownNameHasNoDirectories) {
    qvtest::TempDir dir;
    qvtest::writeFile(dir.file("media/config.lua"),
                      platformsConfig("{ name = 'pc', directories = {}, resolution = {1, 1} },"
                                      "{ name = 'tab', directories = {'t'}, resolution = {2, 3} }"));
    qvtest::ScopedChdir cd(dir.path());
    QV::gContentDirectory = "./media/";
    {
        QV::LogSystem log;
        QV::FileSystem files;
        QV::ConfigManager config;
        QV::gCurrentPlatformName = "tab";
        config.load();
        EXPECT_EQ(config.resolution().height, 3);
        QV::gCurrentPlatformName = "gone";
        EXPECT_EQ(config.currentPlatformDirectories(), nullptr);
        QV::gCurrentPlatformName.clear();
    }
    QV::ConfigManager unloaded;
    EXPECT_EQ(unloaded.currentPlatform(), nullptr);
    EXPECT_EQ(unloaded.resolution().width, 0);
    EXPECT_EQ(unloaded.vertexFormat(), 21);
}

TEST(ConfigManagerDeathTest, EachFatalCaseHasItsReport) {
    const std::string empty = "Description:\n  \n";
    const std::string ok = "{ name = 'pc', directories = {}, resolution = {1280, 720} }";
    struct Case {
        std::string config;  // empty: no file
        std::string report;
    } cases[] = {
        {"", "Failed to load config file"},
        {"config = {", "Failed to load config file"},
        {"settings = {}", "Failed to open table"},
        {"config = { currentPlatform = 'pc' }", empty},
        {"config = { platforms = {" + ok + "} }", empty},
        {"config = { platforms = {" + ok + "}, currentPlatform = 'PC' }",
         "Failed to find platform with specified name"},
        {platformsConfig("'pc'"), empty},
        {platformsConfig("{ directories = {}, resolution = {1, 1} }"), empty},
        {platformsConfig("{ name = 'pc', resolution = {1, 1} }"), empty},
        {platformsConfig("{ name = 'pc', directories = {} }"), empty},
        {platformsConfig("{ name = 'pc', directories = {}, resolution = '1280x720' }"), empty},
        {platformsConfig("{ name = 'pc', directories = {}, resolution = {1280, 'wide'} }"), empty},
        {platformsConfig("{ name = 'pc', directories = {}, resolution = {0, 720} }"),
         "Platform 'pc' has resolution 0x720; both sides must be positive"},
        {platformsConfig("{ name = 'pc', directories = {}, resolution = {1280, -1} }"),
         "Platform 'pc' has resolution 1280x-1; both sides must be positive"},
    };
    for (const Case& c : cases) {
        qvtest::TempDir dir;
        if (!c.config.empty()) qvtest::writeFile(dir.file("media/config.lua"), c.config);
        qvtest::writeFile(dir.file("media/filelist.lua"), "directories = { common = {} }\n");
        EXPECT_EXIT(qvtest::MediaEngine engine(dir.path()), testing::ExitedWithCode(255),
                    c.report)
            << c.config;
    }
}

void zipWith(const std::string& path, const std::string& name, const std::string& data) {
    zipFile zf = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zf, nullptr);
    zip_fileinfo info{};
    ASSERT_EQ(zipOpenNewFileInZip64(zf, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                    Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0),
              ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zf, data.data(), unsigned(data.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(zf), ZIP_OK);
    ASSERT_EQ(zipClose(zf, nullptr), ZIP_OK);
}

// The frame's start-up in a separate process; returns the log it left.
std::string startProgram(const std::string& root) {
    const char* progs = std::getenv("QV_TEST_PROGS");
    std::string prog = std::string(progs ? progs : QV_BINARY_DIR "/test_progs") + "/media_start_prog";
    std::string command = "cd '" + root + "' && '" + prog + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return qvtest::readFile(root + "/QV.log");
}

TEST(ConfigManager, ArchiveThenZipThenLooseFiles) {
    qvtest::TempDir dir;
    std::string filelist = "directories = { common = {} }\n";
    qvtest::writeFile(dir.file("media/config.lua"), qvtest::configLua("loose"));
    qvtest::writeFile(dir.file("media/filelist.lua"), filelist);
    zipWith(dir.file("media/data.zip"), "config.lua", qvtest::configLua("zip"));
    std::string archive, error;
    ASSERT_TRUE(QV::buildPackageArchive({{"/config.lua", qvtest::configLua("qvp")},
                                         {"/filelist.lua", filelist}},
                                        archive, error));
    qvtest::writeFile(dir.file("media/data.qvp"), archive);

    std::string log = startProgram(dir.path());
    EXPECT_NE(log.find("Current language: qvp\n"), std::string::npos) << log;
    EXPECT_NE(log.find("QVP Archive total files: 2\n"), std::string::npos) << log;

    std::filesystem::remove(dir.file("media/data.qvp"));
    log = startProgram(dir.path());
    EXPECT_NE(log.find("Current language: zip\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("ERROR:"), std::string::npos) << log;  // the archive is optional

    std::filesystem::remove(dir.file("media/data.zip"));
    log = startProgram(dir.path());
    EXPECT_NE(log.find("Current language: loose\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Init FileSystem...\n"), std::string::npos) << log;
}

}  // namespace

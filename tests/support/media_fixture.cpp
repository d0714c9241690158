#include "support/media_fixture.h"

#include <filesystem>

#include "config_manager.h"
#include "file_system.h"
#include "log_system.h"
#include "support/temp_dir.h"

namespace qvtest {

std::string configLua(const std::string& language, int width, int height) {
    return "config = {\n"
           "  platforms = { { name = \"pc\", directories = { \"common\" },\n"
           "                  resolution = { " + std::to_string(width) + ", " +
           std::to_string(height) + " } } },\n"
           "  currentPlatform = \"pc\",\n"
           "  currentLanguage = \"" + language + "\",\n"
           "  defaultLanguage = \"en\",\n"
           "}\n";
}

void writeMedia(const std::string& mediaDir, const PackageLists& packages,
                const std::string& config) {
    if (!config.empty()) writeFile(mediaDir + "/config.lua", config);
    std::string filelist = "directories = { common = {\n";
    for (const auto& package : packages) {
        std::string location = "/lists/" + package.first + ".lua";
        filelist += "  { \"" + location + "\" },\n";
        std::string list = "name = \"" + package.first + "\"\nfilelist = {\n";
        for (const auto& entry : package.second) {
            list += "  { name = \"" + entry.first + "\", filename = \"" + entry.second + "\" },\n";
        }
        list += "}\n";
        writeFile(mediaDir + location, list);
    }
    filelist += "} }\n";
    writeFile(mediaDir + "/filelist.lua", filelist);
}

MediaEngine::MediaEngine(const std::string& root) {
    mPrevious = std::filesystem::current_path().string();
    std::filesystem::current_path(root);
    QV::gContentDirectory = "./media/";
    QV::gCurrentPlatformName.clear();
    if (!QV::LogSystem::instancePointer()) mLog = std::make_unique<QV::LogSystem>();
    mFiles = std::make_unique<QV::FileSystem>();
    mConfig = std::make_unique<QV::ConfigManager>();
    mConfig->load();
    mFiles->reloadFileTable();
}

MediaEngine::~MediaEngine() {
    mConfig.reset();
    mFiles.reset();
    mLog.reset();
    QV::gCurrentPlatformName.clear();
    std::error_code ec;
    std::filesystem::current_path(mPrevious, ec);
}

}  // namespace qvtest

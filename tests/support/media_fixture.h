#pragma once

#include <map>
#include <memory>
#include <string>

namespace QV {
class ConfigManager;
class FileSystem;
class LogSystem;
}  // namespace QV

namespace qvtest {

// package -> resource name -> location ("/path/in/media")
using PackageLists = std::map<std::string, std::map<std::string, std::string>>;

// Text of a "config.lua" with one platform "pc" whose directory is "common".
std::string configLua(const std::string& language = "en", int width = 1280, int height = 720);

// Writes filelist.lua (directory "common") and one list per package
// ("/lists/<package>.lua") into a content directory. config.lua is written
// too unless the config text is empty.
void writeMedia(const std::string& mediaDir, const PackageLists& packages,
                const std::string& config = configLua());

// The engine's file side as the frame starts it, over "<root>/media/": the
// working directory moves to root for the fixture's life, the content
// directory is "./media/", and the log (when absent), the file system and the
// configuration are created, loaded and the file table built.
class MediaEngine {
public:
    explicit MediaEngine(const std::string& root);
    ~MediaEngine();
    QV::FileSystem& files() { return *mFiles; }
    QV::ConfigManager& config() { return *mConfig; }

private:
    std::string mPrevious;
    std::unique_ptr<QV::LogSystem> mLog;
    std::unique_ptr<QV::FileSystem> mFiles;
    std::unique_ptr<QV::ConfigManager> mConfig;
};

}  // namespace qvtest

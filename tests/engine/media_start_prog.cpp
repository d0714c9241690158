// Starts the log, the file system and the configuration the way the
// application frame does, over "./media/" in the working directory, then
// builds the file table and exits. Tests read the log it leaves.
#include <memory>

#include "config_manager.h"
#include "file_system.h"
#include "log_system.h"

int main() {
    QV::gContentDirectory = "./media/";
    auto log = std::make_unique<QV::LogSystem>();
    QV::logLine("Init FileSystem...");
    auto files = std::make_unique<QV::FileSystem>();
    QV::logLine("Init ConfigManager...");
    auto config = std::make_unique<QV::ConfigManager>();
    config->load();
    files->reloadFileTable();
    config.reset();
    files.reset();
    return 0;
}

#include "file_system.h"

extern "C" {
#include <lua.h>
}

#include <chrono>
#include <memory>

#include "config_manager.h"
#include "format_string.h"
#include "log_system.h"
#include "loose_file.h"
#include "lua_script2.h"
#include "mutex_lock.h"
#include "package_archive.h"
#include "report_assert.h"
#include "zip_reader.h"

namespace QV {

std::string gContentDirectory;

namespace {

void note(const std::string& line) {
    if (LogSystem* log = LogSystem::instancePointer()) log->write(line);
}

}  // namespace

FileSystem::FileSystem() {
    initRecursiveMutex(&mMutex);
    createReaders();
}

FileSystem::~FileSystem() {
    {
        MutexLock lock(&mMutex);
        for (FileReader* reader : mReaders) delete reader;
        mReaders.clear();
        mTable.clear();
    }
    pthread_mutex_destroy(&mMutex);
}

void FileSystem::createReaders() {
    MutexLock lock(&mMutex);
    mReaders.push_back(new QVPReader());
    mReaders.push_back(new QVPReader());
    mReaders.push_back(new ZipReader());
    mReaders.push_back(new LocalReader());
    enterDefaults();
}

void FileSystem::enterDefaults() {
    mTable["default"]["config"] = "/config.lua";
    mTable["default"]["filelist.lua"] = "/filelist.lua";
}

void FileSystem::addReader(FileReader* reader) {
    MutexLock lock(&mMutex);
    mReaders.push_back(reader);
}

bool FileSystem::hasFile(const std::string& package, const std::string& name) {
    MutexLock lock(&mMutex);
    auto it = mTable.find(package);
    return it != mTable.end() && it->second.count(name) != 0;
}

File* FileSystem::open(const std::string& packageName, const std::string& name) {
    MutexLock lock(&mMutex);
    std::string package = packageName;
    if (package == "localization") {
        if (ConfigManager* config = ConfigManager::instancePointer()) {
            package = config->currentLanguage();
        }
    }
    if (!hasFile(package, name)) {
        package = "default";
        if (!hasFile(package, name)) return nullptr;
    }
    const std::string location = mTable[package][name];
    for (FileReader* reader : mReaders) {
        if (File* file = reader->openFile(location)) return file;
    }
    note(formatString("WARNING: Failed to find '%s' in package '%s'. Content directory: %s",
                      name.c_str(), package.c_str(), gContentDirectory.c_str()));
    return nullptr;
}

int FileSystem::readFile(const std::string& name, char** buffer) {
    if (!buffer) return 1;
    delete[] *buffer;
    *buffer = nullptr;
    std::unique_ptr<File> file(open("default", name));
    if (!file || file->size() == 0) return 1;
    std::vector<char> bytes;
    uint32_t count = readWholeFile(*file, bytes);
    *buffer = new char[size_t(count) + 1];
    std::copy(bytes.begin(), bytes.begin() + count + 1, *buffer);
    return 0;
}

void FileSystem::addResource(const std::string& package, const std::string& name,
                             const std::string& location) {
    MutexLock lock(&mMutex);
    mTable[package][name] = location;
}

FileSystem::PackageTable FileSystem::packageTable() {
    MutexLock lock(&mMutex);
    return mTable;
}

void FileSystem::reloadFileTable() {
    MutexLock lock(&mMutex);
    auto started = std::chrono::steady_clock::now();
    mTable.clear();
    enterDefaults();
    ConfigManager* config = ConfigManager::instancePointer();
    const std::vector<std::string>* directories =
        config ? config->currentPlatformDirectories() : nullptr;
    if (!directories) return;
    for (const std::string& directory : *directories) loadDirectoryList(directory);
    double msec = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                            started)
                      .count();
    note(formatString("Filesystem:: load files location info in %.2f msec", msec));
}

void FileSystem::loadDirectoryList(const std::string& directory) {
    MutexLock lock(&mMutex);
    LuaScript2 script(createLuaState());
    lua_State* L = script.state();
    if (!script.loadScript("filelist.lua", "default")) QV_FATAL("Failed to load filelist.lua");
    if (!script.openTable("directories")) QV_FATAL("");
    if (!script.openTable(directory.c_str())) QV_FATAL("");
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (!script.openTopTable()) QV_FATAL("");
        std::string location;
        if (!script.getStringAt(1, &location)) QV_FATAL("");
        script.closeTable();
        lua_pop(L, 1);
        mTable["default"][location] = location;
        // The list runs in a state of its own; this traversal stays intact.
        loadPackageList(location);
    }
    script.closeTable();
    script.closeTable();
}

void FileSystem::loadPackageList(const std::string& location) {
    MutexLock lock(&mMutex);
    LuaScript2 script(createLuaState());
    lua_State* L = script.state();
    ScriptLoad loaded = script.loadScriptChecked(location, "default");
    if (loaded == ScriptLoad::Missing) return;  // open has logged the warning
    if (loaded != ScriptLoad::Loaded) {
        const char* message = lua_tostring(L, -1);
        note(formatString("WARNING: Failed to load package list '%s': %s", location.c_str(),
                          message ? message : "(no message)"));
        return;
    }
    std::string package;
    if (!script.getString("name", &package)) QV_FATAL("");
    if (!script.openTable("filelist")) QV_FATAL("");
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (!script.openTopTable()) QV_FATAL("");
        std::string name, filename;
        if (!script.getString("name", &name)) QV_FATAL("");
        if (!script.getString("filename", &filename)) QV_FATAL("");
        script.closeTable();
        lua_pop(L, 1);
        mTable[package][name] = filename;
    }
    script.closeTable();
}

}  // namespace QV

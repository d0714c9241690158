#pragma once

#include <pthread.h>

#include <map>
#include <string>
#include <vector>

#include "file.h"
#include "singleton.h"

namespace QV {

// The content directory every reader prefixes to its paths. The entry point
// sets it (a folder ending in "/") before anything else starts.
extern std::string gContentDirectory;

// Turns (package, resource name) into an open file: the package table built
// from the file lists gives a location, and the readers are asked in order
// (package archive twice, ZIP archive, loose files).
class FileSystem : public Singleton<FileSystem> {
public:
    using PackageTable = std::map<std::string, std::map<std::string, std::string>>;

    FileSystem();
    ~FileSystem() override;

    void createReaders();
    // The file system owns the reader.
    void addReader(FileReader* reader);
    // Rebuilds the table from "filelist.lua" and the package lists of the
    // current platform's directories.
    void reloadFileTable();

    // "localization" means the current language; a name the package does not
    // list is looked for in "default". Null when nothing has it.
    File* open(const std::string& package, const std::string& name);
    bool hasFile(const std::string& package, const std::string& name);
    // A whole resource of "default" as a new[] array with a terminating zero
    // byte (freed first when *buffer is set). 0 on success, 1 when the
    // resource cannot be opened or is empty (*buffer is then null).
    int readFile(const std::string& name, char** buffer);

    // Enters one resource by hand (tools that lay loose files over a content
    // directory); an absolute location is opened as given.
    void addResource(const std::string& package, const std::string& name, const std::string& location);

    void loadDirectoryList(const std::string& directory);
    void loadPackageList(const std::string& location);

    // A copy of the table, for tools and tests.
    PackageTable packageTable();

private:
    void enterDefaults();

    pthread_mutex_t mMutex;
    std::vector<FileReader*> mReaders;
    PackageTable mTable;
};

}  // namespace QV

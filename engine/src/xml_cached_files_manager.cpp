#include "xml_cached_files_manager.h"

#include <pthread.h>

#include <cstring>

#include "log_system.h"
#include "mutex_lock.h"
#include "xml_data_reader.h"

namespace QV {

namespace {

struct CacheEntry {
    char name[XmlCachedFilesManager::kMaxNameLength + 1];
    char package[XmlCachedFilesManager::kMaxNameLength + 1];
    XmlDataReader* reader;
    bool inUse;
};

// The entry list is shared by sprite loads on job threads and the main
// thread; one lock guards the list and every entry's in-use flag.
struct Cache {
    Cache() { initRecursiveMutex(&mutex); }
    pthread_mutex_t mutex;
    std::vector<CacheEntry*> entries;
};

Cache& cache() {
    static Cache* instance = new Cache();  // never destroyed: callers may run during exit
    return *instance;
}

}  // namespace

XmlCachedFilesManager::~XmlCachedFilesManager() { purge(); }

std::string XmlCachedFilesManager::mappedFileName(const std::string& name) {
    std::size_t at = name.rfind("_sprites");
    if (at == std::string::npos) return name + "_sxml";
    return name.substr(0, at) + "_sxml";
}

XmlDataReader* XmlCachedFilesManager::getDocument(const std::string& package, const std::string& name) {
    if (package.size() > kMaxNameLength || name.size() > kMaxNameLength ||
        package.find('\0') != std::string::npos || name.find('\0') != std::string::npos) {
        logFormat("ERROR: XML Cache refused an over-long name: %s: %s", package.c_str(), name.c_str());
        return nullptr;
    }
    Cache& c = cache();
    {
        MutexLock lock(&c.mutex);
        for (CacheEntry* entry : c.entries) {
            if (entry->inUse || name != entry->name || package != entry->package) continue;
            entry->inUse = true;
            entry->reader->gotoRoot();
            return entry->reader;
        }
    }
    auto* entry = new CacheEntry();
    std::memcpy(entry->name, name.c_str(), name.size() + 1);
    std::memcpy(entry->package, package.c_str(), package.size() + 1);
    entry->reader = new XmlDataReader();
    entry->inUse = true;
    // Parsed outside the list lock: other documents stay available meanwhile.
    entry->reader->loadFile(package, mappedFileName(name));
    MutexLock lock(&c.mutex);
    logFormat(">>> XML Cache %s: %s (%i)", package.c_str(), name.c_str(), static_cast<int>(c.entries.size()));
    c.entries.push_back(entry);
    return entry->reader;
}

void XmlCachedFilesManager::releaseDocument(XmlDataReader* reader) {
    if (!reader) return;
    Cache& c = cache();
    MutexLock lock(&c.mutex);
    for (CacheEntry* entry : c.entries) {
        if (entry->reader == reader) entry->inUse = false;
    }
}

void XmlCachedFilesManager::purge() {
    Cache& c = cache();
    MutexLock lock(&c.mutex);
    std::vector<CacheEntry*> kept;
    for (CacheEntry* entry : c.entries) {
        if (entry->inUse) {
            kept.push_back(entry);
            continue;
        }
        delete entry->reader;
        delete entry;
    }
    c.entries.swap(kept);
}

std::size_t XmlCachedFilesManager::entryCount() {
    Cache& c = cache();
    MutexLock lock(&c.mutex);
    return c.entries.size();
}

}  // namespace QV

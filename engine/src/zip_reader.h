#pragma once

#include <pthread.h>
#include <unzip.h>

#include <map>
#include <string>
#include <vector>

#include "file.h"

namespace QV {

// The ZIP archive's path, shared by every ZIP reader: the content directory
// followed by "data.zip", fixed on first use.
extern std::string gZipArchivePath;

// Longest member name looked up or cached, in bytes.
constexpr size_t kZipNameLimit = 255;

// Walks the central directory of an opened archive into name -> position,
// checking every member against the archive's size: the member's data must
// lie inside the file and its declared size must be one its compressed bytes
// can give. False with a reason naming the member when one does not.
bool readZipDirectory(unzFile handle, uint64_t archiveSize, std::map<std::string, unz64_file_pos>& cache,
                      std::string& error);

// Serves locations from "data.zip": opened on first request, central
// directory walked once, minizip handles pooled between files.
class ZipReader : public FileReader {
public:
    ZipReader();
    ~ZipReader() override;

    File* openFile(const std::string& location) override;
    // Caches the member positions; a damaged member is a fatal report.
    void cacheFileLocationInfo(unzFile handle);
    // A handle from the pool, a new one when the pool is empty, null before
    // the archive was opened.
    unzFile acquireHandle();
    void releaseHandle(unzFile handle);
    void closeHandles();

    bool findPosition(const std::string& name, unz64_file_pos& position);
    size_t pooledHandleCount();
    const std::map<std::string, unz64_file_pos>& positionCache() const { return mCache; }

private:
    std::string mPath;
    bool mOpened = false;
    std::map<std::string, unz64_file_pos> mCache;
    std::vector<unzFile> mPool;
    pthread_mutex_t mMutex;
    bool mMutexCreated = false;
};

// One member of the ZIP archive, read front to back (no seeking).
class ZippedFile : public File {
public:
    ZippedFile(ZipReader* reader, unzFile handle);
    ~ZippedFile() override;

    int read(void* buffer, int count) override;
    void close() override;
    uint32_t size() override { return mSize; }
    int32_t position() override { return mPosition; }
    bool open(const std::string& location) override;
    // 0 when the member was found and its information read; 1 when it is not
    // in the archive; a minizip error code otherwise.
    int locate();

private:
    void giveBackHandle();

    unzFile mHandle;
    ZipReader* mReader;
    std::string mName;
    uint32_t mSize = 0;
    int32_t mPosition = 0;
    bool mOpen = false;
};

}  // namespace QV

#include "zip_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <limits>

#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "mutex_lock.h"
#include "report_assert.h"

namespace QV {

std::string gZipArchivePath;

namespace {

void note(const std::string& line) {
    if (LogSystem* log = LogSystem::instancePointer()) log->write(line);
}

// Deflate gives at most about 1032 bytes for each compressed byte.
constexpr uint64_t kMaxInflateRatio = 1032;

}  // namespace

bool readZipDirectory(unzFile handle, uint64_t archiveSize, std::map<std::string, unz64_file_pos>& cache,
                      std::string& error) {
    int status = unzGoToFirstFile(handle);
    while (status == UNZ_OK) {
        unz_file_info64 info;
        char name[kZipNameLimit + 1];
        if (unzGetCurrentFileInfo64(handle, &info, name, sizeof(name), nullptr, 0, nullptr, 0) != UNZ_OK) break;
        unz64_file_pos position;
        if (unzGetFilePos64(handle, &position) != UNZ_OK) break;
        const std::string member(name, std::min<size_t>(info.size_filename, kZipNameLimit));
        // The data's place is known once the local header has been read.
        uint64_t dataAt = 0;
        const bool located = unzOpenCurrentFile(handle) == UNZ_OK;
        if (located) {
            dataAt = static_cast<uint64_t>(unzGetCurrentFileZStreamPos64(handle));
            unzCloseCurrentFile(handle);
        }
        const uint64_t stored = info.compression_method == 0 ? info.compressed_size
                                                              : info.compressed_size * kMaxInflateRatio + 64;
        if (!located || dataAt > archiveSize || info.compressed_size > archiveSize - dataAt ||
            info.uncompressed_size > stored) {
            error = formatString(
                "member '%s' (data at %llu, %llu bytes compressed, %llu declared) does not fit the archive's %llu "
                "bytes",
                member.c_str(), static_cast<unsigned long long>(dataAt),
                static_cast<unsigned long long>(info.compressed_size),
                static_cast<unsigned long long>(info.uncompressed_size), static_cast<unsigned long long>(archiveSize));
            return false;
        }
        // A longer name would arrive cut short and could pose as another member.
        if (info.size_filename <= kZipNameLimit) cache[std::string(name, info.size_filename)] = position;
        status = unzGoToNextFile(handle);
    }
    return true;
}

ZipReader::ZipReader() {
    initRecursiveMutex(&mMutex);
    mMutexCreated = true;
}

ZipReader::~ZipReader() {
    closeHandles();
    if (mMutexCreated) pthread_mutex_destroy(&mMutex);
    mCache.clear();
}

File* ZipReader::openFile(const std::string& location) {
    {
        MutexLock lock(&mMutex);
        if (gZipArchivePath.empty()) gZipArchivePath = gContentDirectory + "data.zip";
        if (!mOpened) {
            mPath = gZipArchivePath;
            unzFile handle = unzOpen64(mPath.c_str());
            if (handle) {
                mOpened = true;
                cacheFileLocationInfo(handle);
                mPool.push_back(handle);
            }
        }
        if (!mOpened) return nullptr;
    }
    ZippedFile* file = new ZippedFile(this, acquireHandle());
    if (file->open(location)) return file;
    delete file;
    return nullptr;
}

void ZipReader::cacheFileLocationInfo(unzFile handle) {
    MutexLock lock(&mMutex);
    auto started = std::chrono::steady_clock::now();
    struct stat info {};
    const uint64_t archiveSize = stat(mPath.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
    std::string error;
    if (!readZipDirectory(handle, archiveSize, mCache, error))
        QV_FATAL("ZIP archive " + mPath + " is damaged: " + error);
    double msec = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                            started)
                      .count();
    note(formatString("ZipReader::cacheFileLocationInfo: done in %.2f msec", msec));
}

unzFile ZipReader::acquireHandle() {
    MutexLock lock(&mMutex);
    if (!mOpened) return nullptr;
    if (!mPool.empty()) {
        unzFile handle = mPool.back();
        mPool.pop_back();
        return handle;
    }
    return unzOpen64(mPath.c_str());
}

void ZipReader::releaseHandle(unzFile handle) {
    if (!handle) return;
    MutexLock lock(&mMutex);
    mPool.push_back(handle);
}

void ZipReader::closeHandles() {
    MutexLock lock(&mMutex);
    for (unzFile handle : mPool) {
        unzCloseCurrentFile(handle);
        unzClose(handle);
    }
    mPool.clear();
}

bool ZipReader::findPosition(const std::string& name, unz64_file_pos& position) {
    MutexLock lock(&mMutex);
    auto it = mCache.find(name);
    if (it == mCache.end()) return false;
    position = it->second;
    return true;
}

size_t ZipReader::pooledHandleCount() {
    MutexLock lock(&mMutex);
    return mPool.size();
}

ZippedFile::ZippedFile(ZipReader* reader, unzFile handle) : mHandle(handle), mReader(reader) {}

ZippedFile::~ZippedFile() {
    close();
    giveBackHandle();
}

void ZippedFile::giveBackHandle() {
    // The handle goes back exactly once; a second return would let two files
    // share it.
    if (mHandle) mReader->releaseHandle(mHandle);
    mHandle = nullptr;
}

bool ZippedFile::open(const std::string& location) {
    if (!mHandle || mOpen) return false;
    mName = !location.empty() && location[0] == '/' ? location.substr(1) : location;
    if (locate() != 0) return false;
    if (unzOpenCurrentFile(mHandle) != UNZ_OK) return false;
    mPosition = 0;
    mOpen = true;
    return true;
}

int ZippedFile::locate() {
    if (!mHandle) return UNZ_PARAMERROR;
    // Names are stored and looked up as bytes; no code page is involved here.
    if (mName.size() > kZipNameLimit) return 1;
    unz64_file_pos position;
    if (!mReader->findPosition(mName, position)) return 1;
    int status = unzGoToFilePos64(mHandle, &position);
    if (status != UNZ_OK) return status;
    unz_file_info64 info;
    char name[kZipNameLimit + 1];
    status = unzGetCurrentFileInfo64(mHandle, &info, name, sizeof(name), nullptr, 0, nullptr, 0);
    if (status != UNZ_OK) return status;
    if (info.uncompressed_size > std::numeric_limits<uint32_t>::max()) return UNZ_BADZIPFILE;
    mSize = static_cast<uint32_t>(info.uncompressed_size);
    return 0;
}

int ZippedFile::read(void* buffer, int count) {
    if (!mOpen) return -1;
    if (!buffer || count <= 0) return 0;
    int got = unzReadCurrentFile(mHandle, buffer, static_cast<unsigned>(count));
    if (got < 0) {
        close();
    } else {
        mPosition += got;
    }
    return got;
}

void ZippedFile::close() {
    if (!mOpen) return;
    unzCloseCurrentFile(mHandle);
    mOpen = false;
    giveBackHandle();
}

}  // namespace QV

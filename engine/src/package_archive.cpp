#include "package_archive.h"

#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <limits>

#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "mutex_lock.h"
#include "report_assert.h"

namespace QV {

namespace {

// Anything at the path, even what cannot be opened (a folder, no permission).
bool pathExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

void note(const std::string& line) {
    if (LogSystem* log = LogSystem::instancePointer()) log->write(line);
}

bool readWord(LocalFile& file, uint32_t& value) {
    unsigned char bytes[4];
    if (file.read(bytes, 4) != 4) return false;
    value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
            uint32_t(bytes[3]) << 24;
    return true;
}

uint32_t readLittle(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

uint32_t packageNameHash(const char* name) {
    uint32_t h = 0;
    for (const char* p = name; *p; ++p) {
        h = h * 31u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*p)));
    }
    return h;
}

void PackageTable::assign(std::vector<TableEntry> records) {
    mRecords = std::move(records);
    mIndex.clear();
    uint32_t n = size();
    mIndex.reserve(n);
    for (uint32_t slot = 0; slot < n; ++slot) {
        const TableEntry& entry = mRecords[slot];
        size_t length = strnlen(entry.name, sizeof(entry.name));
        // A name without a terminator inside its record matches no location.
        if (length == sizeof(entry.name)) continue;
        std::string_view name(entry.name, length);
        auto placed = mIndex.emplace(name, slot);
        if (!placed.second) {
            // A damaged archive may repeat a name: keep the one the walk meets first.
            uint32_t home = packageNameHash(entry.name) % n;
            uint32_t kept = placed.first->second;
            if ((slot + n - home) % n < (kept + n - home) % n) placed.first->second = slot;
        }
    }
}

void PackageTable::clear() {
    mIndex.clear();
    mRecords.clear();
}

const TableEntry* PackageTable::find(const char* location) const {
    if (mRecords.empty() || !location) return nullptr;
    size_t length = strnlen(location, sizeof(TableEntry::name));
    if (length >= sizeof(TableEntry::name)) return nullptr;
    auto it = mIndex.find(std::string_view(location, length));
    return it == mIndex.end() ? nullptr : &mRecords[it->second];
}

const TableEntry* PackageTable::probe(const char* location) const {
    uint32_t n = size();
    if (n == 0 || !location) return nullptr;
    // A stored name holds at most 127 bytes; longer locations cannot match, and
    // comparing them would read past an unterminated record.
    if (strnlen(location, sizeof(TableEntry::name)) >= sizeof(TableEntry::name)) return nullptr;
    uint32_t slot = packageNameHash(location) % n;
    for (uint32_t i = 0; i < n; ++i) {
        const TableEntry& entry = mRecords[slot];
        if (std::strncmp(entry.name, location, sizeof(entry.name)) == 0) return &entry;
        slot = slot + 1 == n ? 0 : slot + 1;
    }
    return nullptr;
}

uint32_t PackageTable::probeCount(const char* location) const {
    const TableEntry* entry = probe(location);
    if (!entry) return 0;
    uint32_t n = size();
    uint32_t home = packageNameHash(location) % n;
    uint32_t at = static_cast<uint32_t>(entry - mRecords.data());
    return (at + n - home) % n + 1;
}

bool readPackageTable(LocalFile& archive, uint32_t header[3], PackageTable& table,
                      std::string& error) {
    table.clear();
    uint32_t fileSize = archive.size();
    archive.seek(0);
    for (int i = 0; i < 3; ++i) {
        if (!readWord(archive, header[i])) {
            error = "QVP archive is damaged: the header is incomplete";
            return false;
        }
    }
    uint32_t count = header[2];
    if (count == 0) {
        error = "QVP must contain at least one file";
        return false;
    }
    uint64_t tableBytes = uint64_t(count) * sizeof(TableEntry);
    if (uint64_t(kPackageHeaderSize) + tableBytes > fileSize ||
        tableBytes > uint64_t(std::numeric_limits<int>::max())) {
        error = formatString("QVP archive is damaged: %u entries do not fit in %u bytes", count,
                             fileSize);
        return false;
    }
    archive.seek(static_cast<int32_t>(kPackageHeaderSize));
    std::vector<unsigned char> raw(static_cast<size_t>(tableBytes));
    if (archive.read(raw.data(), static_cast<int>(tableBytes)) != static_cast<int>(tableBytes)) {
        error = "QVP archive is damaged: the entry table could not be read";
        return false;
    }
    std::vector<TableEntry> records(count);
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* p = raw.data() + size_t(i) * sizeof(TableEntry);
        TableEntry& record = records[i];
        std::memcpy(record.name, p, sizeof(record.name));
        record.offset = readLittle(p + 128);
        record.size = readLittle(p + 132);
        // A declared size past the end would make a whole-file read allocate
        // (and zero) up to 4 GiB for bytes that are not there.
        if (uint64_t(record.offset) + record.size > fileSize) {
            error = formatString(
                "QVP archive is damaged: entry '%.*s' (offset %u, size %u) lies past the archive's end (%u bytes)",
                int(strnlen(record.name, sizeof(record.name))), record.name, record.offset, record.size,
                fileSize);
            return false;
        }
    }
    table.assign(std::move(records));
    return true;
}

QVPFile::QVPFile(LocalFile* archive, pthread_mutex_t* mutex, uint32_t offset, uint32_t size)
    : mArchive(archive), mMutex(mutex), mOffset(offset), mSize(size) {}

int QVPFile::read(void* buffer, int count) {
    if (!buffer || count <= 0) return 0;
    MutexLock lock(mMutex);
    int64_t left = int64_t(mSize) - mPosition;
    int64_t n = count < left ? count : left;
    if (n <= 0) return 0;
    // The shared handle seeks with a signed 32-bit position.
    int64_t at = int64_t(mOffset) + mPosition;
    if (at > std::numeric_limits<int32_t>::max()) return 0;
    mArchive->seek(static_cast<int32_t>(at));
    int got = mArchive->read(buffer, static_cast<int>(n));
    if (got < 0) {
        close();
    } else {
        mPosition += got;
    }
    return got;
}

void QVPFile::seek(int32_t position) {
    if (position < 0 || mSize == 0) {
        mPosition = 0;
    } else if (uint32_t(position) >= mSize) {
        mPosition = static_cast<int32_t>(mSize - 1);
    } else {
        mPosition = position;
    }
}

QVPReader::QVPReader() { start(gContentDirectory + "/data.qvp"); }

QVPReader::QVPReader(const std::string& path) { start(path); }

void QVPReader::start(const std::string& path) {
    mPath = path;
    initRecursiveMutex(&mMutex);
    mMutexCreated = true;
    note(formatString("sizeof(TableEntry) = %i", int(sizeof(TableEntry))));
    if (mArchive.open(path)) {
        initHashTable();
    } else if (pathExists(path)) {
        note("ERROR: Failed to open QVP archive.");
    }
    // No archive at all is no fault: the content may come from "data.zip" or loose files.
}

QVPReader::~QVPReader() {
    mArchive.close();
    if (mMutexCreated) pthread_mutex_destroy(&mMutex);
}

void QVPReader::initHashTable() {
    MutexLock lock(&mMutex);
    // The count is logged as stored; the check below decides whether it is sound.
    uint32_t storedCount = 0;
    mArchive.seek(8);
    readWord(mArchive, storedCount);
    note(formatString("QVP Archive total files: %i", int(storedCount)));
    note(formatString("QVP Hash table size: %i", int(storedCount * 140u)));
    auto started = std::chrono::steady_clock::now();
    std::string error;
    if (!readPackageTable(mArchive, mHeader, mTable, error)) {
        QV_FATAL(mPath + ": " + error);
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    note(formatString("hash table loaded in %.2f", seconds));
    note("initHashTable done");
}

File* QVPReader::openFile(const std::string& location) {
    const TableEntry* entry = mTable.find(location.c_str());
    if (!entry) return nullptr;
    return new QVPFile(&mArchive, &mMutex, entry->offset, entry->size);
}

}  // namespace QV

#pragma once

#include <pthread.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "file.h"
#include "loose_file.h"

namespace QV {

// One record of the archive's entry table, exactly as stored (136 bytes).
struct TableEntry {
    char name[128];  // zero-terminated location, at most 127 bytes
    uint32_t offset;
    uint32_t size;
};
static_assert(sizeof(TableEntry) == 136, "the archive's record layout");

constexpr uint32_t kPackageHeaderSize = 12;

// h = h * 31 + byte, each byte taken as a signed char, wrapping at 32 bits.
uint32_t packageNameHash(const char* name);

// The in-memory entry table: a full open-addressing table of N slots.
// A full table has no empty slot to end a probe, so a miss would compare
// every record; an index by name, made once when the table is assigned,
// answers each lookup with the record the probe from the home slot finds.
class PackageTable {
public:
    void assign(std::vector<TableEntry> records);
    void clear();
    bool empty() const { return mRecords.empty(); }
    uint32_t size() const { return static_cast<uint32_t>(mRecords.size()); }
    const TableEntry& record(uint32_t slot) const { return mRecords[slot]; }
    // The record named exactly so, or null.
    const TableEntry* find(const char* location) const;
    // The same answer by walking the slots from the name's home slot.
    const TableEntry* probe(const char* location) const;
    // Records the walk compares before it reaches the name (0 when absent).
    uint32_t probeCount(const char* location) const;

private:
    std::vector<TableEntry> mRecords;
    std::unordered_map<std::string_view, uint32_t> mIndex;
};

// Reads the header and the entry table of an opened archive. False with a
// reason when the archive is damaged (no entries, a count the file cannot
// hold, a short read, an entry reaching past the end of the file).
bool readPackageTable(LocalFile& archive, uint32_t header[3], PackageTable& table,
                      std::string& error);

// One entry read from the reader's shared archive handle.
class QVPFile : public File {
public:
    QVPFile(LocalFile* archive, pthread_mutex_t* mutex, uint32_t offset, uint32_t size);

    int read(void* buffer, int count) override;
    void close() override { mOpen = false; }
    uint32_t size() override { return mSize; }
    int32_t position() override { return mPosition; }
    bool open(const std::string&) override { return true; }
    // Clamped to the entry: below 0 gives 0, past the end gives size - 1.
    virtual void seek(int32_t position);

private:
    LocalFile* mArchive;
    pthread_mutex_t* mMutex;
    uint32_t mOffset;
    uint32_t mSize;
    int32_t mPosition = 0;
    bool mOpen = true;
};

// Serves locations from the package archive "data.qvp" in the content directory.
class QVPReader : public FileReader {
public:
    QVPReader();
    // An archive at an explicit path (tools, tests).
    explicit QVPReader(const std::string& path);
    ~QVPReader() override;

    File* openFile(const std::string& location) override;
    // Loads the table; a damaged archive is a fatal report.
    void initHashTable();

    const PackageTable& table() const { return mTable; }

private:
    void start(const std::string& path);

    std::string mPath;
    PackageTable mTable;
    uint32_t mHeader[3] = {0, 0, 0};
    LocalFile mArchive;
    pthread_mutex_t mMutex;
    bool mMutexCreated = false;
};

}  // namespace QV

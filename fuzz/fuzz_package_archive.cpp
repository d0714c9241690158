// Damaged or swapped package archives: the table check must refuse them
// cleanly, and lookups, reads and seeks on whatever passes must stay inside
// their buffers. Inputs that split into names also round-trip through the
// writer.
#include <pthread.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "file.h"
#include "mutex_lock.h"
#include "package_archive.h"
#include "package_archive_writer.h"

namespace {

const std::string& scratchPath() {
    static std::string path = [] {
        char pattern[] = "/tmp/fuzz_qvp_XXXXXX";
        int fd = mkstemp(pattern);
        if (fd >= 0) close(fd);
        std::atexit([] { std::remove(scratchPath().c_str()); });
        return std::string(pattern);
    }();
    return path;
}

bool writeScratch(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(scratchPath().c_str(), "wb");
    if (!f) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    std::fclose(f);
    return ok;
}

void exerciseArchive() {
    QV::LocalFile archive;
    if (!archive.open(scratchPath())) return;
    uint32_t header[3];
    QV::PackageTable table;
    std::string error;
    if (!QV::readPackageTable(archive, header, table, error)) return;
    static pthread_mutex_t mutex = [] {
        pthread_mutex_t m;
        QV::initRecursiveMutex(&m);
        return m;
    }();
    char buffer[512];
    uint32_t limit = table.size() < 64 ? table.size() : 64;
    for (uint32_t i = 0; i < limit; ++i) {
        const QV::TableEntry& record = table.record(i);
        std::string name(record.name, strnlen(record.name, sizeof(record.name)));
        const QV::TableEntry* found = table.find(name.c_str());
        if (name.size() < sizeof(record.name) && !found) __builtin_trap();
        // The index must answer exactly what the walk from the home slot answers.
        if (found != table.probe(name.c_str())) __builtin_trap();
        QV::QVPFile file(&archive, &mutex, record.offset, record.size);
        for (int step = 0; step < 16; ++step) {
            if (file.read(buffer, sizeof(buffer)) <= 0) break;
        }
        file.seek(-1);
        file.seek(int32_t(record.size / 2));
        file.read(buffer, 3);
        file.seek(INT32_MAX);
        file.read(buffer, sizeof(buffer));
    }
    table.find("/config.lua");
    table.find(std::string(200, 'x').c_str());

    // What passed the check also goes through the reader and the whole-file
    // read the file system uses, whose buffer follows each declared size.
    QV::QVPReader reader(scratchPath());
    for (uint32_t i = 0; i < limit; ++i) {
        const QV::TableEntry& record = table.record(i);
        std::string name(record.name, strnlen(record.name, sizeof(record.name)));
        // A repeated name opens the entry the index answers, not this one.
        const QV::TableEntry* opened = table.find(name.c_str());
        QV::File* file = opened ? reader.openFile(name) : nullptr;
        if (!file) continue;
        std::vector<char> bytes;
        const uint32_t got = QV::readWholeFile(*file, bytes);
        if (got > opened->size || bytes.size() != size_t(got) + 1) __builtin_trap();
        delete file;
    }
}

void roundTrip(const uint8_t* data, size_t size) {
    std::vector<QV::PackageArchiveItem> items;
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start < text.size() && items.size() < 32) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string name = text.substr(start, end - start);
        if (!name.empty() && name.size() < 128 && name.find('\0') == std::string::npos) {
            bool duplicate = false;
            for (const auto& item : items) duplicate = duplicate || item.location == name;
            if (!duplicate) items.push_back({name, name + "!"});
        }
        start = end + 1;
    }
    if (items.empty()) return;
    std::string archive, error;
    if (!QV::buildPackageArchive(items, archive, error)) __builtin_trap();
    if (!writeScratch(reinterpret_cast<const uint8_t*>(archive.data()), archive.size())) return;
    QV::QVPReader reader(scratchPath());
    for (const auto& item : items) {
        QV::File* file = reader.openFile(item.location);
        if (!file) __builtin_trap();
        std::string got(item.data.size() + 4, '\0');
        int n = file->read(&got[0], int(got.size()));
        if (n != int(item.data.size()) || got.compare(0, n, item.data) != 0) __builtin_trap();
        delete file;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (writeScratch(data, size)) exerciseArchive();
    if (size < 4096) roundTrip(data, size);
    return 0;
}

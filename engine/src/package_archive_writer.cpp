#include "package_archive_writer.h"

#include <cstring>
#include <limits>
#include <set>

#include "package_archive.h"

namespace QV {

namespace {

void putWord(std::string& out, size_t at, uint32_t value) {
    out[at] = char(value & 0xFF);
    out[at + 1] = char((value >> 8) & 0xFF);
    out[at + 2] = char((value >> 16) & 0xFF);
    out[at + 3] = char((value >> 24) & 0xFF);
}

}  // namespace

bool buildPackageArchive(const std::vector<PackageArchiveItem>& items, std::string& archive,
                         std::string& error) {
    archive.clear();
    if (items.empty()) {
        error = "an archive needs at least one file";
        return false;
    }
    std::set<std::string> seen;
    for (const PackageArchiveItem& item : items) {
        if (item.location.empty() || item.location.size() >= sizeof(TableEntry::name) ||
            item.location.find('\0') != std::string::npos) {
            error = "location does not fit an entry name: '" + item.location + "'";
            return false;
        }
        if (!seen.insert(item.location).second) {
            error = "location listed twice: '" + item.location + "'";
            return false;
        }
    }
    const uint64_t count = items.size();
    uint64_t dataStart = kPackageHeaderSize + count * sizeof(TableEntry);
    uint64_t total = dataStart;
    for (const PackageArchiveItem& item : items) total += item.data.size();
    if (total > uint64_t(std::numeric_limits<int32_t>::max())) {
        error = "archive data would pass 2 GiB";
        return false;
    }

    std::vector<int64_t> slotOf(count, -1);  // slot -> item index
    uint32_t n = static_cast<uint32_t>(count);
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t slot = packageNameHash(items[i].location.c_str()) % n;
        while (slotOf[slot] >= 0) slot = slot + 1 == n ? 0 : slot + 1;
        slotOf[slot] = i;
    }

    archive.assign(static_cast<size_t>(total), '\0');
    putWord(archive, 0, kPackageArchiveMagic);
    putWord(archive, 4, kPackageArchiveVersion);
    putWord(archive, 8, n);
    std::vector<uint32_t> offsets(n);
    uint64_t at = dataStart;
    for (uint32_t i = 0; i < n; ++i) {
        offsets[i] = static_cast<uint32_t>(at);
        if (!items[i].data.empty()) {
            std::memcpy(&archive[static_cast<size_t>(at)], items[i].data.data(),
                        items[i].data.size());
        }
        at += items[i].data.size();
    }
    for (uint32_t slot = 0; slot < n; ++slot) {
        const PackageArchiveItem& item = items[static_cast<size_t>(slotOf[slot])];
        size_t record = kPackageHeaderSize + size_t(slot) * sizeof(TableEntry);
        std::memcpy(&archive[record], item.location.data(), item.location.size());
        putWord(archive, record + 128, offsets[static_cast<size_t>(slotOf[slot])]);
        putWord(archive, record + 132, static_cast<uint32_t>(item.data.size()));
    }
    return true;
}

}  // namespace QV

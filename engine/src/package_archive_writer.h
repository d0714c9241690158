#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace QV {

// Header words 0 and 1 as the writer fills them; the reader ignores both.
constexpr uint32_t kPackageArchiveMagic = 0x30505651u;  // "QVP0"
constexpr uint32_t kPackageArchiveVersion = 1u;

struct PackageArchiveItem {
    std::string location;  // as the file lists give it, e.g. "/config.lua"
    std::string data;
};

// Builds an archive the package reader reads: each record in the first free
// slot at or after its home slot, data back to back after the table. False
// with a reason for an empty list, a duplicate or over-long location, or data
// beyond the first 2 GiB.
bool buildPackageArchive(const std::vector<PackageArchiveItem>& items, std::string& archive,
                         std::string& error);

}  // namespace QV

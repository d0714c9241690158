#pragma once

#include <cstddef>

namespace QV {

enum UserDataFolderResult {
    kUserDataFolderFound = 0,     // path written, every level exists
    kUserDataFolderMissing = 1,   // no per-user base folder; empty result, nothing created
    kUserDataFolderTooLong = 2,   // the path does not fit the buffer; empty result, nothing created
};

// Longest base folder accepted, terminator included.
constexpr size_t kUserDataBaseLimit = 4096;

// Writes <per-user data folder>/<company>/<product>/<subFolder>/ into result
// (capacity bytes, always terminated when capacity > 0) and creates every
// missing level. "/" and "\" both separate company and product; a null
// companyProduct means "FenwrightEntertainment/Corvel". With an empty
// sub-folder the path ends in two separators, so callers append a file name.
int getUserDataFolder(const char* subFolder, const char* companyProduct, char* result,
                      size_t capacity);

}  // namespace QV

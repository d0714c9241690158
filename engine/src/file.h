#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace QV {

// An open resource. Users of the file system read front to back: only loose
// and archive files can seek, ZIP members cannot.
class File {
public:
    virtual ~File() = default;
    // Bytes read, 0 at the end, negative on error.
    virtual int read(void* buffer, int count) = 0;
    virtual void close() = 0;
    virtual uint32_t size() = 0;
    virtual int32_t position() = 0;
    virtual bool open(const std::string& location) = 0;
};

// A source of files; the file system asks its readers in order.
class FileReader {
public:
    virtual ~FileReader() = default;
    // A new opened file the caller owns, or null.
    virtual File* openFile(const std::string& location) = 0;
};

// Reads a file from its position to its end (at most its size) into bytes,
// followed by one zero byte that is not counted. Returns the count read.
uint32_t readWholeFile(File& file, std::vector<char>& bytes);

}  // namespace QV

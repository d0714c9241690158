#pragma once

#include <fstream>

#include "file.h"

namespace QV {

// A file on disk, read through a binary stream. Also the handle under the
// package archive.
class LocalFile : public File {
public:
    LocalFile() = default;
    ~LocalFile() override;

    int read(void* buffer, int count) override;
    void close() override;
    uint32_t size() override { return mSize; }
    // The read position, or -1 when the stream has failed.
    int32_t position() override;
    bool open(const std::string& path) override;
    virtual void seek(int32_t position);

private:
    std::ifstream mStream;
    uint32_t mSize = 0;
};

// Loose files under the content directory, or at the location as given.
class LocalReader : public FileReader {
public:
    File* openFile(const std::string& location) override;
};

}  // namespace QV

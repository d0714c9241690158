#include "loose_file.h"

#include <sys/stat.h>

#include "file_system.h"

namespace QV {

LocalFile::~LocalFile() { close(); }

bool LocalFile::open(const std::string& path) {
    close();
    // Directories and devices open as streams here but read as nothing useful.
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    mStream.open(path, std::ios::in | std::ios::binary);
    if (!mStream.is_open()) {
        mStream.clear();
        return false;
    }
    mStream.seekg(0, std::ios::end);
    std::streamoff end = mStream.tellg();
    mStream.seekg(0, std::ios::beg);
    if (end < 0 || !mStream) {
        close();
        return false;
    }
    // Sizes are 32-bit throughout; larger files are refused rather than misread.
    if (static_cast<unsigned long long>(end) > 0xFFFFFFFFull) {
        close();
        return false;
    }
    mSize = static_cast<uint32_t>(end);
    return true;
}

int LocalFile::read(void* buffer, int count) {
    if (!mStream.is_open() || count <= 0 || !buffer) return 0;
    mStream.read(static_cast<char*>(buffer), count);
    std::streamsize got = mStream.gcount();
    // A short read at the end sets eof and fail; keep the stream usable for seeks.
    if (mStream.eof()) mStream.clear();
    return static_cast<int>(got);
}

void LocalFile::close() {
    if (mStream.is_open()) mStream.close();
    mStream.clear();
    mSize = 0;
}

int32_t LocalFile::position() {
    if (!mStream.is_open() || mStream.fail()) return -1;
    return static_cast<int32_t>(mStream.tellg());
}

void LocalFile::seek(int32_t position) {
    if (!mStream.is_open()) return;
    mStream.clear();
    mStream.seekg(static_cast<std::streamoff>(position), std::ios::beg);
}

File* LocalReader::openFile(const std::string& location) {
    LocalFile* file = new LocalFile();
    if (file->open(gContentDirectory + location) || file->open(location)) return file;
    delete file;
    return nullptr;
}

}  // namespace QV

#include "player/save_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "player/platform_config.h"
#include "player/player_data_log.h"
#include "user_data_folder.h"

namespace {

const char* const kCompanyProduct = "Varnel/Glimvale";

void putWord(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t getWord(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

bool writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool readAll(int fd, uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::read(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Makes the rename itself survive a power cut; failures here lose nothing.
void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

uint32_t byteSumChecksum(const void* data, int size) {
    uint32_t sum = 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (int i = 0; i < size; ++i) sum += bytes[i];
    return sum;
}

uint32_t saveFileVersionWord(int platformCode) {
    return (static_cast<uint32_t>(platformCode) << 16) | kSaveFileFormat;
}

std::string userSaveFolder() {
    // The folder text is only bounded by the engine's own base-folder limit.
    std::vector<char> buffer(QV::kUserDataBaseLimit + 256);
    if (QV::getUserDataFolder("", kCompanyProduct, buffer.data(), buffer.size()) !=
        QV::kUserDataFolderFound) {
        return std::string();
    }
    std::string folder = buffer.data();
    // An empty sub-folder leaves two separators at the end; one is enough here.
    while (folder.size() > 1 && folder.back() == '/' && folder[folder.size() - 2] == '/') folder.pop_back();
    return folder;
}

int currentPlatformCode() {
    PlatformConfig* config = PlatformConfig::instancePointer();
    return config ? config->platformCode() : 0;
}

std::string saveFilePath(const std::string& name) { return userSaveFolder() + name; }

int writeSaveFile(const char* name, const void* data, int size) {
    return writeSaveFileAt(saveFilePath(name ? name : ""), data, size, currentPlatformCode());
}

int readSaveFile(const char* name, void* out, int outSize) {
    return readSaveFileAt(saveFilePath(name ? name : ""), out, outSize, currentPlatformCode());
}

int saveFilePayloadSize(const char* name) { return saveFilePayloadSizeAt(saveFilePath(name ? name : "")); }

std::vector<uint8_t> buildSaveFileBytes(const void* data, int size, int platformCode) {
    if (size < 0) size = 0;
    std::vector<uint8_t> bytes(kSaveFileHeaderSize + size_t(size));
    putWord(bytes.data(), byteSumChecksum(data, size));
    putWord(bytes.data() + 4, saveFileVersionWord(platformCode));
    if (size > 0) std::memcpy(bytes.data() + kSaveFileHeaderSize, data, size_t(size));
    return bytes;
}

namespace {

std::string reasonOf(const std::string& what, const std::string& path, int error) {
    return what + " '" + path + "': " + std::strerror(error);
}

// Writes the container beside the file and renames it over; empty when done, else why not.
std::string writeAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    // A kill at any moment leaves either the old file or the new one.
    const std::string temporary = path + ".tmp";
    // Never blocks on a FIFO and never writes through a link in the temporary file's place.
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW, 0600);
    if (fd < 0) return reasonOf("cannot create", temporary, errno);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return "'" + temporary + "' is not a regular file";
    }
    std::string problem;
    if (!writeAll(fd, bytes.data(), bytes.size())) {
        problem = reasonOf("cannot write", temporary, errno);
    } else if (::fsync(fd) != 0) {
        problem = reasonOf("cannot sync", temporary, errno);
    }
    if (::close(fd) != 0 && problem.empty()) problem = reasonOf("cannot close", temporary, errno);
    if (problem.empty() && ::rename(temporary.c_str(), path.c_str()) != 0) {
        problem = reasonOf("cannot rename over it", temporary, errno);
    }
    if (!problem.empty()) {
        ::unlink(temporary.c_str());
        return problem;
    }
    syncFolder(folderOf(path));
    return std::string();
}

}  // namespace

int writeSaveFileAt(const std::string& path, const void* data, int size, int platformCode) {
    std::string problem;
    if (size < 0 || (size > 0 && !data)) {
        problem = "no payload";
    } else if (size > kSaveFileMaxPayload) {
        problem = "its payload of " + std::to_string(size) + " bytes is over the limit";
    } else if (path.empty() || path.back() == '/') {
        problem = "no file name";
    } else {
        problem = writeAtomically(path, buildSaveFileBytes(data, size, platformCode));
    }
    if (problem.empty()) return 0;
    // Said every time: the old file stays, and the next save tries again.
    logPlayerData("ERROR: Save file '" + path + "' not written: " + problem);
    return 1;
}

namespace {

// "<path>.bad", then "<path>.bad.1", "<path>.bad.2", ...
std::string keptName(const std::string& path, int number) {
    return number == 0 ? path + ".bad" : path + ".bad." + std::to_string(number);
}

constexpr int kMaxKeptFiles = 1000;

bool freeName(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

}  // namespace

std::string keepFileAside(const std::string& path, std::string* error) {
    for (int number = 0; number < kMaxKeptFiles; ++number) {
        const std::string kept = keptName(path, number);
        // Never replaces a file kept before, even one made between the check and the move.
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, kept.c_str(), RENAME_NOREPLACE) == 0) {
            syncFolder(folderOf(path));
            return kept;
        }
        if (errno == EEXIST) continue;
        if (errno == EINVAL || errno == ENOSYS) {
            // A file system without the no-replace move: look first.
            if (!freeName(kept)) continue;
            if (::rename(path.c_str(), kept.c_str()) == 0) {
                syncFolder(folderOf(path));
                return kept;
            }
        }
        if (error) *error = std::strerror(errno);
        return std::string();
    }
    if (error) *error = "every kept name up to .bad." + std::to_string(kMaxKeptFiles - 1) + " is taken";
    return std::string();
}

std::string copyFileAside(const std::string& path, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return std::string();
    };
    int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) return fail(std::strerror(errno));
    struct stat st;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return fail("not a regular file");
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
    const bool read = readAll(in, bytes.data(), bytes.size());
    ::close(in);
    if (!read) return fail("cannot read it");
    for (int number = 0; number < kMaxKeptFiles; ++number) {
        const std::string kept = keptName(path, number);
        int out = ::open(kept.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (out < 0) {
            if (errno == EEXIST) continue;
            return fail(reasonOf("cannot create", kept, errno));
        }
        bool ok = writeAll(out, bytes.data(), bytes.size()) && ::fsync(out) == 0;
        const int writeError = errno;
        ok = ::close(out) == 0 && ok;
        if (!ok) {
            ::unlink(kept.c_str());
            return fail(reasonOf("cannot write", kept, writeError));
        }
        syncFolder(folderOf(path));
        return kept;
    }
    return fail("every kept name up to .bad." + std::to_string(kMaxKeptFiles - 1) + " is taken");
}

SaveFileInfo parseSaveFileBytes(const uint8_t* bytes, size_t size, int platformCode) {
    SaveFileInfo info;
    info.fileSize = static_cast<int64_t>(size);
    if (size < size_t(kSaveFileHeaderSize)) {
        info.status = SaveFileStatus::TooShort;
        return info;
    }
    info.storedChecksum = getWord(bytes);
    info.versionWord = getWord(bytes + 4);
    const size_t payload = size - kSaveFileHeaderSize;
    if (payload > size_t(kSaveFileMaxPayload)) {
        info.status = SaveFileStatus::TooLarge;
        return info;
    }
    info.payload.assign(bytes + kSaveFileHeaderSize, bytes + size);
    info.computedChecksum = byteSumChecksum(info.payload.data(), static_cast<int>(payload));
    if (payload == 0) {
        info.status = SaveFileStatus::TooShort;
    } else if (!info.checksumOk()) {
        info.status = SaveFileStatus::BadChecksum;
    } else if (info.versionWord != saveFileVersionWord(platformCode)) {
        info.status = SaveFileStatus::BadVersion;
    } else {
        info.status = SaveFileStatus::Ok;
    }
    return info;
}

SaveFileInfo inspectSaveFile(const std::string& path, int platformCode) {
    SaveFileInfo info;
    // Non-blocking: a FIFO in the file's place must not hold the start up.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        // Only a file that is not there is missing; one that cannot be read is not
        // to be overwritten as if it were.
        if (errno != ENOENT) info.status = SaveFileStatus::ReadError;
        return info;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        info.status = SaveFileStatus::ReadError;
        return info;
    }
    const int64_t fileSize = st.st_size;
    // Never allocate for a file larger than any container can be.
    if (fileSize > int64_t(kSaveFileHeaderSize) + kSaveFileMaxPayload) {
        uint8_t header[kSaveFileHeaderSize];
        if (readAll(fd, header, sizeof(header))) {
            info.storedChecksum = getWord(header);
            info.versionWord = getWord(header + 4);
        }
        ::close(fd);
        info.fileSize = fileSize;
        info.status = SaveFileStatus::TooLarge;
        return info;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(fileSize));
    bool ok = readAll(fd, bytes.data(), bytes.size());
    ::close(fd);
    if (!ok) {
        info.fileSize = fileSize;
        info.status = SaveFileStatus::ReadError;
        return info;
    }
    return parseSaveFileBytes(bytes.data(), bytes.size(), platformCode);
}

int readSaveFileAt(const std::string& path, void* out, int outSize, int platformCode) {
    SaveFileInfo info = inspectSaveFile(path, platformCode);
    if (info.status != SaveFileStatus::Ok) return -1;
    int payload = static_cast<int>(info.payload.size());
    int count = outSize > 0 ? std::min(outSize, payload) : payload;
    if (count > 0 && out) std::memcpy(out, info.payload.data(), size_t(count));
    return out ? count : -1;
}

int saveFilePayloadSizeAt(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    if (st.st_size < kSaveFileHeaderSize) return -1;
    if (st.st_size - kSaveFileHeaderSize > int64_t(kSaveFileMaxPayload)) {
        // Sizes a caller would trust to allocate are capped; the read refuses the file anyway.
        return -1;
    }
    return static_cast<int>(st.st_size - kSaveFileHeaderSize);
}

const char* saveFileStatusText(SaveFileStatus status) {
    switch (status) {
        case SaveFileStatus::Ok: return "ok";
        case SaveFileStatus::Missing: return "missing";
        case SaveFileStatus::TooShort: return "too short";
        case SaveFileStatus::TooLarge: return "payload over 65536 bytes";
        case SaveFileStatus::BadChecksum: return "checksum mismatch";
        case SaveFileStatus::BadVersion: return "version word mismatch";
        case SaveFileStatus::ReadError: return "read error";
    }
    return "?";
}

void seekStream(std::istream& stream, int64_t offset, SeekOrigin origin) {
    if (!stream) return;
    const std::istream::pos_type here = stream.tellg();
    stream.seekg(0, std::ios::end);
    const int64_t end = static_cast<int64_t>(stream.tellg());
    int64_t base = 0;
    if (origin == SeekOrigin::Current) base = static_cast<int64_t>(here);
    if (origin == SeekOrigin::End) base = end;
    const int64_t target = base + offset;
    if (here < 0 || end < 0 || target < 0 || target > end) {
        if (here >= 0) stream.seekg(here);
        stream.setstate(std::ios::failbit);
        return;
    }
    stream.seekg(target, std::ios::beg);
}

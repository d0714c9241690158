#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

// The container of every file kept for the player: a 32-bit byte sum of the
// payload, a version word tying the file to the platform, then the payload.

constexpr int kSaveFileHeaderSize = 8;
constexpr int kSaveFileMaxPayload = 65536;
constexpr uint32_t kSaveFileFormat = 65;

uint32_t byteSumChecksum(const void* data, int size);
uint32_t saveFileVersionWord(int platformCode);

// "<per-user data folder>/Varnel/Glimvale/", created when missing; empty when
// no per-user folder exists.
std::string userSaveFolder();
// The platform code of the running configuration (0 without one).
int currentPlatformCode();

// Full path of a save file in the default folder.
std::string saveFilePath(const std::string& name);

// 0 when the file was written (atomically: a temporary file beside it is
// synced and renamed over it), 1 when it was not; the old file then stays and
// one "ERROR:" line with the path and the reason is logged.
int writeSaveFile(const char* name, const void* data, int size);
// Bytes copied into out (all of the payload when outSize <= 0), or -1.
int readSaveFile(const char* name, void* out, int outSize);
// File size minus the header, or -1 when the file is missing, shorter than the
// header or holds more payload than a container may.
int saveFilePayloadSize(const char* name);

// The same three operations on a full path and an explicit platform code.
int writeSaveFileAt(const std::string& path, const void* data, int size, int platformCode);
int readSaveFileAt(const std::string& path, void* out, int outSize, int platformCode);
int saveFilePayloadSizeAt(const std::string& path);

// A file the game cannot use or must not write over is moved (keepFileAside)
// or copied (copyFileAside) to the first free name of "<path>.bad",
// "<path>.bad.1", "<path>.bad.2", ...; earlier kept files are never replaced.
// The name it was kept under, or empty (error says why).
std::string keepFileAside(const std::string& path, std::string* error);
std::string copyFileAside(const std::string& path, std::string* error);

enum class SaveFileStatus {
    Ok,
    Missing,      // no such file
    TooShort,     // shorter than the header or an empty payload
    TooLarge,     // payload over the limit
    BadChecksum,
    BadVersion,   // other platform code or format
    ReadError,
};

// Everything the header says, for tools and for loaders that must tell a
// missing file from a damaged one.
struct SaveFileInfo {
    SaveFileStatus status = SaveFileStatus::Missing;
    int64_t fileSize = -1;
    uint32_t storedChecksum = 0;
    uint32_t computedChecksum = 0;
    uint32_t versionWord = 0;
    std::vector<uint8_t> payload;  // filled whenever the file could be read

    bool checksumOk() const { return storedChecksum == computedChecksum; }
    int platformCode() const { return static_cast<int>(versionWord >> 16); }
    uint32_t format() const { return versionWord & 0xFFFFu; }
};

// Reads and checks a container against the platform code.
SaveFileInfo inspectSaveFile(const std::string& path, int platformCode);
const char* saveFileStatusText(SaveFileStatus status);

// Bytes of a whole container (header and payload) in memory; for fixtures and fuzzing.
std::vector<uint8_t> buildSaveFileBytes(const void* data, int size, int platformCode);
// Checks container bytes in memory the same way inspectSaveFile checks a file.
SaveFileInfo parseSaveFileBytes(const uint8_t* bytes, size_t size, int platformCode);

// Moves a file stream's read position; a position before the start or past
// the end marks the stream failed. A failed stream is left alone.
enum class SeekOrigin { Begin, Current, End };
void seekStream(std::istream& stream, int64_t offset, SeekOrigin origin);

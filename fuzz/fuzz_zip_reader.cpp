// Damaged or swapped "data.zip": opening, caching the central directory and
// reading every member must fail cleanly, never crash or overrun.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "file.h"
#include "file_system.h"
#include "zip_reader.h"

namespace {

std::string scratchDirectory() {
    char pattern[] = "/tmp/fuzz_zip_XXXXXX";
    const char* made = mkdtemp(pattern);
    return made ? std::string(made) + "/" : std::string("/tmp/");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string directory = [] {
        std::string dir = scratchDirectory();
        QV::gContentDirectory = dir;
        QV::gZipArchivePath = dir + "data.zip";
        std::atexit([] {
            std::remove(QV::gZipArchivePath.c_str());
            rmdir(QV::gContentDirectory.c_str());
        });
        return dir;
    }();
    FILE* f = std::fopen(QV::gZipArchivePath.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);

    // The reader stops with a fatal report on a member that does not fit the
    // archive; the same check, without stopping, decides whether to go on.
    {
        unzFile handle = unzOpen64(QV::gZipArchivePath.c_str());
        if (handle) {
            std::map<std::string, unz64_file_pos> cache;
            std::string error;
            const bool sound = QV::readZipDirectory(handle, size, cache, error);
            unzClose(handle);
            if (!sound) return 0;
        }
    }

    QV::ZipReader reader;
    std::unique_ptr<QV::File> first(reader.openFile("/config.lua"));
    std::vector<std::string> names;
    for (const auto& entry : reader.positionCache()) {
        if (names.size() >= 16) break;
        names.push_back(entry.first);
    }
    std::vector<char> buffer(4096);
    for (const std::string& name : names) {
        // The whole-file read the file system uses: its buffer follows the
        // declared size, which the directory check bounds by the archive.
        std::unique_ptr<QV::File> file(reader.openFile("/" + name));
        if (!file) continue;
        if (file->size() > (16u << 20)) continue;  // a sound but large bomb: not worth the time here
        std::vector<char> bytes;
        if (QV::readWholeFile(*file, bytes) > file->size()) __builtin_trap();
        file->close();
        file->read(buffer.data(), 1);
    }
    std::unique_ptr<QV::File> absent(reader.openFile("/" + std::string(300, 'a')));
    return 0;
}

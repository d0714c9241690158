// Damaged or swapped "data.zip": opening, caching the central directory and
// reading every member must fail cleanly, never crash or overrun.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

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

    QV::ZipReader reader;
    std::unique_ptr<QV::File> first(reader.openFile("/config.lua"));
    std::vector<std::string> names;
    for (const auto& entry : reader.positionCache()) {
        if (names.size() >= 16) break;
        names.push_back(entry.first);
    }
    std::vector<char> buffer(4096);
    size_t budget = 1 << 20;  // a bomb inflates far past what a test needs to read
    for (const std::string& name : names) {
        std::unique_ptr<QV::File> file(reader.openFile("/" + name));
        if (!file) continue;
        file->size();
        while (budget > 0) {
            int n = file->read(buffer.data(), int(buffer.size()));
            if (n <= 0) break;
            budget -= size_t(n) < budget ? size_t(n) : budget;
        }
        file->close();
        file->read(buffer.data(), 1);
    }
    std::unique_ptr<QV::File> absent(reader.openFile("/" + std::string(300, 'a')));
    return 0;
}

// Damaged save files: the container check must refuse or accept cleanly,
// and a file on disk must read the same way as bytes in memory.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "player/save_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        char pattern[] = "/tmp/fuzz_save_XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp") + "/save.dat";
    }();
    SaveFileInfo memory = parseSaveFileBytes(data, size, 1);
    if (size <= size_t(kSaveFileHeaderSize + kSaveFileMaxPayload) + 16) {
        FILE* file = std::fopen(path.c_str(), "wb");
        if (file) {
            if (size > 0) std::fwrite(data, 1, size, file);
            std::fclose(file);
            std::vector<uint8_t> out(64);
            const int read = readSaveFileAt(path, out.data(), int(out.size()), 1);
            const int expected = memory.status == SaveFileStatus::Ok
                                     ? int(std::min<size_t>(memory.payload.size(), out.size()))
                                     : -1;
            if (read != expected) std::abort();
            const int payloadSize = saveFilePayloadSizeAt(path);
            if (payloadSize < -1 || payloadSize > kSaveFileMaxPayload) std::abort();
        }
    }
    return 0;
}

// Damaged "last_profile.dat" beside a good profile file: whatever the pointer
// holds, the profile file that is there is loaded, and nothing crashes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "player/game_properties.h"
#include "player/save_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = [] {
        char pattern[] = "/tmp/fuzz_last_profile_XXXXXX";
        const char* made = mkdtemp(pattern);
        std::string dir = std::string(made ? made : "/tmp") + "/";
        GameProperties properties(dir);
        properties.profile()->mSilver = 4321;
        properties.saveProfile();
        return dir;
    }();
    const std::string path = folder + kLastProfileFileName;
    // Half the inputs as whole files, half as payloads inside a good container.
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    if (size > 0 && (data[0] & 1)) {
        std::vector<uint8_t> bytes = buildSaveFileBytes(data + 1, int(std::min<size_t>(size - 1, 70000)), 0);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    } else if (size > 0) {
        std::fwrite(data, 1, size, file);
    }
    std::fclose(file);

    GameProperties properties(folder);
    // An id of another profile names a missing file: the one there is loaded all the same.
    if (properties.profile()->mSilver != 4321) std::abort();
    std::remove((path + ".bad").c_str());
    return 0;
}

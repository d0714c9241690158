// Damaged "last_profile.dat" beside a good profile file: the start-up load
// must use the file only when it holds exactly one id, and never crash.
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

    SaveFileInfo info = inspectSaveFile(path, 0);
    GameProperties properties(folder);
    const bool usable = info.status == SaveFileStatus::Ok && info.payload.size() == 8;
    bool idZero = usable;
    for (size_t i = 0; usable && i < 8; ++i) idZero = idZero && info.payload[i] == 0;
    // Only an id of 0 names the saved profile; anything else leaves a fresh one.
    const int expected = idZero ? 4321 : 350;
    if (properties.profile()->mSilver != expected) std::abort();
    std::remove((path + ".bad").c_str());
    std::remove((folder + "profile_" + std::to_string(properties.profile()->mProfileId) + ".dat.bad").c_str());
    return 0;
}

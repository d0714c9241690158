#include <climits>
#include <memory>
#include <vector>

#include "file_system.h"
#include "sound_decoder.h"
#include "sound_log.h"

namespace QV {

bool SoundDecoder::open(const std::string& resourceName) {
    close();
    FileSystem* fileSystem = Singleton<FileSystem>::instancePointer();
    std::unique_ptr<File> file(fileSystem ? fileSystem->open("default", resourceName) : nullptr);
    if (!file) {
        soundLogFormat("WARNING. Sound not found %s", resourceName.c_str());
        return false;
    }
    uint32_t size = file->size();
    if (size > static_cast<uint32_t>(INT32_MAX)) size = INT32_MAX;
    std::vector<unsigned char> bytes(size);
    uint32_t done = 0;
    while (done < size) {
        int got = file->read(bytes.data() + done, static_cast<int>(size - done));
        if (got <= 0) break;
        done += static_cast<uint32_t>(got);
    }
    bytes.resize(done);
    file.reset();
    openData(bytes.data(), bytes.size(), resourceName);
    return true;
}

}  // namespace QV

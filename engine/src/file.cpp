#include "file.h"

namespace QV {

uint32_t readWholeFile(File& file, std::vector<char>& bytes) {
    uint32_t size = file.size();
    bytes.assign(size_t(size) + 1, '\0');
    uint32_t done = 0;
    while (done < size) {
        uint32_t left = size - done;
        int chunk = left > (1u << 30) ? (1 << 30) : static_cast<int>(left);
        int got = file.read(bytes.data() + done, chunk);
        if (got <= 0) break;
        done += static_cast<uint32_t>(got);
    }
    bytes.resize(size_t(done) + 1);
    bytes[done] = '\0';
    return done;
}

}  // namespace QV

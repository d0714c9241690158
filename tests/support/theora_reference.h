#pragma once

// An independent decode of a Theora file through libtheoradec's current
// interface, for comparing what the engine shows with what the stream holds.

#include <cstdint>
#include <string>
#include <vector>

namespace qvtest {

struct ReferenceFrame {
    uint32_t width = 0;  // coded frame size
    uint32_t height = 0;
    std::vector<uint8_t> y, u, v;  // top row first, chroma at half size

    // RGBA bytes by the engine's fixed-point YUV conversion.
    std::vector<uint8_t> rgba() const;
};

// Every frame of the file's first Theora stream; empty when it has none.
std::vector<ReferenceFrame> decodeTheoraReference(const std::string& bytes);

}  // namespace qvtest

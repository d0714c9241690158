// The logo description ("logo_xml"): any bytes are read or refused, never a crash.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "flow/logo_game_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<LogoEntry> entries;
    parseLogoDescription(reinterpret_cast<const char*>(data), size, entries);
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    parseLogoFlag(text.data());
    return 0;
}

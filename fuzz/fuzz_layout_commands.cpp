// Layout marker names come from scene files: any text is read, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "flow/layout_markers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    parseLayoutCommands(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}

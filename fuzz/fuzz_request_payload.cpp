// Any bytes as a received request's payload: the reader never reads out of
// range and a text it writes itself reads back as written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "social/request_payload.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const RequestPayload payload = readRequestData(text);
    if (payload.type.find('\0') != std::string::npos) std::abort();
    // Round trip of whatever type was read (the writer escapes what it must).
    const RequestPayload again = readRequestData(makeRequestData(payload.type));
    if (again.type != payload.type || again.value != 1) std::abort();
    return 0;
}

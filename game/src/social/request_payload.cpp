#include "social/request_payload.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <pugixml.hpp>
#include <sstream>

#include "format_string.h"

std::string makeRequestData(const std::string& type) {
    pugi::xml_document document;
    pugi::xml_node params = document.append_child("params");
    params.append_attribute("type").set_value(type.c_str());
    params.append_attribute("value").set_value(QV::formatString("%d", 1).c_str());
    std::ostringstream stream;
    document.save(stream, "\t", pugi::format_default);
    return stream.str();
}

RequestPayload readRequestData(const std::string& text) {
    RequestPayload payload;
    pugi::xml_document document;
    if (!document.load_buffer(text.data(), text.size())) return payload;
    pugi::xml_node params = document.child("params");
    payload.type = params.attribute("type").value();
    const char* value = params.attribute("value").value();
    if (*value) {
        errno = 0;
        char* end = nullptr;
        const long number = std::strtol(value, &end, 10);
        // Out-of-range amounts are refused rather than wrapped.
        if (end != value && errno == 0 && number >= INT32_MIN && number <= INT32_MAX)
            payload.value = static_cast<int32_t>(number);
    }
    return payload;
}

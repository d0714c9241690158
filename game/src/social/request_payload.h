#pragma once

#include <cstdint>
#include <string>

// The XML text a social request carries:
//   <?xml version="1.0"?>
//   <params type="takeLife" value="1" />
std::string makeRequestData(const std::string& type);

struct RequestPayload {
    std::string type;   // "" when the element or attribute is missing
    int32_t value = 0;  // 0 when missing or not a decimal integer
};

// Reads a payload; malformed text yields the empty payload.
RequestPayload readRequestData(const std::string& text);

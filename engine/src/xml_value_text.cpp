#include "xml_value_text.h"

#include <cctype>
#include <climits>
#include <cstdlib>

namespace QV {

namespace {

// The digits' value (saturated far beyond 32 bits) and its sign.
struct ParsedInteger {
    bool negative = false;
    uint64_t magnitude = 0;
};

ParsedInteger parseDigits(const char* text) {
    ParsedInteger result;
    if (!text) return result;
    while (std::isspace(static_cast<unsigned char>(*text))) ++text;
    if (*text == '-') {
        result.negative = true;
        ++text;
    }
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    const uint64_t cap = uint64_t(1) << 40;
    for (;; ++text) {
        int digit;
        char c = *text;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            break;
        }
        if (result.magnitude < cap) result.magnitude = result.magnitude * base + digit;
    }
    return result;
}

}  // namespace

int32_t parseArchiveInt(const char* text) {
    ParsedInteger p = parseDigits(text);
    if (p.negative) {
        return p.magnitude >= uint64_t(1) << 31 ? INT32_MIN : -static_cast<int32_t>(p.magnitude);
    }
    return p.magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(p.magnitude);
}

uint8_t parseArchiveByte(const char* text) {
    ParsedInteger p = parseDigits(text);
    uint32_t low = static_cast<uint32_t>(p.magnitude);
    if (p.negative) low = 0u - low;
    return static_cast<uint8_t>(low & 0xFF);
}

float parseArchiveFloat(const char* text) {
    if (!text) return 0.0f;
    return static_cast<float>(std::strtod(text, nullptr));
}

bool parseArchiveBool(const char* text) {
    if (!text) return false;
    char c = text[0];
    return c == '1' || c == 't' || c == 'T' || c == 'y' || c == 'Y';
}

}  // namespace QV

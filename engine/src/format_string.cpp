#include "format_string.h"

#include <cstdio>
#include <sstream>

namespace QV {

std::string formatStringV(const char* format, va_list args) {
    char buffer[kFormatStringLimit + 1];
    int written = std::vsnprintf(buffer, sizeof(buffer), format, args);
    if (written < 0) return std::string();
    return std::string(buffer);
}

std::string formatString(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string result = formatStringV(format, args);
    va_end(args);
    return result;
}

void formatToBuffer(char* buffer, std::size_t capacity, const char* format, ...) {
    if (!buffer || capacity == 0) return;
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(buffer, capacity, format, args);
    va_end(args);
    if (written < 0) buffer[0] = '\0';
}

}  // namespace QV

std::string intToString(int value) {
    std::ostringstream stream;
    stream << value;
    return stream.str();
}

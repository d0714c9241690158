#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

namespace QV {

// printf-style formatting; the result never exceeds kFormatStringLimit characters.
constexpr std::size_t kFormatStringLimit = 1095;

std::string formatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string formatStringV(const char* format, va_list args);

// Formats into a caller's buffer (always terminated when capacity > 0).
void formatToBuffer(char* buffer, std::size_t capacity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

}  // namespace QV

std::string intToString(int value);

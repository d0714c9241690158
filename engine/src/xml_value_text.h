#pragma once

#include <cstdint>

namespace QV {

// Number texts of the name-value archives.
// Integers: optional white space and "-", then "0x"/"0X" hexadecimal or
// decimal digits up to the first non-digit; saturates at the 32-bit range.
int32_t parseArchiveInt(const char* text);
// The same digits, of which only the low 8 bits count ("300" is 44, "-1" is 255).
uint8_t parseArchiveByte(const char* text);
// C decimal conversion narrowed to float; not a number reads 0.
float parseArchiveFloat(const char* text);
// True when the first character is one of 1 t T y Y.
bool parseArchiveBool(const char* text);

}  // namespace QV

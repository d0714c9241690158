#pragma once

#include <string>

namespace QV {

// Narrow text is UTF-8; invalid sequences become U+FFFD.
std::u16string toWide(const std::string& narrow);
// Unpaired surrogates become "?".
std::string toNarrow(const std::u16string& wide);

}  // namespace QV

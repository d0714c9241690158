#include "ui/wide_string.h"

#include <utf8.h>

#include <iterator>

namespace QV {

std::u16string toWide(const std::string& narrow) {
    std::string valid;
    valid.reserve(narrow.size());
    utf8::replace_invalid(narrow.begin(), narrow.end(), std::back_inserter(valid), 0xFFFD);
    std::u16string wide;
    utf8::utf8to16(valid.begin(), valid.end(), std::back_inserter(wide));
    return wide;
}

std::string toNarrow(const std::u16string& wide) {
    std::string narrow;
    narrow.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        uint32_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            narrow.push_back('?');
            continue;
        }
        utf8::append(static_cast<utf8::uint32_t>(c), std::back_inserter(narrow));
    }
    return narrow;
}

}  // namespace QV

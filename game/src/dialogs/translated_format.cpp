#include "dialogs/translated_format.h"

#include <cstdarg>
#include <cstring>

#include "format_string.h"
#include "ui/wide_string.h"

bool formatConversionKinds(const std::string& format, std::string* kinds) {
    kinds->clear();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        ++i;
        if (i < format.size() && format[i] == '%') continue;
        while (i < format.size() && std::strchr("-+ #0", format[i])) ++i;
        while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i;
        if (i < format.size() && format[i] == '.') {
            ++i;
            while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i;
        }
        if (i >= format.size()) return false;
        const char c = format[i];
        if (std::strchr("diuxXoc", c)) {
            kinds->push_back('d');
        } else if (std::strchr("feEgGF", c)) {
            kinds->push_back('f');
        } else if (c == 's') {
            kinds->push_back('s');
        } else {
            return false;  // '*', length modifiers, %n, %p and anything unknown
        }
    }
    return true;
}

namespace {

bool usable(const std::string& format, const char* expectedKinds) {
    std::string kinds;
    return formatConversionKinds(format, &kinds) && kinds == (expectedKinds ? expectedKinds : "");
}

}  // namespace

std::string formatTranslated(const std::string& format, const char* expectedKinds, ...) {
    if (!usable(format, expectedKinds)) return format;
    va_list args;
    va_start(args, expectedKinds);
    std::string text = QV::formatStringV(format.c_str(), args);
    va_end(args);
    return text;
}

std::u16string formatTranslated(const std::u16string& format, const char* expectedKinds, ...) {
    const std::string narrow = QV::toNarrow(format);
    if (!usable(narrow, expectedKinds)) return format;
    va_list args;
    va_start(args, expectedKinds);
    std::string text = QV::formatStringV(narrow.c_str(), args);
    va_end(args);
    return QV::toWide(text);
}

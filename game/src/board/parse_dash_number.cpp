#include "board/parse_dash_number.h"

#include <cstdlib>

float parseDashNumber(const char*& cursor) {
    if (!cursor || *cursor != '-') return 0.0f;
    ++cursor;
    char text[8];
    int length = 0;
    if (*cursor == '-') {
        ++cursor;
        text[length++] = '-';
    }
    while (*cursor >= '0' && *cursor <= '9') {
        if (length < 7) text[length++] = *cursor;
        ++cursor;
    }
    text[length] = '\0';
    return float(std::atoi(text));
}

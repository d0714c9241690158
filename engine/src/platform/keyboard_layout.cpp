#include "platform/keyboard_layout.h"

namespace QV::Platform {

namespace {

struct Pair {
    uint8_t key;
    char plain;
    char shifted;
};

// The punctuation keys of the US layout.
const Pair kPunctuation[] = {
    {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'},  {0xBE, '.', '>'}, {0xBF, '/', '?'},
    {0xC0, '`', '~'}, {0xDB, '[', '{'}, {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'},
};

const char kShiftedDigits[] = ")!@#$%^&*(";

}  // namespace

char16_t translateVirtualKey(uint8_t key, const uint8_t* keys) {
    const bool shift = keys && (keys[0x10] & 0x80);
    const bool caps = keys && (keys[0x14] & 0x01);
    if (key >= 'A' && key <= 'Z') return char16_t((shift != caps) ? key : key + ('a' - 'A'));
    if (key >= '0' && key <= '9') return char16_t(shift ? kShiftedDigits[key - '0'] : key);
    if (key == 0x20) return u' ';
    if (key >= 0x60 && key <= 0x69) return char16_t('0' + (key - 0x60));  // numeric keypad
    switch (key) {
    case 0x6A: return u'*';
    case 0x6B: return u'+';
    case 0x6D: return u'-';
    case 0x6E: return u'.';
    case 0x6F: return u'/';
    default: break;
    }
    for (const Pair& p : kPunctuation) {
        if (p.key == key) return char16_t(shift ? p.shifted : p.plain);
    }
    return 0;
}

}  // namespace QV::Platform

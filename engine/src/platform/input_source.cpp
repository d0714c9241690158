#include "platform/input_source.h"

#include <SDL.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace QV::Platform {

namespace {

// Wheel movement between two polls, in 120ths of a notch.
std::atomic<int32_t> gWheelSum{0};

// Text typed between two reads; bounded, for runs that never read it.
constexpr size_t kMaxPendingText = 1024;
std::mutex gTextMutex;
std::string gPendingText;

struct KeyMapping {
    SDL_Scancode scancode;
    uint8_t virtualKey;
};

// SDL scancodes to Windows virtual-key codes (US layout positions).
const KeyMapping kKeyMappings[] = {
    {SDL_SCANCODE_BACKSPACE, 0x08}, {SDL_SCANCODE_TAB, 0x09},
    {SDL_SCANCODE_CLEAR, 0x0C},     {SDL_SCANCODE_RETURN, 0x0D},
    {SDL_SCANCODE_KP_ENTER, 0x0D},  {SDL_SCANCODE_PAUSE, 0x13},
    {SDL_SCANCODE_CAPSLOCK, 0x14},  {SDL_SCANCODE_ESCAPE, 0x1B},
    {SDL_SCANCODE_SPACE, 0x20},     {SDL_SCANCODE_PAGEUP, 0x21},
    {SDL_SCANCODE_PAGEDOWN, 0x22},  {SDL_SCANCODE_END, 0x23},
    {SDL_SCANCODE_HOME, 0x24},      {SDL_SCANCODE_LEFT, 0x25},
    {SDL_SCANCODE_UP, 0x26},        {SDL_SCANCODE_RIGHT, 0x27},
    {SDL_SCANCODE_DOWN, 0x28},      {SDL_SCANCODE_SELECT, 0x29},
    {SDL_SCANCODE_EXECUTE, 0x2B},   {SDL_SCANCODE_PRINTSCREEN, 0x2C},
    {SDL_SCANCODE_INSERT, 0x2D},    {SDL_SCANCODE_DELETE, 0x2E},
    {SDL_SCANCODE_HELP, 0x2F},      {SDL_SCANCODE_0, 0x30},
    {SDL_SCANCODE_1, 0x31},         {SDL_SCANCODE_2, 0x32},
    {SDL_SCANCODE_3, 0x33},         {SDL_SCANCODE_4, 0x34},
    {SDL_SCANCODE_5, 0x35},         {SDL_SCANCODE_6, 0x36},
    {SDL_SCANCODE_7, 0x37},         {SDL_SCANCODE_8, 0x38},
    {SDL_SCANCODE_9, 0x39},         {SDL_SCANCODE_A, 0x41},
    {SDL_SCANCODE_B, 0x42},         {SDL_SCANCODE_C, 0x43},
    {SDL_SCANCODE_D, 0x44},         {SDL_SCANCODE_E, 0x45},
    {SDL_SCANCODE_F, 0x46},         {SDL_SCANCODE_G, 0x47},
    {SDL_SCANCODE_H, 0x48},         {SDL_SCANCODE_I, 0x49},
    {SDL_SCANCODE_J, 0x4A},         {SDL_SCANCODE_K, 0x4B},
    {SDL_SCANCODE_L, 0x4C},         {SDL_SCANCODE_M, 0x4D},
    {SDL_SCANCODE_N, 0x4E},         {SDL_SCANCODE_O, 0x4F},
    {SDL_SCANCODE_P, 0x50},         {SDL_SCANCODE_Q, 0x51},
    {SDL_SCANCODE_R, 0x52},         {SDL_SCANCODE_S, 0x53},
    {SDL_SCANCODE_T, 0x54},         {SDL_SCANCODE_U, 0x55},
    {SDL_SCANCODE_V, 0x56},         {SDL_SCANCODE_W, 0x57},
    {SDL_SCANCODE_X, 0x58},         {SDL_SCANCODE_Y, 0x59},
    {SDL_SCANCODE_Z, 0x5A},         {SDL_SCANCODE_LGUI, 0x5B},
    {SDL_SCANCODE_RGUI, 0x5C},      {SDL_SCANCODE_APPLICATION, 0x5D},
    {SDL_SCANCODE_SLEEP, 0x5F},     {SDL_SCANCODE_KP_0, 0x60},
    {SDL_SCANCODE_KP_1, 0x61},      {SDL_SCANCODE_KP_2, 0x62},
    {SDL_SCANCODE_KP_3, 0x63},      {SDL_SCANCODE_KP_4, 0x64},
    {SDL_SCANCODE_KP_5, 0x65},      {SDL_SCANCODE_KP_6, 0x66},
    {SDL_SCANCODE_KP_7, 0x67},      {SDL_SCANCODE_KP_8, 0x68},
    {SDL_SCANCODE_KP_9, 0x69},      {SDL_SCANCODE_KP_MULTIPLY, 0x6A},
    {SDL_SCANCODE_KP_PLUS, 0x6B},   {SDL_SCANCODE_KP_MINUS, 0x6D},
    {SDL_SCANCODE_KP_PERIOD, 0x6E}, {SDL_SCANCODE_KP_DIVIDE, 0x6F},
    {SDL_SCANCODE_F1, 0x70},        {SDL_SCANCODE_F2, 0x71},
    {SDL_SCANCODE_F3, 0x72},        {SDL_SCANCODE_F4, 0x73},
    {SDL_SCANCODE_F5, 0x74},        {SDL_SCANCODE_F6, 0x75},
    {SDL_SCANCODE_F7, 0x76},        {SDL_SCANCODE_F8, 0x77},
    {SDL_SCANCODE_F9, 0x78},        {SDL_SCANCODE_F10, 0x79},
    {SDL_SCANCODE_F11, 0x7A},       {SDL_SCANCODE_F12, 0x7B},
    {SDL_SCANCODE_F13, 0x7C},       {SDL_SCANCODE_F14, 0x7D},
    {SDL_SCANCODE_F15, 0x7E},       {SDL_SCANCODE_F16, 0x7F},
    {SDL_SCANCODE_F17, 0x80},       {SDL_SCANCODE_F18, 0x81},
    {SDL_SCANCODE_F19, 0x82},       {SDL_SCANCODE_F20, 0x83},
    {SDL_SCANCODE_F21, 0x84},       {SDL_SCANCODE_F22, 0x85},
    {SDL_SCANCODE_F23, 0x86},       {SDL_SCANCODE_F24, 0x87},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x90}, {SDL_SCANCODE_SCROLLLOCK, 0x91},
    {SDL_SCANCODE_LSHIFT, 0xA0},    {SDL_SCANCODE_RSHIFT, 0xA1},
    {SDL_SCANCODE_LCTRL, 0xA2},     {SDL_SCANCODE_RCTRL, 0xA3},
    {SDL_SCANCODE_LALT, 0xA4},      {SDL_SCANCODE_RALT, 0xA5},
    {SDL_SCANCODE_AC_BACK, 0xA6},   {SDL_SCANCODE_AC_FORWARD, 0xA7},
    {SDL_SCANCODE_AC_REFRESH, 0xA8}, {SDL_SCANCODE_AC_STOP, 0xA9},
    {SDL_SCANCODE_AC_SEARCH, 0xAA}, {SDL_SCANCODE_AC_BOOKMARKS, 0xAB},
    {SDL_SCANCODE_AC_HOME, 0xAC},   {SDL_SCANCODE_MUTE, 0xAD},
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE}, {SDL_SCANCODE_VOLUMEUP, 0xAF},
    {SDL_SCANCODE_AUDIONEXT, 0xB0}, {SDL_SCANCODE_AUDIOPREV, 0xB1},
    {SDL_SCANCODE_AUDIOSTOP, 0xB2}, {SDL_SCANCODE_AUDIOPLAY, 0xB3},
    {SDL_SCANCODE_MAIL, 0xB4},      {SDL_SCANCODE_MEDIASELECT, 0xB5},
    {SDL_SCANCODE_SEMICOLON, 0xBA}, {SDL_SCANCODE_EQUALS, 0xBB},
    {SDL_SCANCODE_COMMA, 0xBC},     {SDL_SCANCODE_MINUS, 0xBD},
    {SDL_SCANCODE_PERIOD, 0xBE},    {SDL_SCANCODE_SLASH, 0xBF},
    {SDL_SCANCODE_GRAVE, 0xC0},     {SDL_SCANCODE_LEFTBRACKET, 0xDB},
    {SDL_SCANCODE_BACKSLASH, 0xDC}, {SDL_SCANCODE_NONUSHASH, 0xDC},
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD}, {SDL_SCANCODE_APOSTROPHE, 0xDE},
    {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
};

// Left and right modifier keys also set their generic code.
struct ModifierPair {
    uint8_t left, right, generic;
};
const ModifierPair kModifierPairs[] = {{0xA0, 0xA1, 0x10}, {0xA2, 0xA3, 0x11}, {0xA4, 0xA5, 0x12}};

const uint8_t* scancodeTable() {
    static const struct Table {
        uint8_t codes[SDL_NUM_SCANCODES] = {};
        Table() {
            for (const KeyMapping& m : kKeyMappings) codes[m.scancode] = m.virtualKey;
        }
    } table;
    return table.codes;
}

class SystemInputSource : public InputSource {
public:
    MouseSample readMouse() override {
        MouseSample sample;
        uint32_t buttons = SDL_GetMouseState(&sample.x, &sample.y);
        sample.left = (buttons & SDL_BUTTON_LMASK) != 0;
        sample.right = (buttons & SDL_BUTTON_RMASK) != 0;
        sample.wheel = gWheelSum.exchange(0);
        return sample;
    }

    void readKeyboard(uint8_t keys[256]) override {
        int count = 0;
        const Uint8* state = SDL_GetKeyboardState(&count);
        const SDL_Keymod mods = SDL_GetModState();
        virtualKeyState(state, state ? count : 0, (mods & KMOD_CAPS) != 0, (mods & KMOD_NUM) != 0, keys);
    }

    std::string readText() override {
        std::lock_guard<std::mutex> lock(gTextMutex);
        std::string text;
        text.swap(gPendingText);
        return text;
    }
};

}  // namespace

InputSource* createSystemInputSource() {
    gWheelSum.store(0);
    {
        std::lock_guard<std::mutex> lock(gTextMutex);
        gPendingText.clear();
    }
    return new SystemInputSource();
}

void onMouseWheelEvent(int32_t notches) { gWheelSum.fetch_add(notches * 120); }

void onTextInputEvent(const char* utf8) {
    if (!utf8) return;
    const size_t length = std::strlen(utf8);
    std::lock_guard<std::mutex> lock(gTextMutex);
    if (gPendingText.size() + length <= kMaxPendingText) gPendingText.append(utf8, length);
}

void virtualKeyState(const uint8_t* scancodeState, int count, bool capsLock, bool numLock,
                     uint8_t keys[256]) {
    std::memset(keys, 0, 256);
    const uint8_t* table = scancodeTable();
    for (int scancode = 0; scancode < count && scancode < SDL_NUM_SCANCODES; ++scancode) {
        if (scancodeState[scancode] && table[scancode]) keys[table[scancode]] = 0x80;
    }
    for (const ModifierPair& p : kModifierPairs) {
        if ((keys[p.left] | keys[p.right]) & 0x80) keys[p.generic] = 0x80;
    }
    if (capsLock) keys[0x14] |= 0x01;
    if (numLock) keys[0x90] |= 0x01;
}

uint8_t virtualKeyOfScancode(int scancode) {
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
    return scancodeTable()[scancode];
}

}  // namespace QV::Platform

#pragma once

#include <cstdint>
#include <string>

namespace QV::Platform {

// One poll of the pointing device.
struct MouseSample {
    int32_t x = 0;  // window client coordinates
    int32_t y = 0;
    bool left = false;   // the primary button
    bool right = false;  // the secondary button
    int32_t wheel = 0;   // 120 per notch since the previous poll, positive away from the user
};

// Where the mouse and keyboard states come from: the window system, or a script.
class InputSource {
public:
    virtual ~InputSource() = default;
    // Called once per frame by the mouse device.
    virtual MouseSample readMouse() = 0;
    // Called once per frame by the keyboard step: 256 bytes indexed by
    // Windows virtual-key code, bit 7 set while the key is down.
    virtual void readKeyboard(uint8_t keys[256]) = 0;
    // Called once per frame by the keyboard step, after readKeyboard: the text
    // typed since the previous call, in UTF-8, as the player's keyboard layout
    // and input method produced it.
    virtual std::string readText() { return std::string(); }
};

// The window system's live state (SDL).
InputSource* createSystemInputSource();

// The window's event pump calls this for each wheel event, with the notches
// already turned so that positive is away from the user.
void onMouseWheelEvent(int32_t notches);

// The window's event pump calls this for each piece of typed text (UTF-8);
// the system source hands it out at its next readText.
void onTextInputEvent(const char* utf8);

// The virtual-key code of an SDL scancode, 0 when it has none.
uint8_t virtualKeyOfScancode(int scancode);

// The 256-byte key state from SDL's per-scancode state (non-zero = down):
// left and right modifiers also set their generic code, and bit 0 of the
// lock keys carries their toggle state.
void virtualKeyState(const uint8_t* scancodeState, int count, bool capsLock, bool numLock,
                     uint8_t keys[256]);

}  // namespace QV::Platform

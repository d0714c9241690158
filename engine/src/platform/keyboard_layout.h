#pragma once

#include <cstdint>

namespace QV::Platform {

// Scripted input's keyboard (players type through the window system's text
// input, with their own layout): the character a virtual key types on a US keyboard layout with the given
// 256-byte key state (bit 7 down; bit 0 of the Caps Lock entry its toggle):
// 0 when the key types nothing.
char16_t translateVirtualKey(uint8_t virtualKey, const uint8_t* keyState);

}  // namespace QV::Platform

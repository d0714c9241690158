#pragma once

#include <cstdint>
#include <string>

namespace QV {

namespace Platform {
class InputSource;
}

class KeyboardDeviceBase {
public:
    virtual ~KeyboardDeviceBase() = default;
};

// The keyboard state of this frame and of the previous one: 256 bytes each,
// indexed by Windows virtual-key code, bit 7 set while the key is down.
class KeyboardDevice : public KeyboardDeviceBase {
public:
    static constexpr int kKeyCount = 256;
    static constexpr uint8_t kDown = 0x80;

    explicit KeyboardDevice(Platform::InputSource* source);

    // Copies the current state over the previous one, then reads the current
    // state and the typed text. Entries 1 to 3 (mouse buttons, cancel) are always 0.
    void update();

    bool isKeyDown(uint8_t key) const { return (mCurrent[key] & kDown) != 0; }
    bool isKeyPressed(uint8_t key) const { return (mCurrent[key] & kDown) && !(mPrevious[key] & kDown); }
    bool isKeyReleased(uint8_t key) const { return !(mCurrent[key] & kDown) && (mPrevious[key] & kDown); }

    const uint8_t* getCurrentState() const { return mCurrent; }
    const uint8_t* getPreviousState() const { return mPrevious; }
    // The text typed in this frame (UTF-8): what text fields insert.
    const std::string& getTypedText() const { return mTypedText; }

private:
    std::string mTypedText;
    uint8_t mCurrent[kKeyCount] = {};
    uint8_t mPrevious[kKeyCount] = {};
    Platform::InputSource* mSource;
};

}  // namespace QV

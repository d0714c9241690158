#include "keyboard_device.h"

#include <cstring>

#include "platform/input_source.h"

namespace QV {

KeyboardDevice::KeyboardDevice(Platform::InputSource* source) : mSource(source) {}

void KeyboardDevice::update() {
    std::memcpy(mPrevious, mCurrent, sizeof(mCurrent));
    if (mSource) {
        mSource->readKeyboard(mCurrent);
        mTypedText = mSource->readText();
    } else {
        std::memset(mCurrent, 0, sizeof(mCurrent));
        mTypedText.clear();
    }
    mCurrent[1] = 0;
    mCurrent[2] = 0;
    mCurrent[3] = 0;
}

}  // namespace QV

#include "mouse_device.h"

#include "platform/input_source.h"

namespace QV {

MouseDevice::MouseDevice(Application* application, Platform::InputSource* source)
    : mApplication(application), mSource(source) {}

void MouseDevice::poll() {
    mPreviousLeft = mLeft;
    mPreviousRight = mRight;
    mLeft = 0;
    mRight = 0;
    mWheel = 0;
    if (!mSource) return;
    Platform::MouseSample sample = mSource->readMouse();
    mLeft = sample.left ? 0x80 : 0;
    mRight = sample.right ? 0x80 : 0;
    mWheel = sample.wheel;
    mPosition = Vector2<int>(sample.x, sample.y);
}

}  // namespace QV

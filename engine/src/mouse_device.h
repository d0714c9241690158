#pragma once

#include <cstdint>

#include "vector2.h"

class Application;

namespace QV {

namespace Platform {
class InputSource;
}

// The mouse as seen once per frame: position, both buttons of this poll and
// of the previous one, and the wheel movement of this poll.
class MouseDevice {
public:
    MouseDevice(Application* application, Platform::InputSource* source);

    // Reads the source once; the previous button states become this poll's old ones.
    void poll();

    bool isLeftDown() const { return mLeft != 0; }
    bool isLeftPressed() const { return mLeft != 0 && mPreviousLeft == 0; }
    bool isLeftReleased() const { return mLeft == 0 && mPreviousLeft != 0; }
    bool isRightDown() const { return mRight != 0; }
    bool isRightPressed() const { return mRight != 0 && mPreviousRight == 0; }
    bool isRightReleased() const { return mRight == 0 && mPreviousRight != 0; }

    // 120 per notch, positive away from the user; 0 when the wheel did not move.
    int32_t getWheel() const { return mWheel; }
    // Window client coordinates.
    Vector2<int> getPosition() const { return mPosition; }
    // The position last mapped to workspace coordinates.
    Vector2<int> getWorkspacePosition() const { return mWorkspacePosition; }
    void setWorkspacePosition(const Vector2<int>& position) { mWorkspacePosition = position; }

    Application* getApplication() const { return mApplication; }

private:
    Application* mApplication;
    Vector2<int> mPosition;
    Vector2<int> mWorkspacePosition;
    // 0x80 while down, as the button bytes of a device state.
    uint8_t mLeft = 0;
    uint8_t mRight = 0;
    uint8_t mPreviousLeft = 0;
    uint8_t mPreviousRight = 0;
    int32_t mWheel = 0;
    Platform::InputSource* mSource;
};

}  // namespace QV

#pragma once

#include <cstdint>
#include <string>

#include "vector2.h"

namespace QV {

class UIWidget;

// The message codes delivered once a frame; key messages carry the
// virtual-key code in bits 16 to 23.
enum UIMessage : int32_t {
    kUIMessageNone = 0,
    kUIMessagePress = 1,
    kUIMessageHeld = 2,
    kUIMessageRelease = 3,
    kUIMessageKeyDown = 4,
    kUIMessageKeyHeld = 5,
    kUIMessageKeyUp = 6,
    kUIMessageWheelUp = 7,
    kUIMessageWheelDown = 8,
    // Not input: clicks a button from code.
    kUIMessageClick = 9,
    // Text typed in this frame (the controller's typed text), delivered as keys are.
    kUIMessageText = 10,
};

inline int32_t uiMessageCode(int32_t message) { return message & 0xFFFF; }
inline uint8_t uiMessageKey(int32_t message) { return uint8_t((message >> 16) & 0xFF); }
inline int32_t uiKeyMessage(int32_t code, uint8_t key) { return code | (int32_t(key) << 16); }
inline bool isUIKeyMessage(int32_t message) {
    const int32_t c = uiMessageCode(message);
    return c == kUIMessageKeyDown || c == kUIMessageKeyHeld || c == kUIMessageKeyUp;
}

// Reads the input once a frame and delivers it through the widget trees.
class UIController {
public:
    virtual ~UIController() = default;
    virtual void update() = 0;
    // A widget was brought to the top of the shown list, or the topmost
    // still-shown widget after a hide (null when none).
    virtual void topWidgetChanged(UIWidget*) {}
};

// The mouse-and-keyboard controller.
class UIPCController : public UIController {
public:
    // One poll of the input manager and one delivery.
    void update() override;
    // Delivers one message, then runs the queued callbacks.
    void dispatchMessage(int32_t message);
    // Delivers typed text (a text message after the frame's message).
    void dispatchText(const std::u16string& text);
    // Delivery to one widget and its subtree; the OR of the processMessage results.
    int32_t dispatchToWidget(int32_t message, UIWidget* widget);

    // Picks the one message of a frame from the two button and key states.
    static int32_t chooseMessage(bool leftNow, bool leftBefore, const uint8_t* keysNow, const uint8_t* keysBefore,
                                 int32_t wheel);

    Vector2<float> mPointerPosition;
    Vector2<float> mPressPoint;
    bool mLeftButtonDown = false;
    int32_t mLastResult = 0;
    // The text of the text message being delivered; empty otherwise.
    std::u16string mTypedText;
};

}  // namespace QV

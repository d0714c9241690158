#include "ui/ui_controller.h"

#include <algorithm>

#include "input_manager.h"
#include "mutex_lock.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"
#include "ui/wide_string.h"

namespace QV {

int32_t UIPCController::chooseMessage(bool leftNow, bool leftBefore, const uint8_t* keysNow,
                                      const uint8_t* keysBefore, int32_t wheel) {
    if (leftNow) return leftBefore ? kUIMessageHeld : kUIMessagePress;
    if (leftBefore) return kUIMessageRelease;
    int pressed = 0, released = 0, held = 0;
    if (keysNow && keysBefore) {
        for (int key = 0; key < 256; ++key) {
            const bool now = (keysNow[key] & 0x80) != 0;
            const bool before = (keysBefore[key] & 0x80) != 0;
            if (!pressed && now && !before) pressed = key;
            if (!released && !now && before) released = key;
            if (!held && now) held = key;
        }
    }
    if (pressed) return uiKeyMessage(kUIMessageKeyDown, uint8_t(pressed));
    if (released) return uiKeyMessage(kUIMessageKeyUp, uint8_t(released));
    if (held) return uiKeyMessage(kUIMessageKeyHeld, uint8_t(held));
    if (wheel > 0) return kUIMessageWheelUp;
    if (wheel < 0) return kUIMessageWheelDown;
    return kUIMessageNone;
}

void UIPCController::update() {
    InputManager* input = Singleton<InputManager>::instancePointer();
    MouseDevice* mouse = input ? input->getMouse() : nullptr;
    KeyboardDevice* keyboard = input ? input->getKeyboard() : nullptr;
    int32_t message = kUIMessageNone;
    if (mouse) {
        const Vector2<int> position = input->getMousePosition();
        mPointerPosition = Vector2<float>(float(position.x), float(position.y));
        mLeftButtonDown = mouse->isLeftDown();
        if (mouse->isLeftPressed() || mouse->isRightPressed()) mPressPoint = mPointerPosition;
        const bool leftBefore = mouse->isLeftDown() ? !mouse->isLeftPressed() : mouse->isLeftReleased();
        message = chooseMessage(mouse->isLeftDown(), leftBefore, keyboard ? keyboard->getCurrentState() : nullptr,
                                keyboard ? keyboard->getPreviousState() : nullptr, mouse->getWheel());
    }
    dispatchMessage(message);
    if (keyboard && !keyboard->getTypedText().empty()) dispatchText(toWide(keyboard->getTypedText()));
}

void UIPCController::dispatchText(const std::u16string& text) {
    if (text.empty()) return;
    const int32_t before = mLastResult;
    mTypedText = text;
    dispatchMessage(kUIMessageText);
    mTypedText.clear();
    mLastResult |= before;
}

void UIPCController::dispatchMessage(int32_t message) {
    mLastResult = 0;
    UIManager* ui = Singleton<UIManager>::instance();
    int32_t result = 0;
    {
        MutexLock lock(ui->mutex());
        ui->releaseStaleCapture();
        if (UIWidget* captured = ui->getCapturedWidget()) {
            result = dispatchToWidget(message, captured);
        } else {
            // A copy: a widget's reaction may load or bring forward trees.
            const std::vector<UIWidget*> roots = ui->getRoots();
            for (UIWidget* root : roots) {
                if (!ui->isRoot(root)) continue;
                if (root->mShown) result |= dispatchToWidget(message, root);
            }
        }
    }
    ui->runPendingCallbacks();
    mLastResult = result;
}

int32_t UIPCController::dispatchToWidget(int32_t message, UIWidget* widget) {
    UIManager* ui = Singleton<UIManager>::instance();
    const int32_t code = uiMessageCode(message);
    // Typed text goes where keys go, whatever the pointer does.
    const bool key = isUIKeyMessage(message) || code == kUIMessageText;
    const bool accessible = ui->isAccessible(widget);
    const bool modal = widget->mModal;
    int32_t result = 0;
    const bool captured = widget == ui->getCapturedWidget();

    if (key && (captured || (accessible && !widget->isClippedAway()))) result = widget->processMessage(message);
    if (!widget->mEnabled || !widget->mVisible || widget->mMarkedForRemoval) return result;

    bool toChildren = false;
    bool reachSelf = true;
    if (captured) {
        toChildren = !ui->isExclusiveCapture();
    } else if (accessible && (key || widget->hitTest(mPointerPosition))) {
        toChildren = true;
    } else {
        if (widget->mHovered) {
            widget->setState("onIdle");
            widget->mHovered = false;
        }
        reachSelf = false;
    }
    if (reachSelf) {
        if (toChildren) {
            // Children may be removed by a reaction; walk a copy and skip the departed.
            const std::vector<UIWidget*> children = widget->mChildren;
            for (UIWidget* child : children) {
                if (std::find(widget->mChildren.begin(), widget->mChildren.end(), child) == widget->mChildren.end()) {
                    continue;
                }
                result |= dispatchToWidget(message, child);
            }
        }
        if (!key && !widget->mHovered) {
            widget->setState("onSelect");
            widget->mHovered = true;
        }
        if (code == kUIMessagePress || code == kUIMessageHeld || code == kUIMessageRelease ||
            code == kUIMessageWheelUp || code == kUIMessageWheelDown) {
            result |= widget->processMessage(message);
        }
    }
    if (widget->mHideWidgetOnOutsideClick && accessible && modal && !key && code == kUIMessagePress &&
        !widget->hitTest(mPointerPosition)) {
        widget->hideOnOutsideClick();
    }
    return result;
}

}  // namespace QV

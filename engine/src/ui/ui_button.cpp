#include "ui/ui_button.h"

#include <algorithm>

#include "function.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"

namespace QV {

namespace {

UIPCController* controller(UIManager* ui) { return ui->getPCController(); }

}  // namespace

UIButton::~UIButton() {
    // The queue forgets this button first, so no pending entry points at the freed list.
    if (UIManager* ui = Singleton<UIManager>::instancePointer()) ui->forgetWidget(this);
    for (IFunction* callback : mClickedCallbacks) delete callback;
}

void UIButton::connect(const std::string& event, IFunction* callback) {
    if (event != "clicked") {
        delete callback;
        return;
    }
    if (std::find(mClickedCallbacks.begin(), mClickedCallbacks.end(), callback) == mClickedCallbacks.end()) {
        mClickedCallbacks.push_back(callback);
    }
}

void UIButton::click() {
    UIManager* ui = Singleton<UIManager>::instance();
    ui->queueCallbacks(this, &mClickedCallbacks);
    ui->playClickSound();
}

int32_t UIButton::processMessage(int32_t message) {
    UIManager* ui = Singleton<UIManager>::instance();
    UIPCController* pc = controller(ui);
    switch (uiMessageCode(message)) {
    case kUIMessagePress:
        return 1;
    case kUIMessageHeld:
        if (!pc || !hitTest(pc->mPressPoint)) return 0;
        setState("onPress");
        ui->captureNonExclusive(this);
        return 1;
    case kUIMessageRelease:
        if (pc && hitTest(pc->mPointerPosition) && hitTest(pc->mPressPoint)) click();
        setState("onSelect");
        ui->releaseCapture(this);
        return 1;
    case kUIMessageClick:
        click();
        return 1;
    default:
        return 0;
    }
}

int32_t UICheckBox::processMessage(int32_t message) {
    UIManager* ui = Singleton<UIManager>::instance();
    UIPCController* pc = controller(ui);
    switch (uiMessageCode(message)) {
    case kUIMessagePress:
        setState("onPress");
        ui->captureNonExclusive(this);
        return 1;
    case kUIMessageRelease:
        if (pc && hitTest(pc->mPointerPosition)) {
            mChecked = !mChecked;
            ui->playClickSound();
        }
        setState("onSelect");
        ui->releaseCapture(this);
        return 1;
    default:
        return 0;
    }
}

void UICheckBox::update(float) {
    if (!mThumbResolved) {
        mThumb = findChild(mThumbName);
        mThumbResolved = true;
    }
    if (mThumb) mThumb->setVisible(mChecked);
}

void UICheckBox::load(LuaScript2& script) {
    UIManager::loadWidgetProperties(this, script);
    UIManager::loadCheckBoxKeys(this, script);
}

}  // namespace QV

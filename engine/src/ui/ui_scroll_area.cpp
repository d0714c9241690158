#include "ui/ui_scroll_area.h"

#include <cmath>

#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_progress_bar.h"

namespace QV {

namespace {

UIProgressBar* asBar(UIWidget* widget) {
    return widget && widget->getType() == kUIProgressBar ? static_cast<UIProgressBar*>(widget) : nullptr;
}

}  // namespace

void UIScrollArea::resolve() {
    mBarResolved = true;
    UIWidget* found = nullptr;
    if (mParent) {
        found = mParent->findChild(mScrollBarName);
        if (!found && mParent->mParent) found = mParent->mParent->findChild(mScrollBarName);
    } else if (UIManager* ui = Singleton<UIManager>::instancePointer()) {
        for (UIWidget* root : ui->getRoots()) {
            if ((found = root->findChild(mScrollBarName))) break;
        }
    }
    mScrollBar = asBar(found);
    if (mScrollBar) {
        mScrollBar->setValue(0.0f);
        mScrollBar->mValue = 0.0f;
        mScrollBar->mTarget = 0.0f;
        mLastSyncedValue = 0.0f;
    } else {
        mScrollPosition = 0.0f;
    }
    mPreviousScrollPosition = 0.0f;
    mContentSize = getContentSize();
    const Vector2<float> world = getWorldPosition();
    setClipRect(Rect(world.x, world.y, world.x + mDeclaredSize.x, world.y + mDeclaredSize.y));
}

void UIScrollArea::update(float) {
    if (!mBarResolved) resolve();
    float overflow = mHorizontal ? mContentSize.x - mDeclaredSize.x : mContentSize.y - mDeclaredSize.y;
    // A bar that is not kinetic keeps its target at 0: its value is compared too, so that a
    // wheel step or a value set by code moves the content.
    if (mScrollBar && (mScrollBar->isDragging() || std::fabs(mLastSyncedValue - mScrollBar->getTarget()) > 0.0001f ||
                       std::fabs(mLastSyncedValue - mScrollBar->getValue()) > 0.0001f)) {
        if (overflow < 0.0f) {
            mScrollBar->jumpToValue(0.0f);
            overflow = 0.0f;
        }
        mLastSyncedValue = mScrollBar->getValue();
        mScrollPosition = mScrollBar->getValue() * overflow;
    }
    mBarWasDragging = mScrollBar && mScrollBar->isDragging();
    const float delta = mScrollPosition - mPreviousScrollPosition;
    mPreviousScrollPosition = mScrollPosition;
    if (delta == 0.0f) return;
    for (UIWidget* child : mChildren) {
        if (mHorizontal) {
            child->mPosition.x -= delta;
        } else {
            child->mPosition.y -= delta;
        }
    }
}

int32_t UIScrollArea::processMessage(int32_t message) {
    if (!mScrollBar || !mWheelEnabled) return 0;
    const int32_t code = uiMessageCode(message);
    if (code == kUIMessageWheelUp) mScrollBar->setValue(mScrollBar->getValue() - mScrollBar->mStep);
    if (code == kUIMessageWheelDown) mScrollBar->setValue(mScrollBar->getValue() + mScrollBar->mStep);
    return 0;
}

void UIScrollArea::load(LuaScript2& script) {
    UIManager::loadWidgetProperties(this, script);
    UIManager::loadScrollAreaKeys(this, script);
}

}  // namespace QV

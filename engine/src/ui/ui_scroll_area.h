#pragma once

#include <string>

#include "ui/ui_widget.h"

namespace QV {

class UIProgressBar;

// A box over a larger content: a progress bar elsewhere in the UI is its
// scroll bar; the children move so that the part the bar shows lies inside
// the box, and everything is clipped to it.
class UIScrollArea : public UIWidget {
public:
    using UIWidget::UIWidget;

    int32_t processMessage(int32_t message) override;
    int32_t getType() const override { return kUIWidget; }
    void update(float frameTime) override;
    void load(LuaScript2& script) override;

    UIProgressBar* getScrollBar() const { return mScrollBar; }
    float getScrollPosition() const { return mScrollPosition; }
    const Vector2<float>& getDeclaredSize() const { return mDeclaredSize; }
    const Vector2<float>& getMeasuredContentSize() const { return mContentSize; }

    UIProgressBar* mScrollBar = nullptr;
    std::string mScrollBarName;
    float mLastSyncedValue = 0.0f;
    bool mBarResolved = false;
    float mPreviousScrollPosition = 0.0f;
    float mScrollPosition = 0.0f;
    bool mKinetic = false;
    float mKineticSpeed = 0.0f;
    bool mHorizontal = false;
    bool mBarWasDragging = false;
    Vector2<float> mContentSize{-1.0f, -1.0f};
    Vector2<float> mDeclaredSize;
    bool mWheelEnabled = true;

private:
    void resolve();
};

}  // namespace QV

#pragma once

#include <string>

#include "rect.h"
#include "ui/ui_widget.h"

namespace QV {

// A bar showing a value 0..1 by cropping a child's sprite, with an optional
// draggable thumb; kinetic bars glide toward the value they are given.
class UIProgressBar : public UIWidget {
public:
    using UIWidget::UIWidget;

    int32_t processMessage(int32_t message) override;
    int32_t getType() const override { return kUIProgressBar; }
    void update(float frameTime) override;
    void load(LuaScript2& script) override;

    // Clamped to 0..1; a kinetic bar takes it as its target.
    void setValue(float value);
    // Clamped to 0..1 and shown at once (also the target of a kinetic bar).
    void jumpToValue(float value);
    float getValue() const { return mValue; }
    float getTarget() const { return mTarget; }
    bool isDragging() const { return mDragging; }

    std::string mBarName;
    UIWidget* mBar = nullptr;
    bool mBarResolved = false;
    float mValue = 0.0f;
    float mTarget = 0.0f;
    bool mKinetic = false;
    float mKineticSpeed = 10.0f;
    Rect mBarSrcRect;
    Vector2<float> mBarFullSize;
    float mLrOffsets[2] = {0.0f, 0.0f};
    UIWidget* mThumb = nullptr;
    bool mThumbResolved = false;
    std::string mThumbName;
    bool mDragging = false;
    Vector2<float> mDragPoint;
    float mTrackLength = -1.0f;
    int32_t mOrientation = 0;
    float mStep = 0.15f;
    bool mLocked = false;
};

}  // namespace QV

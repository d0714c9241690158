#include "ui/ui_progress_bar.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "fast_sprite.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_sprite.h"

namespace QV {

namespace {

float clampUnit(float v) {
    if (!(v >= 0.0f)) return 0.0f;  // NaN too
    return std::min(v, 1.0f);
}

FastSprite* spriteOf(UIWidget* widget) {
    if (!widget || widget->getType() != kUISprite) return nullptr;
    return static_cast<UISprite*>(widget)->getSprite();
}

}  // namespace

void UIProgressBar::setValue(float value) {
    value = clampUnit(value);
    if (mKinetic) {
        mTarget = value;
    } else {
        mValue = value;
    }
}

void UIProgressBar::jumpToValue(float value) {
    value = clampUnit(value);
    mValue = value;
    if (mKinetic) mTarget = value;
}

void UIProgressBar::update(float frameTime) {
    const bool horizontal = mOrientation == 0;
    if (mKinetic) {
        const float d = mTarget - mValue;
        const float length = std::fabs(mTrackLength) > FLT_EPSILON ? mTrackLength : 1e-10f;
        const float k = d * d / length;
        const float f = k > 0.02f ? k : 0.02f;
        // A long frame or a fast speed would overshoot and swing: the gain stops at the target.
        const float gain = std::min(mKineticSpeed * 500.0f * f * frameTime, 1.0f);
        mValue = clampUnit(mValue + d * gain);
    }
    if (mTrackLength < 0.0f) {
        const Vector2<float> content = getContentSize();
        mTrackLength = (horizontal ? content.x : content.y) - mLrOffsets[0] - mLrOffsets[1];
    }
    UIPCController* pc = nullptr;
    if (UIManager* ui = Singleton<UIManager>::instancePointer()) pc = ui->getPCController();
    if (mDragging && pc && mTrackLength > 0.0f) {
        const Vector2<float> world = getWorldPosition();
        float p = horizontal ? pc->mPointerPosition.x - world.x : pc->mPointerPosition.y - world.y;
        if (p < 0.0f) p = 0.0f;
        setValue(p / mTrackLength);
    }
    if (!mBarResolved) {
        mBar = findChild(mBarName);
        mBarResolved = true;
        if (FastSprite* sprite = spriteOf(mBar)) {
            mBarSrcRect = sprite->srcRect();
            mBarFullSize = sprite->mSize;
        }
    }
    if (!mThumbResolved) {
        mThumb = findChild(mThumbName);
        mThumbResolved = true;
    }
    const float left = mLrOffsets[0], right = mLrOffsets[1];
    if (FastSprite* sprite = spriteOf(mBar)) {
        const Rect& src = mBarSrcRect;
        const float W = mBarFullSize.x, H = mBarFullSize.y;
        if (horizontal) {
            sprite->mSize = Vector2<float>((W - left - right) * mValue + left, H);
            sprite->setSrcRect(0, Rect(src.left, src.top,
                                       src.left + left + (src.right - src.left - left - right) * mValue, src.bottom));
        } else {
            sprite->mSize = Vector2<float>(W, (H - left - right) * mValue + left);
            sprite->setSrcRect(0, Rect(src.left, src.top, src.right,
                                       src.top + left + (src.bottom - src.top - left - right) * mValue));
        }
    }
    if (FastSprite* thumb = spriteOf(mThumb)) {
        const float h = (horizontal ? thumb->mSize.x : thumb->mSize.y) * 0.5f;
        float c = mValue * mTrackLength + left - h;
        c = std::max(c, left);
        c = std::min(c, mTrackLength - h);
        if (horizontal) {
            mThumb->mPosition.x = c;
        } else {
            mThumb->mPosition.y = c;
        }
    }
}

int32_t UIProgressBar::processMessage(int32_t message) {
    UIManager* ui = Singleton<UIManager>::instance();
    // Typing while dragging does not end the drag.
    if (uiMessageCode(message) == kUIMessageText) return 0;
    if (uiMessageCode(message) == kUIMessageHeld && !mLocked) {
        mDragging = true;
        if (UIPCController* pc = ui->getPCController()) mDragPoint = pc->mPointerPosition;
        ui->captureNonExclusive(this);
        return 0;
    }
    mDragging = false;
    ui->releaseCapture(this);
    return 0;
}

void UIProgressBar::load(LuaScript2& script) {
    UIManager::loadWidgetProperties(this, script);
    UIManager::loadProgressBarKeys(this, script);
}

}  // namespace QV

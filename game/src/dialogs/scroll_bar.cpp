#include "dialogs/scroll_bar.h"

#include <cmath>

#include "animationeditor/marker.h"
#include "animationeditor/node_timeline.h"
#include "animationeditor/scene_node.h"
#include "dialogs/scroll_bar_listener.h"
#include "input_manager.h"

namespace {

float timelineLength(const AE::ISceneNode* node) {
    const AE::NodeTimeline* timeline = node ? node->mTimeline : nullptr;
    if (!timeline || timeline->mKeyFrames.empty()) return 0.0f;
    return static_cast<float>(static_cast<uint32_t>(timeline->mKeyFrames.back())) * timeline->mFrameDuration;
}

}  // namespace

ScrollBar::ScrollBar(AE::ISceneNode* bar) : mBar(bar) {
    if (!mBar) return;
    mThumb = mBar->findNode("#thumb");
    mLength = timelineLength(mBar);
    mVertical = mBar->findMarker("#ver") ? 1 : 0;
    mThumbs = mBar->findMarker("#thumbs");
}

void ScrollBar::setValue(float value) {
    mValue = value;
    showValue(value);
}

void ScrollBar::showValue(float value) {
    if (!mThumbs) return;
    for (AE::Marker::Entry* entry : mThumbs->getEntries()) {
        if (entry->node) entry->node->setTime(value * mLength, entry->recursive);
    }
}

bool ScrollBar::valueAt(float pointer, float* value) const {
    const AE::NodeTimeline* timeline = mThumb ? mThumb->mTimeline : nullptr;
    if (!timeline || timeline->mKeyFrames.size() < 2) return false;
    AE::NodeTimeline& keys = *mThumb->mTimeline;
    const int last = static_cast<int>(keys.mKeyFrames.size()) - 1;
    const char* axis = mVertical ? "posY" : "posX";
    const QV::Vector2<float> pivotKey0 = keys.getVector2Key("pivotPoint", 0).value;
    const QV::Vector2<float> pivotKey1 = keys.getVector2Key("pivotPoint", 1).value;
    const float pivot0 = mVertical ? pivotKey0.y : pivotKey0.x;
    const float pivot1 = mVertical ? pivotKey1.y : pivotKey1.x;
    const float pos0 = keys.getFloatKey(axis, 0).value;
    const float posN = keys.getFloatKey(axis, last).value;
    const QV::Matrix3& world = mBar->mWorldMatrix;
    const float scale = mVertical ? std::hypot(world.m10, world.m11) : std::hypot(world.m00, world.m01);
    const float start = (pos0 + pivot0) * scale;
    const float end = (posN + pivot1) * scale;
    const float span = std::fabs(end - start);
    // Both ends at one place give no value: keep the one there is.
    if (!(span > 1e-4f) || !std::isfinite(span)) return false;
    float v = (pointer - start) / span;
    if (!std::isfinite(v)) return false;
    if (v < 0.0f) v = 0.0f;
    *value = v;
    return true;
}

void ScrollBar::update() {
    QV::InputManager* input = QV::InputManager::instancePointer();
    if (!input || !mBar) return;
    const QV::Vector2<int> mouse = input->getMousePosition();
    if (!mActive || !input->isMouseDown() || !mBar->hitTest(mouse.x, mouse.y, false)) return;
    if (!mThumb || !mThumb->mParent) return;
    const QV::Vector2<float> origin = mThumb->mParent->getWorldPosition();
    const float pointer = mVertical ? static_cast<float>(mouse.y) - origin.y : static_cast<float>(mouse.x) - origin.x;
    float value = 0.0f;
    if (!valueAt(pointer, &value)) return;
    mValue = value;
    if (mListener) mListener->onValueChanged(this, value);
    showValue(value);
}

#pragma once

#include <cstdint>

namespace AE {
class ISceneNode;
class Marker;
}  // namespace AE
class ScrollBarListener;

// A volume bar over an animation-editor node: the node's timeline carries the
// thumb from one end to the other, so a value in 0..1 is shown as that
// fraction of the timeline, and a drag is read back by comparing the pointer
// with the thumb's first and last key positions.
class ScrollBar {
public:
    explicit ScrollBar(AE::ISceneNode* bar);
    ScrollBar(const ScrollBar&) = delete;
    ScrollBar& operator=(const ScrollBar&) = delete;

    // Shows the value; the listener is not told.
    void setValue(float value);
    // Follows a drag of the left button over the bar (only while active).
    void update();

    AE::ISceneNode* mBar = nullptr;
    AE::ISceneNode* mThumb = nullptr;   // "#thumb" under the bar
    AE::Marker* mThumbs = nullptr;      // the bar's "#thumbs"; null when absent
    float mLength = 0.0f;               // seconds of the bar's timeline
    int32_t mVertical = 0;              // the bar has "#ver": it works along y
    float mValue = 0.0f;
    bool mActive = false;               // written by the owning window before each update
    ScrollBarListener* mListener = nullptr;  // not owned

private:
    void showValue(float value);
    // The drag's value for a pointer coordinate; false when the thumb's keys
    // cannot give one (missing keys, or both ends at the same place).
    bool valueAt(float pointer, float* value) const;
};

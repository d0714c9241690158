#include "ui/ui_state.h"

#include <algorithm>
#include <cfloat>

namespace QV {

UIState::~UIState() {
    for (IPropertyChange* change : mChanges) delete change;
}

float propertyStepShare(float duration, float* elapsed, float frameTime, bool* arrived) {
    *elapsed += frameTime;
    float remaining = duration - *elapsed;
    if (remaining < 0.0f) remaining = 0.0f;
    if (remaining < FLT_EPSILON) {
        *arrived = true;
        return 1.0f;
    }
    *arrived = false;
    float k = std::min(frameTime, remaining) / remaining;
    return std::clamp(k, 0.0f, 1.0f);
}

Color stepColor(const Color& current, const Color& target, float k) {
    const int kc = colorByteFromFloat(k);
    auto channel = [kc](uint8_t from, uint8_t to) {
        const int d = int(to) - int(from);
        // Truncation toward zero keeps every step between the value and its target.
        return uint8_t(int(from) + ((kc + 1) * d) / 256);
    };
    Color out;
    out.b = channel(current.b, target.b);
    out.g = channel(current.g, target.g);
    out.r = channel(current.r, target.r);
    out.a = channel(current.a, target.a);
    return out;
}

template <>
void UIState::PropertyChange<float>::moveBy(float k) {
    *mProperty += k * (mValue - *mProperty);
}

template <>
void UIState::PropertyChange<Vector2<float>>::moveBy(float k) {
    mProperty->x += k * (mValue.x - mProperty->x);
    mProperty->y += k * (mValue.y - mProperty->y);
}

template <>
void UIState::PropertyChange<Color>::moveBy(float k) {
    *mProperty = stepColor(*mProperty, mValue, k);
}

}  // namespace QV

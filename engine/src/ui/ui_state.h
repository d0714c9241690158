#pragma once

#include <string>
#include <vector>

#include "color.h"
#include "vector2.h"

namespace QV {

class UIWidget;

// A named visual state of a widget: property changes that move fields of
// widgets of its tree toward target values over a duration.
class UIState {
public:
    class IPropertyChange {
    public:
        virtual ~IPropertyChange() = default;
        virtual void step(float frameTime) = 0;
        virtual void start() = 0;
        virtual void finish() = 0;
    };

    // Moves one field of type T (float, Vector2<float>, Color) of a widget.
    template <class T>
    class PropertyChange : public IPropertyChange {
    public:
        PropertyChange(UIWidget* target, float duration, T* property, const T& value)
            : mTarget(target), mDuration(duration), mProperty(property), mValue(value) {}

        void step(float frameTime) override;
        void start() override {
            mActive = true;
            mElapsed = 0.0f;
        }
        void finish() override {
            *mProperty = mValue;
            mActive = false;
        }

        UIWidget* mTarget;
        float mDuration;
        float mElapsed = 0.0f;
        bool mActive = true;
        T* mProperty;
        T mValue;

    private:
        void moveBy(float k);
    };

    explicit UIState(const std::string& name) : mName(name) {}
    ~UIState();
    UIState(const UIState&) = delete;
    UIState& operator=(const UIState&) = delete;

    void addChange(IPropertyChange* change) { mChanges.push_back(change); }
    const std::string& getName() const { return mName; }

    std::string mName;
    std::vector<IPropertyChange*> mChanges;  // owned, in description order
};

// The share of the way a change covers in this step: 1 when it arrives.
float propertyStepShare(float duration, float* elapsed, float frameTime, bool* arrived);

template <class T>
void UIState::PropertyChange<T>::step(float frameTime) {
    if (!mActive) return;
    bool arrived = false;
    const float k = propertyStepShare(mDuration, &mElapsed, frameTime, &arrived);
    if (arrived) {
        *mProperty = mValue;
        mActive = false;
        return;
    }
    moveBy(k);
}

template <>
void UIState::PropertyChange<float>::moveBy(float k);
template <>
void UIState::PropertyChange<Vector2<float>>::moveBy(float k);
template <>
void UIState::PropertyChange<Color>::moveBy(float k);

// One colour step: each channel moves by ((trunc(k * 255) + 1) * d) / 256.
Color stepColor(const Color& current, const Color& target, float k);

}  // namespace QV

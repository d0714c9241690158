#pragma once

class ScrollBar;

// Told when the player drags a scroll bar to a new value.
class ScrollBarListener {
public:
    virtual ~ScrollBarListener() = default;
    virtual void onValueChanged(ScrollBar* bar, float value) = 0;
};

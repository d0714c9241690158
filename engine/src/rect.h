#pragma once

namespace QV {

// Source and clip rectangles. right and bottom are coordinates, not sizes.
struct Rect {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;

    Rect() = default;
    Rect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}

    float width() const { return right - left; }
    float height() const { return bottom - top; }
    // Half-open: the right and bottom edges are outside.
    bool contains(float x, float y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};

}  // namespace QV

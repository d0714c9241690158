#pragma once

#include <cmath>

namespace QV {

// Positions, sizes, scales and texture coordinates: x then y.
template <class T>
struct Vector2 {
    T x = T();
    T y = T();

    Vector2() = default;
    Vector2(T x_, T y_) : x(x_), y(y_) {}

    Vector2 operator+(const Vector2& o) const { return Vector2(x + o.x, y + o.y); }
    Vector2 operator-(const Vector2& o) const { return Vector2(x - o.x, y - o.y); }
    Vector2 operator*(T s) const { return Vector2(x * s, y * s); }
    Vector2 operator/(T s) const { return Vector2(x / s, y / s); }
    Vector2 operator-() const { return Vector2(-x, -y); }
    Vector2& operator+=(const Vector2& o) { x += o.x; y += o.y; return *this; }
    Vector2& operator-=(const Vector2& o) { x -= o.x; y -= o.y; return *this; }
    Vector2& operator*=(T s) { x *= s; y *= s; return *this; }
    bool operator==(const Vector2& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Vector2& o) const { return !(*this == o); }

    T dot(const Vector2& o) const { return x * o.x + y * o.y; }
    T lengthSquared() const { return x * x + y * y; }
    T length() const { return static_cast<T>(std::sqrt(lengthSquared())); }
};

}  // namespace QV

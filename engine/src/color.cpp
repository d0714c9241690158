#include "color.h"

#include <cmath>

namespace QV {

uint8_t colorByteFromFloat(float v) {
    float scaled = v * 255.0f;
    if (!std::isfinite(scaled)) return 0;
    // The exact low byte of the truncated integer, even beyond 32 bits, where
    // a plain cast would be undefined.
    double m = std::fmod(std::trunc(static_cast<double>(scaled)), 256.0);
    if (m < 0) m += 256.0;
    return static_cast<uint8_t>(m);
}

Color::Color(float red, float green, float blue, float alpha)
    : b(colorByteFromFloat(blue)), g(colorByteFromFloat(green)), r(colorByteFromFloat(red)),
      a(colorByteFromFloat(alpha)) {}

Color::Color(float value) : Color(value, value, value, value) {}

Color Color::fromBytes(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    Color c;
    c.r = red;
    c.g = green;
    c.b = blue;
    c.a = alpha;
    return c;
}

Color Color::fromWord(uint32_t argb) {
    return fromBytes(uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), uint8_t(argb >> 24));
}

uint32_t Color::word() const {
    return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

Color Color::operator+(const Color& o) const {
    return fromBytes(uint8_t(r + o.r), uint8_t(g + o.g), uint8_t(b + o.b), uint8_t(a + o.a));
}

Color Color::operator-(const Color& o) const {
    return fromBytes(uint8_t(r - o.r), uint8_t(g - o.g), uint8_t(b - o.b), uint8_t(a - o.a));
}

static uint8_t divideByte(uint8_t x, uint8_t y) { return y ? uint8_t(x / y) : uint8_t(255); }

Color Color::operator/(const Color& o) const {
    return fromBytes(divideByte(r, o.r), divideByte(g, o.g), divideByte(b, o.b), divideByte(a, o.a));
}

static uint8_t modulateByte(uint8_t f, uint8_t v) { return uint8_t(((unsigned(f) + 1) * v) >> 8); }

Color Color::modulate(const Color& factor, const Color& value) {
    return fromBytes(modulateByte(factor.r, value.r), modulateByte(factor.g, value.g),
                     modulateByte(factor.b, value.b), modulateByte(factor.a, value.a));
}

}  // namespace QV

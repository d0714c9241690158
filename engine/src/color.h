#pragma once

#include <cstdint>

namespace QV {

// A vertex and node colour. The bytes sit in memory as blue, green, red,
// alpha, so read as one little-endian word it is 0xAARRGGBB, the device's
// diffuse colour: vertices store it as is.
struct Color {
    uint8_t b = 0;
    uint8_t g = 0;
    uint8_t r = 0;
    uint8_t a = 0;

    Color() = default;
    // Each channel becomes trunc(v * 255) with only its low byte kept, so
    // values outside 0..1 wrap (2.0 gives 254). NaN and infinities give 0.
    Color(float red, float green, float blue, float alpha);
    explicit Color(float value);

    static Color fromBytes(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    static Color fromWord(uint32_t argb);
    uint32_t word() const;

    // Per byte, wrapping modulo 256, no saturation.
    Color operator+(const Color& o) const;
    Color operator-(const Color& o) const;
    // Per byte unsigned division. A zero divisor byte gives 255 instead of
    // trapping.
    Color operator/(const Color& o) const;

    // ((factor + 1) * value) >> 8 per byte: factor 255 keeps the value,
    // factor 127 halves it.
    static Color modulate(const Color& factor, const Color& value);

    bool operator==(const Color& o) const { return b == o.b && g == o.g && r == o.r && a == o.a; }
    bool operator!=(const Color& o) const { return !(*this == o); }
};

static_assert(sizeof(Color) == 4, "a colour is one 32-bit vertex word");

// trunc(v * 255) as a byte: the low 8 bits of the integer, NaN/inf as 0.
uint8_t colorByteFromFloat(float v);

}  // namespace QV

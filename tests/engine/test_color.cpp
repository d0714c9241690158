#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "color.h"
#include "matrix3.h"
#include "rect.h"
#include "vector2.h"

namespace {

using QV::Color;

TEST(Color, FromFloatsTable) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float v;
        uint8_t expected;
    } cases[] = {
        {1.0f, 255}, {0.5f, 127}, {0.0f, 0}, {2.0f, 254},     // wraps, no clamp
        {-1.0f, 1},                                            // -255 keeps its low byte
        {1.0f / 255.0f, 1}, {0.999f, 254},                     // truncation toward zero
        {nan, 0}, {inf, 0}, {-inf, 0},                         // defined, not undefined
        {1e20f, uint8_t(std::fmod(std::trunc(double(1e20f * 255.0f)), 256.0))},  // beyond 32 bits
        {16843009.0f, uint8_t(std::fmod(double(16843009.0f * 255.0f), 256.0))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QV::colorByteFromFloat(c.v), c.expected) << c.v;
        EXPECT_EQ(Color(c.v).r, c.expected) << c.v;
    }
}

TEST(Color, ByteOrderIsDiffuseWord) {
    Color white(1.0f, 1.0f, 1.0f, 1.0f);
    EXPECT_EQ(white.word(), 0xFFFFFFFFu);
    Color red(1.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(red.word(), 0xFFFF0000u);
    uint8_t bytes[4];
    std::memcpy(bytes, &red, 4);
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(bytes[3], 0xFF);
    EXPECT_EQ(Color(0.5f).word(), 0x7F7F7F7Fu);
    EXPECT_EQ(Color::fromWord(0x80402010u).word(), 0x80402010u);
    Color c = Color::fromWord(0x80402010u);
    EXPECT_EQ(c.a, 0x80);
    EXPECT_EQ(c.r, 0x40);
    EXPECT_EQ(c.g, 0x20);
    EXPECT_EQ(c.b, 0x10);
}

TEST(Color, ByteArithmeticTable) {
    struct Case {
        const char* op;
        uint8_t x, y, expected;
    } cases[] = {
        {"+", 200, 100, 44}, {"+", 255, 1, 0},   {"+", 0, 0, 0},
        {"-", 10, 20, 246},  {"-", 20, 10, 10},  {"-", 0, 255, 1},
        {"/", 200, 3, 66},   {"/", 255, 255, 1}, {"/", 7, 0, 255}, {"/", 0, 0, 255},
        {"m", 255, 200, 200}, {"m", 127, 200, 100}, {"m", 0, 255, 0}, {"m", 0, 200, 0},
    };
    for (const Case& c : cases) {
        // Each channel is independent: put the case in one channel and
        // neutral values elsewhere.
        Color x = Color::fromBytes(c.x, 9, c.x, c.x);
        Color y = Color::fromBytes(c.y, 3, c.y, c.y);
        Color r;
        switch (c.op[0]) {
            case '+': r = x + y; break;
            case '-': r = x - y; break;
            case '/': r = x / y; break;
            default: r = Color::modulate(x, y);  // x is the factor
        }
        EXPECT_EQ(r.r, c.expected) << int(c.x) << c.op << int(c.y);
        EXPECT_EQ(r.b, c.expected) << int(c.x) << c.op << int(c.y);
        EXPECT_EQ(r.a, c.expected) << int(c.x) << c.op << int(c.y);
    }
}

TEST(Color, SmoothMidpointUsesWrappingBytes) {
    // mid = prev + modulate(half, next - prev): a falling channel wraps.
    Color half(0.5f);
    Color prev = Color::fromBytes(200, 0, 100, 255);
    Color next = Color::fromBytes(100, 50, 100, 255);
    Color mid = prev + Color::modulate(half, next - prev);
    EXPECT_EQ(mid.r, uint8_t(200 + ((128 * 156) >> 8)));  // 100 - 200 wraps to 156
    EXPECT_EQ(mid.g, 25);
    EXPECT_EQ(mid.b, 100);
    EXPECT_EQ(mid.a, 255);
}

TEST(GeometryValues, LayoutAndConventions) {
    QV::Rect whole(0, 0, 256, 128);
    EXPECT_EQ(whole.width(), 256);
    EXPECT_EQ(whole.height(), 128);
    EXPECT_TRUE(whole.contains(0, 0));
    EXPECT_FALSE(whole.contains(256, 0));
    static_assert(sizeof(QV::Rect) == 16, "four floats");
    static_assert(sizeof(QV::Vector2<float>) == 8, "two floats");

    QV::Matrix3 m;
    EXPECT_TRUE(m.isIdentity());
    // Row-vector convention: translation in the third row.
    m.m20 = 10;
    m.m21 = 20;
    QV::Matrix3 scale;
    scale.m00 = 2;
    scale.m11 = 3;
    QV::Vector2<float> p = (scale * m).transformPoint(QV::Vector2<float>(1, 1));
    EXPECT_EQ(p, QV::Vector2<float>(12, 23));  // scaled first, then moved
    p = (m * scale).transformPoint(QV::Vector2<float>(1, 1));
    EXPECT_EQ(p, QV::Vector2<float>(22, 63));
    EXPECT_FLOAT_EQ(QV::Vector2<float>(3, 4).length(), 5.0f);
}

}  // namespace

// Writes the board's art into a content directory:
//   board_art_gen <media directory>
// Pictures (images/board/*.png), their sprite tables (sprites/chips.lua,
// game_field.lua, normalmaps.lua, freezing_ring.lua and board_fx.xml), the
// cell sets (cells.lua) and the board's particle effects (particles/board/*.xml).
//
// Everything is drawn from signed distance functions at twice the size and
// box-filtered down. One light from the top left: lighter tops, a bevel lit on
// its top-left side, a specular ellipse up left and a soft shadow down right.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "image_encode.h"
#include "object_factory.h"
#include "particle_affectors.h"
#include "particle_fx.h"
#include "particle_shapes.h"
#include "particle_fx_writing.h"
#include "particle_system.h"

namespace {

// ---------------------------------------------------------------- colour math

struct Col {
    float r = 0, g = 0, b = 0, a = 0;  // straight (not premultiplied), 0..1
};

Col hex(uint32_t rgb, float a = 1.0f) {
    return {float((rgb >> 16) & 255) / 255.0f, float((rgb >> 8) & 255) / 255.0f, float(rgb & 255) / 255.0f, a};
}
Col mix(const Col& x, const Col& y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}
Col scaled(const Col& c, float k) {
    return {std::min(c.r * k, 1.0f), std::min(c.g * k, 1.0f), std::min(c.b * k, 1.0f), c.a};
}
Col withAlpha(Col c, float a) {
    c.a = a;
    return c;
}
const Col kWhite{1, 1, 1, 1};
const Col kBlack{0, 0, 0, 1};

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
float smooth(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Col hsv(float h, float s, float v) {
    h = std::fmod(h, 1.0f) * 6.0f;
    const int i = int(h);
    const float f = h - float(i), p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (i) {
        case 0: return {v, t, p, 1};
        case 1: return {q, v, p, 1};
        case 2: return {p, v, t, 1};
        case 3: return {p, q, v, 1};
        case 4: return {t, p, v, 1};
        default: return {v, p, q, 1};
    }
}

// ---------------------------------------------------------------- canvases

// A premultiplied RGBA float picture.
struct Canvas {
    int w, h;
    std::vector<float> px;
    Canvas(int width, int height) : w(width), h(height), px(size_t(width) * height * 4, 0.0f) {}
    // Source-over of a straight colour with a coverage.
    void blend(int x, int y, const Col& c, float coverage) {
        const float a = clamp01(c.a * coverage);
        if (a <= 0) return;
        float* p = &px[(size_t(y) * w + x) * 4];
        p[0] = c.r * a + p[0] * (1 - a);
        p[1] = c.g * a + p[1] * (1 - a);
        p[2] = c.b * a + p[2] * (1 - a);
        p[3] = a + p[3] * (1 - a);
    }
    void add(int x, int y, const Col& c, float coverage) {
        const float a = clamp01(c.a * coverage);
        float* p = &px[(size_t(y) * w + x) * 4];
        p[0] = std::min(p[0] + c.r * a, 1.0f);
        p[1] = std::min(p[1] + c.g * a, 1.0f);
        p[2] = std::min(p[2] + c.b * a, 1.0f);
        p[3] = std::min(p[3] + a * 0.5f, 1.0f);
    }
};

// A sheet of 8-bit straight RGBA.
struct Sheet {
    uint32_t w, h;
    std::vector<uint8_t> rgba;
    Sheet(uint32_t width, uint32_t height) : w(width), h(height), rgba(size_t(width) * height * 4, 0) {}
    // Box-filters a canvas of twice the size into the rectangle at (x0, y0).
    void put(const Canvas& c, uint32_t x0, uint32_t y0) {
        for (int y = 0; y < c.h / 2; ++y) {
            for (int x = 0; x < c.w / 2; ++x) {
                float s[4] = {0, 0, 0, 0};
                for (int k = 0; k < 4; ++k) {
                    const float* p = &c.px[(size_t(y * 2 + k / 2) * c.w + (x * 2 + k % 2)) * 4];
                    for (int i = 0; i < 4; ++i) s[i] += p[i] * 0.25f;
                }
                uint8_t* out = &rgba[(size_t(y0 + y) * w + (x0 + x)) * 4];
                // Back to straight alpha so the borders keep their colour.
                const float a = s[3];
                for (int i = 0; i < 3; ++i) out[i] = uint8_t(std::lround(clamp01(a > 0 ? s[i] / a : 0) * 255));
                out[3] = uint8_t(std::lround(clamp01(a) * 255));
            }
        }
    }
    bool write(const std::string& path) const {
        std::ofstream file(path, std::ios::binary);
        file << QV::encodePng(rgba, w, h);
        if (!file) std::fprintf(stderr, "board_art_gen: cannot write %s\n", path.c_str());
        return bool(file);
    }
};

// Every pixel centre of a canvas in cell units: (-0.5, -0.5) top-left to
// (0.5, 0.5) bottom-right for a square canvas.
template <class F>
void eachPixel(Canvas& c, F f) {
    const float s = 1.0f / float(c.w);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) f(x, y, (float(x) + 0.5f) * s - 0.5f, (float(y) + 0.5f) * s - 0.5f * float(c.h) / float(c.w));
}

// ---------------------------------------------------------------- shapes

struct V2 {
    float x, y;
};
V2 operator-(V2 a, V2 b) { return {a.x - b.x, a.y - b.y}; }
V2 operator*(V2 a, float k) { return {a.x * k, a.y * k}; }
float dot(V2 a, V2 b) { return a.x * b.x + a.y * b.y; }
float len(V2 a) { return std::sqrt(dot(a, a)); }
V2 rot(V2 p, float deg) {
    const float a = deg * float(M_PI) / 180.0f, c = std::cos(a), s = std::sin(a);
    return {c * p.x - s * p.y, s * p.x + c * p.y};
}

using Sdf = std::function<float(V2)>;

float sdCircle(V2 p, float r) { return len(p) - r; }
float sdBox(V2 p, V2 b) {
    const V2 d{std::fabs(p.x) - b.x, std::fabs(p.y) - b.y};
    const V2 o{std::max(d.x, 0.0f), std::max(d.y, 0.0f)};
    return len(o) + std::min(std::max(d.x, d.y), 0.0f);
}
// Five-point star, one point up (y grows downwards).
float sdStar5(V2 p, float r, float rf) {
    p.y = -p.y;
    const V2 k1{0.809016994f, -0.587785252f}, k2{-k1.x, k1.y};
    p.x = std::fabs(p.x);
    p = p - k1 * (2.0f * std::max(dot(k1, p), 0.0f));
    p = p - k2 * (2.0f * std::max(dot(k2, p), 0.0f));
    p.x = std::fabs(p.x);
    p.y -= r;
    const V2 ba = V2{-k1.y, k1.x} * rf - V2{0, 1};
    const float h = std::clamp(dot(p, ba) / dot(ba, ba), 0.0f, r);
    const V2 q = p - ba * h;
    return len(q) * ((p.y * ba.x - p.x * ba.y) < 0 ? -1.0f : 1.0f);
}
float sdHexagon(V2 p, float r) {
    const float kx = -0.866025404f, ky = 0.5f, kz = 0.577350269f;
    p = {std::fabs(p.x), std::fabs(p.y)};
    const float m = 2.0f * std::min(kx * p.x + ky * p.y, 0.0f);
    p = {p.x - m * kx, p.y - m * ky};
    p = {p.x - std::clamp(p.x, -kz * r, kz * r), p.y - r};
    return len(p) * (p.y < 0 ? -1.0f : 1.0f);
}
float sdRhombus(V2 p, V2 b) {
    p = {std::fabs(p.x), std::fabs(p.y)};
    const V2 q = b - p * 2.0f;
    const float h = std::clamp((q.x * b.x - q.y * b.y) / dot(b, b), -1.0f, 1.0f);
    const float d = len(p - V2{b.x * 0.5f * (1 - h), b.y * 0.5f * (1 + h)});
    return d * ((p.x * b.y + p.y * b.x - b.x * b.y) < 0 ? -1.0f : 1.0f);
}
float sdVesica(V2 p, float r, float d) {
    p = {std::fabs(p.x), std::fabs(p.y)};
    const float b = std::sqrt(r * r - d * d);
    return ((p.y - b) * d > p.x * b) ? len(p - V2{0, b}) : len(p - V2{-d, 0}) - r;
}
float sdSegment(V2 p, V2 a, V2 b) {
    const V2 pa = p - a, ba = b - a;
    const float h = std::clamp(dot(pa, ba) / dot(ba, ba), 0.0f, 1.0f);
    return len(pa - ba * h);
}
float sdTriangle(V2 p, V2 p0, V2 p1, V2 p2) {
    const V2 e0 = p1 - p0, e1 = p2 - p1, e2 = p0 - p2;
    const V2 v0 = p - p0, v1 = p - p1, v2 = p - p2;
    auto edge = [](V2 v, V2 e) { return v - e * std::clamp(dot(v, e) / dot(e, e), 0.0f, 1.0f); };
    const V2 pq0 = edge(v0, e0), pq1 = edge(v1, e1), pq2 = edge(v2, e2);
    const float s = (e0.x * e2.y - e0.y * e2.x) < 0 ? -1.0f : 1.0f;
    const float d = std::min({dot(pq0, pq0), dot(pq1, pq1), dot(pq2, pq2)});
    const float c = std::min({s * (v0.x * e0.y - v0.y * e0.x), s * (v1.x * e1.y - v1.y * e1.x),
                              s * (v2.x * e2.y - v2.y * e2.x)});
    return -std::sqrt(d) * (c < 0 ? -1.0f : 1.0f);
}

// The six colours in group order: R, G, B, M, Y, O.
struct ChipColour {
    const char* suffix;
    uint32_t base;
};
const ChipColour kColours[6] = {{"_R", 0xE5383B}, {"_G", 0x3FB950}, {"_B", 0x2F81F7},
                                {"_M", 0xBC4FD9}, {"_Y", 0xF2CC0F}, {"_O", 0xF0883E}};

// Each colour's own silhouette, so the board reads without colour vision.
Sdf silhouette(int group, float scale = 1.0f) {
    switch (group) {
        case 0: return [=](V2 p) { return sdCircle(p * (1 / scale), 0.37f) * scale; };
        case 1:
            return [=](V2 p) {
                return (sdVesica(rot(p * (1 / scale), 45.0f), 0.42f, 0.2f) - 0.04f) * scale;
            };
        case 2:
            return [=](V2 p) {
                p = p * (1 / scale);
                const float box = sdBox(p, {0.33f, 0.33f});
                const float cut = (std::fabs(p.x) + std::fabs(p.y) - 0.5f) * 0.70710678f;
                return (std::max(box, cut) - 0.02f) * scale;
            };
        case 3: return [=](V2 p) { return (sdHexagon(rot(p * (1 / scale), 90.0f), 0.34f) - 0.02f) * scale; };
        case 4:
            return [=](V2 p) {
                return (sdStar5(p * (1 / scale) - V2{0, -0.03f}, 0.44f, 0.5f) - 0.03f) * scale;
            };
        default: return [=](V2 p) { return (sdRhombus(p * (1 / scale), {0.4f, 0.45f}) - 0.025f) * scale; };
    }
}

V2 gradient(const Sdf& f, V2 p) {
    const float e = 0.002f;
    V2 g{f({p.x + e, p.y}) - f({p.x - e, p.y}), f({p.x, p.y + e}) - f({p.x, p.y - e})};
    const float l = len(g);
    return l > 0 ? g * (1 / l) : V2{0, 0};
}

const V2 kToLight{-0.70710678f, -0.70710678f};

struct BodyStyle {
    Col base;
    Col rim;              // outline colour
    float rimWidth = 0.032f;
    bool facet = true;    // a lighter inner table, as on a cut gem
    float shadow = 0.35f;
    float bevel = 0.09f;
};

// A raised, lit body: shadow, bevelled fill with a vertical gradient, outline,
// inner facet and one specular ellipse.
void drawBody(Canvas& c, const Sdf& f, const BodyStyle& s) {
    const float aa = 1.0f / float(c.w);
    eachPixel(c, [&](int x, int y, float u, float v) {
        const V2 p{u, v};
        const float ds = f(p - V2{0.035f, 0.04f});
        c.blend(x, y, kBlack, s.shadow * (1 - smooth(-0.035f, 0.045f, ds)));
        const float d = f(p);
        const float cover = clamp01(0.5f - d / aa);
        if (cover <= 0) return;
        Col col = scaled(s.base, 1.22f - 0.42f * (v + 0.5f));
        const V2 g = gradient(f, p);
        const float bev = 1 - smooth(0.0f, s.bevel, -d);
        col = scaled(col, 1.0f + 0.42f * bev * dot(g, kToLight));
        if (s.facet) {
            const float inner = f(p * (1 / 0.58f)) * 0.58f;
            const float in = clamp01(0.5f - inner / aa);
            const Col table = scaled(s.base, 1.3f - 0.3f * (v + 0.5f));
            col = mix(col, table, in * 0.55f);
            const float line = clamp01(1 - std::fabs(inner) / (aa * 1.2f));
            col = mix(col, mix(s.base, kWhite, 0.55f), line * 0.45f);
        }
        const float rim = smooth(s.rimWidth - aa, s.rimWidth + aa, -d);
        col = mix(s.rim, col, rim);
        const V2 q = rot(p - V2{-0.12f, -0.15f}, 35.0f);
        const float e = (q.x * q.x) / (0.13f * 0.13f) + (q.y * q.y) / (0.06f * 0.06f);
        col = mix(col, kWhite, 0.42f * (1 - smooth(0.45f, 1.0f, e)) * rim);
        col.a = 1;
        c.blend(x, y, col, cover);
    });
}

BodyStyle chipStyle(int group) {
    BodyStyle s;
    s.base = hex(kColours[group].base);
    s.rim = scaled(s.base, 0.5f);
    return s;
}

// A flat shape painted with an outline and an optional glow, for marks.
void drawMark(Canvas& c, const Sdf& f, const Col& fill, const Col& outline, float outlineWidth, float glow = 0) {
    const float aa = 1.0f / float(c.w);
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float d = f({u, v});
        if (glow > 0) c.blend(x, y, withAlpha(kWhite, 0.35f), 1 - smooth(0.0f, glow, d));
        const float outer = clamp01(0.5f - (d - outlineWidth) / aa);
        if (outer <= 0) return;
        const float inner = clamp01(0.5f - d / aa);
        Col col = mix(outline, scaled(fill, 1.1f - 0.25f * (v + 0.5f)), inner);
        col.a = 1;
        c.blend(x, y, col, outer);
    });
}

// ---------------------------------------------------------------- chip marks

const Col kGold = hex(0xF4C542);
const Col kGoldDark = hex(0x8A5A12);

void bombMark(Canvas& c, const Col& base) {
    const float aa = 1.0f / float(c.w);
    eachPixel(c, [&](int x, int y, float u, float v) {
        const V2 p{u, v};
        // Fuse ring: gold dashes around the core.
        const float r = len(p);
        const float ring = std::fabs(r - 0.225f) - 0.02f;
        const float ang = std::atan2(p.y, p.x);
        const float dash = std::sin(ang * 8.0f);
        if (ring < aa && dash > -0.2f) {
            const Col gold = mix(kGold, kWhite, 0.3f * (1 - (v + 0.5f)));
            c.blend(x, y, gold, clamp01(0.5f - ring / aa) * smooth(-0.2f, 0.1f, dash));
        }
        // Dark core with its own small highlight.
        const float core = r - 0.15f;
        if (core < aa) {
            Col col = mix(scaled(base, 0.22f), scaled(base, 0.45f), clamp01(-(p.x + p.y) * 2.5f));
            const float hl = len(p - V2{-0.05f, -0.06f}) / 0.05f;
            col = mix(col, kWhite, 0.55f * (1 - smooth(0.3f, 1.0f, hl)));
            const float edge = smooth(0.0f, 0.02f, -core);
            col = mix(scaled(base, 0.12f), col, edge);
            col.a = 1;
            c.blend(x, y, col, clamp01(0.5f - core / aa));
        }
    });
    // A spark on the fuse at the top right.
    drawMark(c, [](V2 p) { return sdStar5(rot(p - V2{0.2f, -0.2f}, 10), 0.07f, 0.4f); }, hex(0xFFF3B0),
             hex(0xF08C00), 0.012f, 0.06f);
}

Sdf bandShape(bool vertical) {
    return [=](V2 p) {
        if (vertical) p = {p.y, p.x};
        const float band = sdBox(p, {0.3f, 0.055f}) - 0.01f;
        const float left = sdTriangle(p, {-0.46f, 0}, {-0.3f, -0.12f}, {-0.3f, 0.12f});
        const float right = sdTriangle(p, {0.46f, 0}, {0.3f, 0.12f}, {0.3f, -0.12f});
        return std::min({band, left, right});
    };
}

void waveMark(Canvas& c, const Col& base, bool vertical) {
    drawMark(c, bandShape(vertical), mix(base, kWhite, 0.8f), scaled(base, 0.45f), 0.022f, 0.05f);
}

void diagonalMark(Canvas& c, const Col& base) {
    const Sdf a = bandShape(false);
    drawMark(c, [a](V2 p) { return std::min(a(rot(p, 45)), a(rot(p, -45))); }, mix(base, kWhite, 0.8f),
             scaled(base, 0.45f), 0.022f, 0.05f);
}

// ---------------------------------------------------------------- specials

void colourBomb(Canvas& c) {
    const float aa = 1.0f / float(c.w);
    eachPixel(c, [&](int x, int y, float u, float v) {
        const V2 p{u, v};
        c.blend(x, y, kBlack, 0.35f * (1 - smooth(-0.03f, 0.05f, len(p - V2{0.035f, 0.04f}) - 0.39f)));
        const float d = len(p) - 0.39f;
        const float cover = clamp01(0.5f - d / aa);
        if (cover <= 0) return;
        // Swirled hue wheel on a shaded sphere.
        const float r = len(p) / 0.39f;
        const float hue = std::atan2(p.y, p.x) / (2 * float(M_PI)) + 0.5f + r * 0.35f;
        Col col = hsv(hue, 0.75f, 1.0f);
        const float z = std::sqrt(std::max(0.0f, 1 - r * r));
        const float lambert = clamp01(0.35f + 0.75f * (-p.x * 0.55f - p.y * 0.55f + z * 0.62f) / 0.39f * 0.39f);
        col = scaled(col, 0.45f + 0.75f * lambert);
        const float rim = smooth(0.03f - aa, 0.03f + aa, -d);
        col = mix(hex(0x3B2A63), col, rim);
        const float hl = len(rot(p - V2{-0.12f, -0.14f}, 35) * 1.0f) / 0.1f;
        col = mix(col, kWhite, 0.6f * (1 - smooth(0.2f, 1.0f, hl)) * rim);
        col.a = 1;
        c.blend(x, y, col, cover);
    });
}

void starChip(Canvas& c) {
    const Sdf star = [](V2 p) { return sdStar5(p - V2{0, -0.02f}, 0.43f, 0.45f) - 0.02f; };
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float d = star({u, v});
        c.blend(x, y, withAlpha(hex(0xFFF6D0), 0.75f), 1 - smooth(-0.02f, 0.11f, d));
    });
    BodyStyle s;
    s.base = hex(0xFFFDF2);
    s.rim = hex(0xC9A227);
    s.shadow = 0.2f;
    drawBody(c, star, s);
}

// Grey stone, chiselled edges; stage 2 and 3 add cracks; strong walls are
// darker with iron bands.
void wall(Canvas& c, int stage, bool strong) {
    const Sdf block = [](V2 p) { return sdBox(p, {0.41f, 0.41f}) - 0.04f; };
    BodyStyle s;
    s.base = strong ? hex(0x6E6A76) : hex(0x9C9A94);
    s.rim = scaled(s.base, 0.45f);
    s.facet = false;
    s.bevel = 0.12f;
    drawBody(c, block, s);
    const float aa = 1.0f / float(c.w);
    // Chiselled mortar lines: a brick pattern.
    eachPixel(c, [&](int x, int y, float u, float v) {
        if (block({u, v}) > -0.06f) return;
        const float row = std::floor((v + 0.5f) * 3.0f);
        const float shift = std::fmod(row, 2.0f) * 0.5f;
        const float fx = std::fabs(std::fmod((u + 0.5f) * 2.0f + shift + 10.0f, 1.0f) - 0.5f);
        const float fy = std::fabs(std::fmod((v + 0.5f) * 3.0f, 1.0f) - 0.5f);
        const float mortar = std::min((0.5f - fy) / 3.0f, (0.5f - fx) / 2.0f);
        if (mortar < 0.012f) c.blend(x, y, withAlpha(scaled(s.base, 0.5f), 0.8f), 1 - smooth(0.006f, 0.012f, mortar));
        else if (mortar < 0.02f) c.blend(x, y, withAlpha(kWhite, 0.25f), 1.0f);
    });
    if (strong) {
        eachPixel(c, [&](int x, int y, float u, float v) {
            if (block({u, v}) > -0.03f) return;
            const float band = std::min(std::fabs(v + 0.2f), std::fabs(v - 0.2f)) - 0.04f;
            if (band < aa) {
                Col iron = mix(hex(0x4A4E57), hex(0x2B2E35), clamp01((v + 0.5f)));
                c.blend(x, y, iron, clamp01(0.5f - band / aa));
                const float rivet = std::min(len(V2{u - 0.28f, std::fabs(v) - 0.2f}),
                                             len(V2{u + 0.28f, std::fabs(v) - 0.2f})) - 0.025f;
                if (rivet < aa) c.blend(x, y, hex(0xB8BCC6), clamp01(0.5f - rivet / aa));
            }
        });
    }
    // Cracks, more with every lost layer.
    const std::vector<std::array<V2, 2>> cracks = {
        {V2{-0.3f, -0.35f}, V2{-0.08f, -0.05f}}, {V2{-0.08f, -0.05f}, V2{0.05f, 0.2f}},
        {V2{0.3f, -0.3f}, V2{0.1f, -0.12f}},    {V2{0.1f, -0.12f}, V2{0.22f, 0.1f}},
        {V2{-0.35f, 0.25f}, V2{-0.12f, 0.15f}}, {V2{0.05f, 0.2f}, V2{0.18f, 0.34f}}};
    const size_t count = stage <= 1 ? 0 : (stage == 2 ? 3 : cracks.size());
    eachPixel(c, [&](int x, int y, float u, float v) {
        if (block({u, v}) > -0.02f) return;
        float d = 1;
        for (size_t i = 0; i < count; ++i) d = std::min(d, sdSegment({u, v}, cracks[i][0], cracks[i][1]));
        if (d < 0.02f) c.blend(x, y, withAlpha(kWhite, 0.35f), 1 - smooth(0.01f, 0.02f, d - 0.006f));
        if (d < 0.012f) c.blend(x, y, hex(0x2A2622), 1 - smooth(0.004f, 0.012f, d));
    });
}

// A stone block holding a small gem of the colour.
void colouredWall(Canvas& c, int group) {
    wall(c, 1, false);
    Canvas gem(c.w, c.h);
    BodyStyle s = chipStyle(group);
    s.shadow = 0.45f;
    drawBody(gem, silhouette(group, 0.55f), s);
    for (size_t i = 0; i < c.px.size(); i += 4) {
        const float a = gem.px[i + 3];
        for (int k = 0; k < 4; ++k) c.px[i + k] = gem.px[i + k] + c.px[i + k] * (1 - a);
    }
}

// Dark steel links crossing over the chip.
void chains(Canvas& c) {
    const float aa = 1.0f / float(c.w);
    for (float diag : {45.0f, -45.0f}) {
        eachPixel(c, [&](int x, int y, float u, float v) {
            const V2 p = rot({u, v}, diag);
            float best = 1;
            V2 bestQ{0, 0};
            for (int k = -3; k <= 3; ++k) {
                V2 q = p - V2{float(k) * 0.16f, 0};
                if (k % 2) q = {q.x, q.y};
                const float ex = k % 2 ? 0.045f : 0.1f, ey = k % 2 ? 0.1f : 0.045f;
                // Ring: |ellipse distance - 1| scaled.
                const float e = std::sqrt((q.x * q.x) / (ex * ex) + (q.y * q.y) / (ey * ey));
                const float d = std::fabs(e - 1.0f) * std::min(ex, ey) - 0.018f;
                if (d < best) {
                    best = d;
                    bestQ = q;
                }
            }
            if (std::fabs(p.x) > 0.56f) return;
            c.blend(x, y, kBlack, 0.35f * (1 - smooth(-0.01f, 0.02f, best - 0.01f)) *
                                      (best > 0 ? 1.0f : 0.0f));
            if (best < aa) {
                Col steel = mix(hex(0xC9CED6), hex(0x3A3F48), clamp01(0.5f + (bestQ.x + bestQ.y) * 6.0f));
                steel = mix(hex(0x1E2126), steel, smooth(-0.018f, -0.006f, best));
                c.blend(x, y, steel, clamp01(0.5f - best / aa));
            }
        });
    }
}

// The padlock where the two chains cross.
void padlock(Canvas& c) {
    const float aa = 1.0f / float(c.w);
    eachPixel(c, [&](int x, int y, float u, float v) {
        const V2 p{u, v};
        const float shackle = std::max(std::fabs(len(p - V2{0, -0.04f}) - 0.085f) - 0.02f, v + 0.0f);
        if (shackle < aa) c.blend(x, y, mix(hex(0xD6DAE2), hex(0x6B707A), clamp01((u + 0.1f) * 5)),
                                  clamp01(0.5f - shackle / aa));
    });
    BodyStyle s;
    s.base = hex(0xC99A2E);
    s.rim = hex(0x5A3F0C);
    s.facet = false;
    s.rimWidth = 0.02f;
    s.bevel = 0.04f;
    drawBody(c, [](V2 p) { return sdBox(p - V2{0, 0.06f}, {0.12f, 0.09f}) - 0.02f; }, s);
    drawMark(c, [](V2 p) { return std::min(sdCircle(p - V2{0, 0.04f}, 0.025f), sdBox(p - V2{0, 0.085f}, {0.01f, 0.035f})); },
             hex(0x3B2A08), hex(0x3B2A08), 0.0f);
}

// Translucent cyan layers, more frost with every stage.
void ice(Canvas& c, int stage) {
    const float aa = 1.0f / float(c.w);
    const Sdf block = [](V2 p) { return sdBox(p, {0.43f, 0.43f}) - 0.05f; };
    eachPixel(c, [&](int x, int y, float u, float v) {
        const V2 p{u, v};
        const float d = block(p);
        const float cover = clamp01(0.5f - d / aa);
        if (cover <= 0) return;
        const float a = 0.22f + 0.13f * float(stage);
        Col col = mix(hex(0xBFF3FF), hex(0x5FC8E8), clamp01(v + 0.5f));
        col.a = a;
        // Bevel: a bright top-left edge, a deeper bottom-right one.
        const float bev = 1 - smooth(0.0f, 0.07f, -d);
        const float lit = dot(gradient(block, p), kToLight);
        col = mix(col, withAlpha(kWhite, 0.85f), bev * clamp01(lit) * 0.9f);
        col = mix(col, withAlpha(hex(0x2B8FB3), 0.7f), bev * clamp01(-lit) * 0.7f);
        // Frost streaks.
        const float n = std::sin(u * 37.0f + v * 11.0f) * std::sin(v * 29.0f - u * 7.0f + float(stage));
        if (n > 0.65f - 0.12f * float(stage)) col = mix(col, withAlpha(kWhite, 0.8f), 0.5f);
        // Two bright glints across.
        const float glint = std::min(std::fabs(u + v + 0.35f), std::fabs(u + v + 0.2f) + 0.01f);
        if (glint < 0.025f) col = mix(col, withAlpha(kWhite, 0.75f), 1 - glint / 0.025f);
        c.blend(x, y, col, cover);
    });
}

// The ice source: a frozen hexagonal block with a snowflake inside.
void iceSource(Canvas& c) {
    BodyStyle s;
    s.base = hex(0x8FDDF2);
    s.rim = hex(0x1F6F8F);
    s.facet = true;
    drawBody(c, [](V2 p) { return sdHexagon(p, 0.36f) - 0.03f; }, s);
    ice(c, 1);
    const Sdf flake = [](V2 p) {
        float d = 1;
        for (int k = 0; k < 6; ++k) {
            const V2 q = rot(p, float(k) * 60.0f);
            d = std::min(d, sdSegment(q, {0, 0}, {0, -0.22f}) - 0.022f);
            d = std::min(d, sdSegment(q, {0, -0.13f}, {0.06f, -0.19f}) - 0.014f);
            d = std::min(d, sdSegment(q, {0, -0.13f}, {-0.06f, -0.19f}) - 0.014f);
        }
        return d;
    };
    drawMark(c, flake, hex(0xFFFFFF), hex(0x2D86A8), 0.012f, 0.05f);
}

// The chain bomb's casing over its chip: an iron band with rivets;
// the middle stays clear for the count.
void chainBombCasing(Canvas& c) {
    const float aa = 1.0f / float(c.w);
    eachPixel(c, [&](int x, int y, float u, float v) {
        const V2 p{u, v};
        const float band = std::fabs(len(p) - 0.37f) - 0.055f;
        c.blend(x, y, kBlack, 0.3f * (1 - smooth(0.0f, 0.04f, band - 0.01f)));
        if (band < aa) {
            Col steel = mix(hex(0xD5DAE3), hex(0x474C57), clamp01(0.5f + (u + v) * 1.2f));
            steel = mix(hex(0x1D2027), steel, smooth(-0.055f, -0.035f, band) * smooth(0.0f, -0.015f, band));
            steel.a = 1;
            c.blend(x, y, steel, clamp01(0.5f - band / aa));
        }
    });
    for (int k = 0; k < 8; ++k) {
        const V2 at = rot(V2{0.37f, 0}, float(k) * 45.0f + 22.5f);
        drawMark(c, [=](V2 p) { return sdCircle(p - at, 0.022f); }, hex(0xE8ECF2), hex(0x23262D), 0.01f);
    }
}

// One stretch of chain for a chain in flight: three links across.
void chainStretch(Canvas& c) {
    const float aa = 1.0f / float(c.w);
    eachPixel(c, [&](int x, int y, float u, float v) {
        const V2 p{u, v};
        float best = 1;
        V2 bestQ{0, 0};
        for (int k = -2; k <= 2; ++k) {
            const V2 q = p - V2{float(k) * 0.17f, 0};
            const float ex = k % 2 ? 0.05f : 0.11f, ey = k % 2 ? 0.11f : 0.05f;
            const float e = std::sqrt((q.x * q.x) / (ex * ex) + (q.y * q.y) / (ey * ey));
            const float d = std::fabs(e - 1.0f) * std::min(ex, ey) - 0.02f;
            if (d < best) {
                best = d;
                bestQ = q;
            }
        }
        if (std::fabs(u) > 0.46f) return;
        if (best < aa) {
            Col steel = mix(hex(0xDCE1E8), hex(0x3A3F48), clamp01(0.5f + (bestQ.x + bestQ.y) * 6.0f));
            steel = mix(hex(0x1E2126), steel, smooth(-0.02f, -0.007f, best));
            c.blend(x, y, steel, clamp01(0.5f - best / aa));
        }
    });
}

// A rising chip: a chip of its colour with a bright double chevron upwards.
void chipUp(Canvas& c, int group) {
    BodyStyle s = chipStyle(group);
    s.rim = kGold;
    s.rimWidth = 0.045f;
    drawBody(c, [](V2 p) { return sdCircle(p, 0.39f); }, s);
    const Sdf chevrons = [](V2 p) {
        auto chevron = [](V2 q) {
            return std::min(sdSegment(q, {-0.16f, 0.07f}, {0, -0.08f}), sdSegment(q, {0.16f, 0.07f}, {0, -0.08f})) -
                   0.045f;
        };
        return std::min(chevron(p - V2{0, -0.07f}), chevron(p - V2{0, 0.1f}));
    };
    drawMark(c, chevrons, hex(0xFFFFFF), scaled(hex(kColours[group].base), 0.35f), 0.018f, 0.05f);
}

// The goal chip that falls to the floor: a golden acorn.
void fallingGoal(Canvas& c) {
    BodyStyle body;
    body.base = hex(0xD9A441);
    body.rim = hex(0x6B4418);
    body.facet = false;
    drawBody(c, [](V2 p) { return len(V2{p.x / 0.3f, (p.y - 0.08f) / 0.32f}) * 0.3f - 0.3f; }, body);
    BodyStyle cap;
    cap.base = hex(0x7A4E25);
    cap.rim = hex(0x3B2510);
    cap.facet = false;
    cap.shadow = 0.25f;
    const Sdf capShape = [](V2 p) {
        return std::max(len(V2{p.x / 0.36f, (p.y + 0.1f) / 0.2f}) * 0.2f - 0.2f, p.y + 0.02f);
    };
    drawBody(c, capShape, cap);
    drawMark(c, [](V2 p) { return sdBox(p - V2{0.02f, -0.33f}, {0.025f, 0.07f}) - 0.01f; }, hex(0x5A3A1C),
             hex(0x2E1D0D), 0.01f);
    // Crosshatch on the cap.
    eachPixel(c, [&](int x, int y, float u, float v) {
        if (capShape({u, v}) > -0.03f) return;
        const float a = std::fabs(std::fmod(u * 14 + v * 14 + 50, 1.0f) - 0.5f);
        const float b = std::fabs(std::fmod(u * 14 - v * 14 + 50, 1.0f) - 0.5f);
        if (std::min(a, b) < 0.08f) c.blend(x, y, withAlpha(hex(0x3B2510), 0.6f), 1.0f);
    });
}

// The generator: a stone ring round a glowing swirl.
void generator(Canvas& c) {
    const float aa = 1.0f / float(c.w);
    BodyStyle s;
    s.base = hex(0x8E8A99);
    s.rim = hex(0x3D3A45);
    s.facet = false;
    drawBody(c, [](V2 p) { return std::fabs(len(p) - 0.32f) - 0.09f; }, s);
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float r = len({u, v});
        if (r > 0.24f) return;
        const float a = std::atan2(v, u) + r * 18.0f;
        const float swirl = 0.5f + 0.5f * std::sin(a * 3.0f);
        Col col = mix(hex(0x3FE0C5), hex(0xF7FFF9), swirl * (1 - r / 0.24f));
        col.a = 1;
        c.blend(x, y, col, clamp01(0.5f - (r - 0.23f) / aa));
    });
}

// The stuff chip: a wooden crate.
void crate(Canvas& c) {
    BodyStyle s;
    s.base = hex(0xB07A43);
    s.rim = hex(0x4E3118);
    s.facet = false;
    const Sdf box = [](V2 p) { return sdBox(p, {0.36f, 0.36f}) - 0.03f; };
    drawBody(c, box, s);
    const float aa = 1.0f / float(c.w);
    eachPixel(c, [&](int x, int y, float u, float v) {
        if (box({u, v}) > -0.04f) return;
        const float frame = std::max(std::fabs(u), std::fabs(v)) - 0.27f;
        const float brace = std::fabs(u - v) * 0.7071f - 0.04f;
        const float d = std::min(std::fabs(frame) - 0.04f, brace);
        if (d < aa) {
            Col wood = mix(hex(0xD39A5C), hex(0x8C5A2B), clamp01(v + 0.5f));
            wood = mix(hex(0x4E3118), wood, smooth(-0.02f, -0.01f, d));
            c.blend(x, y, wood, clamp01(0.5f - d / aa));
        } else {
            const float grain = std::sin(v * 90.0f + std::sin(u * 12.0f) * 2.0f);
            if (grain > 0.92f) c.blend(x, y, withAlpha(hex(0x6E4522), 0.35f), 1.0f);
        }
    });
}

// A soft ring of light: the hotspot and selection halos.
void halo(Canvas& c, const Col& colour, float radius, float width) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float d = std::fabs(len({u, v}) - radius);
        const float k = 1 - smooth(0.0f, width, d);
        if (k > 0) c.blend(x, y, withAlpha(mix(colour, kWhite, k * 0.6f), 0.9f), k * k);
    });
}

// Frame f of n of a chip bursting: its shards fly out and fade, a flash in
// the middle. Shards keep the colour's silhouette.
void burst(Canvas& c, const Col& base, int group, int f, int n) {
    const float t = (float(f) + 0.5f) / float(n);
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float r = len({u, v});
        const float flash = (1 - t) * (1 - smooth(0.0f, 0.18f + 0.25f * t, r));
        if (flash > 0) c.blend(x, y, withAlpha(mix(base, kWhite, 0.7f), 1.0f), flash);
        const float ring = std::fabs(r - (0.12f + 0.32f * t)) - 0.02f * (1 - t);
        if (ring < 0.02f) c.blend(x, y, withAlpha(mix(base, kWhite, 0.4f), 1 - t), 1 - smooth(0.0f, 0.02f, ring));
    });
    for (int k = 0; k < 6; ++k) {
        const float a = float(k) * 60.0f + 20.0f;
        const V2 centre = rot(V2{0.1f + 0.3f * t, 0}, a);
        Canvas shard(c.w, c.h);
        BodyStyle s;
        s.base = base;
        s.rim = scaled(base, 0.5f);
        s.facet = false;
        s.shadow = 0.2f;
        const Sdf shape = silhouette(group, 0.38f * (1 - 0.6f * t));
        drawBody(shard, [&](V2 p) { return shape(rot(p - centre, a * t)); }, s);
        const float fade = 1 - t * t;
        for (size_t i = 0; i < c.px.size(); i += 4) {
            const float sa = shard.px[i + 3] * fade;
            for (int j = 0; j < 3; ++j) c.px[i + j] = shard.px[i + j] * fade + c.px[i + j] * (1 - sa);
            c.px[i + 3] = sa + c.px[i + 3] * (1 - sa);
        }
    }
}

// Frame f of n of the bonus glint: a bright diagonal sweep with a small
// four-point sparkle where it passes the highlight.
void glint(Canvas& c, int f, int n) {
    const float t = float(f) / float(n - 1);
    const float pos = -0.9f + 1.8f * t;
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float r = len({u, v});
        if (r > 0.42f) return;
        const float d = std::fabs((u + v) * 0.7071f - pos);
        const float k = (1 - smooth(0.0f, 0.09f, d)) * (1 - smooth(0.3f, 0.42f, r));
        if (k > 0) c.blend(x, y, withAlpha(kWhite, 0.55f), k);
        const V2 s = V2{u, v} - V2{pos * 0.35f - 0.05f, pos * 0.35f - 0.05f};
        const float star = std::min(std::fabs(s.x) * 8 + std::fabs(s.y) * 0.8f, std::fabs(s.y) * 8 + std::fabs(s.x) * 0.8f);
        const float sk = (1 - smooth(0.0f, 0.12f, star)) * std::sin(float(M_PI) * t);
        if (sk > 0) c.add(x, y, kWhite, sk);
    });
}

// A pulsing danger glow for a bonus chip about to go off (frame f of n).
void detonateGlow(Canvas& c, int f, int n) {
    const float t = 0.5f - 0.5f * std::cos(2 * float(M_PI) * float(f) / float(n));
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float r = len({u, v});
        const float k = (1 - smooth(0.3f, 0.5f, r)) * smooth(0.18f, 0.36f, r);
        if (k > 0) c.blend(x, y, withAlpha(mix(hex(0xFF7A1A), hex(0xFFE27A), t), 0.45f + 0.45f * t), k);
    });
}

// ---------------------------------------------------------------- tiles

const Col kCellA = hex(0x2B2D5C, 0.85f);
const Col kCellB = hex(0x33366B, 0.85f);

// A board cell in its tone, 1 px lighter inner edge; sand layers on top for
// tiles of strength 1 and 2 (the second darker).
void cell(Canvas& c, const Col& tone, int sand) {
    const float px = 1.0f / float(c.w) * 2.0f;  // one pixel of the final picture
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float edge = std::min(0.5f - std::fabs(u), 0.5f - std::fabs(v));
        Col col = tone;
        if (edge < px) col = withAlpha(mix(tone, kWhite, 0.16f), tone.a);
        c.blend(x, y, col, 1.0f);
        if (sand == 0) return;
        const Sdf slab = [](V2 p) { return sdBox(p, {0.43f, 0.43f}) - 0.03f; };
        const float d = slab({u, v});
        if (d > 0.0f + px) {
            return;
        }
        const Col sandBase = sand == 1 ? hex(0xE2C48D) : hex(0xB98C55);
        Col s = scaled(sandBase, 1.1f - 0.2f * (v + 0.5f));
        const float bev = 1 - smooth(0.0f, 0.07f, -d);
        s = scaled(s, 1 + 0.3f * bev * dot(gradient(slab, {u, v}), kToLight));
        // Grain.
        const float grain = std::sin(u * 151.0f + std::sin(v * 43.0f) * 3.0f) * std::sin(v * 137.0f + u * 17.0f);
        if (grain > 0.7f) s = scaled(s, 0.9f);
        if (sand == 2) {
            // The darker second layer: a pressed pattern of diamonds.
            const float dm = std::fabs(std::fmod(std::fabs(u) * 6 + std::fabs(v) * 6, 1.0f) - 0.5f);
            if (dm < 0.05f) s = scaled(s, 0.82f);
        }
        s = mix(scaled(sandBase, 0.55f), s, smooth(0.0f, px, -d));
        s.a = 1;
        c.blend(x, y, s, clamp01(0.5f - d / (px * 0.5f)));
    });
}

// The dark gradient a solid cell throws into the hole below it.
void shadow(Canvas& c, int variant) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float depth = v + 0.5f;
        const float wave = 0.03f * std::sin((u + 0.5f) * float(M_PI) * (variant ? 3.0f : 2.0f));
        const float k = 1 - smooth(0.0f, 0.42f + wave, depth);
        c.blend(x, y, kBlack, 0.55f * k * k);
    });
}

// Frame f of n of the glint that runs over tiles of two layers.
void blindTile(Canvas& c, int f, int n) {
    const float t = float(f) / float(n - 1);
    const float pos = -0.85f + 1.7f * t;
    eachPixel(c, [&](int x, int y, float u, float v) {
        if (std::max(std::fabs(u), std::fabs(v)) > 0.44f) return;
        const float d = std::fabs((u + v) * 0.7071f - pos);
        const float k = 1 - smooth(0.0f, 0.12f, d);
        if (k > 0) c.blend(x, y, withAlpha(hex(0xFFF3D6), 0.6f), k * std::sin(float(M_PI) * t));
    });
}

// ---------------------------------------------------------------- effects art

// The soft square of light that runs over the tiles when a level starts.
void highlight(Canvas& c) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float d = sdBox({u, v}, {0.36f, 0.36f}) - 0.08f;
        const float k = (1 - smooth(-0.1f, 0.04f, d)) * (0.55f + 0.45f * smooth(-0.2f, 0.0f, d));
        if (k > 0) c.blend(x, y, withAlpha(hex(0xFFF6DA), 0.8f), k);
    });
}

// The colour bomb's travelling orb, white so the scene can tint it.
void orb(Canvas& c) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float r = len({u, v}) * 2;
        if (r >= 1) return;
        const float glow = (1 - r) * (1 - r);
        const float core = 1 - smooth(0.25f, 0.4f, r);
        c.blend(x, y, kWhite, std::max(glow, core));
    });
}

// A star flash with four long rays.
void flash(Canvas& c) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float a = std::fabs(u) * 2, b = std::fabs(v) * 2;
        const float rays = std::min(a * 9 + b, b * 9 + a);
        const float r = len({u, v}) * 2;
        const float k = std::max(1 - smooth(0.0f, 1.0f, rays), (1 - smooth(0.0f, 0.6f, r)) * 0.9f);
        if (k > 0) c.blend(x, y, kWhite, k);
    });
}

// A thin bright ring for the merge burst.
void mergeRing(Canvas& c) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float d = std::fabs(len({u, v}) - 0.4f);
        const float k = 1 - smooth(0.0f, 0.06f, d);
        if (k > 0) c.blend(x, y, withAlpha(hex(0xFFF1C2), 1.0f), k * k);
    });
}

// A normal map that pushes the picture out from the centre in a ring.
void explosionNormalMap(Canvas& c) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float r = len({u, v}) * 2.0f;  // 0 centre, 1 edge
        if (r >= 1) return;
        const float push = std::sin(r * float(M_PI)) * (1 - r);
        const V2 n = r > 0 ? V2{u, v} * (1 / (r * 0.5f)) : V2{0, 0};
        Col col{0.5f + 0.5f * n.x * push, 0.5f + 0.5f * n.y * push, 1.0f, 1.0f};
        c.blend(x, y, col, 1 - smooth(0.8f, 1.0f, r));
    });
}

// A rippling heat haze.
void fireNormalMap(Canvas& c) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float r = len({u, v * 0.8f}) * 2.0f;
        if (r >= 1) return;
        const float a = std::sin(v * 30.0f + std::sin(u * 9.0f) * 2.0f);
        const float b = std::sin(u * 26.0f - v * 7.0f);
        Col col{0.5f + 0.25f * a * (1 - r), 0.5f + 0.25f * b * (1 - r), 1.0f, 1.0f};
        c.blend(x, y, col, 1 - smooth(0.6f, 1.0f, r));
    });
}

// The freezing ring: a frosty band with crystals at its rim.
void freezingRing(Canvas& c) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float r = len({u, v}) * 2.0f;
        if (r > 1) return;
        const float band = 1 - smooth(0.0f, 0.22f, std::fabs(r - 0.8f));
        const float ang = std::atan2(v, u);
        const float spikes = std::pow(std::fabs(std::cos(ang * 6.0f)), 12.0f) * (1 - smooth(0.0f, 0.3f, std::fabs(r - 0.72f)));
        const float inner = 0.1f * (1 - smooth(0.4f, 0.8f, r)) * smooth(0.3f, 0.8f, r);
        const float k = std::max({band, spikes, inner});
        if (k <= 0) return;
        Col col = mix(hex(0x7FD8F5), kWhite, band * 0.7f);
        c.blend(x, y, withAlpha(col, 0.9f), k * (1 - smooth(0.95f, 1.0f, r)));
    });
}

// Particle sprites: a soft round spark, a four-point sparkle, a streak and a
// grain of sand, all white (the effects colour them).
void fxSpark(Canvas& c) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float r = len({u, v}) * 2;
        if (r < 1) c.blend(x, y, kWhite, (1 - r) * (1 - r));
    });
}
void fxSparkle(Canvas& c) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float a = std::fabs(u) * 2, b = std::fabs(v) * 2;
        const float star = std::min(a * 6 + b, b * 6 + a);
        const float core = len({u, v}) * 2;
        const float k = std::max(1 - smooth(0.0f, 1.0f, star), (1 - smooth(0.0f, 0.35f, core)));
        if (k > 0) c.blend(x, y, kWhite, k);
    });
}
void fxStreak(Canvas& c) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        // 4:1 canvas: u spans the length.
        const float across = std::fabs(v) * 8.0f;
        const float along = std::fabs(u) * 2.0f;
        const float k = (1 - smooth(0.0f, 1.0f, across)) * (1 - smooth(0.3f, 1.0f, along));
        if (k > 0) c.blend(x, y, kWhite, k);
    });
}
void fxGrain(Canvas& c) {
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float r = len({u * 1.2f, v}) * 2;
        if (r < 1) c.blend(x, y, scaled(kWhite, 1 - 0.3f * (v + 0.5f)), 1 - smooth(0.7f, 1.0f, r));
    });
}

// ---------------------------------------------------------------- writers

std::string lua(float v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

// One Lua sprite table with a frame rectangle (left, top, right, bottom).
std::string spriteTable(const std::string& name, const std::string& image, int l, int t, int r, int b,
                        const std::string& extra = "") {
    std::ostringstream s;
    s << name << " = {\n    Image0 = \"" << image << "\",\n    SrcRect0 = {" << l << ", " << t << ", " << r << ", " << b
      << "},\n" << extra << "}\n";
    return s.str();
}

// An animation over frame rectangles laid out left to right from (l, t).
std::string stripAnimation(int l, int t, int size, int frames, float duration, bool loop, bool endBlank = false) {
    std::ostringstream s;
    s << "    Animation = {\n        loop = " << (loop ? 1 : 0) << ",\n        Frames = {\n";
    for (int k = 0; k < frames; ++k) {
        s << "            { duration = " << lua(duration) << ", SrcRect0 = {" << l + k * size << ", " << t << ", "
          << l + (k + 1) * size << ", " << t + size << "} },\n";
    }
    if (endBlank) {
        // Held on the last frame, which is clear.
        s << "            { duration = 0, SrcRect0 = {" << l + (frames - 1) * size << ", " << t << ", "
          << l + frames * size << ", " << t + size << "} },\n";
    }
    s << "        },\n    },\n";
    return s.str();
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file) std::fprintf(stderr, "board_art_gen: cannot write %s\n", path.c_str());
    return bool(file);
}

const int kCell = 64;          // pixels of one chip or tile picture
const int kBurstFrames = 6;
const int kGlintFrames = 8;

// chips.png, 1024 x 512: rows 0-5 the colours (simple, bomb, wave hor, wave
// ver, wave dside, super bomb, super wave ver, super wave dside, coloured
// wall, select halo, cross, super wave hor, star), column 13 of rows 0-3 the
// four colourless super forms; row 6 the colourless chips; row 7 the glint,
// the neutral burst and the detonation glow.
const char* const kColourKinds[] = {"s_chip",        "s_bomb",          "s_wave_hor",
                                    "s_wave_ver",    "s_wave_dside",    "s_super_bomb",
                                    "s_super_wave_ver", "s_super_wave_dside", "s_color_wall",
                                    "s_select",      "s_cross",         "s_super_wave_hor"};
// Fused bonus chips without a colour: silver bodies with the gold rim.
const char* const kNeutralSuperKinds[] = {"s_super_bomb", "s_super_wave_ver", "s_super_wave_dside",
                                          "s_super_wave_hor"};
const char* const kPlainKinds[] = {"s_color_destroyer", "s_star",         "s_wall_1",     "s_wall_2",
                                   "s_wall_3",          "s_strong_wall_1", "s_strong_wall_2", "s_strong_wall_3",
                                   "s_chain",           "s_ice_1",        "s_ice_2",      "s_ice_3",
                                   "s_falling_goal",    "s_generator",    "s_stuff",      "s_hotspot"};

Canvas newCell() { return Canvas(kCell * 2, kCell * 2); }

void superRim(Canvas& c, int group) {
    BodyStyle s = chipStyle(group);
    s.rim = kGold;
    s.rimWidth = 0.05f;
    drawBody(c, silhouette(group), s);
    // A thin dark line outside the gold, so it reads on every tone.
    const Sdf f = silhouette(group);
    const float aa = 1.0f / float(c.w);
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float d = f({u, v});
        if (std::fabs(d) < aa * 1.5f) c.blend(x, y, kGoldDark, 1 - std::fabs(d) / (aa * 1.5f));
    });
}

// The fused star of a colour: the colour's silhouette with the gold rim and a
// white star glowing at its heart.
void colourStar(Canvas& c, int group) {
    const Col base = hex(kColours[group].base);
    superRim(c, group);
    // A soft white glow under the star, brightest at the centre.
    eachPixel(c, [&](int x, int y, float u, float v) {
        const float r = len({u, v});
        const float glow = 1 - smooth(0.0f, 0.3f, r);
        if (glow > 0) c.blend(x, y, withAlpha(kWhite, 0.55f), glow * glow);
    });
    drawMark(c, [](V2 p) { return sdStar5(p - V2{0, 0.01f}, 0.21f, 0.45f) - 0.01f; }, hex(0xFFFDF2),
             scaled(base, 0.5f), 0.02f, 0.07f);
    // Four thin rays past the star's points, so it reads as light, not a sticker.
    eachPixel(c, [&](int x, int y, float u, float v) {
        const V2 p = rot(V2{u, v}, 45);
        const float ray = std::min(std::fabs(p.x) * 10 + std::fabs(p.y), std::fabs(p.y) * 10 + std::fabs(p.x));
        const float k = (1 - smooth(0.2f, 0.36f, ray)) * smooth(0.2f, 0.26f, len({u, v}));
        if (k > 0) c.blend(x, y, withAlpha(kWhite, 0.7f), k);
    });
}

void colourCell(Canvas& c, int group, int kind) {
    const Col base = hex(kColours[group].base);
    switch (kind) {
        case 0: drawBody(c, silhouette(group), chipStyle(group)); break;
        case 1: drawBody(c, silhouette(group), chipStyle(group)); bombMark(c, base); break;
        case 2: drawBody(c, silhouette(group), chipStyle(group)); waveMark(c, base, false); break;
        case 3: drawBody(c, silhouette(group), chipStyle(group)); waveMark(c, base, true); break;
        case 4: drawBody(c, silhouette(group), chipStyle(group)); diagonalMark(c, base); break;
        case 5: superRim(c, group); bombMark(c, base); break;
        case 6: superRim(c, group); waveMark(c, base, true); break;
        case 7: superRim(c, group); diagonalMark(c, base); break;
        case 8: colouredWall(c, group); break;
        case 9: halo(c, mix(base, kWhite, 0.3f), 0.42f, 0.08f); break;
        case 10:
            drawBody(c, silhouette(group), chipStyle(group));
            waveMark(c, base, false);
            waveMark(c, base, true);
            break;
        case 11: superRim(c, group); waveMark(c, base, false); break;
    }
}

void neutralSuper(Canvas& c, int kind) {
    BodyStyle s;
    s.base = hex(0xC8CED8);
    s.rim = kGold;
    s.rimWidth = 0.05f;
    const Sdf body = [](V2 p) { return sdCircle(p, 0.38f); };
    drawBody(c, body, s);
    const Col mark = hex(0x7A8494);
    switch (kind) {
        case 0: bombMark(c, mark); break;
        case 1: waveMark(c, mark, true); break;
        case 2: diagonalMark(c, mark); break;
        default: waveMark(c, mark, false); break;
    }
}

void plainCell(Canvas& c, int kind) {
    switch (kind) {
        case 0: colourBomb(c); break;
        case 1: starChip(c); break;
        case 2: case 3: case 4: wall(c, kind - 1, false); break;
        case 5: case 6: case 7: wall(c, kind - 4, true); break;
        case 8: chains(c); padlock(c); break;
        case 9: case 10: case 11: ice(c, kind - 8); break;
        case 12: fallingGoal(c); break;
        case 13: generator(c); break;
        case 14: crate(c); break;
        case 15: halo(c, hex(0xFFF1B8), 0.4f, 0.07f); break;
    }
}

bool writeChips(const std::string& media) {
    Sheet sheet(1024, 512);
    std::ostringstream lua;
    lua << "-- The chips, their specials and their effect frames, drawn by board_art_gen.\n"
           "-- Coloured tables end in the colour suffix (_R _G _B _M _Y _O).\n\n";
    for (int g = 0; g < 6; ++g) {
        const int top = g * kCell;
        for (int k = 0; k < 12; ++k) {
            Canvas c = newCell();
            colourCell(c, g, k);
            sheet.put(c, k * kCell, top);
            lua << spriteTable(std::string(kColourKinds[k]) + kColours[g].suffix, "chips_png", k * kCell, top,
                               (k + 1) * kCell, top + kCell);
        }
        Canvas star = newCell();
        colourStar(star, g);
        sheet.put(star, 12 * kCell, top);
        lua << spriteTable(std::string("s_star") + kColours[g].suffix, "chips_png", 12 * kCell, top, 13 * kCell,
                           top + kCell);
    }
    for (int k = 0; k < 4; ++k) {
        Canvas c = newCell();
        neutralSuper(c, k);
        sheet.put(c, 13 * kCell, k * kCell);
        lua << spriteTable(kNeutralSuperKinds[k], "chips_png", 13 * kCell, k * kCell, 14 * kCell, (k + 1) * kCell);
    }
    const int plainTop = 6 * kCell;
    for (int k = 0; k < 16; ++k) {
        Canvas c = newCell();
        plainCell(c, k);
        sheet.put(c, k * kCell, plainTop);
        lua << spriteTable(kPlainKinds[k], "chips_png", k * kCell, plainTop, (k + 1) * kCell, plainTop + kCell);
    }
    // The rule chips, in the free columns 14 and 15 right of the stars and the fused chips.
    const std::function<void(Canvas&)> ruleChips[] = {iceSource, chainBombCasing, chainStretch};
    const char* const ruleNames[] = {"s_ice_source", "s_chain_bomb", "s_chain_stretch"};
    for (int k = 0; k < 3; ++k) {
        Canvas c = newCell();
        ruleChips[k](c);
        sheet.put(c, 14 * kCell, k * kCell);
        lua << spriteTable(ruleNames[k], "chips_png", 14 * kCell, k * kCell, 15 * kCell, (k + 1) * kCell);
    }
    for (int g = 0; g < 6; ++g) {
        Canvas c = newCell();
        chipUp(c, g);
        const int left = 15 * kCell, top = g * kCell;
        sheet.put(c, left, top);
        lua << spriteTable(std::string("s_chip_up") + kColours[g].suffix, "chips_png", left, top, left + kCell, top + kCell);
    }
    const int fxTop = 7 * kCell;
    for (int f = 0; f < kGlintFrames; ++f) {
        Canvas c = newCell();
        glint(c, f, kGlintFrames);
        sheet.put(c, f * kCell, fxTop);
    }
    lua << spriteTable("s_glint", "chips_png", 0, fxTop, kCell, fxTop + kCell,
                       stripAnimation(0, fxTop, kCell, kGlintFrames, 0.07f, true));
    for (int f = 0; f < kBurstFrames; ++f) {
        Canvas c = newCell();
        burst(c, hex(0xC9C4BA), 2, f, kBurstFrames);
        sheet.put(c, (kGlintFrames + f) * kCell, fxTop);
    }
    lua << spriteTable("s_destroy", "chips_png", kGlintFrames * kCell, fxTop, (kGlintFrames + 1) * kCell,
                       fxTop + kCell, stripAnimation(kGlintFrames * kCell, fxTop, kCell, kBurstFrames, 0.06f, false));
    for (int f = 0; f < 2; ++f) {
        Canvas c = newCell();
        detonateGlow(c, f, 4);
        sheet.put(c, (14 + f) * kCell, fxTop);
    }
    lua << spriteTable("s_detonate", "chips_png", 14 * kCell, fxTop, 15 * kCell, fxTop + kCell,
                       stripAnimation(14 * kCell, fxTop, kCell, 2, 0.12f, true));
    return sheet.write(media + "/images/board/chips.png") && writeText(media + "/sprites/chips.lua", lua.str());
}

// board_tiles.png, 512 x 256: row 0 the two cell tones, the sand tiles of
// strength 1 and 2 in both tones, the two shadows; row 1 the blind-tile glint;
// row 2 the highlight, the flying orb, the flash and the merge ring.
bool writeTiles(const std::string& media) {
    Sheet sheet(512, 256);
    const Col tones[2] = {kCellA, kCellB};
    for (int sand = 0; sand < 3; ++sand) {
        for (int t = 0; t < 2; ++t) {
            Canvas c = newCell();
            cell(c, tones[t], sand);
            sheet.put(c, (sand * 2 + t) * kCell, 0);
        }
    }
    for (int v = 0; v < 2; ++v) {
        Canvas c = newCell();
        shadow(c, v);
        sheet.put(c, (6 + v) * kCell, 0);
    }
    for (int f = 0; f < kGlintFrames; ++f) {
        Canvas c = newCell();
        blindTile(c, f, kGlintFrames);
        sheet.put(c, f * kCell, kCell);
    }
    const std::function<void(Canvas&)> extras[] = {highlight, orb, flash, mergeRing};
    for (int k = 0; k < 4; ++k) {
        Canvas c = newCell();
        extras[k](c);
        sheet.put(c, k * kCell, 2 * kCell);
    }
    std::ostringstream lua;
    lua << "-- The board's tiles, shadows and the glint over tiles of two layers, drawn by board_art_gen.\n\n";
    const char* names[] = {"s_cell_a", "s_cell_b", "s_tile_1_a", "s_tile_1_b", "s_tile_2_a", "s_tile_2_b"};
    for (int k = 0; k < 6; ++k) lua << spriteTable(names[k], "board_tiles_png", k * kCell, 0, (k + 1) * kCell, kCell);
    lua << spriteTable("s_blind_tile", "board_tiles_png", 0, kCell, kCell, 2 * kCell,
                       stripAnimation(0, kCell, kCell, kGlintFrames, 0.06f, false, true));
    const char* extraNames[] = {"s_highlight", "s_fly_orb", "s_flash", "s_merge_ring"};
    for (int k = 0; k < 4; ++k)
        lua << spriteTable(extraNames[k], "board_tiles_png", k * kCell, 2 * kCell, (k + 1) * kCell, 3 * kCell);
    // The level limit icons of the count-in card; level_art_gen draws their picture.
    lua << spriteTable("s_steps_levels_times_steps_psd", "level_limits_png", 0, 0, 64, 64);
    lua << spriteTable("s_time_levels_times_steps_psd", "level_limits_png", 64, 0, 128, 64);
    lua << "\n-- One shadow table per column; neighbouring columns alternate two shapes.\n"
           "for c = 0, 254 do\n"
           "    local left = " << 6 * kCell << " + (c % 2) * " << kCell << "\n"
           "    _G[string.format(\"s_p_%d_shadows_psd\", c)] = {\n"
           "        Image0 = \"board_tiles_png\",\n"
           "        SrcRect0 = {left, 0, left + " << kCell << ", " << kCell << "},\n"
           "    }\n"
           "end\n";
    const std::string cells =
        "-- Tile pictures by cell solidity: set k serves cells of solidity k; the\n"
        "-- renderer picks the variant by cell index, which gives a checkerboard.\n"
        "CellSprites = {\n"
        "    {\n"
        "        { file = \"game_field_sprites\", table = \"s_cell_a\" },\n"
        "        { file = \"game_field_sprites\", table = \"s_cell_b\" },\n"
        "    },\n"
        "    {\n"
        "        { file = \"game_field_sprites\", table = \"s_tile_1_a\" },\n"
        "        { file = \"game_field_sprites\", table = \"s_tile_1_b\" },\n"
        "    },\n"
        "    {\n"
        "        { file = \"game_field_sprites\", table = \"s_tile_2_a\" },\n"
        "        { file = \"game_field_sprites\", table = \"s_tile_2_b\" },\n"
        "    },\n"
        "}\n";
    return sheet.write(media + "/images/board/board_tiles.png") &&
           writeText(media + "/sprites/game_field.lua", lua.str()) && writeText(media + "/cells.lua", cells);
}

bool writeNormalMapsAndRing(const std::string& media) {
    Sheet maps(256, 128);
    Canvas e(256, 256), f(256, 256);
    explosionNormalMap(e);
    fireNormalMap(f);
    maps.put(e, 0, 0);
    maps.put(f, 128, 0);
    Sheet ring(256, 256);
    Canvas r(512, 512);
    freezingRing(r);
    ring.put(r, 0, 0);
    const std::string mapsLua =
        "-- Normal maps of the screen distortion: red and green push the picture, 0.5 is still.\n" +
        spriteTable("explosion_normalmap", "normalmaps_png", 0, 0, 128, 128) +
        spriteTable("fire_normalmap", "normalmaps_png", 128, 0, 256, 128);
    const std::string ringLua = "-- The ring that spreads from an iced chip.\n" +
                                spriteTable("s_freezing_ring", "freezing_ring_png", 0, 0, 256, 256);
    return maps.write(media + "/images/board/normalmaps.png") && ring.write(media + "/images/board/freezing_ring.png") &&
           writeText(media + "/sprites/normalmaps.lua", mapsLua) &&
           writeText(media + "/sprites/freezing_ring.lua", ringLua);
}

// ---------------------------------------------------------------- particles

void common(QV::ParticleEmitter& e, const char* sprite, int pool, float rate, float life, float emitterLife,
            bool looped) {
    emitterBasics(e, "board_fx_sprites", sprite, pool, rate, life, emitterLife, looped);
}

// Sparkles circling the hinted chip, warm white, for as long as it is shown.
QV::ParticleFX* hintFx() {
    auto* fx = new QV::ParticleFX();
    auto* e = new QV::ParticleCircleEmitter();
    e->mRadius = 24.0f;
    common(*e, "sparkle", 40, 26.0f, 0.8f, -1.0f, true);
    ramp3(e->mParticleColor, QV::Color::fromBytes(255, 250, 210, 0), QV::Color::fromBytes(255, 240, 170, 255),
          QV::Color::fromBytes(255, 200, 90, 0), 30);
    ramp3(e->mInitialScaleX, 0.2f, 0.55f, 0.1f, 40);
    ramp3(e->mInitialScaleY, 0.2f, 0.55f, 0.1f, 40);
    auto* orbit = randomSpin(90.0f, 120.0f);
    auto* up = new QV::ParticleLinearMovementAffector();
    up->mInitialDirection.mMinVal = QV::Vector2<float>(-0.2f, -1.0f);
    up->mInitialDirection.mMaxVal = QV::Vector2<float>(0.2f, -1.0f);
    flat(up->mInitialVelocity, 14.0f);
    e->mParticleAffectors = {orbit, up};
    fx->mParticleEmitters.push_back(e);
    auto* glow = new QV::ParticlePointEmitter();
    common(*glow, "spark", 4, 2.5f, 1.2f, -1.0f, true);
    ramp3(glow->mParticleColor, QV::Color::fromBytes(255, 240, 180, 0), QV::Color::fromBytes(255, 230, 150, 110),
          QV::Color::fromBytes(255, 230, 150, 0), 50);
    ramp(glow->mInitialScaleX, 1.6f, 2.2f);
    ramp(glow->mInitialScaleY, 1.6f, 2.2f);
    fx->mParticleEmitters.push_back(glow);
    fx->mLoopedAnimation = true;
    return fx;
}

// A wave passing a cell: a bright streak along the direction (degrees) and
// sparks thrown out along it.
QV::ParticleFX* waveFx(float angle) {
    auto* fx = new QV::ParticleFX();
    const float rad = angle * float(M_PI) / 180.0f;
    const QV::Vector2<float> dir(std::cos(rad), std::sin(rad));
    auto* streak = new QV::ParticlePointEmitter();
    common(*streak, "streak", 2, 16.0f, 0.35f, 0.12f, false);
    ramp(streak->mParticleColor, QV::Color::fromBytes(230, 250, 255, 255), QV::Color::fromBytes(120, 200, 255, 0));
    ramp(streak->mInitialScaleX, 1.1f, 1.6f);
    ramp(streak->mInitialScaleY, 1.0f, 0.3f);
    auto* turn = new QV::ParticleRotateSpriteAffector();
    turn->mInitialMinAngle = angle;
    turn->mInitialMaxAngle = angle;
    flat(turn->mInitialAngleVelocity, 0.0f);
    streak->mParticleAffectors = {turn};
    fx->mParticleEmitters.push_back(streak);
    auto* sparks = new QV::ParticleCircleEmitter();
    sparks->mRadius = 10.0f;
    common(*sparks, "spark", 24, 170.0f, 0.45f, 0.12f, false);
    ramp(sparks->mParticleColor, QV::Color::fromBytes(255, 255, 255, 255), QV::Color::fromBytes(90, 170, 255, 0));
    ramp(sparks->mInitialScaleX, 0.5f, 0.15f);
    ramp(sparks->mInitialScaleY, 0.5f, 0.15f);
    auto* move = new QV::ParticleLinearMovementAffector();
    move->mInitialDirection.mMinVal = QV::Vector2<float>(dir.x - 0.25f * dir.y, dir.y - 0.25f * dir.x);
    move->mInitialDirection.mMaxVal = QV::Vector2<float>(dir.x + 0.25f * dir.y, dir.y + 0.25f * dir.x);
    flat(move->mInitialVelocity, 180.0f);
    sparks->mParticleAffectors = {move};
    fx->mParticleEmitters.push_back(sparks);
    return fx;
}

// Sand thrown up when a tile loses a layer: orange grains falling back. It
// is placed on the cell's top-left corner, so it bursts from the middle of a
// 64-pixel cell.
QV::ParticleFX* tileExplosionFx() {
    auto* fx = new QV::ParticleFX();
    auto* e = new QV::ParticleCircleEmitter();
    e->mPosition = QV::Vector2<float>(32.0f, 32.0f);
    e->mRadius = 14.0f;
    common(*e, "grain", 30, 250.0f, 0.6f, 0.12f, false);
    e->mBlendMode = 0;
    ramp3(e->mParticleColor, QV::Color::fromBytes(255, 214, 150, 255), QV::Color::fromBytes(240, 150, 60, 230),
          QV::Color::fromBytes(200, 110, 40, 0), 60);
    ramp(e->mInitialScaleX, 0.5f, 0.25f);
    ramp(e->mInitialScaleY, 0.5f, 0.25f);
    auto* push = new QV::ParticleGravityPointAffector();
    flat(push->mForce, -700.0f);
    auto* gravity = new QV::ParticleGravityAffector();
    flat(gravity->mForce, 500.0f);
    gravity->mDirection = QV::Vector2<float>(0.0f, 1.0f);
    e->mParticleAffectors = {push, gravity};
    fx->mParticleEmitters.push_back(e);
    auto* puff = new QV::ParticlePointEmitter();
    puff->mPosition = QV::Vector2<float>(32.0f, 32.0f);
    common(*puff, "spark", 3, 25.0f, 0.4f, 0.12f, false);
    ramp(puff->mParticleColor, QV::Color::fromBytes(255, 200, 120, 200), QV::Color::fromBytes(255, 140, 40, 0));
    ramp(puff->mInitialScaleX, 1.2f, 2.4f);
    ramp(puff->mInitialScaleY, 1.2f, 2.4f);
    fx->mParticleEmitters.push_back(puff);
    return fx;
}

// Warm sparks trailing the colour bomb's travelling orb.
QV::ParticleFX* flyTrailFx(const QV::Color& colour) {
    auto* fx = new QV::ParticleFX();
    auto* e = new QV::ParticleCircleEmitter();
    e->mRadius = 8.0f;
    common(*e, "spark", 60, 90.0f, 0.45f, -1.0f, true);
    QV::Color clear = colour;
    clear.a = 0;
    ramp3(e->mParticleColor, QV::Color::fromBytes(255, 255, 255, 255), colour, clear, 30);
    ramp(e->mInitialScaleX, 0.9f, 0.2f);
    ramp(e->mInitialScaleY, 0.9f, 0.2f);
    fx->mParticleEmitters.push_back(e);
    fx->mLoopedAnimation = true;
    return fx;
}

// A wall breaking: stone shards thrown out, turning, with dust. Drawn at the
// cell's top-left corner, so the emitters sit at the middle of a 64-pixel cell.
QV::ParticleFX* chipDestroyFx(const char* shardTable, const QV::Color& colour) {
    auto* fx = new QV::ParticleFX();
    auto* shards = new QV::ParticleCircleEmitter();
    shards->mRadius = 8.0f;
    shards->mPosition = QV::Vector2<float>(32.0f, 32.0f);
    common(*shards, shardTable, 7, 58.0f, 0.5f, 0.12f, false);
    shards->mSpriteFileName = "chips_sprites";
    shards->mBlendMode = 0;
    ramp3(shards->mParticleColor, QV::Color::fromBytes(255, 255, 255, 255), QV::Color::fromBytes(255, 255, 255, 230),
          QV::Color::fromBytes(255, 255, 255, 0), 60);
    ramp(shards->mInitialScaleX, 0.42f, 0.15f);
    ramp(shards->mInitialScaleY, 0.42f, 0.15f);
    auto* push = new QV::ParticleGravityPointAffector();
    flat(push->mForce, -1100.0f);
    shards->mParticleAffectors = {push, randomSpin(360.0f, 400.0f)};
    fx->mParticleEmitters.push_back(shards);
    auto* sparks = new QV::ParticleCircleEmitter();
    sparks->mRadius = 12.0f;
    sparks->mPosition = QV::Vector2<float>(32.0f, 32.0f);
    common(*sparks, "sparkle", 14, 115.0f, 0.45f, 0.12f, false);
    QV::Color clear = colour;
    clear.a = 0;
    ramp3(sparks->mParticleColor, QV::Color::fromBytes(255, 255, 255, 255), colour, clear, 40);
    ramp(sparks->mInitialScaleX, 0.6f, 0.1f);
    ramp(sparks->mInitialScaleY, 0.6f, 0.1f);
    auto* out = new QV::ParticleGravityPointAffector();
    flat(out->mForce, -600.0f);
    sparks->mParticleAffectors = {out};
    fx->mParticleEmitters.push_back(sparks);
    return fx;
}

// A plain chip popping: a soft flash and warm sparkles thrown out. One effect
// serves every colour, so it keeps to white and gold.
QV::ParticleFX* chipPopFx() {
    auto* fx = new QV::ParticleFX();
    auto* flash = new QV::ParticlePointEmitter();
    flash->mPosition = QV::Vector2<float>(32.0f, 32.0f);
    common(*flash, "spark", 2, 16.0f, 0.25f, 0.12f, false);
    ramp(flash->mParticleColor, QV::Color::fromBytes(255, 255, 240, 230), QV::Color::fromBytes(255, 230, 160, 0));
    ramp(flash->mInitialScaleX, 1.2f, 2.6f);
    ramp(flash->mInitialScaleY, 1.2f, 2.6f);
    fx->mParticleEmitters.push_back(flash);
    auto* sparks = new QV::ParticleCircleEmitter();
    sparks->mRadius = 14.0f;
    sparks->mPosition = QV::Vector2<float>(32.0f, 32.0f);
    common(*sparks, "sparkle", 16, 130.0f, 0.45f, 0.12f, false);
    ramp3(sparks->mParticleColor, QV::Color::fromBytes(255, 255, 255, 255), QV::Color::fromBytes(255, 226, 140, 220),
          QV::Color::fromBytes(255, 170, 60, 0), 45);
    ramp(sparks->mInitialScaleX, 0.65f, 0.1f);
    ramp(sparks->mInitialScaleY, 0.65f, 0.1f);
    auto* out = new QV::ParticleGravityPointAffector();
    flat(out->mForce, -700.0f);
    sparks->mParticleAffectors = {out, randomSpin(90.0f, 180.0f)};
    fx->mParticleEmitters.push_back(sparks);
    return fx;
}

bool writeParticles(const std::string& media) {
    Sheet sheet(128, 64);
    Canvas spark(64, 64), sparkle(64, 64), streak(128, 32), grain(32, 32);
    fxSpark(spark);
    fxSparkle(sparkle);
    fxStreak(streak);
    fxGrain(grain);
    sheet.put(spark, 0, 0);
    sheet.put(sparkle, 32, 0);
    sheet.put(streak, 64, 0);
    sheet.put(grain, 64, 16);
    const std::string sprites =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<!-- The board's particle sprites, drawn by board_art_gen; rectangles are v0 top, v1 left, v2 bottom, v3 right. -->\n"
        "<root>\n"
        "  <spark><Image0 v=\"board_fx_png\"/><SrcRect0 v0=\"0\" v1=\"0\" v2=\"32\" v3=\"32\"/></spark>\n"
        "  <sparkle><Image0 v=\"board_fx_png\"/><SrcRect0 v0=\"0\" v1=\"32\" v2=\"32\" v3=\"64\"/></sparkle>\n"
        "  <streak><Image0 v=\"board_fx_png\"/><SrcRect0 v0=\"0\" v1=\"64\" v2=\"16\" v3=\"128\"/></streak>\n"
        "  <grain><Image0 v=\"board_fx_png\"/><SrcRect0 v0=\"16\" v1=\"64\" v2=\"32\" v3=\"80\"/></grain>\n"
        "</root>\n";
    const std::string dir = media + "/particles/board";
    bool ok = sheet.write(dir + "/board_fx.png") && writeText(dir + "/board_fx.xml", sprites);
    ok = ok && writeEffect(hintFx(), dir + "/hint.xml") && writeEffect(waveFx(0.0f), dir + "/wave_hor.xml") &&
         writeEffect(waveFx(90.0f), dir + "/wave_ver.xml") && writeEffect(waveFx(45.0f), dir + "/wave_tl.xml") &&
         writeEffect(waveFx(-45.0f), dir + "/wave_tr.xml") &&
         writeEffect(tileExplosionFx(), dir + "/explosion_orange_tile.xml");
    ok = ok && writeEffect(chipPopFx(), dir + "/chip_destroy.xml") &&
         writeEffect(chipDestroyFx("s_wall_3", QV::Color::fromBytes(220, 214, 200, 255)), dir + "/wall_destroy.xml");
    ok = ok && writeEffect(flyTrailFx(QV::Color::fromBytes(255, 236, 170, 255)), dir + "/fly_trail.xml");
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: board_art_gen <media directory>\n");
        return 2;
    }
    const std::string media = argv[1];
    for (const char* sub : {"/images/board", "/sprites", "/particles/board"})
        std::filesystem::create_directories(media + sub);
    QV::ObjectFactory factory;
    QV::ParticleSystem system;  // registers the classes the effect files name
    const bool ok = writeChips(media) && writeTiles(media) && writeNormalMapsAndRing(media) && writeParticles(media);
    if (!ok) return 1;
    std::printf("wrote the board's art into %s\n", media.c_str());
    return 0;
}

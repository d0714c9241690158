// Shading and PNG writing shared by the interface picture tools: one light
// from the top left, raised shapes with rims, 4 x 4 supersampled pictures.
// Each tool names itself in kPictureTool before including this.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "image_encode.h"

namespace {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;  // straight colour 0..1
};

Rgba hex(uint32_t rgb, double a = 1.0) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, a};
}

Rgba mix(const Rgba& x, const Rgba& y, double t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Rgba scaled(const Rgba& c, double k) {
    return {std::min(1.0, c.r * k), std::min(1.0, c.g * k), std::min(1.0, c.b * k), c.a};
}

// Source over destination, both straight alpha.
Rgba over(const Rgba& src, const Rgba& dst) {
    const double a = src.a + dst.a * (1 - src.a);
    if (a <= 0) return {};
    auto ch = [&](double s, double d) { return (s * src.a + d * dst.a * (1 - src.a)) / a; };
    return {ch(src.r, dst.r), ch(src.g, dst.g), ch(src.b, dst.b), a};
}

// Signed distance to a rounded rectangle (negative inside).
double roundedBox(double x, double y, double left, double top, double right, double bottom, double radius) {
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    const double hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
    const double qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

double smooth(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// A raised shape: soft shadow, darker outline, gradient body, one highlight.
struct Raised {
    double left, top, right, bottom, radius;
    Rgba topColor, bottomColor, outline;
    double outlineWidth = 2;
    double shadowOffset = 3, shadowBlur = 3, shadowAlpha = 0.35;
    double highlight = 0.35;
};

Rgba shade(const Raised& s, double x, double y) {
    Rgba out;
    const double ds = roundedBox(x - s.shadowOffset, y - s.shadowOffset, s.left, s.top, s.right, s.bottom, s.radius);
    out = over(Rgba{0, 0, 0, s.shadowAlpha * smooth(s.shadowBlur, -s.shadowBlur, ds)}, out);
    const double d = roundedBox(x, y, s.left, s.top, s.right, s.bottom, s.radius);
    if (d > 0) return out;
    const double t = (y - s.top) / (s.bottom - s.top);
    Rgba body = mix(s.topColor, s.bottomColor, t);
    // The highlight: an ellipse over the upper left part of the body.
    const double ex = (x - (s.left + (s.right - s.left) * 0.38)) / ((s.right - s.left) * 0.42);
    const double ey = (y - (s.top + (s.bottom - s.top) * 0.22)) / ((s.bottom - s.top) * 0.22);
    const double inEllipse = smooth(1.0, 0.8, std::hypot(ex, ey));
    body = over(Rgba{1, 1, 1, s.highlight * inEllipse}, body);
    return over(d > -s.outlineWidth ? s.outline : body, out);
}

// The windows' cream panel with an inner line 12 px inside its rim and the red
// title ribbon across its top, from ribbonLeft to ribbonRight, ribbonBottom high.
Rgba creamPanel(double x, double y, double left, double top, double right, double bottom, double ribbonLeft,
                double ribbonRight, double ribbonBottom) {
    Raised body{left, top, right, bottom, 18, hex(0xFFF6E5), hex(0xF2DDB6), hex(0x8A5A2B)};
    body.outlineWidth = 3;
    body.highlight = 0.0;
    Rgba out = shade(body, x, y);
    const double inner = roundedBox(x, y, left + 12, top + 12, right - 12, bottom - 12, 12);
    if (std::fabs(inner) < 0.8) out = over(hex(0xC9A36B, 0.8), out);
    Raised ribbon{ribbonLeft, 2, ribbonRight, ribbonBottom, 12, hex(0xD64A3B), hex(0xA93226), hex(0x7B241C)};
    ribbon.shadowOffset = 2;
    ribbon.highlight = 0.3;
    return over(shade(ribbon, x, y), out);
}

// The small cream panel (no inner line) under a red ribbon; `inside`, when
// given, is laid over the body before the ribbon.
Rgba smallCreamPanel(double x, double y, double left, double top, double right, double bottom, double ribbonLeft,
                     double ribbonRight, double ribbonBottom, double ribbonRadius, const Rgba* inside = nullptr) {
    Raised body{left, top, right, bottom, 14, hex(0xFFF6E5), hex(0xF4E1BE), hex(0x8A5A2B)};
    body.outlineWidth = 3;
    body.highlight = 0.0;
    Rgba out = shade(body, x, y);
    if (inside) out = over(*inside, out);
    Raised ribbon{ribbonLeft, 2, ribbonRight, ribbonBottom, ribbonRadius, hex(0xD64A3B), hex(0xA93226), hex(0x7B241C)};
    ribbon.shadowOffset = 2;
    ribbon.highlight = 0.3;
    return over(shade(ribbon, x, y), out);
}

// A light card with a brown rim, right x bottom from (2, 2): shop rows, goal cards.
Rgba lightCard(double x, double y, double right, double bottom) {
    Raised card{2, 2, right, bottom, 12, hex(0xFFFDF6), hex(0xEBD3A8), hex(0xA0763F)};
    card.shadowOffset = 2;
    card.shadowAlpha = 0.25;
    card.highlight = 0.12;
    return shade(card, x, y);
}

using Shader = std::function<Rgba(double, double)>;

bool writePicture(const std::string& path, int w, int h, const Shader& shader) {
    const int n = 4;
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < n; ++sy) {
                for (int sx = 0; sx < n; ++sx) {
                    const Rgba c = shader(x + (sx + 0.5) / n, y + (sy + 0.5) / n);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            uint8_t* out = &rgba[(size_t(y) * w + x) * 4];
            out[3] = uint8_t(std::lround(a / (n * n) * 255));
            if (a > 0) {
                out[0] = uint8_t(std::lround(std::min(1.0, r / a) * 255));
                out[1] = uint8_t(std::lround(std::min(1.0, g / a) * 255));
                out[2] = uint8_t(std::lround(std::min(1.0, b / a) * 255));
            }
        }
    }
    std::ofstream file(path, std::ios::binary);
    file << QV::encodePng(rgba, uint32_t(w), uint32_t(h));
    if (!file) std::fprintf(stderr, "%s: cannot write %s\n", kPictureTool, path.c_str());
    return bool(file);
}
}  // namespace

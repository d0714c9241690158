// Paints the pictures of the game flow's screens into a content directory:
//   flow_art_gen <media directory>
// images/flow/: the cutscene panels (intro in three pictures, the end of the
// first part), the cutscene backdrop and caption ribbon, the first episode's
// map, the water surfaces of the map's and the main menu's lakes and the level
// backgrounds (meadow and lake);
// images/flow_ui/: the map's top panel with its currency icons and the round
// "+" button of the star shop (idle, hover and pressed one above the other).
// One light from the top left; shapes get a gradient, a darker outline, a
// highlight and a soft shadow. Drawn at twice the size and halved.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "image_encode.h"

namespace {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

Rgba hex(uint32_t rgb, float a = 1.0f) {
    return {float((rgb >> 16) & 255) / 255.0f, float((rgb >> 8) & 255) / 255.0f, float(rgb & 255) / 255.0f, a};
}

Rgba mix(const Rgba& x, const Rgba& y, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Rgba shade(const Rgba& c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }
Rgba lighten(const Rgba& c, float k) { return mix(c, {1, 1, 1, c.a}, k); }

// Premultiplied-free float canvas at the supersampled size.
class Canvas {
public:
    Canvas(int w, int h) : mW(w * 2), mH(h * 2), mPixels(size_t(mW) * mH) {}
    int w() const { return mW; }
    int h() const { return mH; }
    const Rgba& pixel(int x, int y) const { return mPixels[size_t(y) * mW + x]; }

    void blend(int x, int y, const Rgba& c, float coverage = 1.0f) {
        if (x < 0 || y < 0 || x >= mW || y >= mH) return;
        const float a = c.a * coverage;
        if (a <= 0) return;
        Rgba& d = mPixels[size_t(y) * mW + x];
        const float outA = a + d.a * (1 - a);
        if (outA <= 0) return;
        d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
        d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
        d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
        d.a = outA;
    }

    // Paints every pixel where inside(x, y) holds (coordinates in final-size pixels).
    void fill(const std::function<bool(float, float)>& inside, const std::function<Rgba(float, float)>& colour) {
        for (int y = 0; y < mH; ++y)
            for (int x = 0; x < mW; ++x) {
                const float fx = (x + 0.5f) / 2, fy = (y + 0.5f) / 2;
                if (inside(fx, fy)) blend(x, y, colour(fx, fy));
            }
    }
    void fill(const std::function<bool(float, float)>& inside, const Rgba& colour) {
        fill(inside, [&](float, float) { return colour; });
    }

    // A soft shadow of a shape: several grown copies at falling opacity.
    void shadow(const std::function<bool(float, float)>& inside, float dx, float dy, float blur, float opacity = 0.35f) {
        const int steps = 4;
        for (int i = steps; i >= 1; --i) {
            const float grow = blur * float(i) / steps;
            const float a = opacity / steps;
            fill([&](float x, float y) {
                     for (int k = 0; k < 8; ++k) {
                         const float ang = float(k) * 0.785398f;
                         if (inside(x - dx + grow * std::cos(ang), y - dy + grow * std::sin(ang))) return true;
                     }
                     return inside(x - dx, y - dy);
                 },
                 Rgba{0, 0, 0, a});
        }
    }

    bool save(const std::string& path) const {
        const int w = mW / 2, h = mH / 2;
        std::vector<uint8_t> rgba(size_t(w) * h * 4);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float r = 0, g = 0, b = 0, a = 0;
                for (int k = 0; k < 4; ++k) {
                    const Rgba& p = mPixels[size_t(y * 2 + k / 2) * mW + size_t(x * 2 + k % 2)];
                    r += p.r * p.a;
                    g += p.g * p.a;
                    b += p.b * p.a;
                    a += p.a;
                }
                uint8_t* out = &rgba[(size_t(y) * w + x) * 4];
                out[0] = uint8_t(std::lround(std::clamp(a > 0 ? r / a : 0.0f, 0.0f, 1.0f) * 255));
                out[1] = uint8_t(std::lround(std::clamp(a > 0 ? g / a : 0.0f, 0.0f, 1.0f) * 255));
                out[2] = uint8_t(std::lround(std::clamp(a > 0 ? b / a : 0.0f, 0.0f, 1.0f) * 255));
                out[3] = uint8_t(std::lround(std::clamp(a / 4, 0.0f, 1.0f) * 255));
            }
        std::ofstream file(path, std::ios::binary);
        file << QV::encodePng(rgba, uint32_t(w), uint32_t(h));
        if (!file) std::fprintf(stderr, "flow_art_gen: cannot write %s\n", path.c_str());
        return bool(file);
    }

private:
    int mW, mH;
    std::vector<Rgba> mPixels;
};

using Shape = std::function<bool(float, float)>;

Shape circle(float cx, float cy, float r) {
    return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}
Shape ellipse(float cx, float cy, float rx, float ry) {
    return [=](float x, float y) {
        const float u = (x - cx) / rx, v = (y - cy) / ry;
        return u * u + v * v <= 1;
    };
}
Shape roundRect(float l, float t, float r, float b, float radius) {
    return [=](float x, float y) {
        if (x < l || x > r || y < t || y > b) return false;
        const float cx = std::clamp(x, l + radius, r - radius), cy = std::clamp(y, t + radius, b - radius);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}
Shape polygon(std::vector<std::pair<float, float>> pts) {
    return [pts](float x, float y) {
        bool in = false;
        for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            const auto& a = pts[i];
            const auto& b = pts[j];
            if ((a.second > y) != (b.second > y) &&
                x < (b.first - a.first) * (y - a.second) / (b.second - a.second) + a.first)
                in = !in;
        }
        return in;
    };
}
Shape grown(const Shape& s, float by) {
    return [=](float x, float y) {
        if (s(x, y)) return true;
        for (int k = 0; k < 8; ++k) {
            const float ang = float(k) * 0.785398f;
            if (s(x + by * std::cos(ang), y + by * std::sin(ang))) return true;
        }
        return false;
    };
}
Shape regular(float cx, float cy, float r, int n, float turn, float inner = 0) {
    std::vector<std::pair<float, float>> pts;
    const int count = inner > 0 ? n * 2 : n;
    for (int i = 0; i < count; ++i) {
        const float rr = (inner > 0 && i % 2) ? inner : r;
        const float a = turn + float(i) * 6.2831853f / float(count);
        pts.push_back({cx + rr * std::cos(a), cy + rr * std::sin(a)});
    }
    return polygon(pts);
}

// A built shape: shadow, darker outline, vertical gradient, one highlight.
void solid(Canvas& c, const Shape& s, const Rgba& base, float top, float bottom, float outline = 2.0f,
           bool withShadow = true) {
    if (withShadow) c.shadow(s, 2.5f, 2.5f, 3.0f);
    if (outline > 0) c.fill(grown(s, outline), shade(base, 0.55f));
    c.fill(s, [&](float, float y) { return mix(lighten(base, 0.25f), shade(base, 0.85f), (y - top) / (bottom - top)); });
}

void highlight(Canvas& c, float cx, float cy, float rx, float ry, float opacity = 0.38f) {
    c.fill(ellipse(cx, cy, rx, ry), Rgba{1, 1, 1, opacity});
}

float hillHeight(float x, float base, float amp, float freq, float phase) {
    return base - amp * (0.6f * std::sin(x * freq + phase) + 0.4f * std::sin(x * freq * 2.3f + phase * 1.7f));
}

void sky(Canvas& c, float w, float h, const Rgba& top, const Rgba& bottom) {
    c.fill([](float, float) { return true; }, [&](float, float y) { return mix(top, bottom, y / h); });
    (void)w;
}

void hills(Canvas& c, float base, float amp, float freq, float phase, const Rgba& top, const Rgba& bottom, float h) {
    c.fill([=](float x, float y) { return y >= hillHeight(x, base, amp, freq, phase); },
           [=](float, float y) { return mix(top, bottom, (y - (base - amp)) / (h - (base - amp))); });
}

// The chip gems of the board, for the pictures that show them.
void gem(Canvas& c, int kind, float cx, float cy, float r) {
    static const uint32_t colours[6] = {0xE5383B, 0x3FB950, 0x2F81F7, 0xF2CC0F, 0xBC4FD9, 0xF0883E};
    const Rgba base = hex(colours[kind % 6]);
    Shape s;
    switch (kind % 6) {
        case 0: s = circle(cx, cy, r); break;
        case 1: s = polygon({{cx, cy - r}, {cx + r * 0.8f, cy + r * 0.2f}, {cx + r * 0.5f, cy + r * 0.85f},
                             {cx - r * 0.5f, cy + r * 0.85f}, {cx - r * 0.8f, cy + r * 0.2f}}); break;
        case 2: s = regular(cx, cy, r * 1.05f, 8, 0.3927f); break;
        case 3: s = regular(cx, cy, r * 1.1f, 5, -1.5708f, r * 0.5f); break;
        case 4: s = regular(cx, cy, r, 6, 0.0f); break;
        default: s = polygon({{cx, cy - r * 1.1f}, {cx + r * 0.85f, cy}, {cx, cy + r * 1.1f}, {cx - r * 0.85f, cy}}); break;
    }
    solid(c, s, base, cy - r, cy + r, 2.0f);
    highlight(c, cx - r * 0.3f, cy - r * 0.35f, r * 0.35f, r * 0.22f);
}

void stars(Canvas& c, float w, float h, int count, unsigned seed) {
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        const float x = float((seed >> 8) % 10000) / 10000.0f * w;
        seed = seed * 1103515245u + 12345u;
        const float y = float((seed >> 8) % 10000) / 10000.0f * h;
        seed = seed * 1103515245u + 12345u;
        const float r = 0.6f + float((seed >> 8) % 100) / 100.0f * 1.2f;
        c.fill(circle(x, y, r), Rgba{1, 1, 0.9f, 0.85f});
    }
}

// The panel frame every cutscene picture carries: rounded corners, a wooden
// outline and a thin light inner edge; outside the frame stays clear.
void frame(Canvas& c, float w, float h, const std::function<void(Canvas&)>& paint) {
    Canvas inner{int(w), int(h)};
    paint(inner);
    const Shape panel = roundRect(6, 6, w - 6, h - 6, 18);
    const Shape picture = roundRect(14, 14, w - 14, h - 14, 12);
    c.fill(grown(panel, 2), hex(0x5E3B1A));
    c.fill(panel, [&](float, float y) { return mix(hex(0xB07A45), hex(0x8A5A2B), y / h); });
    for (int y = 0; y < c.h(); ++y)
        for (int x = 0; x < c.w(); ++x) {
            const float fx = (x + 0.5f) / 2, fy = (y + 0.5f) / 2;
            if (picture(fx, fy)) c.blend(x, y, inner.pixel(x, y));
        }
    c.fill([&](float x, float y) { return picture(x, y) && !roundRect(16, 16, w - 16, h - 16, 11)(x, y); },
           Rgba{1, 0.96f, 0.85f, 0.5f});
}

// A coin with a darker rim and an embossed star; silver or gold.
void coin(Canvas& c, float cx, float cy, float r, bool gold) {
    const Rgba base = gold ? hex(0xF2C230) : hex(0xC9CED6);
    solid(c, circle(cx, cy, r), base, cy - r, cy + r, 2.0f);
    c.fill(circle(cx, cy, r * 0.74f), [&](float, float y) {
        return mix(shade(base, 0.92f), lighten(base, 0.2f), (y - cy + r) / (2 * r));
    });
    c.fill(regular(cx + 0.6f, cy + 0.8f, r * 0.5f, 5, -1.5708f, r * 0.22f), shade(base, 0.62f));
    c.fill(regular(cx, cy, r * 0.5f, 5, -1.5708f, r * 0.22f), lighten(base, 0.35f));
    highlight(c, cx - r * 0.35f, cy - r * 0.45f, r * 0.35f, r * 0.18f, 0.45f);
}

// The gold five-point star of the star currency.
void starIcon(Canvas& c, float cx, float cy, float r) {
    solid(c, regular(cx, cy, r, 5, -1.5708f, r * 0.48f), hex(0xF5C518), cy - r, cy + r, 2.0f);
    highlight(c, cx - r * 0.25f, cy - r * 0.35f, r * 0.28f, r * 0.14f, 0.45f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: flow_art_gen <media directory>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/images/flow/";
    std::filesystem::create_directories(dir);
    bool ok = true;
    const float W = 960, H = 540;

    {   // The valley at dawn.
        Canvas c{int(W), int(H)};
        frame(c, W, H, [&](Canvas& p) {
            sky(p, W, H, hex(0x6A7FD0), hex(0xF6C28B));
            p.fill(circle(700, 300, 70), [](float, float y) { return mix(hex(0xFFF3C4), hex(0xFFC46B), (y - 230) / 140); });
            p.fill(circle(700, 300, 110), Rgba{1, 0.9f, 0.6f, 0.18f});
            hills(p, 330, 40, 0.010f, 0.5f, hex(0x7E8FB8), hex(0x9AA6C4), H);
            hills(p, 390, 35, 0.014f, 2.0f, hex(0x6FA65A), hex(0x3E7A3A), H);
            // Soft clouds catching the first light.
            for (int i = 0; i < 3; ++i) {
                const float x = 170 + float(i) * 260, y = 90 + float(i % 2) * 50;
                const Shape cloud = [=](float px, float py) {
                    return ellipse(x - 34, y, 44, 20)(px, py) || ellipse(x, y - 12, 44, 20)(px, py) ||
                           ellipse(x + 34, y, 44, 20)(px, py);
                };
                p.fill(cloud, [=](float, float py) { return mix(Rgba{1, 0.97f, 0.93f, 0.7f}, Rgba{0.95f, 0.8f, 0.78f, 0.6f}, (py - y + 32) / 52); });
            }
            hills(p, 470, 25, 0.02f, 4.0f, hex(0x4F8F3F), hex(0x2F5F2A), H);
            for (int i = 0; i < 5; ++i) {
                const float x = 120 + float(i) * 170, y = hillHeight(x, 470, 25, 0.02f, 4.0f);
                solid(p, roundRect(x - 4, y - 30, x + 4, y + 4, 2), hex(0x6B4423), y - 30, y + 4, 1.5f);
                const Shape crown = [=](float px, float py) {
                    return circle(x, y - 50, 22)(px, py) || circle(x - 16, y - 34, 17)(px, py) || circle(x + 16, y - 34, 17)(px, py);
                };
                solid(p, crown, hex(0x2E7D3A), y - 72, y - 18, 2.0f);
                highlight(p, x - 8, y - 60, 9, 5, 0.25f);
            }
        });
        ok &= c.save(dir + "cutscene_intro_1.png");
    }
    {   // A shard of light falls into the spring at night.
        Canvas c{int(W), int(H)};
        frame(c, W, H, [&](Canvas& p) {
            sky(p, W, H, hex(0x141A3C), hex(0x3B3470));
            stars(p, W, 330, 90, 7);
            hills(p, 360, 30, 0.012f, 1.0f, hex(0x2A3358), hex(0x222A48), H);
            p.fill(ellipse(480, 450, 300, 60), [](float, float y) { return mix(hex(0x2E5C9A), hex(0x183863), (y - 390) / 120); });
            p.fill(ellipse(480, 450, 120, 22), Rgba{0.8f, 0.95f, 1.0f, 0.25f});
            // The falling trail and its glow.
            p.fill([](float x, float y) {
                       const float t = (y - 60) / 300;
                       return t >= 0 && t <= 1 && std::fabs(x - (330 + 150 * t)) < 2 + 10 * t;
                   },
                   [](float, float y) { return Rgba{1, 0.95f, 0.7f, 0.15f + 0.6f * (y - 60) / 300}; });
            for (int i = 4; i >= 1; --i) p.fill(circle(480, 370, 16.0f * float(i)), Rgba{1, 0.9f, 0.5f, 0.08f});
            gem(p, 3, 480, 370, 26);
        });
        ok &= c.save(dir + "cutscene_intro_2.png");
    }
    {   // The gems scattered along the stone path.
        Canvas c{int(W), int(H)};
        frame(c, W, H, [&](Canvas& p) {
            sky(p, W, H, hex(0x7EC3F0), hex(0xD9F0FF));
            hills(p, 250, 40, 0.009f, 3.0f, hex(0x8FA3C8), hex(0xA9B8D6), H);
            hills(p, 320, 30, 0.013f, 0.3f, hex(0x7DBB5F), hex(0x4F8F3F), H);
            for (int i = 0; i < 11; ++i) {
                const float t = float(i) / 10;
                const float y = 520 - t * 230, x = 480 + 220 * std::sin(t * 5.0f) * (1 - 0.6f * t);
                const float r = 26 - 15 * t;
                solid(p, ellipse(x, y, r * 1.4f, r * 0.75f), hex(0xD9A56A), y - r, y + r, 1.5f);
                highlight(p, x - r * 0.4f, y - r * 0.3f, r * 0.5f, r * 0.2f, 0.3f);
            }
            const float gx[6] = {250, 690, 330, 610, 180, 790}, gy[6] = {430, 380, 330, 300, 360, 450};
            for (int k = 0; k < 6; ++k) gem(p, k, gx[k], gy[k], 20);
        });
        ok &= c.save(dir + "cutscene_intro_3.png");
    }
    {   // Lanterns over the village bridge: the first part is done.
        Canvas c{int(W), int(H)};
        frame(c, W, H, [&](Canvas& p) {
            sky(p, W, H, hex(0x3A2E6B), hex(0xF29E6B));
            hills(p, 330, 35, 0.011f, 2.5f, hex(0x5A4E7A), hex(0x6C5A84), H);
            p.fill([](float, float y) { return y > 405; }, [](float, float y) { return mix(hex(0x4A6FA8), hex(0x223F6E), (y - 405) / 135); });
            // The far bank's house, behind the bridge.
            solid(p, roundRect(760, 300, 850, 362, 4), hex(0xC89B6B), 300, 362);
            solid(p, polygon({{750, 302}, {805, 262}, {860, 302}}), hex(0xB0413E), 262, 302);
            p.fill(roundRect(793, 320, 816, 343, 3), hex(0xFFD86B));
            // The bridge's arch and deck.
            const Shape arch = [](float x, float y) {
                const float u = (x - 480) / 260;
                return std::fabs(u) <= 1 && y >= 380 - 60 * (1 - u * u) && y <= 400 - 60 * (1 - u * u) + 10;
            };
            solid(p, arch, hex(0xA0704A), 320, 410, 2.0f);
            for (int i = 0; i < 6; ++i) {
                const float x = 290 + float(i) * 76.0f, u = (x - 480) / 260, y = 360 - 60 * (1 - u * u);
                p.fill([=](float px, float py) { return std::fabs(px - x) < 1.5f && py > y - 40 && py < y + 22; }, hex(0x5E3B1A));
                // Its light in the water.
                p.fill(ellipse(x, 440 + float(i % 3) * 14, 10, 3), Rgba{1, 0.85f, 0.5f, 0.35f});
                for (int g = 3; g >= 1; --g) p.fill(circle(x, y - 48, 7.0f * float(g)), Rgba{1, 0.8f, 0.4f, 0.12f});
                solid(p, ellipse(x, y - 48, 9, 12), hex(0xF4A23A), y - 60, y - 36, 1.5f, false);
            }
        });
        ok &= c.save(dir + "cutscene_part1_end.png");
    }
    {   // The dark backdrop behind the cutscene panels (stretched).
        Canvas c(64, 64);
        c.fill([](float, float) { return true; }, [](float x, float y) {
            const float d = std::hypot(x - 32, y - 32) / 45;
            return mix(hex(0x3A2E55), hex(0x140F22), d);
        });
        ok &= c.save(dir + "cutscene_back.png");
    }
    {   // The caption ribbon.
        Canvas c(760, 76);
        const Shape ribbon = roundRect(8, 8, 748, 64, 26);
        solid(c, ribbon, hex(0xC0392B), 8, 64, 2.0f);
        highlight(c, 200, 20, 150, 6, 0.22f);
        ok &= c.save(dir + "caption_ribbon.png");
    }
    const std::string uiDir = std::string(argv[1]) + "/images/flow_ui/";
    std::filesystem::create_directories(uiDir);
    // A tree of the map: trunk and a three-ball crown in the given green.
    const auto mapTree = [](Canvas& c, float x, float y, const Rgba& crownColour) {
        solid(c, roundRect(x - 4, y - 30, x + 4, y + 4, 2), hex(0x6B4423), y - 30, y + 4, 1.5f);
        const Shape crown = [=](float qx, float qy) {
            return circle(x, y - 50, 22)(qx, qy) || circle(x - 16, y - 34, 17)(qx, qy) || circle(x + 16, y - 34, 17)(qx, qy);
        };
        solid(c, crown, crownColour, y - 72, y - 18, 2.0f);
        highlight(c, x - 8, y - 60, 9, 5, 0.25f);
    };
    // The dotted path between level stones, each stone a flat oval of warm earth.
    const auto mapPath = [](Canvas& c, const std::vector<std::pair<float, float>>& points, size_t stones) {
        for (size_t i = 0; i + 1 < points.size(); ++i)
            for (int k = 1; k < 6; ++k) {
                const float t = float(k) / 6;
                const float x = points[i].first + (points[i + 1].first - points[i].first) * t;
                const float y = points[i].second + (points[i + 1].second - points[i].second) * t + 10 * std::sin(t * 3.14f);
                solid(c, ellipse(x, y, 9, 5), hex(0xD9A56A), y - 5, y + 5, 1.0f, false);
            }
        for (size_t i = 0; i < stones && i < points.size(); ++i) {
            const float x = points[i].first, y = points[i].second;
            solid(c, ellipse(x, y, 34, 18), hex(0xCFA47A), y - 18, y + 18, 2.0f);
            highlight(c, x - 10, y - 7, 12, 4, 0.3f);
        }
    };
    const auto mapVignette = [](Canvas& c, float w, float h) {
        c.fill([](float, float) { return true; }, [&](float x, float y) {
            const float dx = (x - w / 2) / (w * 0.62f), dy = (y - h / 2) / (h * 0.62f);
            const float d = std::clamp(std::sqrt(dx * dx + dy * dy) - 0.55f, 0.0f, 1.0f);
            return Rgba{0.05f, 0.08f, 0.12f, 0.45f * d * d * 2.2f};
        });
    };
    {   // The first episode's map, two screens high: the meadow with its lake below, a stream
        // with the gate of the second part, the upland path and the village at the top.
        // World y = picture y - 720 (the map scene places the picture there).
        const float w = 1280, h = 1440;
        Canvas c{int(w), int(h)};
        sky(c, w, 320, hex(0x8CCBF2), hex(0xE3F4FF));
        hills(c, 170, 30, 0.008f, 1.2f, hex(0x9AAACB), hex(0xB3C0DA), h);
        hills(c, 250, 35, 0.011f, 2.6f, hex(0x86C067), hex(0x5E9E48), h);
        // The near meadow rolls in under the hills (no straight edge), lighter in its hollows.
        c.fill([](float x, float y) { return y >= hillHeight(x, 300, 16, 0.014f, 0.9f); }, [&](float x, float y) {
            const float t = 0.5f + 0.5f * std::sin(y * 0.006f + x * 0.002f);
            return mix(hex(0x72B857), hex(0x4F9142), t);
        });
        unsigned flowerSeed = 17;
        const auto scatter = [](unsigned& seed, float span) {
            seed = seed * 1103515245u + 12345u;
            return float((seed >> 8) % 10000) / 10000.0f * span;
        };
        for (int i = 0; i < 90; ++i) {  // small flowers in the grass
            const float x = scatter(flowerSeed, 1280), y = 330 + scatter(flowerSeed, 1100);
            c.fill(circle(x, y, 2.4f), i % 3 == 0 ? hex(0xFFF3C4) : i % 3 == 1 ? hex(0xF2A0C0) : hex(0xFFFFFF));
        }
        // The stream that bounds the first part, crossed where the gate stands.
        c.fill([](float x, float y) { return std::fabs(y - (1130 + 40 * std::sin(x * 0.006f))) < 16; },
               [](float, float y) { return mix(hex(0x5FA3DA), hex(0x2C5E8F), (y - 1110) / 40); });
        c.fill([](float x, float y) { return std::fabs(y - (1124 + 40 * std::sin(x * 0.006f))) < 2.5f; }, Rgba{1, 1, 1, 0.35f});
        // The lake's bed; the moving water lies over it.
        solid(c, ellipse(1000, 1285, 215, 80), hex(0x2C5E8F), 1205, 1365, 3.0f);
        // The path: part one, the gate, part two, then on to the village.
        mapPath(c, {{230, 1320}, {400, 1260}, {560, 1190}, {820, 1020}, {640, 850}, {420, 680}, {250, 600}, {380, 510},
                    {600, 560}, {800, 490}, {880, 380}, {760, 200}}, 3);
        mapPath(c, {{820, 1020}, {640, 850}, {420, 680}, {250, 600}, {380, 510}, {600, 560}, {800, 490}}, 7);
        // Trees along the meadow and a darker wood on the upland.
        const float tx[10] = {90, 320, 640, 470, 1180, 160, 700, 1010, 250, 1150};
        const float ty[10] = {1170, 1140, 1280, 1080, 1100, 1410, 1410, 930, 900, 760};
        for (int i = 0; i < 10; ++i) mapTree(c, tx[i], ty[i], hex(0x2E7D3A));
        const float ux[9] = {120, 300, 880, 1060, 980, 200, 130, 1200, 380};
        const float uy[9] = {560, 470, 620, 480, 330, 330, 760, 600, 280};
        for (int i = 0; i < 9; ++i) mapTree(c, ux[i], uy[i], hex(0x23663A));
        // The village the path leads to.
        for (int i = 0; i < 4; ++i) {
            const float x = 700 + float(i) * 60, y = 190 - float(i % 2) * 18;
            solid(c, roundRect(x - 20, y - 28, x + 20, y, 3), hex(0xE3C9A0), y - 28, y);
            solid(c, polygon({{x - 26, y - 26}, {x, y - 50}, {x + 26, y - 26}}), hex(0xB0413E), y - 50, y - 26);
            c.fill(roundRect(x - 6, y - 20, x + 6, y - 8, 2), hex(0xFFD86B));
        }
        mapVignette(c, w, h);
        ok &= c.save(dir + "map_episode_1.png");
    }
    {   // The second episode's map, one and a half screens: the autumn wood beyond the
        // village, its path climbing from the bottom. World y = picture y - 360.
        const float w = 1280, h = 1080;
        Canvas c{int(w), int(h)};
        sky(c, w, 300, hex(0xF2B880), hex(0xFCE6C8));
        hills(c, 160, 28, 0.009f, 0.7f, hex(0xB29AB8), hex(0xC8B6CC), h);
        hills(c, 240, 30, 0.012f, 2.1f, hex(0xC9A24E), hex(0xA07C36), h);
        c.fill([](float x, float y) { return y >= hillHeight(x, 290, 14, 0.013f, 1.4f); }, [&](float x, float y) {
            const float t = 0.5f + 0.5f * std::sin(y * 0.007f + x * 0.003f);
            return mix(hex(0xC7A04E), hex(0x9C7C36), t);
        });
        unsigned leafSeed = 29;
        const auto scatter = [](unsigned& seed, float span) {
            seed = seed * 1103515245u + 12345u;
            return float((seed >> 8) % 10000) / 10000.0f * span;
        };
        for (int i = 0; i < 120; ++i) {  // fallen leaves
            const float x = scatter(leafSeed, 1280), y = 310 + scatter(leafSeed, 760);
            c.fill(ellipse(x, y, 4.5f, 2.4f), i % 3 == 0 ? hex(0xD9772B) : i % 3 == 1 ? hex(0xB8452C) : hex(0xE8B24A));
        }
        // A still pool in the wood.
        solid(c, ellipse(700, 1010, 130, 40), hex(0x3A6E8F), 970, 1050, 3.0f);
        c.fill(ellipse(670, 998, 55, 5), Rgba{1, 0.9f, 0.7f, 0.3f});
        mapPath(c, {{320, 920}, {640, 740}, {900, 520}, {760, 300}}, 2);
        const float tx[9] = {120, 470, 900, 1150, 260, 1060, 560, 180, 1200};
        const float ty[9] = {860, 960, 900, 760, 640, 600, 470, 420, 380};
        for (int i = 0; i < 9; ++i) mapTree(c, tx[i], ty[i], i % 2 ? hex(0xD9772B) : hex(0xB8452C));
        mapVignette(c, w, h);
        ok &= c.save(dir + "map_episode_2.png");
    }
    {   // The gate between parts: two posts, a barred gate and a sign holding the star count.
        const float w = 200, h = 170;
        Canvas c{int(w), int(h)};
        for (float x : {28.0f, 172.0f}) {
            solid(c, roundRect(x - 10, 40, x + 10, 160, 4), hex(0x7A4E2A), 40, 160, 2.0f);
            solid(c, circle(x, 38, 13), hex(0x8E5F34), 25, 51, 2.0f);
        }
        for (float y : {78.0f, 122.0f}) solid(c, roundRect(36, y - 7, 164, y + 7, 3), hex(0xA0703F), y - 7, y + 7, 2.0f);
        solid(c, polygon({{40, 128}, {52, 128}, {160, 72}, {148, 72}}), hex(0x946537), 72, 128, 1.5f);
        solid(c, roundRect(58, 4, 142, 56, 9), hex(0xF4E1BE), 4, 56, 2.5f);
        starIcon(c, 80, 30, 15);
        ok &= c.save(dir + "map_blocker.png");
    }
    {   // The player's marker: a red pin with a light ring around a star, and its shadow.
        const float w = 72, h = 96;
        Canvas c{int(w), int(h)};
        c.fill(ellipse(36, 88, 18, 5), Rgba{0, 0, 0, 0.3f});
        const Shape pin = [](float x, float y) {
            return circle(36, 32, 26)(x, y) || polygon({{14, 44}, {58, 44}, {36, 86}})(x, y);
        };
        solid(c, pin, hex(0xD64541), 6, 86, 2.5f);
        c.fill(circle(36, 32, 17), hex(0xFFF6E5));
        starIcon(c, 36, 33, 12);
        highlight(c, 26, 18, 8, 4, 0.45f);
        ok &= c.save(dir + "map_player.png");
    }
    {   // The silver that flies to its counter.
        Canvas c{48, 48};
        coin(c, 24, 24, 19, false);
        ok &= c.save(dir + "map_award_silver.png");
    }
    {   // The episode arrows: a green round button with a white arrow, up (next) then down (previous).
        const float s = 84;
        Canvas c{int(s), int(s * 2)};
        for (int k = 0; k < 2; ++k) {
            const float cx = s / 2, cy = float(k) * s + s / 2, r = 34;
            solid(c, circle(cx, cy, r), hex(0x43A047), cy - r, cy + r, 2.5f);
            highlight(c, cx - 9, cy - 16, 13, 6, 0.4f);
            const float d = k == 0 ? -1.0f : 1.0f;
            c.fill(polygon({{cx - 18, cy - 2 * d}, {cx, cy + 18 * d}, {cx + 18, cy - 2 * d}}), Rgba{1, 1, 1, 1});
            c.fill(roundRect(cx - 6, cy + std::min(-2 * d, -16 * d), cx + 6, cy + std::max(-2 * d, -16 * d), 2), Rgba{1, 1, 1, 1});
        }
        ok &= c.save(dir + "map_arrows.png");
    }
    {   // Hearts: the panel slot (a heart, the count and the countdown) and the heart window's big heart.
        const auto heart = [](Canvas& c, float cx, float cy, float r) {
            const Shape shape = [=](float x, float y) {
                const float u = (x - cx) / r, v = (cy - y) / r;
                const float q = u * u + v * v - 1;
                return q * q * q - u * u * v * v * v <= 0;
            };
            solid(c, shape, hex(0xE0414F), cy - r, cy + r, 2.0f);
            highlight(c, cx - r * 0.45f, cy - r * 0.55f, r * 0.3f, r * 0.16f, 0.45f);
        };
        {
            const float w = 250, h = 80;
            Canvas c{int(w), int(h)};
            const Shape panel = roundRect(6, 6, w - 8, h - 10, 14);
            c.shadow(panel, 2.5f, 3.0f, 4.0f);
            c.fill(grown(panel, 3), hex(0x8A5A2B));
            c.fill(panel, [&](float, float y) { return mix(hex(0xFFF6E5), hex(0xF4E1BE), (y - 6) / (h - 16)); });
            for (const auto& [x0, x1] : {std::pair<float, float>{70, 118}, std::pair<float, float>{126, 232}}) {
                const Shape well = roundRect(x0, 20, x1, h - 24, 10);
                c.fill(grown(well, 1.5f), Rgba{0.54f, 0.35f, 0.17f, 0.55f});
                c.fill(well, [&](float, float y) { return mix(hex(0xE2C79B), hex(0xEED9B4), (y - 20) / (h - 44)); });
            }
            heart(c, 40, 37, 22);
            ok &= c.save(uiDir + "map_hearts.png");
        }
        {
            Canvas c{140, 140};
            heart(c, 70, 76, 52);
            ok &= c.save(uiDir + "heart_big.png");
        }
        {   // The mail button: an envelope on a round light button.
            Canvas c{56, 56};
            solid(c, circle(27, 27, 24), hex(0x3D7CC9), 3, 51, 2.0f);
            c.fill(roundRect(12, 17, 42, 38, 3), hex(0xFFF6E5));
            c.fill(polygon({{12, 18}, {42, 18}, {27, 30}}), hex(0xE2C79B));
            highlight(c, 20, 12, 8, 3, 0.35f);
            ok &= c.save(uiDir + "map_mail.png");
        }
    }
    // Water surfaces for the water meshes: ripples of light on blue, soft at the edges.
    const auto water = [&](const std::string& name, int w, int h, unsigned seed) {
        Canvas c{w, h};
        c.fill([](float, float) { return true; }, [&](float x, float y) {
            const float ex = std::min(x, float(w) - x) / (float(w) * 0.12f), ey = std::min(y, float(h) - y) / (float(h) * 0.3f);
            const float edge = std::clamp(std::min(ex, ey), 0.0f, 1.0f);
            return Rgba{0.25f + 0.1f * (1 - y / float(h)), 0.55f + 0.1f * (1 - y / float(h)), 0.85f, 0.8f * edge};
        });
        for (int i = 0; i < 26; ++i) {
            seed = seed * 1103515245u + 12345u;
            const float x = float((seed >> 8) % 1000) / 1000.0f * float(w);
            seed = seed * 1103515245u + 12345u;
            const float y = float(h) * (0.2f + 0.6f * float((seed >> 8) % 1000) / 1000.0f);
            const float len = 10 + float(i % 5) * 6;
            c.fill(ellipse(x, y, len, 1.6f), Rgba{1, 1, 1, 0.35f});
        }
        ok &= c.save(dir + name);
    };
    water("map_lake.png", 400, 110, 11);
    water("menu_lake.png", 560, 90, 5);

    // The level backgrounds, at half the design size (the scenes draw them twice as large):
    // a meadow in the morning and the lake of the second part, both with a soft vignette.
    auto vignette = [](Canvas& p, float w, float h) {
        p.fill([](float, float) { return true; }, [=](float x, float y) {
            const float e = std::hypot((x - w / 2) / (w * 0.62f), (y - h / 2) / (h * 0.62f));
            return Rgba{0.05f, 0.04f, 0.12f, std::clamp((e - 0.55f) * 0.9f, 0.0f, 0.45f)};
        });
    };
    auto trees = [](Canvas& p, float base, float amp, float freq, float phase, int count, float first, float step, float size) {
        for (int i = 0; i < count; ++i) {
            const float x = first + float(i) * step, y = hillHeight(x, base, amp, freq, phase) + 4;
            solid(p, roundRect(x - 0.15f * size, y - 1.2f * size, x + 0.15f * size, y + 0.1f * size, 2), hex(0x6B4423),
                  y - 1.2f * size, y, 1.5f);
            const Shape crown = [=](float px, float py) {
                return circle(x, y - 2.0f * size, 0.9f * size)(px, py) || circle(x - 0.65f * size, y - 1.4f * size, 0.7f * size)(px, py) ||
                       circle(x + 0.65f * size, y - 1.4f * size, 0.7f * size)(px, py);
            };
            solid(p, crown, hex(0x3E8E45), y - 2.9f * size, y - 0.7f * size, 2.0f);
            highlight(p, x - 0.35f * size, y - 2.35f * size, 0.35f * size, 0.2f * size, 0.25f);
        }
    };
    {
        const float w = 863, h = 485;
        Canvas c{int(w), int(h)};
        sky(c, w, h, hex(0x7EC3F0), hex(0xE6F4FF));
        c.fill(circle(140, 90, 46), [](float, float y) { return mix(hex(0xFFF8D6), hex(0xFFE08A), (y - 44) / 92); });
        c.fill(circle(140, 90, 80), Rgba{1, 0.95f, 0.7f, 0.2f});
        for (int i = 0; i < 4; ++i) {
            const float x = 260 + float(i) * 190, y = 70 + float(i % 2) * 40;
            const Shape cloud = [=](float px, float py) {
                return ellipse(x - 30, y, 38, 16)(px, py) || ellipse(x, y - 10, 40, 18)(px, py) || ellipse(x + 30, y, 38, 16)(px, py);
            };
            c.fill(cloud, [=](float, float py) { return mix(Rgba{1, 1, 1, 0.85f}, Rgba{0.86f, 0.92f, 1.0f, 0.75f}, (py - y + 28) / 46); });
        }
        hills(c, 250, 36, 0.008f, 1.3f, hex(0x8FA3C8), hex(0xA9B8D6), h);
        hills(c, 310, 30, 0.012f, 2.6f, hex(0x86C46A), hex(0x5A9A48), h);
        trees(c, 310, 30, 0.012f, 2.6f, 5, 60, 190, 14);
        hills(c, 380, 22, 0.017f, 0.4f, hex(0x6DB552), hex(0x3E7A3A), h);
        // Warm stones of the path winding up between the hills.
        for (int i = 0; i < 9; ++i) {
            const float t = float(i) / 8, x = 430 + 160 * std::sin(t * 3.1f) * (1 - t), y = 480 - t * 120;
            solid(c, ellipse(x, y, 22 - 12 * t, 9 - 5 * t), hex(0xE8C9A0), y - 9, y + 9, 1.5f);
        }
        for (int i = 0; i < 40; ++i) {  // small flowers in the near grass
            const float x = float((i * 397) % 863), y = 400 + float((i * 151) % 80);
            c.fill(circle(x, y, 2.2f), i % 3 == 0 ? hex(0xFFF3C4) : i % 3 == 1 ? hex(0xF2A0C0) : hex(0xFFFFFF));
        }
        vignette(c, w, h);
        ok &= c.save(dir + "level_back_meadow.png");
    }
    {
        const float w = 863, h = 485;
        Canvas c{int(w), int(h)};
        sky(c, w, h, hex(0x6FA3DE), hex(0xF4D9B8));
        c.fill(circle(700, 120, 40), [](float, float y) { return mix(hex(0xFFF3C4), hex(0xFFC46B), (y - 80) / 80); });
        hills(c, 230, 40, 0.007f, 0.2f, hex(0x7E8FB8), hex(0x9AA6C4), h);
        hills(c, 275, 26, 0.011f, 1.9f, hex(0x6FA65A), hex(0x4F8F3F), h);
        trees(c, 275, 26, 0.011f, 1.9f, 4, 90, 230, 12);
        // The lake: a band of water with light ripples, the far shore mirrored faintly.
        c.fill([](float, float y) { return y >= 300; }, [&](float, float y) { return mix(hex(0x4D8FCC), hex(0x1F4E86), (y - 300) / (h - 300)); });
        for (int i = 0; i < 26; ++i) {
            const float x = float((i * 331) % 863), y = 315 + float((i * 97) % 150), len = 18 + float(i % 5) * 8;
            c.fill(ellipse(x, y, len, 1.6f), Rgba{0.85f, 0.95f, 1.0f, 0.35f});
        }
        c.fill(ellipse(700, 330, 50, 6), Rgba{1, 0.9f, 0.6f, 0.35f});
        hills(c, 445, 14, 0.02f, 3.3f, hex(0x6DB552), hex(0x3E7A3A), h);
        vignette(c, w, h);
        ok &= c.save(dir + "level_back_lake.png");
    }

    {   // The map's top panel: three currency slots, each an icon and a well for its number.
        const float w = 560, h = 80;
        Canvas c{int(w), int(h)};
        const Shape panel = roundRect(6, 6, w - 8, h - 10, 14);
        c.shadow(panel, 2.5f, 3.0f, 4.0f);
        c.fill(grown(panel, 3), hex(0x8A5A2B));
        c.fill(panel, [&](float, float y) { return mix(hex(0xFFF6E5), hex(0xF4E1BE), (y - 6) / (h - 16)); });
        c.fill([&](float x, float y) { return panel(x, y) && !roundRect(9, 9, w - 11, h - 13, 12)(x, y); },
               Rgba{1, 1, 1, 0.55f});
        for (int i = 0; i < 3; ++i) {
            const float x = 18 + float(i) * 178;
            const Shape well = roundRect(x + 34, 20, x + 140, h - 24, 10);
            c.fill(grown(well, 1.5f), Rgba{0.54f, 0.35f, 0.17f, 0.55f});
            c.fill(well, [&](float, float y) { return mix(hex(0xE2C79B), hex(0xEED9B4), (y - 20) / (h - 44)); });
            if (i == 2) starIcon(c, x + 24, 36, 21);
            else coin(c, x + 24, 36, 19, i == 1);
        }
        ok &= c.save(uiDir + "map_top_panel.png");
    }
    {   // The round "+" of the star shop: idle, hover (lighter), pressed (darker, 2 px lower).
        const float s = 56;
        Canvas c{int(s), int(s * 3)};
        for (int k = 0; k < 3; ++k) {
            const float top = float(k) * s, dy = k == 2 ? 2.0f : 0.0f;
            const float cx = s / 2 - 1, cy = top + s / 2 - 1 + dy, r = 21;
            const Rgba base = k == 1 ? lighten(hex(0x43A047), 0.08f) : k == 2 ? shade(hex(0x2E7D32), 0.9f) : hex(0x43A047);
            solid(c, circle(cx, cy, r), base, cy - r, cy + r, 2.0f, k != 2);
            highlight(c, cx - 6, cy - 10, 10, 5, 0.4f);
            c.fill(roundRect(cx - 11, cy - 3.5f, cx + 11, cy + 3.5f, 2), Rgba{1, 1, 1, 1});
            c.fill(roundRect(cx - 3.5f, cy - 11, cx + 3.5f, cy + 11, 2), Rgba{1, 1, 1, 1});
        }
        ok &= c.save(uiDir + "map_plus.png");
    }
    return ok ? 0 : 1;
}

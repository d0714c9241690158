// Writes the pictures of the game's shell into a content directory:
//   logo_gen <media directory>
// images/logo_studio.png and images/logo_title.png (the start-up splashes,
// 1024 x 576), images/menu_backdrop.png (the main menu's backdrop),
// images/title_text.png (the title alone), images/cursor.png (the game's pointer) and images/screen_border.png.
// Everything is drawn at twice the size and halved, lit from the top left.
#include <ft2build.h>
#include FT_FREETYPE_H

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

struct Color {
    float r = 0, g = 0, b = 0, a = 0;
};

Color rgb(uint32_t hex, float a = 1.0f) {
    return {float((hex >> 16) & 255) / 255.0f, float((hex >> 8) & 255) / 255.0f, float(hex & 255) / 255.0f, a};
}

Color mix(const Color& x, const Color& y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

// A straight-alpha canvas with "over" compositing.
struct Canvas {
    int w, h;
    std::vector<Color> px;
    Canvas(int width, int height) : w(width), h(height), px(size_t(width) * height) {}

    void over(int x, int y, Color c, float coverage) {
        if (x < 0 || y < 0 || x >= w || y >= h || coverage <= 0.0f) return;
        c.a *= std::min(coverage, 1.0f);
        Color& d = px[size_t(y) * w + x];
        const float a = c.a + d.a * (1 - c.a);
        if (a <= 0) return;
        d.r = (c.r * c.a + d.r * d.a * (1 - c.a)) / a;
        d.g = (c.g * c.a + d.g * d.a * (1 - c.a)) / a;
        d.b = (c.b * c.a + d.b * d.a * (1 - c.a)) / a;
        d.a = a;
    }

    // A shape given by a signed distance (negative inside), filled by a colour function.
    void shape(const std::function<float(float, float)>& distance, const std::function<Color(float, float)>& fill) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const float d = distance(x + 0.5f, y + 0.5f);
                if (d < 1.0f) over(x, y, fill(x + 0.5f, y + 0.5f), std::clamp(0.5f - d, 0.0f, 1.0f));
            }
    }

    // A soft shadow of a shape, offset down-right.
    void shadow(const std::function<float(float, float)>& distance, float dx, float dy, float blur, float alpha) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const float d = distance(x + 0.5f - dx, y + 0.5f - dy);
                if (d < blur) over(x, y, {0, 0, 0, alpha}, std::clamp(0.5f - d / blur, 0.0f, 1.0f));
            }
    }

    // Halves both sides, averaging premultiplied colour.
    Canvas half() const {
        Canvas out(w / 2, h / 2);
        for (int y = 0; y < out.h; ++y)
            for (int x = 0; x < out.w; ++x) {
                Color sum;
                for (int k = 0; k < 4; ++k) {
                    const Color& c = px[size_t(2 * y + k / 2) * w + 2 * x + k % 2];
                    sum.r += c.r * c.a;
                    sum.g += c.g * c.a;
                    sum.b += c.b * c.a;
                    sum.a += c.a;
                }
                Color& o = out.px[size_t(y) * out.w + x];
                o.a = sum.a / 4;
                if (sum.a > 0) o = {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, o.a};
            }
        return out;
    }

    bool save(const std::string& path) const {
        std::vector<uint8_t> rgba(size_t(w) * h * 4);
        for (size_t i = 0; i < px.size(); ++i) {
            const Color& c = px[i];
            rgba[i * 4 + 0] = uint8_t(std::lround(std::clamp(c.r, 0.0f, 1.0f) * 255));
            rgba[i * 4 + 1] = uint8_t(std::lround(std::clamp(c.g, 0.0f, 1.0f) * 255));
            rgba[i * 4 + 2] = uint8_t(std::lround(std::clamp(c.b, 0.0f, 1.0f) * 255));
            rgba[i * 4 + 3] = uint8_t(std::lround(std::clamp(c.a, 0.0f, 1.0f) * 255));
        }
        std::ofstream file(path, std::ios::binary);
        file << QV::encodePng(rgba, uint32_t(w), uint32_t(h));
        if (!file) std::fprintf(stderr, "logo_gen: cannot write %s\n", path.c_str());
        return bool(file);
    }
};

// Text as a coverage mask, so it can be outlined, shadowed and shaded like any shape.
struct TextMask {
    int w = 0, h = 0;
    std::vector<float> cover;
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= w || y >= h) return 0.0f;
        return cover[size_t(y) * w + x];
    }
};

TextMask renderText(FT_Face face, const std::string& text, int pixelHeight) {
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelHeight));
    int width = 0;
    for (char c : text) {
        if (FT_Load_Char(face, FT_ULong(c), FT_LOAD_DEFAULT) == 0) width += int(face->glyph->advance.x >> 6);
    }
    TextMask mask;
    mask.w = width + pixelHeight / 2;
    mask.h = pixelHeight * 3 / 2;
    mask.cover.assign(size_t(mask.w) * mask.h, 0.0f);
    int pen = pixelHeight / 4;
    const int baseline = pixelHeight * 11 / 10;
    for (char c : text) {
        if (FT_Load_Char(face, FT_ULong(c), FT_LOAD_RENDER) != 0) continue;
        const FT_Bitmap& bm = face->glyph->bitmap;
        for (unsigned y = 0; y < bm.rows; ++y)
            for (unsigned x = 0; x < bm.width; ++x) {
                const int px = pen + face->glyph->bitmap_left + int(x);
                const int py = baseline - face->glyph->bitmap_top + int(y);
                if (px >= 0 && py >= 0 && px < mask.w && py < mask.h)
                    mask.cover[size_t(py) * mask.w + px] =
                        std::max(mask.cover[size_t(py) * mask.w + px], bm.buffer[y * bm.pitch + x] / 255.0f);
            }
        pen += int(face->glyph->advance.x >> 6);
    }
    return mask;
}

// The mask grown by r pixels (for outlines and shadows).
TextMask grow(const TextMask& m, int r) {
    TextMask out = m;
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float best = 0.0f;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    const float d = std::sqrt(float(dx * dx + dy * dy));
                    if (d > r + 0.5f) continue;
                    best = std::max(best, m.at(x + dx, y + dy) * std::clamp(r + 0.5f - d, 0.0f, 1.0f));
                }
            out.cover[size_t(y) * m.w + x] = best;
        }
    return out;
}

// Title text centred at (cx, top): soft shadow, dark outline, a vertical
// gradient fill lighter at the top and a thin highlight along the upper edges.
void drawTitle(Canvas& canvas, FT_Face face, const std::string& text, int size, float cx, float top, Color light,
               Color dark, Color outline, int outlineWidth) {
    const TextMask mask = renderText(face, text, size);
    const TextMask thick = grow(mask, outlineWidth);
    const int ox = int(cx) - mask.w / 2, oy = int(top);
    const TextMask blurred = grow(thick, outlineWidth);
    for (int y = 0; y < mask.h; ++y)
        for (int x = 0; x < mask.w; ++x) canvas.over(ox + x + 6, oy + y + 6, {0, 0, 0, 0.35f}, blurred.at(x, y) * 0.8f);
    for (int y = 0; y < mask.h; ++y)
        for (int x = 0; x < mask.w; ++x) canvas.over(ox + x, oy + y, outline, thick.at(x, y));
    for (int y = 0; y < mask.h; ++y) {
        const float t = float(y) / float(mask.h);
        const Color fill = mix(light, dark, std::clamp((t - 0.2f) / 0.6f, 0.0f, 1.0f));
        for (int x = 0; x < mask.w; ++x) {
            float c = mask.at(x, y);
            canvas.over(ox + x, oy + y, fill, c);
            // Light from the top left: an edge whose upper-left neighbour is empty catches it.
            const float edge = c * (1.0f - mask.at(x - 2, y - 2));
            canvas.over(ox + x, oy + y, {1, 1, 1, 0.55f}, edge);
        }
    }
}

float circle(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }

float roundedBox(float x, float y, float cx, float cy, float hw, float hh, float r) {
    const float qx = std::fabs(x - cx) - hw + r, qy = std::fabs(y - cy) - hh + r;
    return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - r;
}

// A rhombus of half-diagonals a (across) and b (up).
float rhombus(float x, float y, float cx, float cy, float a, float b) {
    const float dx = std::fabs(x - cx) / a, dy = std::fabs(y - cy) / b;
    return (dx + dy - 1.0f) * (a * b / std::hypot(a, b));
}

// A built gem: shadow, outline, vertical gradient, specular ellipse.
void drawGem(Canvas& c, const std::function<float(float, float)>& d, Color base, float cx, float cy, float size) {
    c.shadow(d, size * 0.06f, size * 0.08f, size * 0.12f, 0.35f);
    const Color edge = mix(base, {0, 0, 0, 1}, 0.45f);
    c.shape([&](float x, float y) { return d(x, y); }, [&](float, float) { return edge; });
    const float inset = std::max(2.0f, size * 0.05f);
    c.shape([&](float x, float y) { return d(x, y) + inset; },
            [&](float, float y) {
                const float t = std::clamp((y - (cy - size)) / (2 * size), 0.0f, 1.0f);
                return mix(mix(base, {1, 1, 1, 1}, 0.35f), mix(base, {0, 0, 0, 1}, 0.2f), t);
            });
    c.shape(
        [&](float x, float y) {
            const float ex = (x - (cx - size * 0.28f)) / (size * 0.34f), ey = (y - (cy - size * 0.36f)) / (size * 0.18f);
            return (std::hypot(ex, ey) - 1.0f) * size * 0.18f;
        },
        [&](float, float) { return Color{1, 1, 1, 0.4f}; });
}

// Rolling hills: a sine-sum silhouette filled with a gradient.
void drawHills(Canvas& c, float baseY, float amplitude, float phase, Color top, Color bottom) {
    for (int x = 0; x < c.w; ++x) {
        const float u = float(x) / float(c.w);
        const float ridge = baseY - amplitude * (0.6f * std::sin(u * 6.3f + phase) + 0.4f * std::sin(u * 13.1f + phase * 2));
        for (int y = std::max(0, int(ridge) - 1); y < c.h; ++y) {
            const float t = std::clamp((float(y) - ridge) / (float(c.h) - ridge), 0.0f, 1.0f);
            c.over(x, y, mix(top, bottom, t), std::clamp(float(y) + 1.0f - ridge, 0.0f, 1.0f));
        }
    }
}

void sky(Canvas& c, Color top, Color bottom) {
    for (int y = 0; y < c.h; ++y) {
        const Color row = mix(top, bottom, float(y) / float(c.h));
        for (int x = 0; x < c.w; ++x) c.px[size_t(y) * c.w + x] = row;
    }
}

void vignette(Canvas& c, float strength) {
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const float dx = (x - c.w / 2.0f) / (c.w / 2.0f), dy = (y - c.h / 2.0f) / (c.h / 2.0f);
            c.over(x, y, {0, 0, 0, 1}, std::clamp((dx * dx + dy * dy - 0.45f) * strength, 0.0f, 1.0f));
        }
}

// The studio: a deep night gradient, a faceted emblem and the studio name.
Canvas studioLogo(FT_Face bold, FT_Face regular) {
    Canvas c(2048, 1152);
    sky(c, rgb(0x23254F), rgb(0x0E0F24));
    const float cx = 1024, cy = 430;
    c.shape([&](float x, float y) { return circle(x, y, cx, cy, 260); },
            [&](float x, float y) { return Color{0.35f, 0.4f, 0.9f, 0.25f * std::clamp(1 - std::hypot(x - cx, y - cy) / 260, 0.0f, 1.0f)}; });
    drawGem(c, [&](float x, float y) { return rhombus(x, y, cx, cy, 150, 190); }, rgb(0x2F81F7), cx, cy, 190);
    drawGem(c, [&](float x, float y) { return rhombus(x, y, cx, cy + 10, 70, 95); }, rgb(0xBC4FD9), cx, cy, 95);
    drawTitle(c, bold, "VARNEL", 190, cx, 660, rgb(0xFFFFFF), rgb(0xC9D3F5), rgb(0x141530), 8);
    const TextMask sub = renderText(regular, "a studio of small bright games", 54);
    for (int y = 0; y < sub.h; ++y)
        for (int x = 0; x < sub.w; ++x) c.over(int(cx) - sub.w / 2 + x, 930 + y, rgb(0xA9B3E0), sub.at(x, y));
    vignette(c, 0.9f);
    return c.half();
}

// The game: a morning sky over hills, gems around the title.
Canvas titleLogo(FT_Face bold, bool withTitle) {
    Canvas c(2048, 1152);
    sky(c, rgb(0x6FB7F2), rgb(0xDDF1FF));
    // A low sun, top left, where the light comes from.
    c.shape([&](float x, float y) { return circle(x, y, 330, 250, 260); },
            [&](float x, float y) {
                return Color{1.0f, 0.97f, 0.85f, 0.5f * std::clamp(1 - std::hypot(x - 330, y - 250) / 260, 0.0f, 1.0f)};
            });
    drawHills(c, 760, 90, 0.4f, rgb(0x8EA7C9), rgb(0xB8C9E0));
    drawHills(c, 880, 70, 2.1f, rgb(0x5FAE5A), rgb(0x3E7D3F));
    drawHills(c, 1010, 50, 4.0f, rgb(0x4C9A48), rgb(0x2E6B30));
    if (withTitle) {
        drawTitle(c, bold, "Glimvale", 300, 1024, 260, rgb(0xFFE27A), rgb(0xF0A020), rgb(0x5A3210), 12);
    }
    const struct {
        float x, y, s;
        uint32_t color;
        int kind;
    } gems[] = {{300, 900, 70, 0xE5383B, 0}, {1750, 880, 80, 0x3FB950, 1}, {560, 1020, 55, 0xF0883E, 2},
                {1480, 1030, 60, 0x2F81F7, 3}, {1020, 980, 66, 0xBC4FD9, 4}};
    for (const auto& g : gems) {
        std::function<float(float, float)> d;
        switch (g.kind) {
            case 0: d = [g](float x, float y) { return circle(x, y, g.x, g.y, g.s); }; break;
            case 1: d = [g](float x, float y) { return circle(x, y, g.x, g.y + g.s * 0.15f, g.s * 0.85f) - std::max(0.0f, g.y - y) * 0.25f; }; break;
            case 2: d = [g](float x, float y) { return rhombus(x, y, g.x, g.y, g.s, g.s); }; break;
            case 3: d = [g](float x, float y) { return roundedBox(x, y, g.x, g.y, g.s * 0.85f, g.s * 0.85f, g.s * 0.3f); }; break;
            default: d = [g](float x, float y) {
                const float dx = std::fabs(x - g.x), dy = std::fabs(y - g.y);
                return std::max(dx * 0.866f + dy * 0.5f, dy) - g.s * 0.9f;
            };
        }
        drawGem(c, d, rgb(g.color), g.x, g.y, g.s);
    }
    vignette(c, 0.5f);
    return c.half();
}

// The title alone, on nothing, for screens with their own backdrop.
Canvas titleText(FT_Face bold) {
    Canvas c(1200, 400);
    drawTitle(c, bold, "Glimvale", 240, 600, 30, rgb(0xFFE27A), rgb(0xF0A020), rgb(0x5A3210), 10);
    return c.half();
}

// A pointer: white arrow with a dark outline and a soft shadow, tip at (1, 1).
Canvas cursor() {
    Canvas c(64, 64);
    auto arrow = [](float x, float y) {
        // Union of a triangle and a stem, as distances.
        const float px = x / 2.0f, py = y / 2.0f;
        auto edge = [&](float ax, float ay, float bx, float by) {
            const float nx = by - ay, ny = ax - bx, l = std::hypot(nx, ny);
            return -((px - ax) * nx + (py - ay) * ny) / l;
        };
        const float tri = std::max({edge(2, 2, 2, 22), edge(2, 22, 16, 16), edge(16, 16, 2, 2)});
        const float stemX = std::fabs((px - py * 0.45f) - 4.5f) - 2.2f;
        const float stemY = std::max(py - 27.0f, 15.0f - py);
        const float stem = std::max(stemX, stemY);
        return std::min(tri, stem) * 2.0f;
    };
    c.shadow(arrow, 3, 4, 4, 0.35f);
    c.shape(arrow, [](float, float) { return rgb(0x2A1A0E); });
    c.shape([&](float x, float y) { return arrow(x, y) + 3.0f; },
            [](float, float y) { return mix(rgb(0xFFFFFF), rgb(0xF4E1BE), y / 64.0f); });
    return c.half();
}

// The frame of the screen borders: a dark edge fading inwards.
Canvas border() {
    Canvas c(32, 32);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) c.px[size_t(y) * c.w + x] = {0.05f, 0.05f, 0.12f, 1.0f - float(x) / 32.0f};
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: logo_gen <media directory>\n");
        return 2;
    }
    FT_Library library;
    FT_Face bold, regular;
    if (FT_Init_FreeType(&library) != 0 ||
        FT_New_Face(library, "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 0, &bold) != 0 ||
        FT_New_Face(library, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0, &regular) != 0) {
        std::fprintf(stderr, "logo_gen: DejaVu Sans (fonts-dejavu-core) is needed\n");
        return 1;
    }
    const std::string images = std::string(argv[1]) + "/images/";
    const bool ok = studioLogo(bold, regular).save(images + "logo_studio.png") &&
                    titleLogo(bold, true).save(images + "logo_title.png") &&
                    titleLogo(bold, false).save(images + "menu_backdrop.png") &&
                    titleText(bold).save(images + "title_text.png") && cursor().save(images + "cursor.png") &&
                    border().save(images + "screen_border.png");
    FT_Done_Face(bold);
    FT_Done_Face(regular);
    FT_Done_FreeType(library);
    return ok ? 0 : 1;
}

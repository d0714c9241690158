// Writes the pictures of the user interface into a content directory:
//   ui_image_gen <media directory>
// ui/ui_panel.png (a window panel with its title ribbon), ui/ui_button.png
// (a green pill button: idle, hovered and pressed, one per 176 x 64 row),
// ui/ui_check.png (the check box and its tick, 40 x 40 each) and
// ui/ui_bar.png (slider track, fill and knob), and the pieces of scene lists:
// a list frame and its well, a row with a star and a small button, a scroll
// bar's track and thumb, a page dot and two arrow buttons. One light from the top left,
// soft shadows down-right, edges anti-aliased by 4 x 4 supersampling.
static constexpr const char* kPictureTool = "ui_image_gen";
#include "picture_shading.h"

namespace {

// 360 x 240: the cream panel with a red title ribbon across its top.
Rgba panel(double x, double y) { return smallCreamPanel(x, y, 6, 14, 350, 232, 40, 316, 46, 10); }

// 176 x 192: three 176 x 64 rows of a 160 x 48 pill: idle, hovered (8 % lighter), pressed (2 px lower, darker).
Rgba button(double x, double y) {
    const int row = std::min(2, int(y / 64));
    const double oy = y - row * 64;
    Raised pill{4, 4, 164, 52, 24, hex(0x5CB860), hex(0x2E7D32), hex(0x1B5E20)};
    if (row == 1) {
        pill.topColor = scaled(pill.topColor, 1.08);
        pill.bottomColor = scaled(pill.bottomColor, 1.08);
    } else if (row == 2) {
        pill.top += 2;
        pill.bottom += 2;
        pill.topColor = scaled(pill.topColor, 0.85);
        pill.bottomColor = scaled(pill.bottomColor, 0.85);
        pill.shadowOffset = 1;
        pill.highlight = 0.2;
    }
    return shade(pill, x, oy);
}

// 80 x 40: the box (left) and the tick (right).
Rgba check(double x, double y) {
    if (x < 40) {
        Raised box{4, 4, 34, 34, 6, hex(0xFFFDF6), hex(0xEAD7B0), hex(0x8A5A2B)};
        return shade(box, x, y);
    }
    // A tick of two thick strokes with a dark rim and a shadow.
    auto stroke = [](double px, double py, double ax, double ay, double bx, double by) {
        const double vx = bx - ax, vy = by - ay;
        const double t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
        return std::hypot(px - ax - t * vx, py - ay - t * vy);
    };
    const double lx = x - 40;
    auto distance = [&](double px, double py) {
        return std::min(stroke(px, py, 10, 20, 17, 28), stroke(px, py, 17, 28, 31, 9));
    };
    Rgba out{0, 0, 0, 0.35 * smooth(6.5, 3.5, distance(lx - 2, y - 2))};
    const double d = distance(lx, y);
    if (d < 4.5) out = over(d > 3.0 ? hex(0x1B5E20) : mix(hex(0x66BB6A), hex(0x2E7D32), y / 40), out);
    return out;
}

// 256 x 80: track (240 x 20 at y 2), fill (240 x 20 at y 24), round knob (28 x 28 at 2, 48).
Rgba bar(double x, double y) {
    if (y < 22) {
        // A sunken track: dark, with the shade at the top edge instead of a drop shadow.
        const double d = roundedBox(x, y, 0, 2, 240, 22, 10);
        if (d > 0) return {};
        Rgba body = mix(hex(0x5D3A1A), hex(0x8A5A2B), (y - 2) / 20);
        return d > -2 ? hex(0x4A2E14) : body;
    }
    if (y < 46) {
        Raised fill{0, 24, 240, 44, 10, hex(0x7CCB5B), hex(0x2E7D32), hex(0x1B5E20)};
        fill.shadowAlpha = 0;
        fill.highlight = 0.3;
        return shade(fill, x, y);
    }
    Raised knob{2, 48, 30, 76, 14, hex(0xFFFDF6), hex(0xE2C89A), hex(0x8A5A2B)};
    knob.shadowOffset = 2;
    return shade(knob, x, y);
}

// 320 x 260: the frame of a list, opaque to its edges around a window (16, 16)-(304, 244),
// so rows scrolled past the window stay hidden.
Rgba listFrame(double x, double y) {
    const double edge = std::min(std::min(x, y), std::min(320 - x, 260 - y));
    Rgba out = edge < 3 ? hex(0x8A5A2B) : mix(hex(0xFFF6E5), hex(0xF4E1BE), y / 260);
    const double hole = roundedBox(x, y, 16, 16, 304, 244, 8);
    // The window's rim: a brown line with a soft shade along its top and left.
    if (hole < -2) return {};
    if (hole < 0) return hex(0x8A5A2B);
    return over(Rgba{0, 0, 0, 0.25 * smooth(4, 0, hole)}, out);
}

// 272 x 228: the sunken well behind the rows.
Rgba listWell(double, double y) {
    const Rgba top = hex(0xE9D3A8), bottom = hex(0xF2E2C2);
    return mix(top, bottom, y / 228);
}

// 264 x 44: one row, a soft raised card.
Rgba listRow(double x, double y) {
    Raised row{2, 2, 260, 40, 8, hex(0xFFFDF7), hex(0xF6E8CC), hex(0xB98A57)};
    row.shadowOffset = 2;
    row.shadowBlur = 2;
    row.shadowAlpha = 0.25;
    row.highlight = 0.15;
    return shade(row, x, y);
}

// 32 x 32: a gold five-point star with a darker rim.
Rgba listStar(double x, double y) {
    auto distance = [](double px, double py) {
        const double cx = px - 15.5, cy = py - 16.5;
        const double a = std::atan2(cy, cx) + M_PI / 2;
        const double sector = std::fmod(a + 10 * M_PI, 2 * M_PI / 5) - M_PI / 5;
        const double r = std::hypot(cx, cy);
        // The edge runs from the tips (radius 14) to the notches (radius 6).
        const double limit = 14 - 8 * (std::fabs(sector) / (M_PI / 5));
        return r - std::max(limit, 6.0);
    };
    Rgba out{0, 0, 0, 0.3 * smooth(2.0, -1.0, distance(x - 1.5, y - 1.5))};
    const double d = distance(x, y);
    if (d > 0) return out;
    return over(d > -1.5 ? hex(0xA0700A) : mix(hex(0xFFE066), hex(0xE0A800), y / 32), out);
}

// 72 x 36: a small green pill button.
Rgba listButton(double x, double y) {
    Raised pill{2, 2, 66, 30, 14, hex(0x5CB860), hex(0x2E7D32), hex(0x1B5E20)};
    pill.shadowOffset = 2;
    pill.shadowBlur = 2;
    return shade(pill, x, y);
}

// 10 x 228 track and 16 x 40 thumb of a scroll bar.
Rgba scrollTrack(double x, double y) {
    const double d = roundedBox(x, y, 1, 0, 9, 228, 4);
    if (d > 0) return {};
    return d > -1.5 ? hex(0x6B4421) : hex(0xB08A5E, 0.9);
}

Rgba scrollThumb(double x, double y) {
    Raised thumb{1, 1, 14, 38, 6, hex(0xFFFDF6), hex(0xE2C89A), hex(0x8A5A2B)};
    thumb.shadowOffset = 1;
    thumb.shadowBlur = 1.5;
    return shade(thumb, x, y);
}

// 16 x 16: a page dot.
Rgba pageDot(double x, double y) {
    Raised dot{2, 2, 14, 14, 6, hex(0xFFFDF6), hex(0xD8B47A), hex(0x8A5A2B)};
    dot.shadowOffset = 1;
    dot.shadowBlur = 1;
    return shade(dot, x, y);
}

// 32 x 32: a round arrow button pointing right (left when mirrored).
Rgba arrow(double x, double y, bool left) {
    if (left) x = 32 - x;
    Raised disc{2, 2, 28, 28, 13, hex(0x5CB860), hex(0x2E7D32), hex(0x1B5E20)};
    disc.shadowOffset = 2;
    disc.shadowBlur = 2;
    Rgba out = shade(disc, x, y);
    // A white triangle: tip at (21, 15), base at x = 11 from y 8 to 22.
    const bool inside = x >= 11 && x <= 21 && std::fabs(y - 15) <= (21 - x) * 0.7;
    return inside ? over(hex(0xFFFFFF), out) : out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ui_image_gen <media directory>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/ui/";
    const bool ok = writePicture(dir + "ui_panel.png", 360, 240, panel) &&
                    writePicture(dir + "ui_button.png", 176, 192, button) &&
                    writePicture(dir + "ui_check.png", 80, 40, check) && writePicture(dir + "ui_bar.png", 256, 80, bar) &&
                    writePicture(dir + "ui_list_frame.png", 320, 260, listFrame) &&
                    writePicture(dir + "ui_list_well.png", 272, 228, listWell) &&
                    writePicture(dir + "ui_list_row.png", 264, 44, listRow) &&
                    writePicture(dir + "ui_list_star.png", 32, 32, listStar) &&
                    writePicture(dir + "ui_list_button.png", 72, 36, listButton) &&
                    writePicture(dir + "ui_scroll_track.png", 10, 228, scrollTrack) &&
                    writePicture(dir + "ui_scroll_thumb.png", 16, 40, scrollThumb) &&
                    writePicture(dir + "ui_page_dot.png", 16, 16, pageDot) &&
                    writePicture(dir + "ui_arrow_left.png", 32, 32, [](double x, double y) { return arrow(x, y, true); }) &&
                    writePicture(dir + "ui_arrow_right.png", 32, 32, [](double x, double y) { return arrow(x, y, false); });
    return ok ? 0 : 1;
}

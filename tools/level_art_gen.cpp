// Writes the pictures of the level windows and the map's level buttons:
//   level_art_gen <media directory>
// level/level_panel.png (the windows' panel with its title ribbon),
// level/level_card.png (a goal card), level/level_slot.png (a passive booster
// well), level/level_goal_well.png (the well of the goals), level/level_stars.png (a star socket and a gold star, 80 x 80 each),
// level/level_small.png (small gold star, small empty star, glint and tick,
// 40 x 40 each), level/level_goals.png (goal icons: walls, tiles, falling
// acorn, strong wall, chip up; 64 x 64 each) and level/level_button.png (the
// map's level stone locked, open and completed, and the selection halo;
// 120 x 80 each); and the level screen's interface: level/level_counter.png
// (the moves or time panel), level/level_dial.png (the goals dial),
// level/level_dial_well.png (the well of one goal or of the score),
// level/level_limits.png (moves and time icons, 64 x 64 each),
// level/level_banner.png (the ribbon of the level's effects) and
// level/level_board.png (the frame under the board). One light from the top
// left, 4 x 4 supersampling.
static constexpr const char* kPictureTool = "level_art_gen";
#include <filesystem>

#include "picture_shading.h"

namespace {

// Distance (along the ray from the centre) to a five-point star.
double starDistance(double x, double y, double cx, double cy, double r) {
    const double dx = x - cx, dy = y - cy;
    const double a = std::atan2(dy, dx) + M_PI / 2;
    const double theta = std::fabs(std::fmod(a + 10 * M_PI, 2 * M_PI / 5) - M_PI / 5);
    const double inner = 0.45 * r;
    const double px = r * std::cos(M_PI / 5), py = r * std::sin(M_PI / 5);
    const double nx = -py, ny = px - inner;
    const double c = nx * inner;
    const double edge = c / (nx * std::cos(theta) + ny * std::sin(theta));
    return std::hypot(dx, dy) - edge;
}

// A gold star, or an empty socket of brown cream when `filled` is false.
Rgba star(double x, double y, double cx, double cy, double r, bool filled, Rgba under) {
    const double rim = std::max(1.2, r * 0.08);
    if (filled) under = over(Rgba{0, 0, 0, 0.35 * smooth(2.5, -1.0, starDistance(x - 2, y - 2, cx, cy, r))}, under);
    const double d = starDistance(x, y, cx, cy, r);
    if (d > 0) return under;
    const double t = std::clamp((y - (cy - r)) / (2 * r), 0.0, 1.0);
    if (!filled) {
        // A hollow pressed into the panel: darker at the top where the light cannot reach.
        const Rgba body = mix(hex(0xD9BF92), hex(0xEBD6B0), t);
        return over(d > -rim ? hex(0xB08A55) : body, under);
    }
    Rgba body = mix(hex(0xFFE87A), hex(0xE0A000), t);
    if (x - cx < -(y - cy) * 0.3) body = scaled(body, 1.08);
    const double shine = smooth(1.0, 0.6, std::hypot((x - cx + r * 0.25) / (r * 0.3), (y - cy + r * 0.3) / (r * 0.15)));
    body = over(Rgba{1, 1, 1, 0.45 * shine}, body);
    return over(d > -rim ? hex(0x9C6B08) : body, under);
}

// 520 x 520: the cream panel with its red title ribbon.
Rgba panel(double x, double y) { return creamPanel(x, y, 6, 20, 510, 510, 80, 436, 56); }

// 190 x 110: a light card under one goal.
Rgba card(double x, double y) { return lightCard(x, y, 184, 104); }

// A well sunk into the panel: the shade sits at the top left, the light at the bottom right.
Rgba well(double x, double y, double w, double h, double radius) {
    const double d = roundedBox(x, y, 3, 3, w - 3, h - 3, radius);
    if (d > 0) return {};
    const double t = std::clamp((x / w + y / h) / 2, 0.0, 1.0);
    const Rgba body = mix(hex(0xD2B583), hex(0xF3E2C2), t);
    return d > -2.0 ? hex(0xA0763F) : body;
}

// 88 x 88: a well for one passive booster.
Rgba slot(double x, double y) { return well(x, y, 88, 88, 16); }

// 460 x 140: the well that holds the goal cards or the score to reach.
Rgba goalWell(double x, double y) { return well(x, y, 460, 140, 18); }

// 160 x 40: small gold star, small empty star, glint, tick badge.
Rgba small(double x, double y) {
    const int index = std::clamp(int(x / 40), 0, 3);
    const double lx = x - index * 40;
    switch (index) {
        case 0: return star(lx, y, 19.5, 20.5, 16, true, Rgba{});
        case 1: return star(lx, y, 19.5, 20.5, 16, false, Rgba{});
        case 2: {  // a four-pointed sparkle with a soft halo
            const double u = std::fabs(lx - 20), v = std::fabs(y - 20);
            const double arm = std::min(u * 5 + v, v * 5 + u);
            const double core = smooth(18.0, 4.0, arm);
            const double halo = 0.5 * smooth(12.0, 2.0, std::hypot(u, v));
            return over(Rgba{1, 1, 0.85, core}, Rgba{1, 0.9, 0.5, halo});
        }
        default: {  // a green disc with a white tick
            Raised disc{4, 4, 34, 34, 15, hex(0x6CC870), hex(0x2E7D32), hex(0x1B5E20)};
            disc.shadowOffset = 2;
            disc.shadowBlur = 2;
            Rgba out = shade(disc, lx, y);
            auto segment = [](double px, double py, double ax, double ay, double bx, double by) {
                const double vx = bx - ax, vy = by - ay;
                const double t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
                return std::hypot(px - ax - vx * t, py - ay - vy * t);
            };
            const double d = std::min(segment(lx, y, 11, 19, 17, 25), segment(lx, y, 17, 25, 27, 12));
            return over(Rgba{1, 1, 1, smooth(3.0, 2.0, d)}, out);
        }
    }
}

// 160 x 80: an empty star socket and a gold star.
Rgba bigStars(double x, double y) {
    const int index = std::clamp(int(x / 80), 0, 1);
    return star(x - index * 80, y, 39.5, 41.5, 34, index == 1, Rgba{});
}

// 320 x 64: the goal icons.
Rgba goalIcon(double x, double y) {
    const int index = std::clamp(int(x / 64), 0, 4);
    const double lx = x - index * 64;
    switch (index) {
        case 0: {  // walls: a grey stone block with cracks
            Raised block{8, 10, 56, 54, 6, hex(0xB7BCC2), hex(0x7C838B), hex(0x4A5057)};
            Rgba out = shade(block, lx, y);
            const bool crack = (std::fabs((lx - 22) - (y - 20) * 0.6) < 1.1 && y > 14 && y < 34) ||
                               (std::fabs((y - 38) + (lx - 40) * 0.5) < 1.1 && lx > 30 && lx < 50);
            if (crack && roundedBox(lx, y, 8, 10, 56, 54, 6) < -2) out = over(hex(0x4A5057), out);
            return out;
        }
        case 1: {  // tiles: warm sand with a darker second layer
            Raised lower{8, 14, 56, 56, 6, hex(0xC99A5B), hex(0x9E7238), hex(0x6E4E22)};
            Raised upper{12, 8, 52, 46, 6, hex(0xF2D49B), hex(0xD9B071), hex(0x9E7238)};
            return over(shade(upper, lx, y), shade(lower, lx, y));
        }
        case 2: {  // falling target: an acorn with a down arrow's tip
            Rgba out;
            const double nut = std::hypot((lx - 32) / 15.0, (y - 38) / 17.0) - 1;
            out = over(Rgba{0, 0, 0, 0.3 * smooth(0.15, -0.05, std::hypot((lx - 34) / 15.0, (y - 40) / 17.0) - 1)}, out);
            if (nut < 0) {
                const double t = std::clamp((y - 21) / 34.0, 0.0, 1.0);
                out = over(nut > -0.1 ? hex(0x6B3E12) : mix(hex(0xD98C3A), hex(0x9A5418), t), out);
            }
            const double cap = std::hypot((lx - 32) / 19.0, (y - 24) / 9.0) - 1;
            if (cap < 0 && y < 30) out = over(cap > -0.12 ? hex(0x4A2E10) : mix(hex(0xA0703A), hex(0x6E4A22), (y - 15) / 15.0), out);
            if (std::fabs(lx - 32) < 2 && y > 8 && y < 17) out = over(hex(0x4A2E10), out);
            const double shine = smooth(1.0, 0.5, std::hypot((lx - 26) / 4.0, (y - 34) / 7.0));
            return over(Rgba{1, 1, 1, 0.45 * shine}, out);
        }
        case 3: {  // strong wall: a dark stone block bound with steel bands
            Raised block{8, 10, 56, 54, 6, hex(0x8C9298), hex(0x545B62), hex(0x2E3338)};
            Rgba out = shade(block, lx, y);
            if (roundedBox(lx, y, 8, 10, 56, 54, 6) < -2 && (std::fabs(y - 22) < 3 || std::fabs(y - 42) < 3)) {
                out = over(mix(hex(0xDCE3EA), hex(0x8A959F), std::fabs(std::fmod(y, 20.0) - 10) / 10), out);
                if (std::fmod(std::fabs(lx - 16), 16.0) < 2.5) out = over(hex(0x3A4046), out);
            }
            return out;
        }
        default: {  // chip up: a red round gem with a white up arrow
            Rgba out;
            const double dx = lx - 32, dy = y - 34;
            out = over(Rgba{0, 0, 0, 0.3 * smooth(2.0, -1.0, std::hypot(dx - 2, dy - 2) - 22)}, out);
            const double d = std::hypot(dx, dy) - 22;
            if (d < 0) {
                const double t = std::clamp((dy + 22) / 44.0, 0.0, 1.0);
                out = over(d > -2 ? hex(0x8E1F22) : mix(hex(0xF2676A), hex(0xC22428), t), out);
                const double shine = smooth(1.0, 0.6, std::hypot((dx + 8) / 9.0, (dy + 10) / 5.0));
                out = over(Rgba{1, 1, 1, 0.4 * shine}, out);
            }
            const bool head = dy < -2 && dy > -16 && std::fabs(dx) < (dy + 16) * 0.85;
            const bool shaft = std::fabs(dx) < 4 && dy >= -2 && dy < 12;
            if (head || shaft) out = over(hex(0xFFFFFF), out);
            return out;
        }
    }
}

// 480 x 80: the level stone locked, open, completed, and the selection halo.
Rgba levelButton(double x, double y) {
    const int index = std::clamp(int(x / 120), 0, 3);
    const double lx = x - index * 120;
    const double cx = 59.5, cy = 39.5;
    if (index == 3) {  // a soft golden halo around where the stone lies
        const double e = std::hypot((lx - cx) / 52.0, (y - cy) / 32.0);
        const double ring = smooth(0.32, 0.0, std::fabs(e - 0.92));
        return Rgba{1.0, 0.86, 0.35, 0.85 * ring};
    }
    const Rgba tops[] = {hex(0xB9B4AC), hex(0xF0C896), hex(0xF6D77E)};
    const Rgba bottoms[] = {hex(0x858079), hex(0xC08A58), hex(0xD1A03A)};
    const Rgba rims[] = {hex(0x5C5853), hex(0x8A5A2B), hex(0x8A6010)};
    Rgba out;
    const double shadow = std::hypot((lx - cx - 3) / 42.0, (y - cy - 3) / 24.0) - 1;
    out = over(Rgba{0, 0, 0, 0.35 * smooth(0.12, -0.04, shadow)}, out);
    const double e = std::hypot((lx - cx) / 42.0, (y - cy) / 24.0) - 1;
    if (e > 0) return out;
    const double t = std::clamp((y - (cy - 24)) / 48.0, 0.0, 1.0);
    Rgba body = mix(tops[index], bottoms[index], t);
    // The stone's top face: a lighter ellipse a little above the middle.
    if (std::hypot((lx - cx) / 34.0, (y - cy + 3) / 16.0) < 1) body = scaled(body, 1.07);
    const double shine = smooth(1.0, 0.6, std::hypot((lx - cx + 14) / 12.0, (y - cy + 11) / 4.5));
    body = over(Rgba{1, 1, 1, 0.35 * shine}, body);
    return over(e > -0.07 ? rims[index] : body, out);
}

// 220 x 180: the moves or time panel: a cream panel with its title ribbon and a well for the number.
Rgba counterPanel(double x, double y) {
    const Rgba sunk = well(x - 36, y - 70, 148, 86, 14);
    return smallCreamPanel(x, y, 6, 18, 212, 172, 22, 196, 50, 12, &sunk);
}

// 300 x 180: the goals dial's panel with its title ribbon.
Rgba dialPanel(double x, double y) { return smallCreamPanel(x, y, 6, 18, 292, 172, 50, 248, 50, 12); }

// 128 x 104: the well of one goal (its icon above, its count below) or of the score.
Rgba dialWell(double x, double y) { return well(x, y, 128, 104, 14); }

// 128 x 64: the moves icon (a curved arrow swapping two gems) and the time icon (a clock).
Rgba limitIcon(double x, double y) {
    const int index = std::clamp(int(x / 64), 0, 1);
    const double lx = x - index * 64, dx = lx - 32, dy = y - 32;
    Rgba out;
    if (index == 0) {
        // Two gems, red and blue, with a white arc between them.
        auto gemAt = [&](double cx, double cy, uint32_t top, uint32_t bottom, uint32_t rim) {
            out = over(Rgba{0, 0, 0, 0.3 * smooth(2.0, -1.0, std::hypot(lx - cx - 2, y - cy - 2) - 12)}, out);
            const double d = std::hypot(lx - cx, y - cy) - 12;
            if (d < 0) {
                out = over(d > -2 ? hex(rim) : mix(hex(top), hex(bottom), std::clamp((y - cy + 12) / 24, 0.0, 1.0)), out);
                out = over(Rgba{1, 1, 1, 0.45 * smooth(1.0, 0.6, std::hypot((lx - cx + 4) / 5.0, (y - cy + 5) / 3.0))}, out);
            }
        };
        gemAt(17, 42, 0xF2676A, 0xC22428, 0x8E1F22);
        gemAt(47, 42, 0x6FA8FA, 0x1F63C9, 0x15428A);
        const double arc = std::fabs(std::hypot(dx, (y - 40) * 1.3) - 17);
        if (arc < 3 && y < 34) out = over(Rgba{1, 1, 1, smooth(3.0, 2.0, arc)}, out);
        const bool head = std::fabs(lx - 48) < 6 - std::fabs(y - 33) * 0.9 && y > 27 && y < 40;
        if (head) out = over(hex(0xFFFFFF), out);
        const double outline = std::fabs(std::hypot(dx, (y - 40) * 1.3) - 17);
        if (outline >= 3 && outline < 4.2 && y < 34) out = over(hex(0x4A3420, 0.6), out);
        return out;
    }
    // A clock: gold rim, cream face, two dark hands.
    out = over(Rgba{0, 0, 0, 0.3 * smooth(2.0, -1.0, std::hypot(dx - 2, dy - 2) - 25)}, out);
    const double d = std::hypot(dx, dy) - 25;
    if (d > 0) return out;
    const double t = std::clamp((dy + 25) / 50, 0.0, 1.0);
    if (d > -5) return over(d > -1.5 ? hex(0x8A6010) : mix(hex(0xFFE87A), hex(0xD1A03A), t), out);
    out = over(mix(hex(0xFFFDF6), hex(0xEBD3A8), t), out);
    for (int k = 0; k < 12; ++k) {
        const double a = k * M_PI / 6;
        const double px = 16 * std::sin(a), py = -16 * std::cos(a);
        if (std::hypot(dx - px, dy - py) < (k % 3 == 0 ? 2.2 : 1.3)) out = over(hex(0x8A5A2B), out);
    }
    auto hand = [&](double ex, double ey, double width) {
        const double len2 = ex * ex + ey * ey;
        const double k = std::clamp((dx * ex + dy * ey) / len2, 0.0, 1.0);
        return std::hypot(dx - ex * k, dy - ey * k) < width;
    };
    if (hand(0, -14, 2.0) || hand(10, 4, 2.3)) out = over(hex(0x4A3420), out);
    if (std::hypot(dx, dy) < 3) out = over(hex(0xC0392B), out);
    return out;
}

// 640 x 150: the ribbon the level's effects write on, with folded tails.
Rgba banner(double x, double y) {
    Rgba out;
    for (int side = 0; side < 2; ++side) {
        const double tx = side == 0 ? x : 640 - x;  // mirror the tails
        if (tx > 14 && tx < 120 && y > 52 && y < 130) {
            const bool notch = tx < 14 + (std::fabs(y - 91) < 39 ? (39 - std::fabs(y - 91)) * 0.9 : 0);
            if (!notch) out = over(tx > 100 ? hex(0x5E1A14) : mix(hex(0xA93226), hex(0x7B241C), (y - 52) / 78), out);
        }
    }
    Raised ribbon{70, 20, 570, 118, 16, hex(0xE0584A), hex(0xA93226), hex(0x7B241C)};
    ribbon.outlineWidth = 3;
    ribbon.highlight = 0.25;
    out = over(shade(ribbon, x, y), out);
    const double inner = roundedBox(x, y, 82, 30, 558, 108, 10);
    if (std::fabs(inner) < 0.9) out = over(Rgba{1, 0.85, 0.6, 0.6}, out);
    return out;
}

// 620 x 620: the frame under the board: a deep violet well with a wooden rim, open where the cells lie.
Rgba boardFrame(double x, double y) {
    Rgba out = over(Rgba{0, 0, 0, 0.35 * smooth(4.0, -4.0, roundedBox(x - 3, y - 3, 6, 6, 612, 612, 20))}, Rgba{});
    const double d = roundedBox(x, y, 6, 6, 612, 612, 20);
    if (d > 0) return out;
    if (d > -8) {
        const double t = std::clamp((y - 6) / 606, 0.0, 1.0);
        const Rgba wood = mix(hex(0xB07A45), hex(0x8A5A2B), t);
        return over(d > -2 || d < -6.5 ? hex(0x5E3B1A) : wood, out);
    }
    return over(hex(0x1C1D3F, 0.55), out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: level_art_gen <media directory>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/level/";
    std::filesystem::create_directories(dir);
    const bool ok = writePicture(dir + "level_panel.png", 520, 520, panel) &&
                    writePicture(dir + "level_card.png", 190, 110, card) &&
                    writePicture(dir + "level_slot.png", 88, 88, slot) &&
                    writePicture(dir + "level_goal_well.png", 460, 140, goalWell) &&
                    writePicture(dir + "level_stars.png", 160, 80, bigStars) &&
                    writePicture(dir + "level_small.png", 160, 40, small) &&
                    writePicture(dir + "level_goals.png", 320, 64, goalIcon) &&
                    writePicture(dir + "level_button.png", 480, 80, levelButton) &&
                    writePicture(dir + "level_counter.png", 220, 180, counterPanel) &&
                    writePicture(dir + "level_dial.png", 300, 180, dialPanel) &&
                    writePicture(dir + "level_dial_well.png", 128, 104, dialWell) &&
                    writePicture(dir + "level_limits.png", 128, 64, limitIcon) &&
                    writePicture(dir + "level_banner.png", 640, 150, banner) &&
                    writePicture(dir + "level_board.png", 620, 620, boardFrame);
    return ok ? 0 : 1;
}

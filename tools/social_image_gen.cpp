// Writes the pictures of the social windows:
//   social_image_gen <media directory>
// social/face0.png and social/face1.png (the player's and the friends'
// stand-in portraits, 96 x 96), social/social_panel.png (the windows' panel),
// social/social_row.png (a request row), social/social_user_left.png and
// social/social_user_bottom.png (a friend's row in the level windows),
// social/social_box.png and social/social_check.png (the empty and the ticked box),
// social/social_present.png (the heart and the moves gift, 64 x 64 each),
// social/social_heart.png (the ask-for-a-life heart), social/social_logout.png
// (the connection window's logout pill) and social/fb_icon_wait.png,
// fb_icon_suc.png, fb_icon_failed.png (the connection badge's three looks).
static constexpr const char* kPictureTool = "social_image_gen";
#include "picture_shading.h"

namespace {

// A round portrait: sky backdrop, shoulders, head, hair, eyes and smile.
Rgba face(double x, double y, uint32_t sky, uint32_t shirt, uint32_t skin, uint32_t hair, bool longHair) {
    const double cx = 48, cy = 48;
    const double disc = std::hypot(x - cx, y - cy) - 44;
    Rgba out = over(Rgba{0, 0, 0, 0.35 * smooth(3, -3, std::hypot(x - cx - 2.5, y - cy - 2.5) - 44)}, Rgba{});
    if (disc > 0) return out;
    Rgba c = mix(scaled(hex(sky), 1.15), hex(sky), y / 96);
    // Shoulders.
    const double body = roundedBox(x, y, 18, 70, 78, 120, 24);
    if (body < 0) c = mix(scaled(hex(shirt), 1.2), hex(shirt), (y - 70) / 30);
    if (longHair) {
        const double back = roundedBox(x, y, 24, 20, 72, 78, 22);
        if (back < 0 && body >= 0) c = scaled(hex(hair), 0.8);
    }
    // Neck and head.
    if (roundedBox(x, y, 41, 58, 55, 74, 4) < 0) c = scaled(hex(skin), 0.85);
    const double head = std::hypot((x - 48) / 20, (y - 44) / 23) - 1;
    if (head < 0) {
        c = mix(scaled(hex(skin), 1.08), scaled(hex(skin), 0.9), smooth(-1.0, 0.0, head + (x - 48) / 60));
        // Eyes, brows and the smile.
        for (double ex : {40.0, 56.0}) {
            if (std::hypot(x - ex, y - 45) < 2.6) c = hex(0x3A2A1E);
            if (std::fabs(y - 39 + 0.04 * (x - ex) * (x - ex)) < 0.9 && std::fabs(x - ex) < 5) c = scaled(hex(hair), 0.7);
        }
        const double smile = std::hypot(x - 48, y - 50);
        if (std::fabs(smile - 8) < 1.1 && y > 54) c = hex(0xA0463C);
        if (std::hypot(x - 36, y - 53) < 3.5 || std::hypot(x - 60, y - 53) < 3.5) c = mix(c, hex(0xF28B82), 0.35);
    }
    // Hair on top.
    const double cap = std::hypot((x - 48) / 22, (y - 36) / 17) - 1;
    if (cap < 0 && y < 31 + 0.02 * (x - 48) * (x - 48)) c = mix(scaled(hex(hair), 1.25), hex(hair), (y - 19) / 20);
    // Highlight and rim.
    c = over(Rgba{1, 1, 1, 0.18 * smooth(1.0, 0.7, std::hypot((x - 34) / 30, (y - 24) / 16))}, c);
    if (disc > -3) c = hex(0x8A5A2B);
    return over(c, out);
}

Rgba facePlayer(double x, double y) { return face(x, y, 0x8FC7EA, 0x43A047, 0xF1C6A0, 0x6B3E1F, false); }
Rgba faceFriend(double x, double y) { return face(x, y, 0xF6D58E, 0x2F81F7, 0xD9A77C, 0x2B2118, true); }

// 560 x 500: the windows' panel with the red ribbon.
Rgba panel(double x, double y) { return creamPanel(x, y, 6, 18, 550, 492, 80, 476, 56); }

Rgba row(double x, double y) { return lightCard(x, y, 456, 92); }
Rgba userLeft(double x, double y) { return lightCard(x, y, 236, 76); }
Rgba userBottom(double x, double y) { return lightCard(x, y, 116, 156); }

double segment(double px, double py, double ax, double ay, double bx, double by) {
    const double vx = bx - ax, vy = by - ay;
    const double t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    return std::hypot(px - ax - vx * t, py - ay - vy * t);
}

double tickDistance(double x, double y) { return std::min(segment(x, y, 9, 17, 15, 25), segment(x, y, 15, 25, 29, 7)) - 3; }

// 36 x 36: the empty box (box) and the box with a green tick (check).
Rgba box(double x, double y) {
    Raised frame{3, 3, 31, 31, 6, hex(0xFFFFFF), hex(0xE9DCC4), hex(0x8A5A2B)};
    frame.shadowOffset = 1.5;
    frame.highlight = 0.1;
    return shade(frame, x, y);
}

Rgba check(double x, double y) {
    const double lx = x;
    Raised box{3, 3, 31, 31, 6, hex(0xFFFFFF), hex(0xE9DCC4), hex(0x8A5A2B)};
    box.shadowOffset = 1.5;
    box.highlight = 0.1;
    Rgba out = shade(box, lx, y);
    out = over(Rgba{0, 0, 0, 0.3 * smooth(1.5, -0.5, tickDistance(lx - 1.5, y - 1.5))}, out);
    const double d = tickDistance(lx, y);
    Rgba tick = d > -1.2 ? hex(0x1B5E20) : mix(hex(0x7DDC7F), hex(0x2E7D32), y / 30);
    tick.a = smooth(0.5, -0.5, d);
    return over(tick, out);
}

// A heart from two circles over a rounded point, as signed distance (negative inside).
double heartDistance(double x, double y, double cx, double cy, double r) {
    const double u = (x - cx) / r, v = (y - cy) / r;
    const double lobes = std::min(std::hypot(u + 0.45, v + 0.25) - 0.52, std::hypot(u - 0.45, v + 0.25) - 0.52);
    const double point = std::max(std::fabs(u) * 0.75 + v * 0.66 - 0.62, -v - 0.25);
    return std::min(lobes, point) * r;
}

Rgba heartShape(double x, double y, double cx, double cy, double r, Rgba under) {
    under = over(Rgba{0, 0, 0, 0.3 * smooth(2.0, -1.0, heartDistance(x - 2, y - 2, cx, cy, r))}, under);
    const double d = heartDistance(x, y, cx, cy, r);
    if (d > 0.6) return under;
    Rgba body = mix(hex(0xF26B5E), hex(0xB52A1F), (y - cy + r) / (2 * r));
    body = over(Rgba{1, 1, 1, 0.45 * smooth(1.0, 0.6, std::hypot((x - cx + 0.35 * r) / (0.3 * r), (y - cy + 0.35 * r) / (0.18 * r)))}, body);
    if (d > -2) body = hex(0x7B241C);
    body.a = smooth(0.6, -0.6, d);
    return over(body, under);
}

// 128 x 64: a gift box with a heart, and a gift box with "+3" arrow feet.
Rgba present(double x, double y) {
    const double lx = std::fmod(x, 64.0);
    Raised box{10, 26, 54, 58, 6, hex(0xFFD56A), hex(0xE0A526), hex(0x8A5A16)};
    box.shadowOffset = 2;
    Rgba out = shade(box, lx, y);
    if (std::fabs(lx - 32) < 4 && y > 26 && y < 57) out = over(hex(0xC0392B), out);
    Raised lid{6, 20, 58, 30, 4, hex(0xFFE08A), hex(0xE8B23A), hex(0x8A5A16)};
    lid.shadowOffset = 1.5;
    out = over(shade(lid, lx, y), out);
    if (std::fabs(lx - 32) < 4 && y > 20 && y < 30) out = over(hex(0xC0392B), out);
    if (x < 64) return heartShape(lx, y, 32, 13, 11, out);
    // A green arrow upward: more moves.
    const double shaft = roundedBox(lx, y, 28, 8, 36, 22, 2);
    const double tri = std::max(std::fabs(lx - 32) - (y - 1) * 0.9, y - 11);
    const double d = std::min(shaft, tri);
    out = over(Rgba{0, 0, 0, 0.3 * smooth(1.5, -1.0, std::min(roundedBox(lx - 1.5, y - 1.5, 28, 8, 36, 22, 2),
                                                           std::max(std::fabs(lx - 33.5) - (y - 2.5) * 0.9, y - 12.5)))},
               out);
    if (d < 0.5) {
        Rgba g = mix(hex(0x7DDC7F), hex(0x2E7D32), y / 22);
        if (d > -1.5) g = hex(0x1B5E20);
        g.a = smooth(0.5, -0.5, d);
        out = over(g, out);
    }
    return out;
}

Rgba heart(double x, double y) { return heartShape(x, y, 18, 19, 14, Rgba{}); }

// 176 x 64: the blue logout pill the connection window draws in its question.
Rgba logoutPill(double x, double y) {
    Raised pill{4, 4, 170, 56, 24, hex(0x6AA8F7), hex(0x1F5FC0), hex(0x123E80)};
    pill.shadowOffset = 2;
    pill.shadowBlur = 2;
    return shade(pill, x, y);
}

// 56 x 56: the connection badge, two heads on blue (wait, 0), green (success, 1), red (failed, 2).
Rgba icon(double x, double y, int i) {
    const double lx = x;
    const uint32_t tops[] = {0x6AA8F7, 0x6CC870, 0xF26B5E};
    const uint32_t bottoms[] = {0x1F5FC0, 0x2E7D32, 0xA93226};
    Raised disc{4, 4, 50, 50, 23, hex(tops[i]), hex(bottoms[i]), scaled(hex(bottoms[i]), 0.6)};
    disc.shadowOffset = 2;
    disc.shadowBlur = 2;
    Rgba out = shade(disc, lx, y);
    if (roundedBox(lx, y, 4, 4, 50, 50, 23) > -2) return out;
    auto person = [&](double cx, double cy, double s) {
        const double headD = std::hypot(lx - cx, y - cy) - 5 * s;
        const double bodyD = roundedBox(lx, y, cx - 9 * s, cy + 6 * s, cx + 9 * s, cy + 20 * s, 8 * s);
        return std::max(std::min(headD, bodyD), y - 41);
    };
    const double back = person(33, 18, 0.85), front = person(23, 21, 1.0);
    if (back < 0.5) out = over(Rgba{0.88, 0.93, 1.0, smooth(0.5, -0.5, back)}, out);
    if (front < 1.5) out = over(Rgba{0, 0, 0, 0.25 * smooth(1.5, 0.0, front)}, out);
    if (front < 0.5) out = over(Rgba{1, 1, 1, smooth(0.5, -0.5, front)}, out);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: social_image_gen <media directory>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/social/";
    const bool ok = writePicture(dir + "face0.png", 96, 96, facePlayer) &&
                    writePicture(dir + "face1.png", 96, 96, faceFriend) &&
                    writePicture(dir + "social_panel.png", 556, 498, panel) &&
                    writePicture(dir + "social_row.png", 460, 96, row) &&
                    writePicture(dir + "social_user_left.png", 240, 80, userLeft) &&
                    writePicture(dir + "social_user_bottom.png", 120, 160, userBottom) &&
                    writePicture(dir + "social_box.png", 36, 36, box) &&
                    writePicture(dir + "social_check.png", 36, 36, check) &&
                    writePicture(dir + "social_present.png", 128, 64, present) &&
                    writePicture(dir + "social_heart.png", 36, 36, heart) &&
                    writePicture(dir + "social_logout.png", 176, 64, logoutPill) &&
                    writePicture(dir + "fb_icon_wait.png", 56, 56, [](double x, double y) { return icon(x, y, 0); }) &&
                    writePicture(dir + "fb_icon_suc.png", 56, 56, [](double x, double y) { return icon(x, y, 1); }) &&
                    writePicture(dir + "fb_icon_failed.png", 56, 56, [](double x, double y) { return icon(x, y, 2); });
    return ok ? 0 : 1;
}

// Writes the pictures of the currency shop and the small windows:
//   shop_image_gen <media directory>
// shop/shop_panel.png (a tall window panel with its title ribbon),
// shop/shop_row.png (an offer row), shop/shop_buy.png (the row's buy pill),
// shop/shop_close.png (a round close button), shop/valuta_sale.png (star,
// silver and gold offer pictures, growing piles 1 to 6, 64 x 64 each),
// shop/valuta_small.png (silver, gold and star price icons, 32 x 32 each) and
// shop/passive_icons.png (the four passive booster pictures, 96 x 96 each).
// One light from the top left, soft shadows down-right, 4 x 4 supersampling.
static constexpr const char* kPictureTool = "shop_image_gen";
#include "picture_shading.h"

namespace {

// 440 x 520: the cream panel with a red title ribbon across its top.
Rgba panel(double x, double y) { return creamPanel(x, y, 6, 18, 430, 512, 60, 376, 54); }

// 372 x 80: one offer row, a light card with a brown rim.
Rgba row(double x, double y) { return lightCard(x, y, 366, 74); }

// 124 x 52: the green buy pill of a row.
Rgba buyPill(double x, double y) {
    Raised pill{2, 2, 118, 46, 20, hex(0x6CC870), hex(0x2E7D32), hex(0x1B5E20)};
    pill.shadowOffset = 2;
    pill.shadowBlur = 2;
    return shade(pill, x, y);
}

// 48 x 48: a round red close button with a white cross.
Rgba closeButton(double x, double y) {
    Raised disc{3, 3, 43, 43, 20, hex(0xE05A4A), hex(0xA93226), hex(0x6E1F17)};
    disc.shadowOffset = 2;
    disc.shadowBlur = 2;
    Rgba out = shade(disc, x, y);
    const double u = x - 23, v = y - 23;
    const double d1 = std::fabs(u - v) / std::sqrt(2.0), d2 = std::fabs(u + v) / std::sqrt(2.0);
    const bool inArm = std::max(std::fabs(u), std::fabs(v)) < 10;
    if (inArm && std::min(d1, d2) < 3.0) out = over(hex(0xFFFFFF, smooth(3.0, 2.2, std::min(d1, d2))), out);
    return out;
}

// Distance (along the ray from the centre) to a five-point star centred at
// (cx, cy) with tip radius r and straight edges.
double starDistance(double x, double y, double cx, double cy, double r) {
    const double dx = x - cx, dy = y - cy;
    const double a = std::atan2(dy, dx) + M_PI / 2;
    const double theta = std::fabs(std::fmod(a + 10 * M_PI, 2 * M_PI / 5) - M_PI / 5);
    // theta runs from 0 at a notch to pi/5 at a tip; the edge is the line
    // from the notch (radius 0.45 r) to the tip.
    const double inner = 0.45 * r;
    const double qx = inner, qy = 0.0;
    const double px = r * std::cos(M_PI / 5), py = r * std::sin(M_PI / 5);
    const double nx = -(py - qy), ny = px - qx;
    const double c = nx * qx + ny * qy;
    const double edge = c / (nx * std::cos(theta) + ny * std::sin(theta));
    return std::hypot(dx, dy) - edge;
}

Rgba star(double x, double y, double cx, double cy, double r, Rgba under) {
    under = over(Rgba{0, 0, 0, 0.3 * smooth(2.0, -1.0, starDistance(x - 1.5, y - 1.5, cx, cy, r))}, under);
    const double d = starDistance(x, y, cx, cy, r);
    if (d > 0) return under;
    const double t = std::clamp((y - (cy - r)) / (2 * r), 0.0, 1.0);
    Rgba body = mix(hex(0xFFE87A), hex(0xE0A000), t);
    // A brighter facet on the upper left.
    if (x - cx < -(y - cy) * 0.3) body = scaled(body, 1.08);
    return over(d > -std::max(1.2, r * 0.1) ? hex(0x9C6B08) : body, under);
}

// A coin: rim, face with an inner ring, a shine on its upper left.
Rgba coin(double x, double y, double cx, double cy, double r, bool gold, Rgba under) {
    const double dx = x - cx, dy = y - cy;
    const double dist = std::hypot(dx, dy);
    under = over(Rgba{0, 0, 0, 0.3 * smooth(1.5, -1.0, std::hypot(dx - 1.5, dy - 1.5) - r)}, under);
    if (dist > r) return under;
    const Rgba light = gold ? hex(0xFFE37A) : hex(0xF4F6F8);
    const Rgba dark = gold ? hex(0xC98A10) : hex(0x9AA4AE);
    const Rgba rim = gold ? hex(0x8A5A06) : hex(0x5E6770);
    const double t = std::clamp((dy + r) / (2 * r), 0.0, 1.0);
    Rgba face = mix(light, dark, t);
    if (std::fabs(dist - r * 0.68) < std::max(0.8, r * 0.06)) face = mix(face, rim, 0.6);
    const double shine = smooth(1.0, 0.5, std::hypot((dx + r * 0.35) / (r * 0.45), (dy + r * 0.4) / (r * 0.25)));
    face = over(Rgba{1, 1, 1, 0.5 * shine}, face);
    return over(dist > r - std::max(1.2, r * 0.1) ? rim : face, under);
}

// Pile layouts: item centres for 1 to 6 items inside a 64 x 64 cell.
struct Spot {
    double x, y, r;
};
std::vector<Spot> pile(int count) {
    switch (count) {
        case 1: return {{32, 33, 22}};
        case 2: return {{24, 36, 18}, {40, 28, 18}};
        case 3: return {{20, 40, 15}, {44, 40, 15}, {32, 22, 15}};
        case 4: return {{18, 42, 13}, {46, 42, 13}, {22, 20, 13}, {42, 20, 13}};
        case 5: return {{16, 44, 12}, {32, 46, 12}, {48, 44, 12}, {24, 24, 12}, {40, 24, 12}};
        default: return {{14, 46, 11}, {32, 48, 11}, {50, 46, 11}, {22, 29, 11}, {42, 29, 11}, {32, 13, 11}};
    }
}

// 384 x 192: row 0 stars, row 1 silver, row 2 gold; column c holds c + 1 items.
Rgba valutaSale(double x, double y) {
    const int column = std::clamp(int(x / 64), 0, 5), kind = std::clamp(int(y / 64), 0, 2);
    const double lx = x - column * 64, ly = y - kind * 64;
    Rgba out;
    for (const Spot& s : pile(column + 1)) {  // later items in front
        out = kind == 0 ? star(lx, ly, s.x, s.y, s.r * 1.15, out) : coin(lx, ly, s.x, s.y, s.r, kind == 2, out);
    }
    return out;
}

// 96 x 32: silver coin, gold coin, star.
Rgba valutaSmall(double x, double y) {
    const int index = std::clamp(int(x / 32), 0, 2);
    const double lx = x - index * 32;
    if (index == 2) return star(lx, y, 15.5, 16.5, 14, Rgba{});
    return coin(lx, y, 15.5, 15.5, 13, index == 1, Rgba{});
}

// 384 x 96: colour drain, plus moves, plus time, bonus blast on round badges.
Rgba passiveIcon(double x, double y) {
    const int index = std::clamp(int(x / 96), 0, 3);
    const double lx = x - index * 96;
    const Rgba tops[] = {hex(0x9B6BD6), hex(0x4FA3E0), hex(0x4FC3A0), hex(0xF0913A)};
    const Rgba bottoms[] = {hex(0x5E3A99), hex(0x1F5F9E), hex(0x1E7A5E), hex(0xB0501A)};
    Raised badge{6, 6, 88, 88, 41, tops[index], bottoms[index], scaled(bottoms[index], 0.6)};
    badge.outlineWidth = 3;
    Rgba out = shade(badge, lx, y);
    const double u = lx - 47, v = y - 47;
    auto white = [&](bool inside) { if (inside) out = over(hex(0xFFFFFF), out); };
    switch (index) {
        case 0: {  // a drop with a minus
            const double drop = std::hypot(u, v - 6) - 18;
            const bool tip = v < 0 && std::fabs(u) < (v + 30) * 0.55;
            white(drop < 0 || (tip && v > -30));
            if (std::fabs(u) < 10 && std::fabs(v - 6) < 3) out = over(tops[index], out);
            break;
        }
        case 1:  // a plus over two footsteps
            white((std::fabs(u) < 5 && std::fabs(v) < 22) || (std::fabs(v) < 5 && std::fabs(u) < 22));
            break;
        case 2: {  // a clock with a plus
            const double r = std::hypot(u, v);
            white(r < 26 && r > 20);
            white((std::fabs(u) < 2.5 && v < 0 && v > -16) || (std::fabs(v) < 2.5 && u > 0 && u < 12));
            break;
        }
        default: {  // a burst
            const double a = std::atan2(v, u);
            const double spikes = 20 + 9 * std::cos(8 * a);
            white(std::hypot(u, v) < spikes);
            if (std::hypot(u, v) < 10) out = over(hex(0xFFD54F), out);
            break;
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: shop_image_gen <media directory>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/shop/";
    const bool ok = writePicture(dir + "shop_panel.png", 440, 520, panel) &&
                    writePicture(dir + "shop_row.png", 372, 80, row) &&
                    writePicture(dir + "shop_buy.png", 124, 52, buyPill) &&
                    writePicture(dir + "shop_close.png", 48, 48, closeButton) &&
                    writePicture(dir + "valuta_sale.png", 384, 192, valutaSale) &&
                    writePicture(dir + "valuta_small.png", 96, 32, valutaSmall) &&
                    writePicture(dir + "passive_icons.png", 384, 96, passiveIcon);
    return ok ? 0 : 1;
}

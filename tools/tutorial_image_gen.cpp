// Writes the pictures of the tutorial window:
//   tutorial_image_gen <media directory>
// tutorial/tutorial_panel.png (the cream speech panel), tutorial/tutorial_arrow.png
// (a gold arrow pointing up, its tip at the top centre), tutorial/tutorial_aura.png
// (the warm glow around the panel) and the blackout masks tutorial/mask_*.png:
// black where the screen is dimmed, clear in a rounded hole with a soft edge
// and a thin gold rim, so the hole frames what the player must look at.
// One light from the top left, soft shadows down-right, 4 x 4 supersampling.
static constexpr const char* kPictureTool = "tutorial_image_gen";
#include "picture_shading.h"

namespace {

// 400 x 150: the panel the lesson's text sits on.
Rgba panel(double x, double y) {
    Raised body{4, 4, 392, 142, 16, hex(0xFFF8EA), hex(0xF2DDB6), hex(0x8A5A2B)};
    body.outlineWidth = 3;
    body.highlight = 0.18;
    Rgba out = shade(body, x, y);
    const double inner = roundedBox(x, y, 14, 14, 382, 132, 10);
    if (std::fabs(inner) < 0.8) out = over(hex(0xC9A36B, 0.7), out);
    return out;
}

// Distance to the arrow's outline (negative inside): a head from the tip at
// (28, 4) down to y 34, and a shaft 20 wide down to y 68.
double arrowDistance(double x, double y) {
    const double cx = 28;
    // Head: a triangle, half width 24 at its base.
    const double t = (y - 4) / 30.0;
    double head = 1e9;
    if (y >= 4 && y <= 34) head = std::fabs(x - cx) - 24 * t;
    head = std::max(head, std::max(4 - y, y - 34));
    const double shaft = std::max(std::fabs(x - cx) - 10, std::max(30 - y, y - 68));
    return std::min(head, shaft);
}

// 56 x 72: the gold arrow, pointing up.
Rgba arrow(double x, double y) {
    Rgba out;
    const double ds = arrowDistance(x - 2.5, y - 2.5);
    out = over(Rgba{0, 0, 0, 0.35 * smooth(2.0, -2.0, ds)}, out);
    const double d = arrowDistance(x, y);
    if (d > 0.5) return out;
    Rgba body = mix(hex(0xFFE58A), hex(0xE39B1B), std::clamp((y - 4) / 64.0, 0.0, 1.0));
    // Lit from the top left: the left half a little brighter.
    if (x < 28) body = scaled(body, 1.06);
    Rgba face = d > -2.2 ? hex(0x8A5A12) : body;
    face.a = smooth(0.5, -0.5, d);
    return over(face, out);
}

// 440 x 190: a soft warm glow around a 400 x 150 panel in its middle.
Rgba aura(double x, double y) {
    const double d = roundedBox(x, y, 20, 20, 420, 170, 18);
    const double glow = d < 0 ? 0.55 : 0.55 * std::exp(-d * d / 120.0);
    return hex(0xFFD66B, glow);
}

// A mask `w` x `h` whose rounded hole starts `border` pixels in; round: an ellipse.
Shader mask(double w, double h, double border, double radius, bool round) {
    return [=](double x, double y) {
        double d;
        if (round) {
            const double rx = w / 2 - border, ry = h / 2 - border;
            d = (std::hypot((x - w / 2) / rx, (y - h / 2) / ry) - 1.0) * std::min(rx, ry);
        } else {
            d = roundedBox(x, y, border, border, w - border, h - border, radius);
        }
        // Dark outside, clear inside, over a 6 px feather; a gold rim on the edge.
        Rgba out = hex(0x000000, smooth(-1.0, 5.0, d));
        const double rim = std::exp(-(d - 1.0) * (d - 1.0) / 2.5);
        return over(hex(0xFFD66B, 0.85 * rim), out);
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tutorial_image_gen <media directory>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/tutorial/";
    // Holes: two cells one above the other (64 x 128 with 6 px around), two
    // side by side, the goals panel (300 x 186), the moves panel (220 x 186)
    // and a round one for a button or a slot (110 across). Each hole starts 24 px in.
    const bool ok = writePicture(dir + "tutorial_panel.png", 400, 150, panel) &&
                    writePicture(dir + "tutorial_arrow.png", 56, 72, arrow) &&
                    writePicture(dir + "tutorial_aura.png", 440, 190, aura) &&
                    writePicture(dir + "mask_cells_v.png", 124, 188, mask(124, 188, 24, 12, false)) &&
                    writePicture(dir + "mask_cells_h.png", 188, 124, mask(188, 124, 24, 12, false)) &&
                    writePicture(dir + "mask_goals.png", 348, 234, mask(348, 234, 24, 18, false)) &&
                    writePicture(dir + "mask_moves.png", 268, 234, mask(268, 234, 24, 18, false)) &&
                    writePicture(dir + "mask_round.png", 158, 158, mask(158, 158, 24, 0, true));
    return ok ? 0 : 1;
}

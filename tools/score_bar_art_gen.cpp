// Writes the pictures of the level screen's score bar:
//   score_bar_art_gen <media directory>
// level/score_panel.png (300 x 130: the cream panel under its red ribbon,
// with the sunk track of the bar) and level/score_fill.png (248 x 20: the
// bar's fill, a golden green glass rod). One light from the top left, 4 x 4
// supersampling.
static constexpr const char* kPictureTool = "score_bar_art_gen";
#include <filesystem>

#include "picture_shading.h"

namespace {

// The track the fill runs in: a dark well with a lighter lower lip.
Rgba track(double x, double y) {
    const double d = roundedBox(x, y, 22, 70, 278, 102, 14);
    if (d > 0) {
        // The lip: light where the panel catches the light below the well.
        const double lip = roundedBox(x, y - 2, 22, 70, 278, 102, 14);
        return lip < 0 ? hex(0xFFFFFF, 0.5) : Rgba{};
    }
    const double t = std::clamp((y - 70) / 32.0, 0.0, 1.0);
    Rgba body = mix(hex(0x4A3420), hex(0x6E5034), t);
    // The inner shadow under the top rim.
    body = over(Rgba{0, 0, 0, 0.35 * smooth(6.0, 0.0, y - 70)}, body);
    return d > -1.5 ? hex(0x3A2614) : body;
}

// 300 x 130: the panel, its ribbon (where the count stands) and the track.
Rgba panel(double x, double y) {
    const Rgba sunk = track(x, y);
    return smallCreamPanel(x, y, 6, 18, 294, 126, 60, 240, 54, 12, &sunk);
}

// 248 x 20: the fill, green below gold, with a glassy shine along its top.
Rgba fill(double x, double y) {
    const double d = roundedBox(x, y, 0.5, 0.5, 247.5, 19.5, 9.5);
    if (d > 0) return {};
    const double t = std::clamp(y / 20.0, 0.0, 1.0);
    Rgba body = mix(hex(0xB8E05A), hex(0x4E9A1E), t);
    body = mix(body, hex(0xF2C94C), 0.25 * std::clamp(x / 248.0, 0.0, 1.0));
    const double shine = smooth(1.0, 0.0, std::fabs(y - 5.5) / 2.5) * smooth(0.0, 12.0, std::min(x, 248 - x));
    body = over(Rgba{1, 1, 1, 0.55 * shine}, body);
    return over(d > -1.2 ? hex(0x2F5E12) : body, Rgba{});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: score_bar_art_gen <media directory>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/level/";
    std::filesystem::create_directories(dir);
    const bool ok = writePicture(dir + "score_panel.png", 300, 130, panel) &&
                    writePicture(dir + "score_fill.png", 248, 20, fill);
    return ok ? 0 : 1;
}

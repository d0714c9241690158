// Writes the pictures of our scenes into a content directory:
//   scene_image_gen <media directory>
// images/scene_panel.png (the window panel), images/scene_spinner.png (the
// loading ring) and images/scene_dots.png (four growing dots, one per 32 x 32 frame).
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
    int r, g, b, a;
};

bool writePicture(const std::string& path, uint32_t w, uint32_t h, const std::function<Rgba(int, int)>& pixel) {
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            const Rgba p = pixel(int(x), int(y));
            uint8_t* out = &rgba[(size_t(y) * w + x) * 4];
            out[0] = uint8_t(p.r);
            out[1] = uint8_t(p.g);
            out[2] = uint8_t(p.b);
            out[3] = uint8_t(p.a);
        }
    }
    std::ofstream file(path, std::ios::binary);
    file << QV::encodePng(rgba, w, h);
    if (!file) std::fprintf(stderr, "scene_image_gen: cannot write %s\n", path.c_str());
    return bool(file);
}

Rgba panel(int x, int y) {
    const int w = 256, h = 128;
    const int border = std::min(std::min(x, y), std::min(w - 1 - x, h - 1 - y));
    if (border < 4) return {240, 200, 90, 255};
    const double t = double(y) / h;
    return {int(30 + 30 * t), int(40 + 40 * t), int(110 + 60 * t), 235};
}

// A ring with a 60-degree gap, orange to yellow round the turn.
Rgba spinner(int x, int y) {
    const double dx = x - 31.5, dy = y - 31.5;
    const double r = std::hypot(dx, dy);
    if (r < 20 || r > 30) return {0, 0, 0, 0};
    const double a = std::fmod(std::atan2(dy, dx) * 180.0 / M_PI + 360.0, 360.0);
    if (a > 300) return {0, 0, 0, 0};
    const double k = a / 300;
    return {255, int(120 + 130 * k), int(40 + 60 * k), 255};
}

Rgba dots(int x, int y) {
    const int frame = x / 32;
    const double cx = (x % 32) - 15.5, cy = y - 15.5;
    if (std::hypot(cx, cy) >= 6 + 2 * frame) return {0, 0, 0, 0};
    return {120 + 40 * frame, 220, 255 - 40 * frame, 255};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: scene_image_gen <media directory>\n");
        return 2;
    }
    const std::string images = std::string(argv[1]) + "/images/";
    const bool ok = writePicture(images + "scene_panel.png", 256, 128, panel) &&
                    writePicture(images + "scene_spinner.png", 64, 64, spinner) &&
                    writePicture(images + "scene_dots.png", 128, 32, dots);
    return ok ? 0 : 1;
}

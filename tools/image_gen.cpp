// Writes images in every kind the engine reads, from a generated test picture.
//
//   image_gen <kind> <output> <width> <height> [seed]
//   image_gen set <directory> [width height]
//
// Kinds: png (RGBA), png-rgb, png-grey, png-palette, jpeg (the colour file and
// its alpha twin, "_a" inserted before the extension), dds (DXT5), qvt2, qvt3.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "image_encode.h"

namespace {

bool writeBytes(const std::string& path, const std::string& bytes) {
    if (bytes.empty()) {
        std::fprintf(stderr, "image_gen: nothing to write for %s (size not allowed?)\n",
                     path.c_str());
        return false;
    }
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "image_gen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

std::string alphaTwin(const std::string& path) {
    std::string::size_type dot = path.rfind('.');
    std::string::size_type slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + "_a";
    return path.substr(0, dot) + "_a" + path.substr(dot);
}

// A palette picture: 16 colour bands over a 256-entry palette.
void paletteImage(uint32_t w, uint32_t h, uint32_t seed, std::vector<uint8_t>* palette,
                  std::vector<uint8_t>* indices) {
    palette->resize(1024);
    for (uint32_t i = 0; i < 256; ++i) {
        (*palette)[i * 4 + 0] = static_cast<uint8_t>(i);
        (*palette)[i * 4 + 1] = static_cast<uint8_t>(255 - i);
        (*palette)[i * 4 + 2] = static_cast<uint8_t>(i * 3 + seed);
        (*palette)[i * 4 + 3] = static_cast<uint8_t>(i < 16 ? i * 16 : 255);
    }
    indices->resize(static_cast<size_t>(w) * h);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) (*indices)[y * w + x] = static_cast<uint8_t>(x * 16 / w * 16 + y % 16);
    }
}

bool writeKind(const std::string& kind, const std::string& path, uint32_t w, uint32_t h,
               uint32_t seed) {
    const std::vector<uint8_t> rgba = QV::makeTestPattern(w, h, seed);
    QV::PngEncodeOptions png;
    if (kind == "png") return writeBytes(path, QV::encodePng(rgba, w, h, png));
    if (kind == "png-rgb") {
        png.layout = QV::PngLayout::RGB;
        return writeBytes(path, QV::encodePng(rgba, w, h, png));
    }
    if (kind == "png-grey") {
        png.layout = QV::PngLayout::GreyAlpha;
        return writeBytes(path, QV::encodePng(rgba, w, h, png));
    }
    if (kind == "png-palette") {
        std::vector<uint8_t> palette, indices, mapped;
        paletteImage(w, h, seed, &palette, &indices);
        for (uint8_t i : indices) mapped.insert(mapped.end(), &palette[i * 4], &palette[i * 4] + 4);
        png.layout = QV::PngLayout::Palette;
        return writeBytes(path, QV::encodePng(mapped, w, h, png));
    }
    if (kind == "jpeg") {
        QV::JpegPair pair = QV::encodeJpegPair(rgba, w, h);
        return writeBytes(path, pair.colour) && writeBytes(alphaTwin(path), pair.alpha);
    }
    if (kind == "dds") return writeBytes(path, QV::encodeDdsDxt5(rgba, w, h));
    if (kind == "qvt2") return writeBytes(path, QV::encodeQvt2(rgba, w, h));
    if (kind == "qvt3") {
        std::vector<uint8_t> palette, indices;
        paletteImage(w, h, seed, &palette, &indices);
        return writeBytes(path, QV::encodeQvt3(palette, indices, w, h));
    }
    std::fprintf(stderr, "image_gen: unknown kind '%s'\n", kind.c_str());
    return false;
}

int usage() {
    std::fprintf(stderr,
                 "usage: image_gen <kind> <output> <width> <height> [seed]\n"
                 "       image_gen set <directory> [width height]\n"
                 "kinds: png png-rgb png-grey png-palette jpeg dds qvt2 qvt3\n");
    return 2;
}

bool parseSide(const char* text, uint32_t* out) {
    char* end = nullptr;
    unsigned long v = std::strtoul(text, &end, 10);
    if (!end || *end || v == 0 || v > 8192) return false;
    *out = static_cast<uint32_t>(v);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string kind = argv[1];
    if (kind == "set") {
        uint32_t w = 64, h = 32;
        if (argc == 5 && (!parseSide(argv[3], &w) || !parseSide(argv[4], &h))) return usage();
        if (argc != 3 && argc != 5) return usage();
        const std::string dir = argv[2];
        const struct { const char* kind; const char* file; } set[] = {
            {"png", "rgba.png"}, {"png-rgb", "rgb.png"}, {"png-grey", "grey.png"},
            {"png-palette", "palette.png"}, {"jpeg", "colour.jpg"}, {"dds", "dxt5.dds"},
            {"qvt2", "tiles.qvt"}, {"qvt3", "palette.qvt"},
        };
        for (const auto& entry : set) {
            if (!writeKind(entry.kind, dir + "/" + entry.file, w, h, 0)) return 1;
        }
        return 0;
    }
    if (argc < 5 || argc > 6) return usage();
    uint32_t w = 0, h = 0;
    if (!parseSide(argv[3], &w) || !parseSide(argv[4], &h)) return usage();
    uint32_t seed = argc == 6 ? static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 10)) : 0;
    return writeKind(kind, argv[2], w, h, seed) ? 0 : 1;
}

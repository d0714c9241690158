// Rasterizes Debian's DejaVu fonts through FreeType into the game's bitmap
// fonts: one PNG per level and a Lua description with the character lists.
//   font_gen <media directory> [font directory]
// The font directory defaults to /usr/share/fonts/truetype/dejavu. Files land
// in <media>/fonts/; the resource names to list are printed.
//
// Every glyph is a cell as wide as its advance and as tall as the line, with
// the baseline at the ascender, so the first entry's height is the line
// height and widths are advances. Levels are the same glyphs rasterized at
// the level's scale.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "image_encode.h"

namespace {

struct Range {
    uint32_t first;
    uint32_t last;
};

struct FontSpec {
    std::string name;         // resource stem: "<name>_fnt", "<name>_image", "<name>_mip%i_image"
    std::string file;         // TrueType file in the font directory
    int pixelSize;            // level 0
    std::vector<Range> ranges;
    std::vector<float> scales;  // one per level, the first 1.0
};

struct Cell {
    uint32_t code;
    int x, y, width, height;
};

struct Level {
    std::vector<Cell> cells;
    std::vector<uint8_t> rgba;
    int width = 0;
    int height = 0;
};

const std::vector<Range> kAscii = {{32, 126}};
const std::vector<Range> kLatin = {{32, 126}, {160, 255}};
const std::vector<Range> kText = {{32, 126}, {160, 255}, {0x401, 0x45F}, {0x2013, 0x2014}, {0x2018, 0x2019},
                                  {0x201C, 0x201D}, {0x2026, 0x2026}};

int nextPowerOfTwo(int v) {
    int p = 1;
    while (p < v) p <<= 1;
    return p;
}

// Codes of the ranges that the face has a glyph for (the space always).
std::vector<uint32_t> availableCodes(FT_Face face, const std::vector<Range>& ranges) {
    std::vector<uint32_t> codes;
    for (const Range& r : ranges) {
        for (uint32_t c = r.first; c <= r.last; ++c) {
            if (c == 32 || FT_Get_Char_Index(face, c) != 0) codes.push_back(c);
        }
    }
    return codes;
}

bool rasterize(FT_Face face, int pixelSize, const std::vector<uint32_t>& codes, Level* level) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) return false;
    const int ascender = static_cast<int>(std::ceil(face->size->metrics.ascender / 64.0));
    const int descender = static_cast<int>(std::floor(face->size->metrics.descender / 64.0));
    const int lineHeight = ascender - descender;
    const int atlasWidth = nextPowerOfTwo(pixelSize * 16);

    struct Bitmap {
        int advance, left, top, width, rows;
        std::vector<uint8_t> coverage;
    };
    std::vector<Bitmap> bitmaps;
    for (uint32_t code : codes) {
        if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return false;
        const FT_GlyphSlot slot = face->glyph;
        Bitmap b;
        b.advance = static_cast<int>(std::lround(slot->advance.x / 64.0));
        b.left = slot->bitmap_left;
        b.top = slot->bitmap_top;
        b.width = static_cast<int>(slot->bitmap.width);
        b.rows = static_cast<int>(slot->bitmap.rows);
        b.coverage.resize(static_cast<size_t>(b.width) * b.rows);
        for (int y = 0; y < b.rows; ++y) {
            for (int x = 0; x < b.width; ++x) {
                b.coverage[static_cast<size_t>(y) * b.width + x] = slot->bitmap.buffer[y * slot->bitmap.pitch + x];
            }
        }
        bitmaps.push_back(std::move(b));
    }

    // Rows of cells with one pixel between them.
    int x = 1, y = 1;
    level->cells.clear();
    for (size_t i = 0; i < codes.size(); ++i) {
        const int w = std::max(bitmaps[i].advance, 1);
        if (x + w + 1 > atlasWidth) {
            x = 1;
            y += lineHeight + 1;
        }
        level->cells.push_back(Cell{codes[i], x, y, w, lineHeight});
        x += w + 1;
    }
    level->width = atlasWidth;
    level->height = nextPowerOfTwo(y + lineHeight + 1);
    level->rgba.assign(static_cast<size_t>(level->width) * level->height * 4, 0);
    for (size_t i = 0; i < codes.size(); ++i) {
        const Cell& cell = level->cells[i];
        const Bitmap& b = bitmaps[i];
        for (int by = 0; by < b.rows; ++by) {
            const int cy = ascender - b.top + by;
            if (cy < 0 || cy >= cell.height) continue;
            for (int bx = 0; bx < b.width; ++bx) {
                const int cx = b.left + bx;
                if (cx < 0 || cx >= cell.width) continue;
                uint8_t* p = &level->rgba[(static_cast<size_t>(cell.y + cy) * level->width + cell.x + cx) * 4];
                p[0] = p[1] = p[2] = 255;
                p[3] = b.coverage[static_cast<size_t>(by) * b.width + bx];
            }
        }
    }
    return true;
}

std::string charList(const std::string& global, const std::vector<Cell>& cells) {
    std::string text = global + " = {\n";
    for (const Cell& c : cells) {
        text += "    { " + std::to_string(c.code) + ", " + std::to_string(c.x) + ", " + std::to_string(c.y) + ", " +
                std::to_string(c.width) + ", " + std::to_string(c.height) + " },\n";
    }
    return text + "}\n";
}

std::string scaleText(float scale) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", scale);
    return buffer;
}

bool writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

std::string levelImage(const FontSpec& spec, size_t level) {
    return level == 0 ? spec.name + "_image" : spec.name + "_mip" + std::to_string(level) + "_image";
}

std::string levelFile(const FontSpec& spec, size_t level) {
    return level == 0 ? spec.name + ".png" : spec.name + "_mip" + std::to_string(level) + ".png";
}

void listLine(const std::string& name, const std::string& location) {
    std::printf("    { name = \"%s\", filename = \"/fonts/%s\" },\n", name.c_str(), location.c_str());
}

// Writes the levels and the description; the level-0 cells are returned for
// fonts that share the picture.
bool generate(FT_Library library, const std::string& fontDir, const std::filesystem::path& out, const FontSpec& spec,
              std::vector<Cell>* levelZero) {
    FT_Face face = nullptr;
    const std::string path = fontDir + "/" + spec.file;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "font_gen: cannot open %s\n", path.c_str());
        return false;
    }
    const std::vector<uint32_t> codes = availableCodes(face, spec.ranges);
    std::string lua = "-- " + spec.name + "_fnt: " + spec.file + " at " + std::to_string(spec.pixelSize) +
                      " px, written by font_gen.\n";
    std::string lists;
    bool ok = true;
    for (size_t i = 0; i < spec.scales.size() && ok; ++i) {
        Level level;
        const int size = static_cast<int>(std::lround(spec.pixelSize * spec.scales[i]));
        ok = rasterize(face, size, codes, &level);
        if (!ok) break;
        const std::string png = QV::encodePng(level.rgba, static_cast<uint32_t>(level.width),
                                              static_cast<uint32_t>(level.height));
        ok = !png.empty() && writeBytes(out / levelFile(spec, i), png);
        lua += (i == 0 ? std::string("Image") : "MIP" + std::to_string(i)) + " = \"" + levelImage(spec, i) + "\"\n";
        lua += "MIP" + std::to_string(i) + "Scale = " + scaleText(spec.scales[i]) + "\n";
        lists += charList(i == 0 ? std::string("CharList") : "CharList" + std::to_string(i), level.cells);
        if (i == 0 && levelZero) *levelZero = level.cells;
        listLine(levelImage(spec, i), levelFile(spec, i));
    }
    FT_Done_Face(face);
    if (!ok) {
        std::fprintf(stderr, "font_gen: failed to rasterize %s\n", spec.name.c_str());
        return false;
    }
    listLine(spec.name + "_fnt", spec.name + ".lua");
    return writeBytes(out / (spec.name + ".lua"), lua + lists);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: font_gen <media directory> [font directory]\n");
        return 2;
    }
    const std::string fontDir = argc > 2 ? argv[2] : "/usr/share/fonts/truetype/dejavu";
    const std::filesystem::path out = std::filesystem::path(argv[1]) / "fonts";
    std::filesystem::create_directories(out);

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "font_gen: FreeType failed to start\n");
        return 1;
    }
    const std::vector<FontSpec> specs = {
        {"font2", "DejaVuSans-Bold.ttf", 16, kLatin, {1.0f, 1.5f, 2.0f}},
        {"small_font", "DejaVuSans.ttf", 12, kText, {1.0f, 2.0f}},
    };
    std::vector<Cell> font2;
    bool ok = true;
    for (const FontSpec& spec : specs) ok = generate(library, fontDir, out, spec, spec.name == "font2" ? &font2 : nullptr) && ok;
    FT_Done_FreeType(library);
    if (!ok) return 1;

    // The debug font: the printable ASCII cells of font2's first picture.
    std::vector<Cell> ascii;
    for (const Cell& c : font2) {
        if (c.code >= kAscii[0].first && c.code <= kAscii[0].last) ascii.push_back(c);
    }
    const std::string debug = "-- system_font_fnt: the debug font over font2's picture, written by font_gen.\n"
                              "Image = \"font2_image\"\n" + charList("CharList", ascii);
    if (!writeBytes(out / "system_font.lua", debug)) return 1;
    listLine("system_font_fnt", "system_font.lua");
    return 0;
}

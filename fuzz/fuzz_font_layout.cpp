// Any bytes as a text, a box and layout settings for a bitmap font: both
// wrapping layouts keep their lines inside the line table and inside the
// text, and the bounds stay finite, however long or strange the text.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config_manager.h"
#include "fast_sprite.h"
#include "file_system.h"
#include "image_encode.h"
#include "log_system.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "ui/ui_font.h"

namespace {

void write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Content with one font (Latin letters, ideographs, the full stop, an
// accented letter) over a white picture, in a language that breaks CJK text.
QV::UIFont* makeFont() {
    char pattern[] = "/tmp/qv_fuzz_font_XXXXXX";
    const char* root = mkdtemp(pattern);
    // The log file lands in the content's folder; the fuzzer's own paths stay relative to where it started.
    const std::filesystem::path previous = std::filesystem::current_path();
    if (!root || chdir(root) != 0) std::abort();
    write("media/config.lua",
          "config = { platforms = { { name = 'pc', directories = { 'common' }, resolution = { 320, 180 } } },\n"
          "  currentPlatform = 'pc', currentLanguage = 'ja', defaultLanguage = 'en' }\n");
    write("media/filelist.lua", "directories = { common = { { '/lists/default.lua' } } }\n");
    write("media/lists/default.lua",
          "name = 'default'\nfilelist = { { name = 'f_fnt', filename = '/f.lua' }, "
          "{ name = 'f_image', filename = '/f.png' } }\n");
    std::string list = "Image = 'f_image'\nCharList = {\n  { 32, 0, 0, 4, 15 },\n";
    const unsigned codes[] = {'a', 'b', 'W', 0x4E00, 0x3002, 0xE9, 0xFFFE};
    for (unsigned code : codes) list += "  { " + std::to_string(code) + ", 16, 0, " + std::to_string(code % 13 + 1) + ", 10 },\n";
    write("media/f.lua", list + "}\n");
    write("media/f.png", QV::encodePng(std::vector<uint8_t>(64 * 64 * 4, 255), 64, 64));

    QV::gContentDirectory = std::string(root) + "/media/";
    new QV::LogSystem();
    QV::FileSystem* files = new QV::FileSystem();
    (new QV::ConfigManager())->load();
    files->reloadFileTable();
    new QV::TextureManager();
    new QV::SpriteManager<QV::FastSprite>();
    QV::UIFont* font = new QV::UIFont("f_fnt", "default");
    std::filesystem::current_path(previous);
    return font;
}

const char16_t kAlphabet[] = {u'a', u'b', u' ', u'\n', 0x4E00, 0x3002, u'W', 0xE9};

void checkLines(const QV::UIFontLine* lines, int count, size_t length, bool boundsLayout) {
    if (count < 0 || count > QV::UIFont::kMaxLines) __builtin_trap();
    const size_t laidOut = length < QV::UIFont::kMaxLayoutLength ? length : QV::UIFont::kMaxLayoutLength;
    for (int i = 0; i < count; ++i) {
        const QV::UIFontLine& line = lines[i];
        if (line.end == 0xFFFF || line.start > laidOut) __builtin_trap();
        // Only the bounds layout makes empty lines (end one before start).
        if (line.end + 1 < line.start || (!boundsLayout && line.end < line.start)) __builtin_trap();
        if (line.end >= laidOut && line.end + 1 != line.start) __builtin_trap();
        if (!std::isfinite(line.width) || line.width < 0) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QV::UIFont* font = makeFont();
    if (size < 3) return 0;
    const float W = float(data[0]) * 1.5f;
    const int halign = data[1] % 3;
    const int valign = data[1] / 3 % 3;
    const float xcoeff = float(data[2] % 4) * 0.5f;
    const bool wrap = (data[2] & 0x80) == 0;
    std::u16string text;
    for (size_t i = 3; i < size; ++i) {
        const uint8_t b = data[i];
        text += b >= 0xF8 ? char16_t(b * 257) : kAlphabet[b % 8];
    }
    // Long inputs also stand for texts beyond the 16-bit indices.
    if (size > 2 && data[size - 1] == 0xF7) text.append(70000, u'a');

    QV::UIFontLine lines[QV::UIFont::kMaxLines];
    checkLines(lines, font->layoutDrawLines(text.data(), text.size(), W, xcoeff, lines), text.size(), false);
    checkLines(lines, font->layoutBoundsLines(text.data(), text.size(), W, xcoeff, lines), text.size(), true);
    QV::Rect bounds;
    font->textBounds(QV::Vector2<float>(3, 4), bounds, text, wrap, halign, valign, xcoeff, 1.0f, W, 100.0f);
    if (!std::isfinite(bounds.left) || !std::isfinite(bounds.right) || bounds.right < bounds.left) __builtin_trap();
    return 0;
}

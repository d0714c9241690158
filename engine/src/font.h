#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "vector2.h"

namespace QV {

class Sprite;

// One character of the debug font: its rectangle in the picture, and its own
// position in the glyph array (-1 when the range has no entry for the code).
struct FontGlyph {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    int32_t index = -1;
};

// The debug font: narrow text over a contiguous range of codes, each with a
// rectangle in the picture "font2_image", drawn glyph by glyph through one
// sprite. No wrapping, no alignment, no levels.
class Font {
public:
    // Widest range a description may span; bytes reach at most 256 of it.
    static constexpr int32_t kMaxGlyphCount = 65536;

    Font() = default;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font();

    // Runs the description script of package "default" and builds the glyph
    // table; every fault of a description is fatal. A name that no file list
    // holds logs a warning and gives false: the font then draws nothing.
    bool load(const std::string& name);
    // Frees the glyphs and gives the sprite back to its manager.
    void release();

    // Draws each byte's glyph at its own size; the scale spaces them only.
    void drawText(const Vector2<float>& position, const std::string& text, float scale, const Color& color);
    // The same with the colour as four floats 0..1.
    void drawText(const std::string& text, float x, float y, float scale, float r, float g, float b, float a);

    // The glyph a byte draws with, or -1 when the byte is skipped.
    int32_t glyphForByte(uint8_t byte) const;

    int32_t firstCode() const { return mFirstCode; }
    int32_t lastCode() const { return mLastCode; }
    int32_t glyphCount() const { return mGlyphCount; }
    const std::vector<FontGlyph>& glyphs() const { return mGlyphs; }
    Sprite* sprite() const { return mSprite; }

private:
    std::vector<FontGlyph> mGlyphs;
    Sprite* mSprite = nullptr;
    int32_t mFirstCode = 0;
    int32_t mLastCode = 0;
    int32_t mGlyphCount = 0;
};

}  // namespace QV

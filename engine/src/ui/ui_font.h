#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "color.h"
#include "matrix3.h"
#include "rect.h"
#include "vector2.h"

namespace QV {

class FastSprite;

// A glyph's rectangle in its level's picture, pixels.
struct UIFontGlyph {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

// One resolution of the font's pictures. Only the level in use holds a sprite
// (and so a texture).
struct UIFontLevel {
    FastSprite* sprite = nullptr;
    float scale = 1.0f;
    std::vector<UIFontGlyph> glyphs;
    std::string image;
    std::string package;
};

// A laid-out line: inclusive character range and width.
struct UIFontLine {
    uint16_t start = 0;
    uint16_t end = 0;
    float width = 0.0f;
};

// The bitmap font of the user interface, scene texts and captions: glyphs of
// UTF-16 code units at up to four resolutions chosen by the window fit,
// looked up through a direct index, drawn through one fast sprite per level.
// Shared and counted by UIFontManager.
class UIFont {
public:
    static constexpr int kMaxLevels = 4;
    // Codes 0..0xFFFE have an entry; 0xFFFF never has a glyph.
    static constexpr uint32_t kIndexSize = 0xFFFF;
    static constexpr uint16_t kNoGlyph = 0xFFFF;
    // The layout's line table.
    static constexpr int kMaxLines = 128;
    // Line indices are 16-bit and 0xFFFF marks an open line: longer texts are cut.
    static constexpr size_t kMaxLayoutLength = 0xFFFE;

    struct BreakPoint {
        bool allowed;
        char16_t character;
    };

    UIFont(const std::string& name, const std::string& package);
    ~UIFont();
    UIFont(const UIFont&) = delete;
    UIFont& operator=(const UIFont&) = delete;

    // Reads the description script; every fault of a description is fatal.
    void load(const std::string& name, const std::string& package);
    // The level nearest the window fit scale (the later one on a tie), with
    // its sprite; the others lose theirs. Null without levels.
    UIFontLevel* selectMipLevel();
    // Rounds to whole window pixels; a fraction of exactly one half rounds down.
    Vector2<float> snapToPixels(const Vector2<float>& position) const;
    // Level-0 widths plus spacing x * xcoeff of the characters that have a glyph.
    float measureRun(const char16_t* first, const char16_t* end, float xcoeff) const;
    // Whether a line may break after c, in the configured language.
    static BreakPoint canBreak(char16_t c, char16_t next);
    static BreakPoint canBreak(char16_t c, char16_t next, bool cjk);
    static bool isCjkLanguage(const std::string& language);

    // One narrow line; bytes 0x80..0xFF stand for 0xFF80..0xFFFF. Always snapped.
    void drawLine(const Rect& clipRect, const Vector2<float>& position, const std::string& text, int centre,
                  float xcoeff, float ycoeff, bool clip, float boxHeight);
    // Wrapped (when asked) and aligned in a box of width W and height H.
    void drawText(const Rect& clipRect, const Vector2<float>& position, const std::u16string& text, bool wordWrap,
                  int halign, int valign, float xcoeff, float ycoeff, bool clip, bool snap, float W, float H);
    // As drawText under a node matrix; at most characterLimit glyphs when it is above 0.
    void drawTransformed(const Vector2<float>& boxSize, const Matrix3& matrix, const std::u16string& text,
                         bool wordWrap, int halign, int valign, float xcoeff, float ycoeff, bool clip,
                         const Rect& clipRect, bool snap, int characterLimit);
    // The rectangle the laid-out glyphs cover, grown from the position.
    void textBounds(const Vector2<float>& position, Rect& result, const std::u16string& text, bool wordWrap,
                    int halign, int valign, float xcoeff, float ycoeff, float W, float H) const;

    // The two line layouts (wrapping) of the draw operations and of
    // textBounds; at most kMaxLines lines, returns the line count.
    int layoutDrawLines(const char16_t* text, size_t length, float W, float xcoeff, UIFontLine* lines) const;
    int layoutBoundsLines(const char16_t* text, size_t length, float W, float xcoeff, UIFontLine* lines) const;
    // spacing y * ycoeff + the height of glyph 0 of level 0.
    float lineHeight(float ycoeff) const;
    float totalHeight(int lineCount, float ycoeff) const;

    uint16_t glyphOf(char16_t code) const { return code < kIndexSize ? mGlyphIndex[code] : kNoGlyph; }
    int32_t glyphCount() const { return mGlyphCount; }
    int32_t levelCount() const { return mLevelCount; }
    const UIFontLevel& level(int i) const { return mLevels[i]; }
    // The level that holds a sprite now, or -1.
    int currentLevel() const;
    float widestWidth() const { return mWidestWidth; }
    float tallestHeight() const { return mTallestHeight; }
    uint16_t widestCharacter() const { return mWidestCharacter; }
    uint16_t tallestCharacter() const { return mTallestCharacter; }

    const Color& getColor() const { return mColor; }
    void setColor(const Color& color) { mColor = color; }
    float getSpacingX() const { return mSpacingX; }
    float getSpacingY() const { return mSpacingY; }

    int getRefCount() const { return mRefCount; }
    void addReference() { ++mRefCount; }
    // The count left.
    int releaseReference() { return --mRefCount; }

private:
    void releaseLevels();
    static float fitScale();
    bool measurable() const { return mLevelCount > 0 && mGlyphCount > 0; }
    int singleLine(size_t length, const char16_t* text, float xcoeff, UIFontLine* lines) const;
    void drawGlyph(UIFontLevel& level, uint16_t glyph, const Vector2<float>& at, bool clip, const Rect& clipRect);
    // Calls place(x, y, glyph) for every glyph of the laid-out lines, box-relative.
    template <class Place>
    void placeGlyphs(const char16_t* text, const UIFontLine* lines, int count, float W, float H, int halign,
                     int valign, float xcoeff, float ycoeff, Place place) const;

    int32_t mGlyphCount = 0;
    std::unique_ptr<uint16_t[]> mGlyphIndex;
    Color mColor;
    float mSpacingX = 5.0f;
    float mSpacingY = 5.0f;
    int32_t mRefCount = 0;
    float mWidestWidth = 0.0f;
    float mTallestHeight = 0.0f;
    uint16_t mTallestCharacter = 0;
    uint16_t mWidestCharacter = 0;
    UIFontLevel mLevels[kMaxLevels];
    int32_t mLevelCount = 0;
};

}  // namespace QV

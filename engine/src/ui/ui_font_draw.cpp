// Drawing and bounds of UIFont: glyphs placed on the laid-out lines, aligned
// in their box, drawn one by one through the level's fast sprite.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "fast_sprite.h"
#include "ui/ui_font.h"

namespace QV {

namespace {

// trunc(c * s) / s: the transformed text snaps toward zero.
float truncateToPixels(float c, float s) { return s > 0.0f ? std::trunc(c * s) / s : c; }

// Narrow bytes widen by sign: 0x80..0xFF become 0xFF80..0xFFFF.
char16_t widenByte(char c) { return static_cast<char16_t>(static_cast<int16_t>(static_cast<signed char>(c))); }

}  // namespace

template <class Place>
void UIFont::placeGlyphs(const char16_t* text, const UIFontLine* lines, int count, float W, float H, int halign,
                         int valign, float xcoeff, float ycoeff, Place place) const {
    const float lh = lineHeight(ycoeff);
    const float total = totalHeight(count, ycoeff);
    const float yOffset = valign == 1 ? (H - total) * 0.5f : (valign == 2 ? H - total : 0.0f);
    const std::vector<UIFontGlyph>& glyphs = mLevels[0].glyphs;
    const float spacing = mSpacingX * xcoeff;
    for (int m = 0; m < count; ++m) {
        const UIFontLine& line = lines[m];
        const float xOffset = halign == 1 ? (W - line.width) * 0.5f : (halign == 2 ? W - line.width : 0.0f);
        const float y = yOffset + float(m) * lh;
        float advance = 0.0f;
        for (uint32_t i = line.start; i <= line.end; ++i) {
            const uint16_t g = glyphOf(text[i]);
            if (g == kNoGlyph) continue;
            if (!place(xOffset + advance, y, g)) return;
            advance += glyphs[g].width + spacing;
        }
    }
}

void UIFont::drawGlyph(UIFontLevel& level, uint16_t glyph, const Vector2<float>& at, bool clip,
                       const Rect& clipRect) {
    FastSprite* sprite = level.sprite;
    const UIFontGlyph& size = mLevels[0].glyphs[glyph];
    const UIFontGlyph& source = level.glyphs[glyph];
    sprite->mSize = Vector2<float>(size.width, size.height);
    sprite->setSrcRect(0, Rect(source.x, source.y, source.x + source.width, source.y + source.height));
    sprite->mPosition = at;
    const bool wasClipped = sprite->mClip;
    sprite->mClip = clip;
    if (wasClipped && !clip) sprite->updateTexCoords();
    if (clip) sprite->mClipRect = clipRect;
    sprite->draw();
}

void UIFont::drawLine(const Rect& clipRect, const Vector2<float>& position, const std::string& text, int centre,
                      float xcoeff, float ycoeff, bool clip, float boxHeight) {
    if (text.empty() || mColor.a == 0 || !measurable()) return;
    UIFontLevel* level = selectMipLevel();
    if (!level || !level->sprite) return;
    level->sprite->setColor(mColor);
    const float y = centre == 1 ? (boxHeight - lineHeight(ycoeff)) * 0.5f : 0.0f;
    const float spacing = mSpacingX * xcoeff;
    float advance = 0.0f;
    for (char c : text) {
        const uint16_t g = glyphOf(widenByte(c));
        if (g == kNoGlyph) continue;
        drawGlyph(*level, g, snapToPixels(Vector2<float>(position.x + advance, position.y + y)), clip, clipRect);
        advance += mLevels[0].glyphs[g].width + spacing;
    }
}

void UIFont::drawText(const Rect& clipRect, const Vector2<float>& position, const std::u16string& text,
                      bool wordWrap, int halign, int valign, float xcoeff, float ycoeff, bool clip, bool snap,
                      float W, float H) {
    if (text.empty() || mColor.a == 0 || !measurable()) return;
    UIFontLevel* level = selectMipLevel();
    if (!level || !level->sprite) return;
    level->sprite->setColor(mColor);
    UIFontLine lines[kMaxLines];
    const int count = wordWrap ? layoutDrawLines(text.data(), text.size(), W, xcoeff, lines)
                               : singleLine(text.size(), text.data(), xcoeff, lines);
    placeGlyphs(text.data(), lines, count, W, H, halign, valign, xcoeff, ycoeff, [&](float x, float y, uint16_t g) {
        Vector2<float> at(position.x + x, position.y + y);
        if (snap) at = snapToPixels(at);
        drawGlyph(*level, g, at, clip, clipRect);
        return true;
    });
}

void UIFont::drawTransformed(const Vector2<float>& boxSize, const Matrix3& matrix, const std::u16string& text,
                             bool wordWrap, int halign, int valign, float xcoeff, float ycoeff, bool clip,
                             const Rect& clipRect, bool snap, int characterLimit) {
    if (text.empty() || mColor.a == 0 || !measurable()) return;
    UIFontLevel* level = selectMipLevel();
    if (!level || !level->sprite) return;
    FastSprite* sprite = level->sprite;
    sprite->setColor(mColor);
    sprite->mPosition = Vector2<float>();
    sprite->mRotationCenter = Vector2<float>();
    sprite->mAngle = 0.0f;
    const float s = snap ? fitScale() : 1.0f;
    // A level scale of 0 in the data would give infinite quads: draw at picture size.
    const float levelScale = level->scale != 0.0f ? level->scale : 1.0f;
    const bool snapSize = snap && std::fabs(level->scale - 1.0f) > FLT_MIN;
    UIFontLine lines[kMaxLines];
    const int count = wordWrap ? layoutDrawLines(text.data(), text.size(), boxSize.x, xcoeff, lines)
                               : singleLine(text.size(), text.data(), xcoeff, lines);
    int drawn = 0;
    placeGlyphs(text.data(), lines, count, boxSize.x, boxSize.y, halign, valign, xcoeff, ycoeff,
                [&](float x, float y, uint16_t g) {
                    Matrix3 glyphMatrix = matrix;
                    glyphMatrix.m20 = matrix.m20 + x * matrix.m00 + y * matrix.m10;
                    glyphMatrix.m21 = matrix.m21 + x * matrix.m01 + y * matrix.m11;
                    if (snap) {
                        glyphMatrix.m20 = truncateToPixels(glyphMatrix.m20, s);
                        glyphMatrix.m21 = truncateToPixels(glyphMatrix.m21, s);
                    }
                    const UIFontGlyph& source = level->glyphs[g];
                    Vector2<float> size(source.width / levelScale, source.height / levelScale);
                    if (snapSize) size = Vector2<float>(truncateToPixels(size.x, s), truncateToPixels(size.y, s));
                    sprite->mSize = size;
                    sprite->setSrcRect(0, Rect(source.x, source.y, source.x + source.width, source.y + source.height));
                    const bool wasClipped = sprite->mClip;
                    sprite->mClip = clip;
                    if (wasClipped && !clip) sprite->updateTexCoords();
                    if (clip) sprite->mClipRect = clipRect;
                    sprite->drawTransformed(glyphMatrix);
                    ++drawn;
                    return !(characterLimit > 0 && drawn >= characterLimit);
                });
}

void UIFont::textBounds(const Vector2<float>& position, Rect& result, const std::u16string& text, bool wordWrap,
                        int halign, int valign, float xcoeff, float ycoeff, float W, float H) const {
    result = Rect(position.x, position.y, position.x, position.y);
    // A font without pictures has no glyph sizes to measure.
    if (text.empty() || !measurable()) return;
    UIFontLine lines[kMaxLines];
    const int count = wordWrap ? layoutBoundsLines(text.data(), text.size(), W, xcoeff, lines)
                               : singleLine(text.size(), text.data(), xcoeff, lines);
    const std::vector<UIFontGlyph>& glyphs = mLevels[0].glyphs;
    placeGlyphs(text.data(), lines, count, W, H, halign, valign, xcoeff, ycoeff, [&](float x, float y, uint16_t g) {
        const Vector2<float> at = snapToPixels(Vector2<float>(position.x + x, position.y + y));
        result.left = std::min(result.left, at.x);
        result.top = std::min(result.top, at.y);
        result.right = std::max(result.right, at.x + glyphs[g].width);
        result.bottom = std::max(result.bottom, at.y + glyphs[g].height);
        return true;
    });
}

}  // namespace QV

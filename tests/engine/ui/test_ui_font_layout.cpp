#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fast_sprite.h"
#include "render_system.h"
#include "support/font_fixture.h"
#include "ui/ui_font.h"

namespace {

using QV::UIFont;
using QV::UIFontLine;
using qvtest::FontMediaFile;
using qvtest::FontWorld;
using qvtest::FontWorldOptions;
using qvtest::GlyphEntry;
using V2 = QV::Vector2<float>;

const QV::Color kWhite = QV::Color::fromBytes(255, 255, 255, 255);

// Space 4 x 15 (glyph 0); a..h, three ideographs, the ideographic full stop
// and 0xFFE9 all 10 x 10.
std::vector<FontMediaFile> media() {
    std::vector<GlyphEntry> entries = {{32, 0, 0, 4, 15}};
    for (unsigned c = 'a'; c <= 'h'; ++c) entries.push_back({c, 0, 0, 10, 10});
    for (unsigned c : {0x4E00u, 0x4E8Cu, 0x4E09u, 0x3002u, 0xFFE9u}) entries.push_back({c, 0, 0, 10, 10});
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].x = float(i % 4 * 16);
        entries[i].y = float(i / 4 * 16);
    }
    return {
        {"default", "box_fnt", "/fonts/box.lua", "Image = 'box_image'\n" + qvtest::charListLua("CharList", entries)},
        {"default", "box_image", "/fonts/box.png", qvtest::cellPng(64, 64, {kWhite})},
        {"default", "mip_fnt", "/fonts/mip.lua",
         "Image = 'box_image'\nMIP1 = 'box_image'\nMIP1Scale = 1.5\n"
         "CharList = { {97, 0, 0, 10.3, 10} }\nCharList1 = { {97, 0, 0, 16, 15} }\n"},
    };
}

struct Lines {
    int count = 0;
    UIFontLine lines[UIFont::kMaxLines];
    std::vector<std::u16string> texts(const std::u16string& text) const {
        std::vector<std::u16string> out;
        for (int i = 0; i < count; ++i) {
            out.push_back(lines[i].end < lines[i].start ? std::u16string()
                                                        : text.substr(lines[i].start, lines[i].end - lines[i].start + 1));
        }
        return out;
    }
};

Lines drawLayout(const UIFont& font, const std::u16string& text, float W) {
    Lines l;
    l.count = font.layoutDrawLines(text.data(), text.size(), W, 0.0f, l.lines);
    return l;
}

Lines boundsLayout(const UIFont& font, const std::u16string& text, float W) {
    Lines l;
    l.count = font.layoutBoundsLines(text.data(), text.size(), W, 0.0f, l.lines);
    return l;
}

using Texts = std::vector<std::u16string>;

TEST(UIFontLayout, WrappingTable) {
    FontWorld world(media());
    UIFont font("box_fnt", "default");
    struct Case {
        const char* what;
        std::u16string text;
        float W;
        Texts drawn;
        Texts bounds;
    } cases[] = {
        {"one word wider than the box stays whole", u"abcdefgh", 50, {u"abcdefgh"}, {u"abcdefgh"}},
        {"second word wraps, the space ends the first line", u"abc def", 50, {u"abc ", u"def"}, {u"abc ", u"def"}},
        {"whole text fits", u"abc def", 100, {u"abc def"}, {u"abc def"}},
        {"a width equal to the box fits only the bounds", u"abc def", 64, {u"abc ", u"def"}, {u"abc def"}},
        {"a line feed without an earlier break", u"abc\n", 100, {u"abc\n"}, {u"abc\n", u""}},
        {"a space before the line feed", u"abc \n", 100, {u"abc \n"}, {u"abc \n"}},
        {"line feeds split lines", u"ab\ncd\nef", 100, {u"ab\n", u"cd\n", u"ef"}, {u"ab\n", u"cd\n", u"ef"}},
        {"ideographs do not break in a Latin language", u"\x4E00\x4E8C\x4E09\x4E00", 25, {u"\x4E00\x4E8C\x4E09\x4E00"},
         {u"\x4E00\x4E8C\x4E09\x4E00"}},
        {"bounds take the first break after a wrap unconditionally", u"ab cdef gh", 35, {u"ab ", u"cdef ", u"gh"},
         {u"ab ", u"cdef gh"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(drawLayout(font, c.text, c.W).texts(c.text), c.drawn) << c.what;
        EXPECT_EQ(boundsLayout(font, c.text, c.W).texts(c.text), c.bounds) << c.what;
    }
    const Lines two = drawLayout(font, u"abc def", 50);
    EXPECT_FLOAT_EQ(two.lines[0].width, 34.0f);
    EXPECT_FLOAT_EQ(two.lines[1].width, 30.0f);
}

TEST(UIFontLayout, CjkBreaksBetweenAnyTwoCharactersButNotBeforeTheFullStop) {
    FontWorldOptions options;
    options.language = "ja";
    FontWorld world(media(), options);
    UIFont font("box_fnt", "default");
    const std::u16string ideographs = u"\x4E00\x4E8C\x4E09\x4E00\x4E8C\x4E09\x4E00\x4E8C";
    EXPECT_EQ(drawLayout(font, ideographs, 35).texts(ideographs),
              (Texts{u"\x4E00\x4E8C\x4E09", u"\x4E00\x4E8C\x4E09", u"\x4E00\x4E8C"}));
    const std::u16string stop = u"\x4E00\x4E8C\x3002\x4E09";
    EXPECT_EQ(drawLayout(font, stop, 25).texts(stop), (Texts{u"\x4E00", u"\x4E8C\x3002", u"\x4E09"}));
    // Latin words still wrap only at spaces.
    EXPECT_EQ(drawLayout(font, u"abcdefgh", 50).count, 1);
}

TEST(UIFontLayout, LongTextsAreCutAtTheLineAndIndexLimits) {
    FontWorld world(media());
    UIFont font("box_fnt", "default");
    std::u16string many;
    for (int i = 0; i < 300; ++i) many += u"ab\n";
    const Lines drawn = drawLayout(font, many, 100);
    EXPECT_EQ(drawn.count, UIFont::kMaxLines);
    EXPECT_EQ(drawn.lines[127].start, 127 * 3);
    EXPECT_EQ(drawn.lines[127].end, 127 * 3 + 2);
    const Lines bounds = boundsLayout(font, many, 100);
    EXPECT_EQ(bounds.count, UIFont::kMaxLines);
    EXPECT_LT(bounds.lines[127].end, many.size());

    std::u16string words;
    for (int i = 0; i < 400; ++i) words += u"abc ";
    EXPECT_EQ(drawLayout(font, words, 45).count, UIFont::kMaxLines);
    EXPECT_EQ(boundsLayout(font, words, 45).count, UIFont::kMaxLines);

    // Indices are 16-bit: a longer text is laid out up to the limit.
    const std::u16string huge(70000, u'a');
    const Lines one = drawLayout(font, huge, 50);
    ASSERT_EQ(one.count, 1);
    EXPECT_EQ(one.lines[0].end, UIFont::kMaxLayoutLength - 1);
    EXPECT_FLOAT_EQ(one.lines[0].width, 10.0f * UIFont::kMaxLayoutLength);
    QV::Rect bounds2;
    font.textBounds(V2(), bounds2, huge, false, 0, 0, 0, 0, 50, 50);
    EXPECT_FLOAT_EQ(bounds2.right, 10.0f * UIFont::kMaxLayoutLength);
}

TEST(UIFontLayout, HeightsAlignmentAndBounds) {
    FontWorld world(media());
    UIFont font("box_fnt", "default");
    EXPECT_FLOAT_EQ(font.lineHeight(1.0f), 20.0f);
    EXPECT_FLOAT_EQ(font.totalHeight(3, 1.0f), 55.0f);
    EXPECT_FLOAT_EQ(font.totalHeight(1, 1.0f), 20.0f);
    EXPECT_FLOAT_EQ(font.totalHeight(0, 1.0f), 20.0f);

    struct Case {
        const char* what;
        std::u16string text;
        bool wrap;
        int halign, valign;
        float ycoeff;
        QV::Rect expected;
    } cases[] = {
        // The rectangle grows from the position, so it always holds it.
        {"left, top", u"abcdefgh", true, 0, 0, 0, {7, 3, 87, 13}},
        {"right: 80 wide in 100 starts 20 in", u"abcdefgh", true, 2, 0, 0, {7, 3, 107, 13}},
        {"centre", u"abcdefgh", true, 1, 0, 0, {7, 3, 97, 13}},
        {"vertical centre of one 15-high line, half a pixel down rounds down", u"abcdefgh", true, 0, 1, 0,
         {7, 3, 87, 55}},
        {"bottom of two lines with spacing", u"abcd\nefgh", true, 0, 2, 1, {7, 3, 47, 3 + 65 + 20 + 10}},
        {"unwrapped line feed is skipped", u"abcd\nefgh", false, 0, 0, 0, {7, 3, 87, 13}},
        {"a space is 4 wide and 15 high", u" ", true, 0, 0, 0, {7, 3, 11, 18}},
    };
    for (const Case& c : cases) {
        QV::Rect bounds;
        font.textBounds(V2(7, 3), bounds, c.text, c.wrap, c.halign, c.valign, 0.0f, c.ycoeff, 100, 100);
        EXPECT_EQ(bounds, c.expected) << c.what << ": " << bounds.left << " " << bounds.top << " " << bounds.right
                                      << " " << bounds.bottom;
    }
    QV::Rect empty(1, 2, 3, 4);
    font.textBounds(V2(5, 6), empty, u"", true, 0, 0, 0, 0, 100, 100);
    EXPECT_EQ(empty, QV::Rect(5, 6, 5, 6));
}

class UIFontDrawing : public testing::Test {
protected:
    UIFontDrawing() : world(media(), options()) {}
    static FontWorldOptions options() {
        FontWorldOptions o;
        o.workspaceWidth = o.workspaceHeight = 200;
        o.device = FontWorldOptions::Device::Recording;
        return o;
    }
    // Quads drawn by f inside one frame (the glyphs share one batch).
    template <class F>
    uint32_t quads(F f) {
        uint32_t count = 0;
        world.frame([&] {
            f();
            count = world.render()->getBatchVertexCount() / 4;
        });
        return count;
    }
    FontWorld world;
};

TEST_F(UIFontDrawing, CharacterLimitAndGlyphPlacementUnderTheNodeMatrix) {
    ASSERT_TRUE(world.ready());
    UIFont font("box_fnt", "default");
    font.setColor(kWhite);
    world.frame([] {});  // uploads the picture
    QV::Matrix3 node;
    node.m00 = node.m11 = 2.0f;
    node.m20 = 100.5f;
    node.m21 = 50.0f;
    auto draw = [&](int limit, bool snap) {
        return quads([&] {
            font.drawTransformed(V2(200, 100), node, u"abcde", true, 0, 0, 0, 0, false, QV::Rect(), snap, limit);
        });
    };
    EXPECT_EQ(draw(3, false), 3u);
    // The last glyph drawn is the third, 20 in: twice that under the matrix.
    QV::FastSprite* sprite = font.level(0).sprite;
    EXPECT_EQ(sprite->cornerPosition(0), V2(140.5f, 50.0f));
    EXPECT_EQ(sprite->cornerPosition(2), V2(160.5f, 70.0f));
    EXPECT_EQ(draw(0, false), 5u);
    EXPECT_EQ(draw(9, true), 5u);
    // Snapped translation is truncated at fit scale 1.
    EXPECT_EQ(sprite->cornerPosition(0), V2(180.0f, 50.0f));
}

TEST_F(UIFontDrawing, TransformedGlyphSizesComeFromTheLevelAndSnapOnlyForScaledLevels) {
    ASSERT_TRUE(world.ready());
    UIFont font("mip_fnt", "default");
    font.setColor(kWhite);
    struct Case {
        int window;
        bool snap;
        int level;
        float width;
    } cases[] = {
        {200, false, 0, 10.3f},  // level 0 at its own size; not snapped even when asked
        {200, true, 0, 10.3f},
        {400, false, 1, 16.0f / 1.5f},  // fit 2 is nearer 1.5: picture size over the level scale
        {400, true, 1, 10.5f},           // trunc(10.67 * 2) / 2
    };
    for (const Case& c : cases) {
        world.setWindowSize(c.window, c.window);
        world.frame([] {});
        quads([&] {
            font.drawTransformed(V2(100, 100), QV::Matrix3(), u"a", false, 0, 0, 0, 0, false, QV::Rect(), c.snap, 0);
        });
        ASSERT_EQ(font.currentLevel(), c.level) << c.window;
        EXPECT_FLOAT_EQ(font.level(c.level).sprite->mSize.x, c.width) << c.window << " snap " << c.snap;
    }
}

TEST_F(UIFontDrawing, NothingWithoutColourOrTextAndNarrowBytesWidenBySign) {
    ASSERT_TRUE(world.ready());
    UIFont font("box_fnt", "default");
    world.frame([] {});
    const QV::Rect clip;
    EXPECT_EQ(quads([&] { font.drawText(clip, V2(), u"abc", true, 0, 0, 0, 0, false, false, 100, 100); }), 0u)
        << "alpha 0 draws nothing";
    font.setColor(kWhite);
    EXPECT_EQ(quads([&] { font.drawText(clip, V2(), u"", true, 0, 0, 0, 0, false, false, 100, 100); }), 0u);
    EXPECT_EQ(quads([&] { font.drawText(clip, V2(), u"a b\nz", true, 0, 0, 0, 0, false, false, 100, 100); }), 3u);
    // 0xE9 stands for 0xFFE9, which has a glyph; 0xFF would be 0xFFFF, which never has one.
    EXPECT_EQ(quads([&] { font.drawLine(clip, V2(), std::string("a\xE9\xFF"), 0, 0, 0, false, 0); }), 2u);
    QV::FastSprite* sprite = font.level(0).sprite;
    EXPECT_EQ(sprite->cornerPosition(0), V2(10, 0));
    // Centred in a 45-high box: (45 - 15) / 2 below the position, snapped.
    quads([&] { font.drawLine(clip, V2(3.4f, 1.0f), "a", 1, 0, 0, false, 45); });
    EXPECT_EQ(sprite->cornerPosition(0), V2(3, 16));
}

TEST_F(UIFontDrawing, ClippedGlyphsAreCutToTheRectangle) {
    ASSERT_TRUE(world.ready());
    UIFont font("box_fnt", "default");
    font.setColor(kWhite);
    world.frame([] {});
    QV::FastSprite* sprite = font.level(0).sprite;
    const QV::Rect clip(0, 0, 15, 100);
    quads([&] { font.drawText(clip, V2(), u"ab", true, 0, 0, 0, 0, true, false, 100, 100); });
    EXPECT_EQ(sprite->cornerPosition(0), V2(10, 0));
    EXPECT_EQ(sprite->cornerPosition(1), V2(15, 0));
    quads([&] { font.drawText(clip, V2(), u"ab", true, 0, 0, 0, 0, false, false, 100, 100); });
    EXPECT_EQ(sprite->cornerPosition(1), V2(20, 0));
    EXPECT_FALSE(sprite->mClip);
}

}  // namespace

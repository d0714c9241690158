#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fast_sprite.h"
#include "render_system.h"
#include "sprite_manager.h"
#include "support/font_fixture.h"
#include "ui/ui_font.h"

namespace {

using QV::UIFont;
using qvtest::FontMediaFile;
using qvtest::FontWorld;
using qvtest::FontWorldOptions;
using qvtest::GlyphEntry;
using V2 = QV::Vector2<float>;

const QV::Color kWhite = QV::Color::fromBytes(255, 255, 255, 255);

// Space 4 x 15 (glyph 0), a..h 10 x 10, W 12 x 14.
std::vector<GlyphEntry> boxGlyphs(float scale = 1.0f) {
    std::vector<GlyphEntry> entries = {{32, 0, 0, 4, 15}};
    for (unsigned c = 'a'; c <= 'h'; ++c) entries.push_back({c, 0, 0, 10, 10});
    entries.push_back({'W', 0, 0, 12, 14});
    for (size_t i = 0; i < entries.size(); ++i) {
        GlyphEntry& e = entries[i];
        e.x = float(i % 4 * 16) * scale;
        e.y = float(i / 4 * 16) * scale;
        e.width *= scale;
        e.height *= scale;
    }
    return entries;
}

std::vector<FontMediaFile> boxMedia(const std::string& description) {
    return {
        {"default", "box_fnt", "/fonts/box.lua", description},
        {"default", "box_image", "/fonts/box.png", qvtest::cellPng(64, 64, {kWhite})},
        {"default", "box2_image", "/fonts/box2.png", qvtest::cellPng(128, 128, {kWhite})},
        {"default", "box3_image", "/fonts/box3.png", qvtest::cellPng(64, 64, {kWhite})},
    };
}

std::string boxDescription() { return "Image = 'box_image'\n" + qvtest::charListLua("CharList", boxGlyphs()); }

TEST(UIFontLoad, GlyphIndexSizesAndExtremes) {
    FontWorld world(boxMedia(boxDescription()));
    UIFont font("box_fnt", "default");
    EXPECT_EQ(font.glyphCount(), 10);
    ASSERT_EQ(font.levelCount(), 1);
    EXPECT_EQ(font.level(0).image, "box_image");
    EXPECT_EQ(font.level(0).package, "default");
    EXPECT_EQ(font.level(0).scale, 1.0f);
    EXPECT_NE(font.level(0).sprite, nullptr);
    EXPECT_EQ(font.glyphOf(u' '), 0);
    EXPECT_EQ(font.glyphOf(u'a'), 1);
    EXPECT_EQ(font.glyphOf(u'W'), 9);
    EXPECT_EQ(font.glyphOf(u'z'), UIFont::kNoGlyph);
    // 0xFFFF lies past the index: never a glyph, never read.
    EXPECT_EQ(font.glyphOf(char16_t(0xFFFF)), UIFont::kNoGlyph);
    EXPECT_EQ(font.widestWidth(), 12.0f);
    EXPECT_EQ(font.widestCharacter(), 'W');
    EXPECT_EQ(font.tallestHeight(), 15.0f);
    EXPECT_EQ(font.tallestCharacter(), ' ');
    EXPECT_EQ(font.getColor(), QV::Color());
    EXPECT_EQ(font.getSpacingX(), 5.0f);
    EXPECT_EQ(font.getSpacingY(), 5.0f);
    EXPECT_EQ(font.getRefCount(), 0);
}

TEST(UIFontLoad, EntriesShortLongRepeatedAndNumericStrings) {
    const std::string description =
        "Image = 'box_image'\n"
        "CharList = { {65, 1, 2, 12}, {'66', 3, 4, 5, 6, 99}, {65, 7, 8, 9, 10}, {65536 + 67, 0, 0, 1, 1} }\n";
    FontWorld world(boxMedia(description));
    UIFont font("box_fnt", "default");
    EXPECT_EQ(font.glyphCount(), 4);
    // The later entry of a repeated code wins; the earlier glyph keeps its rectangle.
    EXPECT_EQ(font.glyphOf(u'A'), 2);
    EXPECT_EQ(font.glyphOf(u'B'), 1);
    EXPECT_EQ(font.glyphOf(u'C'), 3);  // truncated to 16 bits
    const QV::UIFontGlyph& first = font.level(0).glyphs[0];
    EXPECT_EQ(first.width, 12.0f);
    EXPECT_EQ(first.height, 0.0f);  // missing fifth number
    EXPECT_EQ(font.level(0).glyphs[1].height, 6.0f);
}

TEST(UIFontLoad, LevelsTakeImagesByMipNumberAndListsByPresence) {
    std::string description = "Image = 'box_image'\nMIP2 = 'box2_image'\nMIP2Scale = 2\nMIP3 = ''\n" +
                              qvtest::charListLua("CharList", boxGlyphs()) +
                              qvtest::charListLua("CharList1", boxGlyphs(2.0f));
    FontWorld world(boxMedia(description));
    UIFont font("box_fnt", "default");
    ASSERT_EQ(font.levelCount(), 2);
    EXPECT_EQ(font.level(1).image, "box2_image");
    EXPECT_EQ(font.level(1).scale, 2.0f);
    EXPECT_EQ(font.level(1).glyphs[9].width, 24.0f);
    EXPECT_EQ(font.level(0).glyphs[9].width, 12.0f);
}

TEST(UIFontLevels, FitScaleChoosesTheNearestLevelAndDropsTheOther) {
    std::string description = "Image = 'box_image'\nMIP1 = 'box2_image'\nMIP1Scale = 2.0\n" +
                              qvtest::charListLua("CharList", boxGlyphs()) +
                              qvtest::charListLua("CharList1", boxGlyphs(2.0f));
    FontWorldOptions options;
    options.workspaceWidth = options.workspaceHeight = 100;
    options.device = FontWorldOptions::Device::Recording;
    FontWorld world(boxMedia(description), options);
    ASSERT_TRUE(world.ready());
    UIFont font("box_fnt", "default");
    EXPECT_EQ(font.currentLevel(), 0);
    const size_t spritesBefore = world.fastSprites().spriteCount();
    struct Case {
        int window;
        int level;
    } cases[] = {{140, 0}, {150, 1}, {160, 1}, {100, 0}, {300, 1}};
    for (const Case& c : cases) {
        world.setWindowSize(c.window, c.window);
        QV::UIFontLevel* level = font.selectMipLevel();
        ASSERT_NE(level, nullptr);
        EXPECT_EQ(level, &font.level(c.level)) << c.window;
        EXPECT_EQ(font.currentLevel(), c.level) << c.window;
        EXPECT_NE(level->sprite, nullptr);
        EXPECT_EQ(font.level(1 - c.level).sprite, nullptr) << "the other level holds no picture";
        EXPECT_EQ(world.fastSprites().spriteCount(), spritesBefore);
    }
}

TEST(UIFontLevels, SnapToPixelsRoundsHalfDownAndTruncatesNegatives) {
    FontWorldOptions options;
    options.workspaceWidth = options.workspaceHeight = 100;
    options.windowWidth = options.windowHeight = 200;
    options.device = FontWorldOptions::Device::Recording;
    FontWorld world(boxMedia(boxDescription()), options);
    ASSERT_TRUE(world.ready());
    UIFont font("box_fnt", "default");
    struct Case {
        float in, out;
    } cases[] = {{10.3f, 10.5f}, {10.25f, 10.0f}, {-10.3f, -10.0f}, {3.0f, 3.0f}, {0.74f, 0.5f}, {0.76f, 1.0f}};
    for (const Case& c : cases) {
        const V2 snapped = font.snapToPixels(V2(c.in, c.in));
        EXPECT_FLOAT_EQ(snapped.x, c.out) << c.in;
        EXPECT_FLOAT_EQ(snapped.y, c.out) << c.in;
    }
}

TEST(UIFontMeasure, RunsSumLevelZeroWidthsAndSpacing) {
    FontWorld world(boxMedia(boxDescription()));
    UIFont font("box_fnt", "default");
    const std::u16string aW = u"aW";
    EXPECT_FLOAT_EQ(font.measureRun(aW.data(), aW.data() + 2, 0.0f), 22.0f);
    EXPECT_FLOAT_EQ(font.measureRun(aW.data(), aW.data() + 2, 1.0f), 32.0f);
    const std::u16string missing = u"z\xFFFF\n";
    EXPECT_FLOAT_EQ(font.measureRun(missing.data(), missing.data() + 3, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(font.measureRun(aW.data(), aW.data(), 1.0f), 0.0f);
}

TEST(UIFontBreaks, BreakRuleTable) {
    struct Case {
        char16_t c, next;
        bool cjk, allowed;
    } cases[] = {
        {u'A', u'B', false, false},  {u'A', u'B', true, false},        {0x4E2D, 0x4E2D, true, true},
        {0x4E2D, 0x4E2D, false, false}, {0x4E2D, 0x3002, true, false}, {u' ', 0x3002, true, false},
        {u' ', 0x3002, false, true}, {u' ', u'x', false, true},         {u'\n', 0, false, true},
        {0x4E2D, 0x3001, true, false}, {0x4E2D, 0xFF1F, true, false},   {0x4E2D, 0xFF01, true, false},
        {0x00E9, u'x', true, false}, {0x0100, u'x', true, true},
    };
    for (const Case& c : cases) {
        const UIFont::BreakPoint point = UIFont::canBreak(c.c, c.next, c.cjk);
        EXPECT_EQ(point.allowed, c.allowed) << std::hex << int(c.c) << " " << int(c.next) << " cjk " << c.cjk;
        EXPECT_EQ(point.character, c.allowed ? c.c : char16_t(0));
    }
    for (const char* language : {"ja", "JA", "ko", "KO", "ch", "CH"}) EXPECT_TRUE(UIFont::isCjkLanguage(language));
    for (const char* language : {"Ja", "jap", "en", "", "zh"}) EXPECT_FALSE(UIFont::isCjkLanguage(language));
}

TEST(UIFontFaults, DescriptionFaultsAreFatal) {
    const std::string list = qvtest::charListLua("CharList", boxGlyphs());
    struct Case {
        std::string description;
        const char* report;
    } cases[] = {
        {"Image = 'box_image'\nthis is not lua", "Failed to load fault0_fnt in default package"},
        {"Image = 'box_image'\n", "Description:\n  \n.*Line:\n  90"},
        {"Image = 'box_image'\nMIP1 = 'box2_image'\n" + list, "Failed to open font CharList table!"},
        {"Image = 'box_image'\nCharList = { {32, 0, 0, 4, 15}, 7 }\n", "Description:\n  \n.*Line:\n  113"},
        {"Image = 'box_image'\nCharList = { {65535, 0, 0, 4, 15} }\n", "Description:\n  \n.*Line:\n  125"},
        {"Image = 'box_image'\nCharList = { {-1, 0, 0, 4, 15} }\n", "Line:\n  125"},
        // A level list longer than "CharList" would write past its glyphs.
        {"Image = 'box_image'\nMIP1 = 'box2_image'\nCharList = { {65, 0, 0, 1, 1} }\n"
         "CharList1 = { {65, 0, 0, 1, 1}, {66, 0, 0, 1, 1} }\n",
         "CharList1 has more entries than CharList"},
        {"Image = 'box_image'\nMIP1 = 'box2_image'\nCharList = { {65, 0, 0, 1, 1} }\n"
         "CharList1 = { {66, 0, 0, 1, 1} }\n",
         "CharList1 entry 1 is not the character of CharList"},
    };
    std::vector<FontMediaFile> media = boxMedia(boxDescription());
    const size_t count = sizeof cases / sizeof cases[0];
    for (size_t i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        media.push_back({"default", "fault" + n + "_fnt", "/fonts/fault" + n + ".lua", cases[i].description});
    }
    FontWorld world(media);
    for (size_t i = 0; i < count; ++i) {
        const std::string name = "fault" + std::to_string(i) + "_fnt";
        EXPECT_EXIT(UIFont(name, "default"), testing::ExitedWithCode(255), cases[i].report) << cases[i].description;
    }
    EXPECT_EXIT(UIFont("nothing_fnt", "default"), testing::ExitedWithCode(255),
                "Failed to load nothing_fnt in default package");
}

TEST(UIFontLoad, FontWithoutImageLoadsMeasuresNothingAndDrawsNothing) {
    FontWorldOptions options;
    options.device = FontWorldOptions::Device::Recording;
    FontWorld world(boxMedia(qvtest::charListLua("CharList", boxGlyphs())), options);
    ASSERT_TRUE(world.ready());
    UIFont font("box_fnt", "default");
    font.setColor(kWhite);
    EXPECT_EQ(font.levelCount(), 0);
    EXPECT_EQ(font.selectMipLevel(), nullptr);
    const std::u16string text = u"abc";
    EXPECT_EQ(font.measureRun(text.data(), text.data() + 3, 1.0f), 0.0f);
    QV::Rect bounds;
    font.textBounds(V2(3, 4), bounds, text, true, 0, 0, 0, 0, 100, 100);
    EXPECT_EQ(bounds, QV::Rect(3, 4, 3, 4));
    world.frame([&] {
        font.drawText(QV::Rect(), V2(), text, true, 0, 0, 0, 0, false, false, 100, 100);
        EXPECT_EQ(world.render()->getBatchVertexCount(), 0u);
    });
}

}  // namespace

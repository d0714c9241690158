#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font.h"
#include "log_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "support/font_fixture.h"

namespace {

using QV::Font;
using qvtest::FontMediaFile;
using qvtest::FontWorld;
using V2 = QV::Vector2<float>;

std::string codes(std::initializer_list<int> list) {
    std::string text = "Image = 'anything'\nCharList = {\n";
    for (int code : list) {
        text += "  { " + std::to_string(code) + ", " + std::to_string(code) + ", 1, " + std::to_string(code % 7 + 3) +
                ", 12 },\n";
    }
    return text + "}\n";
}

std::string range(int first, int last) {
    std::string text = "Image = 1\nCharList = {\n";
    for (int code = first; code <= last; ++code) text += "  { " + std::to_string(code) + ", 0, 0, 8, 12 },\n";
    return text + "}\n";
}

class KeptLines : public QV::LogStream {
public:
    void write(const std::string& message) override { lines.push_back(message); }
    int kind() const override { return 98; }
    std::vector<std::string> lines;
};

std::vector<FontMediaFile> media() {
    const QV::Color white = QV::Color::fromBytes(255, 255, 255, 255);
    std::vector<FontMediaFile> files = {
        {"default", "font2_image", "/fonts/font2.png", qvtest::cellPng(64, 16, {white})},
        {"default", "ascii_fnt", "/fonts/ascii.lua", range(32, 126)},
        {"default", "gap_fnt", "/fonts/gap.lua", codes({48, 49, 50, 52})},
        {"default", "skipped_fnt", "/fonts/skipped.lua",
         "Image = 'x'\nCharList = { 5, {65, 0, 0, 8}, {'66', 0, 0, 9, 12}, {67, 0, 0, 'w', 12}, {68, 1, 2, 3, 4} }\n"},
        {"default", "empty_fnt", "/fonts/empty.lua", "Image = 'x'\nCharList = {}\n"},
        {"default", "repeat_fnt", "/fonts/repeat.lua", codes({48, 48, 49})},
        {"default", "descending_fnt", "/fonts/descending.lua", codes({60, 50, 40})},
        {"default", "wide_fnt", "/fonts/wide.lua", codes({0, 100000})},
        {"default", "image_table_fnt", "/fonts/image_table.lua", "Image = {}\nCharList = {}\n"},
        {"default", "no_image_fnt", "/fonts/no_image.lua", "CharList = {}\n"},
        {"default", "no_list_fnt", "/fonts/no_list.lua", "Image = 'x'\nCharList = 3\n"},
        {"default", "broken_fnt", "/fonts/broken.lua", "Image = 'x'\nerror('broken')\n"},
    };
    return files;
}

TEST(DebugFont, RangesGapsAndByteLookup) {
    FontWorld world(media());
    Font ascii;
    ASSERT_TRUE(ascii.load("ascii_fnt"));
    EXPECT_EQ(ascii.glyphCount(), 95);
    EXPECT_EQ(ascii.firstCode(), 32);
    EXPECT_EQ(ascii.lastCode(), 126);
    EXPECT_EQ(ascii.glyphForByte(65), 33);
    EXPECT_EQ(ascii.glyphForByte(10), -1);  // (10 - 32) mod 256 = 234
    EXPECT_EQ(ascii.glyphForByte(200), -1);
    ASSERT_NE(ascii.sprite(), nullptr);

    Font gap;
    ASSERT_TRUE(gap.load("gap_fnt"));
    EXPECT_EQ(gap.glyphCount(), 5);
    EXPECT_EQ(gap.glyphs()[3].index, -1);
    EXPECT_EQ(gap.glyphForByte(51), -1);
    EXPECT_EQ(gap.glyphForByte(52), 4);
    EXPECT_EQ(gap.glyphs()[4].x, 52.0f);
    EXPECT_EQ(gap.glyphs()[4].width, 52 % 7 + 3);

    // Entries that are not tables or lack five numbers are skipped.
    Font skipped;
    ASSERT_TRUE(skipped.load("skipped_fnt"));
    EXPECT_EQ(skipped.firstCode(), 66);
    EXPECT_EQ(skipped.lastCode(), 68);
    EXPECT_EQ(skipped.glyphs()[1].index, -1);
    EXPECT_EQ(skipped.glyphs()[2].height, 4.0f);

    Font empty;
    ASSERT_TRUE(empty.load("empty_fnt"));
    EXPECT_EQ(empty.glyphCount(), 0);
    EXPECT_EQ(empty.glyphForByte(32), -1);
}

TEST(DebugFont, UnlistedDescriptionIsReportedNotFatal) {
    FontWorld world(media());
    KeptLines* log = new KeptLines();
    QV::LogSystem::instance()->streams().push_back(log);  // the log owns it
    Font font;
    EXPECT_FALSE(font.load("system_font_fnt"));
    EXPECT_EQ(log->lines, std::vector<std::string>{"WARNING: Debug font 'system_font_fnt' is not in the file lists"});
    EXPECT_EQ(font.sprite(), nullptr);
    font.drawText("abc", 0, 0, 1, 1, 1, 1, 1);  // draws nothing, does not fail
}

TEST(DebugFont, DescriptionFaultsAreFatalByLine) {
    FontWorld world(media());
    struct Case {
        const char* name;
        const char* report;
    } cases[] = {
        {"broken_fnt", "Description:\n  \n.*File:\n  font\n.*Line:\n  29"},
        {"no_image_fnt", "Line:\n  36"},
        {"image_table_fnt", "Line:\n  36"},
        {"no_list_fnt", "Line:\n  65"},
        {"repeat_fnt", "Line:\n  76"},
        // A descending list would size the glyphs by a negative range.
        {"descending_fnt", "Description:\n  \n.*Line:\n  76"},
        {"wide_fnt", "Font wide_fnt spans more than 65536 codes"},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(Font().load(c.name), testing::ExitedWithCode(255), c.report) << c.name;
    }
}

TEST(DebugFont, ScaleSpacesGlyphsButKeepsTheirSize) {
    qvtest::FontWorldOptions options;
    options.device = qvtest::FontWorldOptions::Device::Recording;
    FontWorld world(media(), options);
    ASSERT_TRUE(world.ready());
    Font font;
    ASSERT_TRUE(font.load("gap_fnt"));
    QV::Sprite* sprite = font.sprite();
    struct Case {
        float scale;
        float lastX;
    } cases[] = {{1.0f, 10.0f + 9 + 3 + 4}, {2.0f, 10.0f + 2 * (9 + 3 + 4)}, {0.5f, 10.0f + 0.5f * (9 + 3 + 4)}};
    for (const Case& c : cases) {
        world.frame([&] { font.drawText(V2(10, 5), "0123\n4", c.scale, QV::Color::fromBytes(1, 2, 3, 4)); });
        // The last glyph (code 52, width 6) after 0, 1 and 2 (widths 9, 3, 4); 3 and the line feed are skipped.
        EXPECT_FLOAT_EQ(sprite->getPosition().x, c.lastX) << c.scale;
        EXPECT_FLOAT_EQ(sprite->getPosition().y, 5.0f);
        EXPECT_EQ(sprite->getSize(), V2(52 % 7 + 3, 12));
        EXPECT_EQ(sprite->mFrames[0].left, 52.0f);
        EXPECT_EQ(sprite->vertexColor(0), QV::Color::fromBytes(1, 2, 3, 4));
    }
    font.release();
    EXPECT_EQ(font.sprite(), nullptr);
    EXPECT_EQ(world.sprites().spriteCount(), 0u);
}

}  // namespace

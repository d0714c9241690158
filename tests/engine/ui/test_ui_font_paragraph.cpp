#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window.h"
#include "support/gl_required.h"
#include "support/font_fixture.h"
#include "support/render_host.h"
#include "support/temp_dir.h"
#include "ui/text_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"

namespace {

using qvtest::FontMediaFile;
using qvtest::FontWorld;
using qvtest::FontWorldOptions;
using V2 = QV::Vector2<float>;

std::string shipped(const std::string& file) { return qvtest::readFile(std::string(QV_SOURCE_DIR) + "/media/fonts/" + file); }

std::vector<FontMediaFile> media() {
    return {
        {"default", "small_font_fnt", "/fonts/small_font.lua", shipped("small_font.lua")},
        {"default", "small_font_image", "/fonts/small_font.png", shipped("small_font.png")},
        {"default", "small_font_mip1_image", "/fonts/small_font_mip1.png", shipped("small_font_mip1.png")},
        {"default", "font_presets_lua", "/fonts/font_presets.lua", shipped("font_presets.lua")},
        {"en", "strings_xml", "/en/strings.xml",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root>\n"
         "  <s><text>PARAGRAPH</text><translate><![CDATA[Swap two neighbouring chips to line up three of a "
         "colour.\nLonger runs leave a bonus chip: caf\xC3\xA9 cr\xC3\xA8me, na\xC3\xAFve \xE2\x80\x94 all "
         "explode!]]></translate></s>\n</root>\n"},
    };
}

struct Shot {
    int level = -1;
    std::vector<uint8_t> rgba;
    uint32_t width = 0, height = 0;
};

// The paragraph in preset "paragraph_text", centred in a 280 x 140 box of a
// 320 x 180 workspace shown in a window `zoom` times as large.
Shot drawParagraph(int zoom) {
    qvtest::keepDriverLoaded();
    FontWorldOptions options;
    options.workspaceWidth = 320;
    options.workspaceHeight = 180;
    options.windowWidth = 320 * zoom;
    options.windowHeight = 180 * zoom;
    options.device = FontWorldOptions::Device::OpenGL;
    FontWorld world(media(), options);
    Shot shot;
    if (!world.ready()) return shot;
    QV::FontPreset preset;
    EXPECT_EQ(world.fonts().loadPreset(&preset, "paragraph_text", "font_presets_lua"), 0);
    QV::UIFont* font = preset.font;
    EXPECT_NE(font, nullptr);
    if (!font) return shot;
    EXPECT_TRUE(preset.wordWrap);
    EXPECT_EQ(preset.halign, 1);
    EXPECT_EQ(preset.valign, 1);
    const std::u16string text = world.texts().translate("PARAGRAPH");
    font->setColor(preset.color);
    for (int frame = 0; frame < 2; ++frame) {  // the first uploads the level's picture
        world.frame([&] {
            font->drawText(QV::Rect(), V2(20, 20), text, preset.wordWrap, preset.halign, preset.valign, preset.xcoeff,
                           preset.ycoeff, false, true, 280, 140);
        });
    }
    shot.level = font->currentLevel();
    EXPECT_TRUE(world.readBack(&shot.rgba, &shot.width, &shot.height));
    shot.rgba = qvtest::bgraToRgba(shot.rgba);
    world.fonts().releaseFont(font);
    return shot;
}

// Rows of the picture that hold lit text pixels, grouped into bands.
int textBands(const Shot& shot) {
    int bands = 0;
    bool inBand = false;
    for (uint32_t y = 0; y < shot.height; ++y) {
        bool lit = false;
        for (uint32_t x = 0; x < shot.width && !lit; ++x) lit = shot.rgba[(size_t(y) * shot.width + x) * 4 + 1] > 100;
        if (lit && !inBand) ++bands;
        inBand = lit;
    }
    return bands;
}

TEST(UIFontParagraph, WrappedCentredLocalizedTextAtTwoFitScales) {
    const Shot one = drawParagraph(1);
    if (one.rgba.empty()) QV_GL_UNAVAILABLE() << "no OpenGL window";
    const Shot two = drawParagraph(2);
    EXPECT_EQ(one.level, 0);
    EXPECT_EQ(two.level, 1) << "the doubled window draws from the doubled picture";
    EXPECT_EQ(textBands(one), 4);
    EXPECT_EQ(textBands(two), 4);
    // Nothing outside the box.
    for (uint32_t y = 0; y < one.height; ++y) {
        for (uint32_t x = 0; x < one.width; ++x) {
            if (x >= 20 && x < 300 && y >= 20 && y < 160) continue;
            ASSERT_LT(one.rgba[(size_t(y) * one.width + x) * 4 + 1], 40) << x << "," << y;
        }
    }
    std::string mismatch = qvtest::compareWithExpected("paragraph_fit1.png", one.rgba, one.width, one.height, 24, 20);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
    mismatch = qvtest::compareWithExpected("paragraph_fit2.png", two.rgba, two.width, two.height, 24, 80);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fast_sprite.h"
#include "sprite_manager.h"
#include "support/font_fixture.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"

namespace {

using QV::FontPreset;
using QV::UIFont;
using qvtest::FontMediaFile;
using qvtest::FontWorld;
using qvtest::GlyphEntry;

const QV::Color kWhite = QV::Color::fromBytes(255, 255, 255, 255);

std::string description(const std::string& image) {
    return "Image = '" + image + "'\n" + qvtest::charListLua("CharList", {{32, 0, 0, 4, 15}, {65, 16, 0, 10, 10}});
}

std::vector<FontMediaFile> media(std::vector<FontMediaFile> extra = {}) {
    std::vector<FontMediaFile> files = {
        {"default", "font2_fnt", "/fonts/font2.lua", description("font2_image")},
        {"default", "system_font_fnt", "/fonts/system.lua", description("font2_image")},
        {"default", "font2_image", "/fonts/font2.png", qvtest::cellPng(32, 16, {kWhite})},
        {"default", "font_presets_lua", "/fonts/presets.lua",
         "only_font = { font = 'font2_fnt' }\n"
         "no_font = { halign = 2 }\n"
         "full = { halign = 1, valign = 2, xcoeff = 0.5, ycoeff = 1.5, wordWrap = 1, color = {10, 20, 30, 40},\n"
         "         font = 'font2_fnt' }\n"},
    };
    files.insert(files.end(), extra.begin(), extra.end());
    return files;
}

TEST(UIFontManager, FontsAreSharedByNameAndCounted) {
    FontWorld world(media());
    QV::UIFontManager& fonts = world.fonts();
    UIFont* first = fonts.getFont("font2_fnt");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(fonts.getFont("font2_fnt"), first);
    EXPECT_EQ(first->getRefCount(), 2);
    EXPECT_EQ(fonts.fontCount(), 1u);

    fonts.releaseFont(first);
    EXPECT_EQ(first->getRefCount(), 1);
    EXPECT_EQ(fonts.fontCount(), 1u);
    const size_t sprites = world.fastSprites().spriteCount();
    fonts.releaseFont(first);
    EXPECT_EQ(fonts.fontCount(), 0u);
    EXPECT_EQ(world.fastSprites().spriteCount(), sprites - 1) << "the level's sprite goes with the font";

    UIFont* again = fonts.getFont("font2_fnt");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->getRefCount(), 1);

    EXPECT_EQ(fonts.getFont(""), nullptr);
    EXPECT_EQ(fonts.fontCount(), 1u);
    int notAFont = 0;
    fonts.releaseFont(reinterpret_cast<UIFont*>(&notAFont));
    fonts.releaseFont(nullptr);
    EXPECT_EQ(again->getRefCount(), 1);
    // The manager deletes what is left when it goes.
}

TEST(UIFontManager, FontPackageComesFromTheLanguageSettings) {
    struct Case {
        const char* what;
        std::vector<FontMediaFile> extra;
        std::string package;
    } cases[] = {
        {"no settings file", {}, "default"},
        {"package named",
         {{"en", "font_settings_xml", "/en/font_settings.xml", "<root><package value=\"en_fonts\"/></root>"}},
         "en_fonts"},
        {"package without value",
         {{"en", "font_settings_xml", "/en/font_settings.xml", "<root><package/></root>"}},
         ""},
        {"no package element", {{"en", "font_settings_xml", "/en/font_settings.xml", "<root/>"}}, ""},
    };
    for (const Case& c : cases) {
        FontWorld world(media(c.extra));
        EXPECT_EQ(world.fonts().fontPackage(), c.package) << c.what;
    }
    FontWorld world(media({{"en", "font_settings_xml", "/en/font_settings.xml", "<root><package"}}));
    EXPECT_EXIT(world.fonts().fontPackage(), testing::ExitedWithCode(255), "Failed to parse XML");
}

TEST(UIFontManager, FontsLoadFromTheFontPackage) {
    FontWorld world(media({
        {"en", "font_settings_xml", "/en/font_settings.xml", "<root><package value=\"en\"/></root>"},
        {"en", "font2_fnt", "/en/font2.lua", description("font2_en_image")},
        {"en", "font2_en_image", "/en/font2.png", qvtest::cellPng(32, 16, {kWhite})},
    }));
    UIFont* font = world.fonts().getFont("font2_fnt");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->level(0).image, "font2_en_image");
    EXPECT_EQ(font->level(0).package, "en");
    // A name the package does not list comes from "default".
    UIFont* system = world.fonts().getFont("system_font_fnt");
    EXPECT_EQ(system->level(0).image, "font2_image");
}

TEST(UIFontManager, PresetsReadTheirFieldsWithDefaults) {
    FontWorld world(media());
    QV::UIFontManager& fonts = world.fonts();

    FontPreset full;
    ASSERT_EQ(fonts.loadPreset(&full, "full", "font_presets_lua"), 0);
    EXPECT_EQ(full.halign, 1);
    EXPECT_EQ(full.valign, 2);
    EXPECT_FLOAT_EQ(full.xcoeff, 0.5f);
    EXPECT_FLOAT_EQ(full.ycoeff, 1.5f);
    EXPECT_TRUE(full.wordWrap);
    EXPECT_EQ(full.color, QV::Color::fromBytes(10, 20, 30, 40));
    EXPECT_EQ(full.font, fonts.getFont("font2_fnt"));
    EXPECT_EQ(full.font->getRefCount(), 2);

    FontPreset onlyFont;
    onlyFont.halign = onlyFont.valign = 7;
    onlyFont.xcoeff = onlyFont.ycoeff = 7;
    onlyFont.wordWrap = true;
    ASSERT_EQ(fonts.loadPreset(&onlyFont, "only_font", "font_presets_lua"), 0);
    EXPECT_EQ(onlyFont.halign, 0);
    EXPECT_EQ(onlyFont.valign, 0);
    EXPECT_EQ(onlyFont.xcoeff, 0.0f);
    EXPECT_EQ(onlyFont.ycoeff, 0.0f);
    EXPECT_FALSE(onlyFont.wordWrap);
    EXPECT_EQ(onlyFont.color, kWhite);

    FontPreset noFont;
    ASSERT_EQ(fonts.loadPreset(&noFont, "no_font", "font_presets_lua"), 0);
    EXPECT_EQ(noFont.halign, 2);
    EXPECT_EQ(noFont.font, fonts.getFont("system_font_fnt"));

    FontPreset untouched;
    untouched.halign = 9;
    EXPECT_EQ(fonts.loadPreset(&untouched, "missing", "font_presets_lua"), 1);
    EXPECT_EQ(fonts.loadPreset(&untouched, "full", "missing_lua"), 1);
    EXPECT_EQ(fonts.loadPreset(nullptr, "full", "font_presets_lua"), 1);
    EXPECT_EQ(untouched.halign, 9);
    EXPECT_EQ(untouched.font, nullptr);
}

}  // namespace

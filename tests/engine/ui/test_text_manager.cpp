#include <gtest/gtest.h>

#include <string>

#include "config_manager.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"
#include "ui/text_manager.h"
#include "ui/wide_string.h"

namespace {

std::string table(const std::string& entries) { return "<?xml version=\"1.0\"?><root>" + entries + "</root>"; }
std::string entry(const std::string& id, const std::string& text) {
    return "<s><text>" + id + "</text><translate><![CDATA[" + text + "]]></translate></s>";
}

class TextManagerTest : public testing::Test {
protected:
    // A default language "en" and a current language "fr".
    void writeContent(const std::map<std::string, std::string>& files) {
        qvtest::PackageLists lists;
        for (const auto& [location, text] : files) {
            std::string package = location.substr(1, location.find('/', 1) - 1);
            std::string name = location.substr(location.rfind('/') + 1);
            name = name.substr(0, name.find('.')) + "_xml";
            lists[package][name] = location;
            qvtest::writeFile(dir.file("media") + location, text);
        }
        qvtest::writeMedia(dir.file("media"), lists, qvtest::configLua("fr"));
        // config.lua's default language is "en" unless the fixture changes it.
    }
    qvtest::TempDir dir;
};

TEST_F(TextManagerTest, CurrentLanguageWinsAndNumberedFilesStopAtTheFirstGap) {
    writeContent({
        {"/en/strings.xml", table(entry("TITLE", "Glimvale") + entry("ONLY_EN", "english"))},
        {"/fr/strings.xml", table(entry("TITLE", u8"Gl\u00eemvale"))},
        {"/fr/strings0.xml", table(entry("ZERO", "0") + "<s><translate>no id</translate></s>")},
        {"/fr/strings2.xml", table(entry("TWO", "2"))},
    });
    qvtest::MediaEngine engine(dir.path());
    testing::internal::CaptureStdout();
    QV::TextManager texts;
    texts.load();
    std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(texts.translate("TITLE"), u"Gl\u00eemvale");
    EXPECT_EQ(texts.translate("ONLY_EN"), u"english");
    EXPECT_EQ(texts.translate("ZERO"), u"0");
    EXPECT_EQ(texts.translate(""), u"no id");
    EXPECT_EQ(texts.translate("TWO"), u"!ERROR!");    // after the gap at 1
    EXPECT_EQ(texts.translate("title"), u"!ERROR!");  // exact case only
    EXPECT_NE(out.find("Failed to load locale: strings1_xml"), std::string::npos) << out;
}

TEST_F(TextManagerTest, InvalidUtf8StopsTheProgram) {
    writeContent({{"/fr/strings.xml", table("<s><text>BAD</text><translate>a\x80z</translate></s>")}});
    EXPECT_EXIT(
        {
            qvtest::MediaEngine engine(dir.path());
            QV::TextManager texts;
            texts.load();
        },
        testing::ExitedWithCode(255), "An error was occured");
}

TEST(WideString, ConversionsRoundTripAndReplaceInvalidInput) {
    EXPECT_EQ(QV::toWide(u8"\u00e9t\u00e9 \u4e2d"), u"\u00e9t\u00e9 \u4e2d");
    EXPECT_EQ(QV::toNarrow(u"\u00e9t\u00e9 \U0001F600"), u8"\u00e9t\u00e9 \U0001F600");
    EXPECT_EQ(QV::toWide(std::string("a\x80", 2)), u"a\uFFFD");
    EXPECT_EQ(QV::toNarrow(std::u16string(1, u'\xD800')), "?");
    EXPECT_EQ(QV::toWide(""), u"");
}

}  // namespace

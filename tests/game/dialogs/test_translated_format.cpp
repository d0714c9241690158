#include <gtest/gtest.h>

#include <string>

#include "dialogs/translated_format.h"
#include "ui/wide_string.h"

namespace {

TEST(TranslatedFormat, ConversionKinds) {
    const struct {
        const char* format;
        bool ok;
        const char* kinds;
    } cases[] = {
        {"Level %d", true, "d"},
        {"%s has %i of %u", true, "sdd"},
        {"100%% sure, %05.1f%%", true, "f"},
        {"%-8s|%+x|%c|%e", true, "sddf"},
        {"no conversion", true, ""},
        {"%ld", false, ""},
        {"%*d", false, ""},
        {"%n", false, ""},
        {"%p", false, ""},
        {"ends in %", false, ""},
        {"%lld %d", false, ""},
    };
    for (const auto& c : cases) {
        std::string kinds;
        EXPECT_EQ(formatConversionKinds(c.format, &kinds), c.ok) << c.format;
        if (c.ok) EXPECT_EQ(kinds, c.kinds) << c.format;
    }
}

TEST(TranslatedFormat, UsedOnlyWhenTheConversionsMatch) {
    EXPECT_EQ(formatTranslated(std::string("Level %d"), "d", 12), "Level 12");
    EXPECT_EQ(formatTranslated(std::string("%s: %d stars"), "sd", "Ann", 3), "Ann: 3 stars");
    // A translation that asks for other arguments than the code passes is shown as it stands.
    for (const char* wrong : {"Level %s", "Level %d %d", "Level", "Level %n", "Level %ld", "Level %"}) {
        EXPECT_EQ(formatTranslated(std::string(wrong), "d", 12), wrong);
    }
    EXPECT_EQ(formatTranslated(QV::toWide("Niveau %d \xc3\xa9t\xc3\xa9"), "d", 7), QV::toWide("Niveau 7 \xc3\xa9t\xc3\xa9"));
    EXPECT_EQ(formatTranslated(QV::toWide("%s"), "d", 7), QV::toWide("%s"));
}

}  // namespace

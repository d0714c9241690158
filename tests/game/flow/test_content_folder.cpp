#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "flow/content_folder.h"
#include "support/temp_dir.h"

namespace {

TEST(ContentFolder, TheFirstPlaceHoldingConfigArchiveOrZipIsTheContent) {
    qvtest::TempDir dir;
    std::filesystem::create_directories(dir.file("empty"));
    std::filesystem::create_directories(dir.file("folder_named_config/config.lua"));
    qvtest::writeFile(dir.file("loose/config.lua"), "config = {}");
    qvtest::writeFile(dir.file("packed/data.qvp"), "QVP");
    qvtest::writeFile(dir.file("zipped/data.zip"), "PK");
    const std::string none;
    const struct {
        std::vector<std::string> places;
        std::string found;
    } cases[] = {
        {{dir.file("missing/"), dir.file("empty/"), dir.file("folder_named_config/")}, none},
        {{dir.file("empty/"), dir.file("loose/"), dir.file("packed/")}, dir.file("loose/")},
        {{dir.file("packed/"), dir.file("loose/")}, dir.file("packed/")},
        {{dir.file("missing/"), dir.file("zipped/")}, dir.file("zipped/")},
        {{}, none},
    };
    for (const auto& c : cases) EXPECT_EQ(findContentFolder(c.places), c.found) << c.found;
}

TEST(ContentFolder, LooksHereBesideTheProgramAndInTheSourceTreeEachOnceAndReportsThemAll) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    const std::vector<std::string> places = contentFolderCandidates(dir.file("bin/glimvale"));
    const std::vector<std::string> expected = {"./media/", dir.file("bin/media/"), QV_SOURCE_DIR "/media/"};
    EXPECT_EQ(places, expected);
    EXPECT_EQ(findContentFolder({"./media/", dir.file("bin/media/")}), "");
    EXPECT_EQ(contentNotFoundReport(places),
              "Failed to find the game's content (config.lua, data.qvp or data.zip). Looked in:\n  " +
                  dir.file("media") + "/\n  " + dir.file("bin/media/") + "\n  " QV_SOURCE_DIR "/media/");
    // No executable path known: the other two.
    EXPECT_EQ(contentFolderCandidates(""), (std::vector<std::string>{"./media/", QV_SOURCE_DIR "/media/"}));
    // A program in the source tree, started there: one place.
    qvtest::ScopedChdir inSource(QV_SOURCE_DIR);
    EXPECT_EQ(contentFolderCandidates(QV_SOURCE_DIR "/glimvale"), std::vector<std::string>{"./media/"});
}

}  // namespace

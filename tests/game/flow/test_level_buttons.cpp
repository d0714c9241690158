#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "flow/episode.h"
#include "flow/level_buttons.h"
#include "flow/main_mode.h"
#include "player/main_mode_section.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"

namespace {

// An episode from a picture of its progress: one string per part, "c" a
// completed level, "." one not; a leading "#" marks the part closed.
struct TestEpisode {
    explicit TestEpisode(const std::vector<std::string>& parts) {
        for (const std::string& text : parts) {
            auto* part = new EpisodePart();
            part->mClosed = !text.empty() && text[0] == '#';
            for (char c : text.substr(part->mClosed ? 1 : 0)) {
                auto* level = new EpisodeLevel();
                level->mCompleted = c == 'c';
                part->mLevels.push_back(level);
            }
            episode.mParts.push_back(part);
        }
    }
    Episode episode;
};

// Poses of every level, part by part: L locked, O open, C completed.
std::string poses(const Episode& episode) {
    std::string out;
    for (size_t p = 0; p < episode.mParts.size(); ++p) {
        if (p) out += ' ';
        for (size_t l = 0; l < episode.mParts[p]->mLevels.size(); ++l) {
            switch (levelButtonPose(episode, int32_t(p), int32_t(l))) {
                case LevelButtonPose::Locked: out += 'L'; break;
                case LevelButtonPose::Open: out += 'O'; break;
                case LevelButtonPose::Completed: out += 'C'; break;
            }
        }
    }
    return out;
}

// Which levels a click opens, with the mode's current level index.
std::string clickable(const Episode& episode, int32_t currentLevel) {
    std::string out;
    for (size_t p = 0; p < episode.mParts.size(); ++p) {
        if (p) out += ' ';
        for (size_t l = 0; l < episode.mParts[p]->mLevels.size(); ++l)
            out += isLevelClickable(episode, int32_t(p), int32_t(l), currentLevel) ? 'y' : '-';
    }
    return out;
}

TEST(LevelButtons, PosesAndClicksFollowTheProgress) {
    const struct {
        std::vector<std::string> parts;
        int32_t currentLevel;
        const char* poses;
        const char* clicks;
    } cases[] = {
        // A fresh episode: only the first level is open and clickable.
        {{"...", "#..."}, 0, "OLL LLL", "y-- ---"},
        // The first level won: the second opens; a level past it is not selectable.
        {{"c..", "#..."}, 1, "COL LLL", "yy- ---"},
        // The whole first part won and the second opened.
        {{"ccc", "..."}, 0, "CCC OLL", "yyy y--"},
        {{"ccc", "cc."}, 2, "CCC CCO", "yyy yyy"},
        // The first part won but the second still closed: nothing of it opens.
        {{"ccc", "#..."}, 2, "CCC LLL", "yyy ---"},
        // Parts after a closed one are never considered, whatever they hold.
        {{"c..", "#...", "#c.."}, 1, "COL LLL CLL", "yy- --- ---"},
    };
    for (const auto& c : cases) {
        TestEpisode e(c.parts);
        SCOPED_TRACE(c.poses);
        EXPECT_EQ(poses(e.episode), c.poses);
        EXPECT_EQ(clickable(e.episode, c.currentLevel), c.clicks);
    }
}

TEST(LevelButtons, OnlyOpenLevelsTakeTheHoverAndIndexesOutsideTheTreeAreLocked) {
    TestEpisode e({"c..", "#..."});
    EXPECT_TRUE(isLevelButtonOpen(e.episode, 0, 0));
    EXPECT_TRUE(isLevelButtonOpen(e.episode, 0, 1));
    EXPECT_FALSE(isLevelButtonOpen(e.episode, 0, 2));
    EXPECT_FALSE(isLevelButtonOpen(e.episode, 1, 0));
    for (const auto& [part, level] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {0, 3}, {2, 0}}) {
        EXPECT_EQ(levelButtonPose(e.episode, part, level), LevelButtonPose::Locked);
        EXPECT_FALSE(isLevelButtonOpen(e.episode, part, level));
        EXPECT_FALSE(isLevelClickable(e.episode, part, level, 5));
    }
}

// The shipped episode tree with a saved progress put back into the main mode:
// the poses and clicks follow what the mode computes as the current level.
TEST(LevelButtons, PosesFollowTheMainModesProgress) {
    qvtest::TempDir dir;
    const std::string media = dir.file("media");
    std::map<std::string, std::string> names = {{"main_mode_lua", "/main_mode.lua"}};
    qvtest::writeFile(media + "/main_mode.lua", qvtest::readFile(QV_SOURCE_DIR "/media/main_mode.lua"));
    for (const std::string stem : {"meadow_1", "meadow_2", "meadow_3", "meadow_4", "meadow_5", "meadow_6", "glade_1", "glade_2"}) {
        qvtest::writeFile(media + "/levels/" + stem + ".lua", qvtest::readFile(QV_SOURCE_DIR "/media/levels/" + stem + ".lua"));
        names[stem + "_lua"] = "/levels/" + stem + ".lua";
    }
    qvtest::writeMedia(media, {{"default", names}});
    qvtest::MediaEngine engine(dir.path());

    MainMode mode("");
    ASSERT_EQ(mode.getEpisodes().size(), 2u);
    const struct {
        std::vector<MainModePartProgress> parts;
        const char* poses;
        const char* clicks;
    } cases[] = {
        {{{false, {{true, 900}, {false, 0}, {false, 0}}}, {true, {{false, 0}, {false, 0}, {false, 0}}}}, "COL LLLLLLL",
         "yy- -------"},
        {{{false, {{true, 900}, {true, 1600}, {true, 5000}}}, {false, {{false, 0}, {false, 0}, {false, 0}}}}, "CCC OLLLLLL",
         "yyy y------"},
        // The first part won but the next not yet opened (too few stars): none of it takes a click.
        {{{false, {{true, 900}, {true, 1600}, {true, 5000}}}, {true, {{false, 0}, {false, 0}, {false, 0}}}}, "CCC LLLLLLL",
         "yyy -------"},
    };
    for (const auto& c : cases) {
        MainModeProgress progress;
        progress.hasProgress = true;
        progress.episodes.resize(1);
        progress.episodes[0].parts = c.parts;
        mode.applyProgress(progress);
        mode.updateLocks();
        mode.updateProgress();
        SCOPED_TRACE(c.poses);
        const Episode& episode = *mode.getEpisodes()[0];
        EXPECT_EQ(poses(episode), c.poses);
        EXPECT_EQ(clickable(episode, mode.getCurrentLevel()), c.clicks);
    }
}

}  // namespace

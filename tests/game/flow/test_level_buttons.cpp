#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow/episode.h"
#include "flow/level_buttons.h"

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

}  // namespace

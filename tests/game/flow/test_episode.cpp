#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <regex>

#include "flow/episode.h"
#include "support/media_fixture.h"
#include "support/sprite_fixture.h"
#include "support/temp_dir.h"

namespace {

// Content over package "default": "main_mode_lua" and the given level scripts (stem -> text).
class EpisodeContent {
public:
    EpisodeContent(const std::string& mainMode, const std::map<std::string, std::string>& levels) {
        const std::string media = mDir.file("media");
        std::map<std::string, std::string> names;
        qvtest::writeFile(media + "/main_mode.lua", mainMode);
        names["main_mode_lua"] = "/main_mode.lua";
        for (const auto& level : levels) {
            qvtest::writeFile(media + "/levels/" + level.first + ".lua", level.second);
            names[level.first + "_lua"] = "/levels/" + level.first + ".lua";
        }
        qvtest::writeMedia(media, {{"default", names}});
        mEngine = std::make_unique<qvtest::MediaEngine>(mDir.path());
    }

private:
    qvtest::TempDir mDir;
    std::unique_ptr<qvtest::MediaEngine> mEngine;
};

struct Tree {
    explicit Tree(EpisodeList e) : episodes(std::move(e)) {}
    ~Tree() { deleteEpisodes(episodes); }
    EpisodeLevel* level(size_t e, size_t p, size_t l) { return episodes[e]->mParts[p]->mLevels[l]; }
    EpisodeList episodes;
};

const char kTwoEpisodes[] = R"(
episodes = {
  { mapScene = "map_a_xml", parts = {
      { openMarker = "open_a", levels = {
          { file = "one", back1 = "b1", back2 = "f1" },
          { file = "two", title = "#LEVEL_TWO" },
          { file = "three", title = "Plain", back2 = "f3", movieScene = "movie_xml" } } },
      { levels = { { file = "four" }, { file = "five", back1 = "b5" } } } } },
  { parts = { { levels = { { file = "six" } } } } },
}
)";

TEST(Episodes, TreeIdsTitlesAndInheritedBackgroundsFollowTheData) {
    EpisodeContent content(kTwoEpisodes, {{"one", "GameField = { stars = {100} }"},
                                          {"two", "GameField = { stars = {10, 20, 30, 40} }"},
                                          {"three", "GameField = { }"},
                                          {"four", "GameField = { stars = {1500.9, 3000} }"}});
    Tree t(readEpisodes("main_mode_lua", ""));
    ASSERT_EQ(t.episodes.size(), 2u);
    ASSERT_EQ(t.episodes[0]->mParts.size(), 2u);
    EXPECT_EQ(t.episodes[0]->mMapScene, "map_a_xml");
    EXPECT_EQ(t.episodes[1]->mMapScene, "");
    EXPECT_EQ(t.episodes[1]->mId, 1);
    EXPECT_EQ(t.episodes[0]->mParts[0]->mOpenMarker, "open_a");
    EXPECT_FALSE(t.episodes[0]->mParts[0]->mClosed);
    EXPECT_TRUE(t.episodes[0]->mParts[1]->mClosed);
    EXPECT_TRUE(t.episodes[1]->mParts[0]->mClosed);
    EXPECT_EQ(t.episodes[1]->mParts[0]->mId, 2);
    EXPECT_EQ(t.level(1, 0, 0)->mId, 5);

    struct Want {
        size_t p, l;
        const char* title;
        bool textId;
        const char* back1;
        const char* back2;
        int32_t stars[3];
    };
    const Want wants[] = {
        {0, 0, "one", false, "b1", "f1", {100, 1000, 2000}},     // missing entries from the defaults
        {0, 1, "LEVEL_TWO", true, "b1", "f1", {10, 20, 30}},     // beyond three is ignored
        {0, 2, "Plain", false, "b1", "f3", {500, 1000, 2000}},   // no "stars"
        {1, 0, "four", false, "", "", {1500, 3000, 2000}},       // no inheritance across parts
        {1, 1, "five", false, "b5", "", {500, 1000, 2000}},      // no script at all
    };
    for (const Want& w : wants) {
        const EpisodeLevel* level = t.level(0, w.p, w.l);
        EXPECT_EQ(level->mTitle, w.title) << level->mFile;
        EXPECT_EQ(level->mTitleIsTextId, w.textId) << level->mFile;
        EXPECT_EQ(level->mBack1, w.back1) << level->mFile;
        EXPECT_EQ(level->mBack2, w.back2) << level->mFile;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(level->mStarThresholds[i], w.stars[i]) << level->mFile << " " << i;
        EXPECT_FALSE(level->mCompleted);
    }
    EXPECT_EQ(t.level(0, 0, 2)->mMovieScene, "movie_xml");
}

TEST(Episodes, ThresholdsComeFromTheScriptNamedWithTheSuffix) {
    EpisodeContent content("episodes = { { parts = { { levels = { { file = \"one\" } } } } } }",
                           {{"one_hard", "GameField = { stars = {100} }"}, {"one", "GameField = { stars = {7} }"}});
    Tree t(readEpisodes("main_mode_lua", "_hard"));
    const int32_t* stars = t.level(0, 0, 0)->mStarThresholds;
    EXPECT_EQ(stars[0], 100);
    EXPECT_EQ(stars[1], 1000);
    EXPECT_EQ(stars[2], 2000);
}

TEST(Episodes, MissingDataGivesNoEpisodes) {
    EpisodeContent content("nothing = 1", {});
    Tree t(readEpisodes("main_mode_lua", ""));
    EXPECT_TRUE(t.episodes.empty());
    Tree missing(readEpisodes("absent_lua", ""));
    EXPECT_TRUE(missing.episodes.empty());
}

// A tree of the given shape without content: parts[e][p] = level count.
EpisodeList shape(const std::vector<std::vector<int>>& parts) {
    EpisodeList episodes;
    int32_t level = 0, part = 0;
    for (size_t e = 0; e < parts.size(); ++e) {
        Episode* episode = new Episode();
        episode->mId = int32_t(e);
        for (int count : parts[e]) {
            EpisodePart* p = new EpisodePart();
            p->mId = part++;
            for (int l = 0; l < count; ++l) {
                EpisodeLevel* lv = new EpisodeLevel();
                lv->mId = level++;
                p->mLevels.push_back(lv);
            }
            episode->mParts.push_back(p);
        }
        episodes.push_back(episode);
    }
    updateLocks(episodes);
    return episodes;
}

void complete(EpisodeList& episodes, size_t e, size_t p, size_t levels) {
    for (size_t l = 0; l < levels; ++l) episodes[e]->mParts[p]->mLevels[l]->mCompleted = true;
}

TEST(Episodes, ProgressPositionIsTheFirstLevelNotCompleted) {
    struct Case {
        const char* name;
        std::function<void(EpisodeList&)> play;
        int32_t e, p, l;
        bool progress;
    };
    const Case cases[] = {
        {"fresh", [](EpisodeList&) {}, 0, 0, 0, false},
        {"first level", [](EpisodeList& t) { complete(t, 0, 0, 1); }, 0, 0, 1, true},
        {"part complete, next closed", [](EpisodeList& t) { complete(t, 0, 0, 3); }, 0, 1, 0, true},
        {"part complete, next open",
         [](EpisodeList& t) {
             complete(t, 0, 0, 3);
             t[0]->mParts[1]->mClosed = false;
             complete(t, 0, 1, 1);
         },
         0, 1, 1, true},
        {"episode complete",
         [](EpisodeList& t) {
             complete(t, 0, 0, 3);
             t[0]->mParts[1]->mClosed = false;
             complete(t, 0, 1, 2);
         },
         1, 0, 0, true},
        {"everything complete",
         [](EpisodeList& t) {
             for (size_t e = 0; e < 2; ++e)
                 for (size_t p = 0; p < t[e]->mParts.size(); ++p) {
                     t[e]->mParts[p]->mClosed = false;
                     complete(t, e, p, t[e]->mParts[p]->mLevels.size());
                 }
         },
         1, 0, 1, true},
        {"a gap keeps the leading run",
         [](EpisodeList& t) {
             t[0]->mParts[0]->mLevels[1]->mCompleted = true;
         },
         0, 0, 0, false},
    };
    for (const Case& c : cases) {
        Tree t(shape({{3, 2}, {2}}));
        c.play(t.episodes);
        const ProgressPosition at = computeProgressPosition(t.episodes);
        EXPECT_EQ(at.episode, c.e) << c.name;
        EXPECT_EQ(at.part, c.p) << c.name;
        EXPECT_EQ(at.level, c.l) << c.name;
        EXPECT_EQ(at.hasProgress, c.progress) << c.name;
    }
}

TEST(Episodes, ClosingAPartClosesAndClearsEveryLaterPart) {
    Tree t(shape({{2, 2}, {2}}));
    for (size_t e = 0; e < 2; ++e)
        for (EpisodePart* p : t.episodes[e]->mParts) {
            p->mClosed = false;
            for (EpisodeLevel* l : p->mLevels) {
                l->mCompleted = true;
                l->mBestScore = 900;
            }
        }
    t.episodes[0]->mParts[0]->mClosed = true;  // even the first part: it is opened again
    t.episodes[0]->mParts[1]->mClosed = true;
    updateLocks(t.episodes);
    EXPECT_FALSE(t.episodes[0]->mParts[0]->mClosed);
    EXPECT_TRUE(t.level(0, 0, 1)->mCompleted);
    EXPECT_EQ(t.level(0, 0, 1)->mBestScore, 900);
    // The closed part keeps its levels; the part after it is cleared.
    EXPECT_TRUE(t.level(0, 1, 0)->mCompleted);
    EXPECT_TRUE(t.episodes[1]->mParts[0]->mClosed);
    EXPECT_FALSE(t.level(1, 0, 0)->mCompleted);
    EXPECT_EQ(t.level(1, 0, 1)->mBestScore, 0);
    EXPECT_FALSE(isEpisodeComplete(t.episodes[0]));
    EXPECT_TRUE(isPartComplete(t.episodes[0]->mParts[1]));
    resetEpisode(t.episodes[0]);
    EXPECT_TRUE(t.episodes[0]->mParts[0]->mClosed);
    EXPECT_FALSE(t.level(0, 0, 0)->mCompleted);
}

TEST(Episodes, FriendsListsKeepAtMostFiveWithThePlayerLastBeforeSorting) {
    const FriendProgressMap many = {{1, 3}, {2, 0}, {3, 9}, {4, 1}, {5, 4}, {6, 4}, {7, 8}, {8, 2}, {42, 5}};
    std::vector<FriendProgress> list = buildFriendsProgressList(many, 42);
    ASSERT_EQ(list.size(), 5u);
    // Ids 1, 3, 4, 5 (the first four with progress) and the player, sorted by value, ties in order.
    const uint64_t ids[] = {3, 42, 5, 1, 4};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(list[i].userId, ids[i]) << i;
    EXPECT_EQ(buildFriendsProgressList(many, 99).size(), 5u);
    EXPECT_EQ(buildFriendsProgressList({{0, 7}, {1, 2}}, 0).size(), 1u);  // an own id of 0 is left out
    EXPECT_TRUE(buildFriendsProgressList({}, 0).empty());
    EXPECT_EQ(buildFriendsWithoutProgressList(many, 42), std::vector<uint64_t>{2});
    EXPECT_EQ(buildFriendsWithoutProgressList({{42, 0}, {7, 0}}, 42), std::vector<uint64_t>{7});
}

TEST(Episodes, ShippedEpisodesHaveTheirPartsWithThresholdsFromTheirLevels) {
    const std::string media = QV_SOURCE_DIR "/media";
    const std::string list = qvtest::readFile(media + "/filelists/flow.lua");
    const std::regex entry("name = \"([^\"]+_lua)\", filename = \"([^\"]+)\"");
    std::vector<qvtest::SpriteMediaFile> files;
    for (std::sregex_iterator it(list.begin(), list.end(), entry), end; it != end; ++it)
        files.push_back({(*it)[1], (*it)[2], qvtest::readFile(media + std::string((*it)[2]))});
    qvtest::SpriteWorld world(files);
    Tree t(readEpisodes("main_mode_lua", ""));
    ASSERT_EQ(t.episodes.size(), 2u);
    ASSERT_EQ(t.episodes[0]->mParts.size(), 2u);
    ASSERT_EQ(t.episodes[1]->mParts.size(), 1u);
    EXPECT_EQ(t.episodes[1]->mMapScene, "map_episode_2_xml");
    for (const Episode* episode : t.episodes)
        for (EpisodePart* part : episode->mParts) {
            ASSERT_FALSE(part->mLevels.empty());
            for (EpisodeLevel* level : part->mLevels) {
                EXPECT_FALSE(level->mBack1.empty()) << level->mFile;
                EXPECT_LT(level->mStarThresholds[0], level->mStarThresholds[1]) << level->mFile;
                EXPECT_LT(level->mStarThresholds[1], level->mStarThresholds[2]) << level->mFile;
                EXPECT_NE(level->mStarThresholds[0], kDefaultStarThresholds[0]) << level->mFile;
            }
        }
    EXPECT_EQ(t.episodes[0]->mParts[0]->mLevels.back()->mMovieScene, "cutscene_part_1_xml");
}

}  // namespace

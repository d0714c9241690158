#include <gtest/gtest.h>

#include "animationeditor/vector_stream.h"
#include "player/main_mode_section.h"

namespace {

// Two episodes: parts of 3 and 2 levels, then one part of 1 level.
MainModeProgress shape() {
    MainModeProgress p;
    p.episodes.resize(2);
    p.episodes[0].parts.resize(2);
    p.episodes[0].parts[0].levels.resize(3);
    p.episodes[0].parts[1].levels.resize(2);
    p.episodes[1].parts.resize(1);
    p.episodes[1].parts[0].levels.resize(1);
    p.episodes[0].parts[0].closed = false;
    return p;
}

MainModeProgress played() {
    MainModeProgress p = shape();
    p.hearts = 3;
    p.heartTime = 0x0102030405060708ll;
    p.hasProgress = true;
    p.extraMoves = 3;
    p.currentEpisode = 0;
    p.currentPart = 1;
    p.currentLevel = 1;
    for (auto& level : p.episodes[0].parts[0].levels) {
        level.completed = true;
        level.bestScore = 1500;
    }
    p.episodes[0].parts[1].closed = false;
    p.episodes[0].parts[1].levels[0] = {true, 2200};
    return p;
}

std::vector<uint8_t> bytesOf(const MainModeProgress& p) {
    std::vector<uint8_t> bytes;
    AE::VectorStream s(&bytes);
    writeMainModeSection(s, p);
    return bytes;
}

bool sameProgress(const MainModeProgress& a, const MainModeProgress& b) { return bytesOf(a) == bytesOf(b); }

TEST(MainModeSection, Version13RoundTrip) {
    const MainModeProgress p = played();
    const std::vector<uint8_t> bytes = bytesOf(p);
    // 37 + 4 x 2 episodes + (1 + 4) x 3 parts + 5 x 6 levels.
    EXPECT_EQ(bytes.size(), 90u);
    EXPECT_EQ(mainModeSectionLength(p), bytes.size());
    EXPECT_EQ(bytes[0], 13);
    MainModeProgress q = shape();
    ASSERT_EQ(readMainModeSection(bytes.data(), bytes.size(), q), MainModeSectionRead::Read);
    EXPECT_TRUE(sameProgress(p, q));
}

std::vector<uint8_t> olderForm(bool v11, int32_t hearts) {
    std::vector<uint8_t> bytes;
    AE::VectorStream s(&bytes);
    if (v11) AE::writeValue<uint32_t>(s, 11);
    AE::writeValue<int32_t>(s, hearts);
    AE::writeValue<int64_t>(s, 500);
    AE::writeValue<uint8_t>(s, 1);
    AE::writeValue<int32_t>(s, 2);   // extra moves
    AE::writeValue<int32_t>(s, 1);   // current part
    AE::writeValue<int32_t>(s, 0);   // current level
    if (v11) AE::writeValue<uint32_t>(s, 2);
    // The first episode's two parts: open with levels 1, 2, 3 done; open with nothing done.
    AE::writeValue<uint8_t>(s, 0);
    for (int i = 0; i < 3; ++i) {
        AE::writeValue<uint8_t>(s, 1);
        AE::writeValue<int32_t>(s, 100 * (i + 1));
    }
    AE::writeValue<uint8_t>(s, 0);
    for (int i = 0; i < 2; ++i) {
        AE::writeValue<uint8_t>(s, 0);
        AE::writeValue<int32_t>(s, 0);
    }
    return bytes;
}

TEST(MainModeSection, OlderFormsTable) {
    for (bool v11 : {true, false}) {
        SCOPED_TRACE(v11 ? "version 11" : "unversioned (before 11)");
        MainModeProgress p = shape();
        p.currentEpisode = 1;
        std::vector<uint8_t> bytes = olderForm(v11, 3);
        ASSERT_EQ(readMainModeSection(bytes.data(), bytes.size(), p), MainModeSectionRead::Read);
        EXPECT_EQ(p.hearts, 3);
        EXPECT_EQ(p.heartTime, 500);
        EXPECT_TRUE(p.hasProgress);
        EXPECT_EQ(p.extraMoves, 2);
        EXPECT_EQ(p.currentEpisode, 1);  // not stored: keeps its value
        EXPECT_EQ(p.currentPart, 1);
        EXPECT_EQ(p.episodes[0].parts[0].levels[2].bestScore, 300);
        EXPECT_FALSE(p.episodes[0].parts[1].closed);
        EXPECT_TRUE(p.episodes[1].parts[0].closed);  // other episodes are not stored
    }
}

// The version 12 form: no level counts in the parts.
std::vector<uint8_t> version12(const MainModeProgress& p) {
    std::vector<uint8_t> bytes;
    AE::VectorStream s(&bytes);
    AE::writeValue<uint32_t>(s, 12);
    AE::writeValue<int32_t>(s, p.hearts);
    AE::writeValue<int64_t>(s, p.heartTime);
    AE::writeValue<uint8_t>(s, p.hasProgress ? 1 : 0);
    AE::writeValue<int32_t>(s, p.extraMoves);
    AE::writeValue<int32_t>(s, p.currentEpisode);
    AE::writeValue<int32_t>(s, p.currentPart);
    AE::writeValue<int32_t>(s, p.currentLevel);
    AE::writeValue<uint32_t>(s, static_cast<uint32_t>(p.episodes.size()));
    for (const MainModeEpisodeProgress& episode : p.episodes) {
        AE::writeValue<uint32_t>(s, static_cast<uint32_t>(episode.parts.size()));
        for (const MainModePartProgress& part : episode.parts) {
            AE::writeValue<uint8_t>(s, part.closed ? 1 : 0);
            for (const MainModeLevelProgress& level : part.levels) {
                AE::writeValue<uint8_t>(s, level.completed ? 1 : 0);
                AE::writeValue<int32_t>(s, level.bestScore);
            }
        }
    }
    return bytes;
}

// Levels added to or taken from the episode data keep the progress of the
// levels that stay; added ones start unplayed.
TEST(MainModeSection, ProgressSurvivesEpisodeDataThatChanged) {
    MainModeProgress grownLast = shape();  // levels added to the last part
    grownLast.episodes[1].parts[0].levels.resize(4);
    MainModeProgress grownFirst = shape();  // and to a part before it
    grownFirst.episodes[0].parts[1].levels.resize(5);
    MainModeProgress shrunk = shape();
    shrunk.episodes[0].parts[0].levels.resize(2);
    MainModeProgress morePartsAndEpisodes = shape();
    morePartsAndEpisodes.episodes[0].parts.resize(3);
    morePartsAndEpisodes.episodes[0].parts[2].levels.resize(2);
    morePartsAndEpisodes.episodes.resize(3);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        MainModeProgress shape;
    };
    const std::vector<Case> cases = {
        {"version 13, levels added at the end", bytesOf(played()), grownLast},
        {"version 13, levels added to an earlier part", bytesOf(played()), grownFirst},
        {"version 13, a level taken away", bytesOf(played()), shrunk},
        {"version 13, parts and episodes added", bytesOf(played()), morePartsAndEpisodes},
        {"version 12, levels added at the end", version12(played()), grownLast},
        {"version 12, same shape", version12(played()), shape()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainModeProgress p = c.shape;
        testing::internal::CaptureStderr();
        ASSERT_EQ(readMainModeSection(c.bytes.data(), c.bytes.size(), p), MainModeSectionRead::Read);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(p.hearts, 3);
        EXPECT_EQ(p.currentPart, 1);
        const auto& first = p.episodes[0].parts[0].levels;
        for (size_t l = 0; l < first.size(); ++l) EXPECT_EQ(first[l].bestScore, 1500) << l;
        EXPECT_FALSE(p.episodes[0].parts[1].closed);
        EXPECT_TRUE(p.episodes[0].parts[1].levels[0].completed);
        EXPECT_EQ(p.episodes[0].parts[1].levels[0].bestScore, 2200);
        for (size_t l = 1; l < p.episodes[0].parts[1].levels.size(); ++l)
            EXPECT_FALSE(p.episodes[0].parts[1].levels[l].completed) << l;
        // The shape is the episode data's, whatever the file held.
        EXPECT_EQ(mainModeSectionLength(p), mainModeSectionLength(c.shape));
    }
}

TEST(MainModeSection, MismatchesKeepTheResetState) {
    const std::vector<uint8_t> good = bytesOf(played());
    // A version 12 section read against fewer levels than it was written for.
    MainModeProgress shorterShape = shape();
    shorterShape.episodes[0].parts[1].levels.resize(1);
    const std::vector<uint8_t> old = version12(played());
    std::vector<uint8_t> countTooLarge = good;
    countTooLarge[37 + 4 + 1] = 0xFF;  // the first part's level count

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        MainModeProgress shape;
    };
    std::vector<uint8_t> cut(good.begin(), good.end() - 1);
    std::vector<uint8_t> extra = good;
    extra.push_back(0);
    const std::vector<uint8_t> v11 = olderForm(true, 3);
    const std::vector<uint8_t> v11Cut(v11.begin(), v11.end() - 4);
    const std::vector<Case> cases = {
        {"cut by one byte", cut, shape()},
        {"one byte too many", extra, shape()},
        {"version 12 written against longer episode data", old, shorterShape},
        {"a level count beyond the section", countTooLarge, shape()},
        {"empty", {}, shape()},
        {"version 11 cut short", v11Cut, shape()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainModeProgress p = c.shape;
        const MainModeProgress before = p;
        testing::internal::CaptureStderr();
        EXPECT_EQ(readMainModeSection(c.bytes.data(), c.bytes.size(), p), MainModeSectionRead::Mismatch);
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_NE(log.find("WARNING:"), std::string::npos);
        EXPECT_TRUE(sameProgress(p, before));
    }
}

TEST(MainModeSection, HeartsAreClampedToFive) {
    for (auto [stored, expected] : std::vector<std::pair<int32_t, int32_t>>{{9, 5}, {-3, 0}, {5, 5}, {0, 0}}) {
        SCOPED_TRACE(stored);
        MainModeProgress p = played();
        p.hearts = stored;
        std::vector<uint8_t> bytes = bytesOf(p);
        MainModeProgress q = shape();
        ASSERT_EQ(readMainModeSection(bytes.data(), bytes.size(), q), MainModeSectionRead::Read);
        EXPECT_EQ(q.hearts, expected);
    }
    // The older form's hearts word too.
    MainModeProgress q = shape();
    std::vector<uint8_t> bytes = olderForm(false, 7);
    ASSERT_EQ(readMainModeSection(bytes.data(), bytes.size(), q), MainModeSectionRead::Read);
    EXPECT_EQ(q.hearts, 5);
}

}  // namespace

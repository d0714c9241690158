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

TEST(MainModeSection, Version12RoundTrip) {
    const MainModeProgress p = played();
    const std::vector<uint8_t> bytes = bytesOf(p);
    // 37 + 4 x 2 episodes + 3 parts + 5 x 6 levels.
    EXPECT_EQ(bytes.size(), 78u);
    EXPECT_EQ(mainModeSectionLength(p), bytes.size());
    EXPECT_EQ(bytes[0], 12);
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

TEST(MainModeSection, MismatchesKeepTheResetState) {
    const std::vector<uint8_t> good = bytesOf(played());
    MainModeProgress longerShape = shape();
    longerShape.episodes[1].parts[0].levels.resize(2);
    MainModeProgress shorterShape = shape();
    shorterShape.episodes[0].parts[1].levels.resize(1);

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
        {"written against shorter episode data", good, longerShape},
        {"written against longer episode data", good, shorterShape},
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

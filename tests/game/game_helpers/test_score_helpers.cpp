// The score bar's count, bar place and stars, and the choice of a score
// text's size, on scenes built here.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "game_helpers/progress_helper.h"
#include "game_helpers/score_text_helper.h"
#include "log_system.h"

namespace {

struct Heard : AE::MarkerListener {
    void onMarkerFinished(AE::Marker* marker) override { names.push_back(marker->getName()); }
    std::vector<std::string> names;
};

// A bar scene: "#timeNode" keyed at 1, 2 and 3 s, "thumb" moving "bar", the
// star markers and "init" (empty, so each ends at its first update).
AE::ISceneNode* barScene(Heard* heard) {
    auto* root = new AE::ISceneNode();
    auto* time = new AE::ISceneNode();
    time->mName = "#timeNode";
    for (int frame : {24, 48, 72}) time->addKeyFrame(frame);
    root->addChild(time, AE::KeepTransform::Local);
    auto* bar = new AE::ISceneNode();
    bar->mName = "bar";
    root->addChild(bar, AE::KeepTransform::Local);
    auto* thumb = new AE::Marker("thumb");
    thumb->addEntry(bar, 0, 72, false, false);
    root->addMarker(thumb);
    for (const char* name : {"init", "#star0", "#star1", "#star2", "#star3"}) {
        auto* marker = new AE::Marker(name);
        marker->addListener(heard);
        root->addMarker(marker);
    }
    return root;
}

TEST(ProgressHelper, BarPlaceByScoreAcrossTheStarSegments) {
    struct Case {
        int thresholds[3];
        int score;
        float place;
        int stars;
    } cases[] = {
        {{500, 1000, 2000}, 250, 0.5f, 0},  {{500, 1000, 2000}, 750, 1.5f, 1},
        {{500, 1000, 2000}, 1500, 2.5f, 2}, {{500, 1000, 2000}, 5000, 3.0f, 3},
        {{500, 1000, 2000}, 500, 1.0f, 1},  {{500, 1000, 2000}, 0, 0.0f, 0},
        // A star segment of no length is full once reached, never NaN.
        {{500, 1000, 1000}, 1000, 3.0f, 3}, {{500, 500, 1500}, 500, 2.0f, 2},
        {{0, 0, 0}, 0, 3.0f, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.score);
        Heard heard;
        ProgressHelper bar(barScene(&heard));
        bar.setSegments(c.thresholds[0], c.thresholds[1] - c.thresholds[0], c.thresholds[2] - c.thresholds[1]);
        bar.onLevelStart();
        bar.setScore(c.score);
        for (int i = 0; i < 60; ++i) bar.update(1.0f / 60.0f);
        ASSERT_FALSE(std::isnan(bar.position()));
        EXPECT_NEAR(bar.position(), c.place, 1e-4);
        EXPECT_EQ(bar.stars(), c.stars);
        EXPECT_EQ(bar.shown(), c.score);
    }
}

TEST(ProgressHelper, StarsLightOneByOneAsTheBarPasses) {
    Heard heard;
    ProgressHelper bar(barScene(&heard));
    bar.setSegments(500, 500, 1000);
    bar.onLevelStart();
    EXPECT_EQ(heard.names, std::vector<std::string>({"init"}));
    heard.names.clear();
    bar.setScore(5000);
    for (int i = 0; i < 60; ++i) bar.update(1.0f / 60.0f);
    EXPECT_EQ(heard.names, std::vector<std::string>({"#star1", "#star2", "#star3"}));
    // A new level puts the bar back to its start at once.
    heard.names.clear();
    bar.onLevelStart();
    EXPECT_EQ(bar.shown(), 0);
    EXPECT_EQ(bar.position(), 0.0f);
    EXPECT_EQ(heard.names, std::vector<std::string>({"init", "#star0"}));
}

TEST(ProgressHelper, TheCountRisesOverNineTenthsOfASecond) {
    Heard heard;
    ProgressHelper bar(barScene(&heard));
    bar.setSegments(500, 500, 1000);
    bar.onLevelStart();
    bar.setScore(300);
    bar.update(1.0f / 60.0f);
    EXPECT_GE(bar.shown(), 0);
    EXPECT_LE(bar.shown(), 10);
    for (int i = 0; i < 52; ++i) bar.update(1.0f / 60.0f);
    EXPECT_LT(bar.shown(), 300);
    bar.update(1.0f / 60.0f);
    bar.update(1.0f / 60.0f);
    EXPECT_EQ(bar.shown(), 300);
}

struct Captured : QV::LogStream {
    explicit Captured(std::vector<std::string>* lines) : lines(lines) {}
    void write(const std::string& message) override { lines->push_back(message); }
    int kind() const override { return 99; }
    std::vector<std::string>* lines;
};

TEST(ProgressHelper, AMissingThumbMarkerIsLogged) {
    QV::LogSystem log;
    std::vector<std::string> lines;
    for (QV::LogStream*& stream : log.streams()) delete stream;
    log.streams().clear();
    log.streams().push_back(new Captured(&lines));
    ProgressHelper bar(new AE::ISceneNode());
    bool said = false;
    for (const std::string& line : lines) said |= line.find("ERROR: Can't find marker 'thumb' in node") != std::string::npos;
    EXPECT_TRUE(said);
}

AE::ISceneNode* textScene(std::initializer_list<const char*> markers) {
    auto* root = new AE::ISceneNode();
    for (const char* name : markers) root->addMarker(new AE::Marker(name));
    return root;
}

TEST(ScoreTextHelper, TheLargestLimitNotAbovePointsChoosesTheSize) {
    ScoreTextHelper texts(textScene({"limit:500", "show", "limit:0", "limit:100"}));
    ASSERT_EQ(texts.sizeMarkers().size(), 3u);
    EXPECT_EQ(texts.sizeMarkers()[0].limit, 0);
    EXPECT_EQ(texts.sizeMarkers()[2].limit, 500);
    EXPECT_EQ(texts.markerFor(40), "limit:0");
    EXPECT_EQ(texts.markerFor(120), "limit:100");
    EXPECT_EQ(texts.markerFor(600), "limit:500");
    // Without a qualifying limit the smallest size is used.
    ScoreTextHelper high(textScene({"limit:100", "limit:500"}));
    EXPECT_EQ(high.markerFor(50), "limit:100");
    ScoreTextHelper none(textScene({"show"}));
    EXPECT_EQ(none.markerFor(50), "");
}

TEST(ScoreTextHelper, PointsOfOneFrameMakeOneText) {
    ScoreTextHelper texts(textScene({"limit:0"}));
    for (int i = 0; i < 3; ++i) texts.addPoints(40);
    EXPECT_EQ(texts.points(), 120);
    texts.update(1.0f / 60.0f);
    EXPECT_EQ(texts.points(), 0);
}

}  // namespace

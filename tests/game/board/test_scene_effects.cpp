// The scene-driven field effects, the sound effect and parseDashNumber, on
// scenes built in the test (a marker without entries ends at its first update).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "board/board_fatal.h"
#include "board/board_sound.h"
#include "board/game_field_effect.h"
#include "board/parse_dash_number.h"
#include "board/view/scene_effect.h"
#include "board/view/scene_flying_effect.h"
#include "board/view/scene_path_effect.h"
#include "board/shake_back_field.h"
#include "board/view/sound_effect.h"
#include "support/board_fixture.h"

namespace {

// A root with the named plain children and the named empty markers.
AE::ISceneNode* scene(std::initializer_list<const char*> children, std::initializer_list<const char*> markers) {
    auto* root = new AE::ISceneNode();
    for (const char* name : children) {
        auto* child = new AE::ISceneNode();
        child->mName = name;
        root->addChild(child, AE::KeepTransform::Local);
    }
    for (const char* name : markers) root->addMarker(new AE::Marker(name));
    return root;
}

struct Told : SceneEffectListener, SceneFlyingEffectListener {
    void onSceneEffectFinished(SceneEffect*) override { ++count; }
    void onSceneFlyingEffectFinished(SceneFlyingEffect*) override { ++count; }
    int count = 0;
};

// Fatal errors throw; the log is kept.
class SceneEffects : public ::testing::Test {
protected:
    qvtest::BoardWorld world;
};

TEST(ParseDashNumber, SignsDigitsAndTheSevenCharacterLimit) {
    const struct {
        const char* text;
        float value;
        int advance;
    } cases[] = {
        {"-12", 12.0f, 3},         {"--12", -12.0f, 4},          {"-x", 0.0f, 1},
        {"12", 0.0f, 0},           {"", 0.0f, 0},                {"-5-7", 5.0f, 2},
        {"-1234567", 1234567.0f, 8}, {"--123456", -123456.0f, 8}, {"-123456789", 1234567.0f, 10},
        {"--1234567", -123456.0f, 9}, {"--", 0.0f, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const char* cursor = c.text;
        EXPECT_FLOAT_EQ(parseDashNumber(cursor), c.value);
        EXPECT_EQ(cursor - c.text, c.advance);
    }
    // Consecutive fields of a node name.
    const char* name = "-3--4";
    EXPECT_FLOAT_EQ(parseDashNumber(name), 3.0f);
    EXPECT_FLOAT_EQ(parseDashNumber(name), -4.0f);
    EXPECT_EQ(*name, '\0');
}

TEST_F(SceneEffects, PathFlightMovesAtItsSpeedAndStopsExactlyOnTarget) {
    ScenePathEffect flight(scene({"body", "#speed:100", "#speed:5"}, {"red", "point", "end"}), "red");
    EXPECT_EQ(flight.layer, 50);
    EXPECT_FLOAT_EQ(flight.getSpeed(), 100.0f);
    EXPECT_EQ(flight.getScene()->findMarker("red")->getState(), AE::Marker::kPlaying);
    flight.setPosition({0.0f, 0.0f});
    flight.setTarget({30.0f, 40.0f});  // 50 px away: 0.5 s
    struct Count : AE::MarkerListener {
        void onMarkerFinished(AE::Marker*) override { ++n; }
        int n = 0;
    } points;
    flight.getScene()->findMarker("point")->addListener(&points);
    for (int i = 0; i < 4; ++i) flight.update(0.1f);
    EXPECT_NEAR(flight.getPosition().x, 24.0f, 1e-4f);
    EXPECT_NEAR(flight.getPosition().y, 32.0f, 1e-4f);
    EXPECT_FALSE(flight.isArrived());
    EXPECT_EQ(points.n, 0);
    flight.update(0.3f);  // more than the rest: no overshoot
    EXPECT_TRUE(flight.isArrived());
    EXPECT_FLOAT_EQ(flight.getPosition().x, 30.0f);
    EXPECT_FLOAT_EQ(flight.getPosition().y, 40.0f);
    EXPECT_EQ(points.n, 1);

    // A target where it stands: arrives in the next update without moving, "point" once.
    flight.setTarget({30.0f, 40.0f});
    EXPECT_FALSE(flight.isArrived());
    flight.update(0.1f);
    EXPECT_TRUE(flight.isArrived());
    EXPECT_FLOAT_EQ(flight.getPosition().x, 30.0f);
    EXPECT_EQ(points.n, 2);
    flight.update(0.1f);
    EXPECT_EQ(points.n, 2);

    // The user ends the path: finished when "end" ends, not before.
    flight.finishPath();
    EXPECT_FALSE(flight.finished);
    flight.update(0.1f);
    EXPECT_TRUE(flight.finished);
}

TEST_F(SceneEffects, PathFlightWithoutSceneOrEndMarkerNeverHangs) {
    ScenePathEffect bare(nullptr, "red");
    EXPECT_FLOAT_EQ(bare.getSpeed(), 825.0f);
    bare.setPosition({5.0f, 5.0f});
    bare.setTarget({500.0f, 0.0f});
    EXPECT_TRUE(bare.isArrived());
    EXPECT_FLOAT_EQ(bare.getPosition().x, 500.0f);
    bare.update(0.1f);
    bare.draw();  // draws nothing
    bare.finishPath();
    EXPECT_TRUE(bare.finished);

    // A speed that could never arrive falls back to the default.
    for (const char* name : {"#speed:0", "#speed:-40", "#speed:nan", "#speed:inf"}) {
        ScenePathEffect stuck(scene({name}, {}), "red");
        EXPECT_FLOAT_EQ(stuck.getSpeed(), 825.0f) << name;
    }

    ScenePathEffect noEnd(scene({}, {"point"}), "red");
    noEnd.setTarget({1.0f, 0.0f});
    noEnd.update(0.1f);
    EXPECT_TRUE(noEnd.isArrived());
    noEnd.finishPath();
    EXPECT_TRUE(noEnd.finished);
    // "point" missing is only logged.
    ScenePathEffect noPoint(scene({}, {"end"}), "red");
    noPoint.setTarget({1.0f, 0.0f});
    noPoint.update(0.1f);
    EXPECT_EQ(world.logged("Can't find marker 'point'").size(), 1u);
}

TEST_F(SceneEffects, SceneEffectWaitsItsDelayThenTellsEachListenerOnce) {
    GameFieldEffectList list;
    auto* effect = new SceneEffect(scene({}, {"boom"}), "test_scene", 7, {12.0f, 34.0f}, 1.0f, "boom");
    EXPECT_EQ(effect->layer, 7);
    EXPECT_FLOAT_EQ(effect->getScene()->getPosition().x, 12.0f);
    AE::Marker* marker = effect->getScene()->findMarker("boom");
    EXPECT_EQ(marker->getState(), AE::Marker::kPlaying);
    Told told;
    effect->addListener(&told);
    effect->addListener(&told);
    list.add(effect);
    for (int i = 0; i < 4; ++i) list.update(0.25f);  // the delay is used up, the scene still held
    EXPECT_EQ(told.count, 0);
    EXPECT_FLOAT_EQ(marker->getElapsed(), 0.0f);
    ASSERT_EQ(list.getEffects().size(), 1u);
    list.update(0.25f);  // the marker runs and ends; the list drops the effect in the same update
    EXPECT_EQ(told.count, 1);
    EXPECT_TRUE(list.getEffects().empty());

    // A missing scene or marker is a fatal error naming it.
    try {
        SceneEffect bad(scene({}, {"boom"}), "test_scene", 7, {0.0f, 0.0f}, 0.0f, "bang");
        FAIL();
    } catch (const BoardFatalError& e) {
        EXPECT_NE(e.description.find("'test_scene'"), std::string::npos);
        EXPECT_NE(e.description.find("'bang'"), std::string::npos);
    }
    try {
        SceneEffect missing("no_such_scene_xml", 7, {0.0f, 0.0f}, 0.0f, "boom");
        FAIL();
    } catch (const BoardFatalError& e) {
        EXPECT_NE(e.description.find("no_such_scene_xml"), std::string::npos);
    }
}

TEST_F(SceneEffects, FlyingSceneTakesItsTimeFromTheSceneAndEndsWithItsEndMarker) {
    // No "end": the listeners hear in the update that reaches the end point.
    Told told;
    SceneFlyingEffect quick(scene({"#time:0.5"}, {"init"}), "fly", 150, {0.0f, 0.0f}, {100.0f, 0.0f}, "init");
    quick.addListener(&told);
    quick.addListener(&told);
    EXPECT_FLOAT_EQ(quick.getDuration(), 0.5f);
    quick.update(0.25f);
    EXPECT_FLOAT_EQ(quick.getScene()->getPosition().x, 50.0f);
    EXPECT_FALSE(quick.finished);
    quick.update(0.25f);
    EXPECT_FLOAT_EQ(quick.getScene()->getPosition().x, 100.0f);
    EXPECT_TRUE(quick.finished);
    EXPECT_EQ(told.count, 1);

    // With "end": finished once that marker has played.
    told.count = 0;
    SceneFlyingEffect ending(scene({"#time:0.2"}, {"end"}), "fly", 150, {0.0f, 0.0f}, {10.0f, 10.0f}, "init");
    ending.addListener(&told);
    ending.update(0.3f);
    EXPECT_FLOAT_EQ(ending.getScene()->getPosition().y, 10.0f);
    EXPECT_TRUE(ending.finished);  // the empty end marker ends in the same scene update
    EXPECT_EQ(told.count, 1);

    // "#time:0": never moves, never finishes.
    SceneFlyingEffect still(scene({"#time:0"}, {}), "fly", 150, {0.0f, 0.0f}, {10.0f, 0.0f}, "init");
    for (int i = 0; i < 10; ++i) still.update(1.0f);
    EXPECT_FALSE(still.finished);
    EXPECT_FLOAT_EQ(still.getScene()->getPosition().x, 0.0f);

    // Without a "#time:" node the scene cannot fly: a fatal error naming it.
    EXPECT_THROW(SceneFlyingEffect(scene({"body"}, {}), "fly_scene", 150, {}, {}, "init"), BoardFatalError);
}

TEST_F(SceneEffects, SoundEffectPlaysOnceWhenItsDelayIsOver) {
    std::vector<int> played;
    setBoardSoundObserver([&](int id) { played.push_back(id); });
    GameFieldEffectList list;
    list.add(new SoundEffect(42, 0.0f));
    list.add(new SoundEffect(43, 0.1f));
    list.update(0.05f);
    EXPECT_EQ(played, std::vector<int>{42});
    EXPECT_EQ(list.getEffects().size(), 1u);
    list.update(0.05f);
    list.update(0.05f);
    EXPECT_EQ(played, (std::vector<int>{42, 43}));
    EXPECT_TRUE(list.getEffects().empty());
    setBoardSoundObserver(nullptr);
}

TEST_F(SceneEffects, BackgroundShakeStopsTheLastMarkerAndPlaysTheNamedOne) {
    std::unique_ptr<AE::ISceneNode> background(scene({}, {"shake", "quake"}));
    struct : AE::MarkerListener {
        void onMarkerFinished(AE::Marker*) override {}
    } level;
    BackgroundShake shake;
    shake.play(background.get(), "shake", &level);
    AE::Marker* first = background->findMarker("shake");
    ASSERT_EQ(shake.current(), first);
    EXPECT_EQ(first->getState(), AE::Marker::kPlaying);
    EXPECT_EQ(first->mListeners.size(), 1u);
    shake.play(background.get(), "quake", &level);
    EXPECT_NE(first->getState(), AE::Marker::kPlaying);
    EXPECT_EQ(background->findMarker("quake")->getState(), AE::Marker::kPlaying);
    // An unknown marker stops the last one and plays nothing.
    shake.play(background.get(), "nothing", &level);
    EXPECT_EQ(shake.current(), nullptr);
    EXPECT_NE(background->findMarker("quake")->getState(), AE::Marker::kPlaying);
    shake.play(nullptr, "shake", &level);  // no background: nothing
}

}  // namespace

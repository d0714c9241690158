#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "animationeditor/sprite_scene_node.h"
#include "engine/animationeditor/scene_world.h"
#include "input_manager.h"
#include "flow/movie_state.h"
#include "platform/scripted_input_source.h"
#include "sprite.h"
#include "support/temp_dir.h"

namespace {

using scenetest::obj;

// A plain node "a" keyed over frames 0..40 and the given part markers, each
// naming a range of "a" ("#part:1" -> {0, 10}).
std::string partsScene(const std::vector<std::pair<std::string, std::pair<int, int>>>& markers) {
    scenetest::Obj a = obj("", "a", "scaleX=\"1\" scaleY=\"1\" R=\"1\" G=\"1\" B=\"1\" A=\"1\" Enable=\"1\"",
                           {"StartFrame=\"0\"|" + scenetest::keyAttrs(0, 0), "StartFrame=\"40\"|" + scenetest::keyAttrs(40, 0)});
    std::string text = "<markers>";
    for (const auto& m : markers)
        text += scenetest::markerXml(m.first, {"path=\"/a\" from=\"" + std::to_string(m.second.first) + "\" to=\"" +
                                                   std::to_string(m.second.second) + "\""});
    return scenetest::sceneXml({a}, text + "</markers>");
}

struct Finished : MovieStateListener {
    void onMovieFinished() override { ++count; }
    int count = 0;
};

class MovieTest : public ::testing::Test {
protected:
    explicit MovieTest(const std::vector<std::pair<std::string, std::string>>& scenes = {
                           {"three_xml", partsScene({{"#part:1", {0, 10}}, {"#part:2a", {10, 20}}, {"#part:3", {20, 30}}})},
                           {"gap_xml", partsScene({{"#part:1", {0, 10}}, {"#part:3", {20, 30}}})},
                           {"none_xml", partsScene({{"#part:2", {0, 10}}})}})
        : world(scenes) {
        input = std::make_unique<QV::InputManager>(nullptr);
        script = new QV::Platform::ScriptedInputSource();
        input->init(script);
        movie.setListener(&finished);
    }
    ~MovieTest() override { movie.unload(); }

    void start(const std::string& scene) {
        movie.setSceneName(scene);
        movie.initialize();
    }
    // One frame of 1/24 s: the input poll, then the state.
    void frame(bool click = false) {
        if (click) script->pressButton(polls, QV::Platform::ScriptedInputSource::Button::Left);
        input->pollMouse();
        ++polls;
        if (click) {
            script->releaseButton(polls, QV::Platform::ScriptedInputSource::Button::Left);
            input->pollMouse();
            ++polls;
        }
        movie.update(1.0f / 24.0f);
    }

    scenetest::SceneWorld world;
    std::unique_ptr<QV::InputManager> input;
    QV::Platform::ScriptedInputSource* script = nullptr;
    Finished finished;
    MovieState movie;
    int polls = 0;
};

TEST_F(MovieTest, ClickPartsWaitAutomaticPartsRunOnAndClicksAfterTheEndTellTheListenerAgain) {
    start("three_xml");
    ASSERT_TRUE(movie.isLoaded());
    ASSERT_EQ(movie.getParts().size(), 3u);
    EXPECT_FALSE(movie.getParts()[0].automatic);
    EXPECT_TRUE(movie.getParts()[1].automatic);
    EXPECT_FALSE(movie.getParts()[2].automatic);
    for (int i = 0; i < 30; ++i) frame();
    EXPECT_EQ(movie.getCurrentPart(), 0);  // part 1 waits past its end
    frame(true);
    EXPECT_EQ(movie.getCurrentPart(), 1);
    EXPECT_EQ(movie.getParts()[0].marker->getState(), AE::Marker::kPaused);
    for (int i = 0; i < 12; ++i) frame();
    EXPECT_EQ(movie.getCurrentPart(), 2);  // part 2 ran into part 3 by itself
    for (int i = 0; i < 30; ++i) frame();
    EXPECT_EQ(finished.count, 0);
    frame(true);
    EXPECT_EQ(finished.count, 1);
    frame(true);
    EXPECT_EQ(finished.count, 2);  // still current: each click tells it again
    EXPECT_EQ(movie.getCurrentPart(), 2);
}

TEST_F(MovieTest, AClickSkipsAnAutomaticPartAtOnceAndTheFirstClickCanBeSwallowed) {
    movie.setSkipFirstClick(true);
    start("three_xml");
    frame(true);
    EXPECT_EQ(movie.getCurrentPart(), 0);  // swallowed
    EXPECT_FALSE(movie.getSkipFirstClick());
    frame(true);
    EXPECT_EQ(movie.getCurrentPart(), 1);
    frame(true);  // during the automatic part
    EXPECT_EQ(movie.getCurrentPart(), 2);
    // The skipped part ended on its last frame, where part 3 begins.
    movie.getScene()->update(0.0f);
    EXPECT_NEAR(movie.getScene()->findNode("a")->getPosition().x, 20.0f, 0.5f);
}

TEST_F(MovieTest, PartsEndAtTheFirstMissingNumberAndSceneWithoutPartOneEndsAtOnce) {
    start("gap_xml");
    EXPECT_EQ(movie.getParts().size(), 1u);
    frame(true);
    EXPECT_EQ(finished.count, 1);
    movie.unload();
    finished.count = 0;
    for (const char* name : {"none_xml", "missing_xml"}) {
        start(name);
        EXPECT_TRUE(movie.isLoaded());
        EXPECT_TRUE(movie.getParts().empty());
        frame();
        EXPECT_EQ(finished.count, 1) << name;
        frame();
        EXPECT_EQ(finished.count, 1) << name;  // told once, not every frame
        movie.unload();
        finished.count = 0;
    }
    EXPECT_EQ(world.log().count("ERROR: Cutscene 'none_xml' has no part 1"), 1);
    EXPECT_EQ(world.log().count("ERROR: Cutscene 'missing_xml' could not be loaded"), 1);
}

TEST(ShippedCutscenes, IntroHasThreePartsWithItsSecondAutomaticAndEveryPictureLoads) {
    const std::string media = QV_SOURCE_DIR "/media";
    const std::string list = qvtest::readFile(media + "/filelists/flow.lua");
    const std::regex entry("name = \"([^\"]+)\", filename = \"([^\"]+)\"");
    std::vector<std::pair<std::string, std::string>> scenes;
    for (std::sregex_iterator it(list.begin(), list.end(), entry), end; it != end; ++it)
        scenes.push_back({(*it)[1], qvtest::readFile(media + std::string((*it)[2]))});
    scenetest::SceneWorld world(scenes);
    struct Want {
        const char* scene;
        std::vector<bool> automatic;
    };
    for (const Want& w : {Want{"dialog_1_xml", {false, true, false}}, Want{"cutscene_part_1_xml", {false, false}}}) {
        std::unique_ptr<AE::ISceneNode> root(AE::loadScene(w.scene));
        ASSERT_TRUE(root) << w.scene;
        const std::vector<CutscenePart> parts = findCutsceneParts(root.get());
        ASSERT_EQ(parts.size(), w.automatic.size()) << w.scene;
        for (size_t i = 0; i < parts.size(); ++i) EXPECT_EQ(parts[i].automatic, w.automatic[i]) << w.scene << i;
        EXPECT_NE(root->findMarker("init"), nullptr);
        for (int i = 1; i <= int(parts.size()); ++i) {
            auto* picture = dynamic_cast<AE::SpriteSceneNode*>(root->findNode("picture" + std::to_string(i)));
            ASSERT_NE(picture, nullptr) << w.scene << i;
            ASSERT_NE(picture->mSprite, nullptr);
            EXPECT_EQ(picture->mSprite->mFrames[0].width(), 960.0f);
            EXPECT_NE(root->findNode("caption" + std::to_string(i)), nullptr);
        }
    }
    EXPECT_FALSE(world.log().has("Failed to create sprite from cutscene_intro_1_png"));
}

}  // namespace

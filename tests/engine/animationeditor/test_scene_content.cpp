#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/particle_scene_node.h"
#include "animationeditor/sound_scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "scene_world.h"
#include "support/particle_fixtures.h"
#include "support/temp_dir.h"

namespace {

using AE::ISceneNode;

// Our scenes and what they use, as package "default" lists them.
std::vector<qvtest::SpriteMediaFile> shippedScenes() {
    const std::string media = QV_SOURCE_DIR "/media";
    std::vector<qvtest::SpriteMediaFile> files = {
        {"loading_scene_xml", "/scenes/loading_scene.xml", ""},
        {"window_scene_xml", "/scenes/window_scene.xml", ""},
        {"effect_scene_xml", "/scenes/effect_scene.xml", ""},
        {"cutscene_scene_xml", "/scenes/cutscene_scene.xml", ""},
        {"scene_panel_png", "/images/scene_panel.png", ""},
        {"scene_spinner_png", "/images/scene_spinner.png", ""},
        {"scene_dots_png", "/images/scene_dots.png", ""},
        {"scene_sprites", "/sprites/scene_sprites.lua", ""},
        {"scene_sxml", "/sprites/scene_sprites.xml", ""},
        {"demo_badge_png", "/images/demo_badge.png", ""},
        {"demo_banner_png", "/images/demo_banner.png", ""},
        {"particle_burst_fx", "/particles/burst.xml", ""},
        {"particles_sxml", "/particles/particles.xml", ""},
        {"particles_image", "/particles/particles.png", ""},
        {"button_clicked_sound", "/sounds/button_clicked.ogg", ""},
    };
    for (qvtest::SpriteMediaFile& f : files) f.bytes = qvtest::readFile(media + f.location);
    return files;
}

struct Finished : AE::MarkerListener {
    void onMarkerFinished(AE::Marker* marker) override { names.push_back(marker->getName()); }
    std::vector<std::string> names;
};

class SceneContent : public testing::Test {
protected:
    std::unique_ptr<ISceneNode> load(const std::string& name) {
        std::unique_ptr<ISceneNode> root(AE::loadScene(name));
        EXPECT_TRUE(root) << name;
        return root;
    }
    // Runs a marker to its end in steps of 1/24 s; false when it never ends.
    bool runMarker(ISceneNode* root, const std::string& name, int maxSteps = 200) {
        AE::Marker* marker = root->findMarker(name);
        if (!marker) return false;
        Finished finished;
        marker->addListener(&finished);
        root->playMarker(name);
        for (int i = 0; i < maxSteps && finished.names.empty(); ++i) root->update(1.0f / 24.0f);
        marker->removeListener(&finished);
        return finished.names == std::vector<std::string>{name};
    }

    qvtest::SpriteWorld world{shippedScenes()};
    qvtest::ParticleEngine particles;
};

TEST_F(SceneContent, LoadingSceneLoopsWithItsPictures) {
    std::unique_ptr<ISceneNode> root = load("loading_scene_xml");
    ASSERT_TRUE(root);
    for (const char* name : {"panel", "spinner", "dots"}) EXPECT_NE(root->findNode(name), nullptr) << name;
    EXPECT_NE(dynamic_cast<AE::TextSceneNode*>(root->findNode("#title")), nullptr);
    auto* dots = static_cast<AE::SpriteSceneNode*>(root->findNode("dots"));
    EXPECT_EQ(dots->frameCount(), 4u);
    root->play(true);
    ISceneNode* spinner = root->findNode("spinner");
    for (int i = 0; i < 36; ++i) root->update(1.0f / 24.0f);  // a turn and a half
    EXPECT_TRUE(spinner->mPlaying);
    EXPECT_NEAR(spinner->mRotation, 180.0f, 1.0f);
    EXPECT_EQ(dots->mFrameIndex, 2);
}

TEST_F(SceneContent, WindowSceneShowsAndHidesThroughItsMarkers) {
    std::unique_ptr<ISceneNode> root = load("window_scene_xml");
    ASSERT_TRUE(root);
    ISceneNode* window = root->findNode("window");
    ASSERT_NE(window, nullptr);
    EXPECT_NE(root->findNode("#btnClose"), nullptr);
    ASSERT_TRUE(runMarker(root.get(), "init"));
    EXPECT_EQ(window->mWorldColor.a, 0);
    ASSERT_TRUE(runMarker(root.get(), "show"));
    EXPECT_EQ(window->mWorldColor.a, 255);
    EXPECT_FLOAT_EQ(window->mScale.x, 1.0f);
    ASSERT_TRUE(runMarker(root.get(), "hide"));
    EXPECT_EQ(window->mWorldColor.a, 0);
}

TEST_F(SceneContent, EffectSceneInitPlaysItsSpriteParticlesAndSound) {
    std::unique_ptr<ISceneNode> root = load("effect_scene_xml");
    ASSERT_TRUE(root);
    AE::Marker* init = root->findMarker("init");
    ASSERT_NE(init, nullptr);
    ASSERT_EQ(init->getEntries().size(), 3u);
    EXPECT_EQ(init->getEntries()[0]->node->getType(), AE::kSpriteNode);
    EXPECT_EQ(init->getEntries()[1]->node->getType(), AE::kParticleNode);
    EXPECT_EQ(init->getEntries()[2]->node->getType(), AE::kSoundNode);
    auto* burst = static_cast<AE::ParticleSceneNode*>(root->findNode("burst"));
    ASSERT_NE(burst->mParticleFX, nullptr);
    EXPECT_TRUE(runMarker(root.get(), "init"));
}

TEST_F(SceneContent, CutscenePlaysItsTwoPartsUnderItsCamera) {
    std::unique_ptr<ISceneNode> root = load("cutscene_scene_xml");
    ASSERT_TRUE(root);
    auto* camera = dynamic_cast<AE::MovieCamera*>(root->findNode("camera"));
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->getActivationFrames(), std::vector<int32_t>{0});
    ASSERT_TRUE(runMarker(root.get(), "#part:1"));
    EXPECT_NEAR(camera->mPosition.x, 200.0f, 0.5f);
    EXPECT_NEAR(camera->mPosition.y, 0.0f, 0.5f);
    ASSERT_TRUE(runMarker(root.get(), "#part:2"));
    EXPECT_NEAR(camera->mPosition.y, 100.0f, 0.5f);
    // While a part plays, its nodes view the world through the camera.
    root->playMarker("#part:1");
    root->update(1.0f / 24.0f);
    EXPECT_EQ(root->findNode("near")->getSceneCamera(), camera);
}

}  // namespace

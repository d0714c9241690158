#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "animation.h"
#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "board_world.h"
#include "board/drawable_factory.h"
#include "board/view/drawable_kinds.h"
#include "lua_script2.h"
#include "board/objects_group.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "render_data.h"
#include "render_system.h"
#include "sprite.h"

namespace {

using boardtest::BoardWorld;

class Drawables : public testing::Test {
protected:
    Drawables() { world.chips = std::make_unique<ChipManager>(); }

    // A drawable list read from Lua text, with the suffix.
    void loadList(const std::string& lua, const std::string& suffix, DrawablesGroup& group) {
        QV::LuaScript2 script(QV::createLuaState());
        lua_State* L = script.state();
        ASSERT_EQ(luaL_loadstring(L, ("return " + lua).c_str()), 0);
        ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
        group.load(script, suffix);
        lua_pop(L, 1);
    }

    BoardWorld world;
};

std::string tableOf(Drawable* drawable) {
    auto* sprite = dynamic_cast<SpriteDrawable*>(drawable);
    return sprite ? std::to_string(int(sprite->getSprite()->mFrames[0].left)) + "," +
                        std::to_string(int(sprite->getSprite()->mFrames[0].top))
                  : "";
}

TEST_F(Drawables, ListEntriesBuildTheirKindsWithSuffixesAndSkipUnknownTypes) {
    DrawablesGroup group;
    loadList(R"lua({
        { "Sprite", "chips_sprites", "s_chip", 4 },
        { "Sprite", "chips_sprites", "s_star", -2, 1 },
        { "sprite", "chips_sprites", "s_chip", 1 },
        {},
        { "AnimSprite", "chips_sprites", "s_detonate", 7, 1 },
        { "ParticleFX", "chip_destroy_fx", "ignored", "3" },
        { "Scene", "schedule_scene_xml", "idle;shine_%s(1)", 9 },
    })lua",
             "_B", group);
    ASSERT_EQ(group.size(), 5u);
    std::vector<Drawable*> items(group.begin(), group.end());
    // "s_chip_B": blue is the third colour row of the sheet.
    EXPECT_EQ(tableOf(items[0]), "0,128");
    EXPECT_EQ(items[0]->layer, 4);
    // The fifth value refuses the suffix: the colourless star.
    EXPECT_EQ(tableOf(items[1]), "64,384");
    EXPECT_EQ(items[1]->layer, -2);
    EXPECT_NE(dynamic_cast<AnimSpriteDrawable*>(items[2]), nullptr);
    auto* effect = dynamic_cast<ParticleFXDrawable*>(items[3]);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->getFileName(), "chip_destroy_fx");
    EXPECT_EQ(effect->layer, 3);
    auto* scene = dynamic_cast<SceneDrawable*>(items[4]);
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->getSchedule().size(), 2u);
    EXPECT_EQ(scene->getSchedule()[1].name, "shine__B");
}

TEST(MarkerSchedule, ItemsTimesAndTheSuffix) {
    const struct {
        const char* text;
        const char* suffix;
        std::vector<std::pair<std::string, float>> expected;
    } cases[] = {
        {"idle;blink(0.5);shine_%s(1.25)", "_G", {{"idle", 0.0f}, {"blink", 0.5f}, {"shine__G", 1.25f}}},
        {"a(2)b", "", {{"a", 2.0f}, {"b", 0.0f}}},
        {"", "_R", {}},
        {"one;", "_R", {{"one", 0.0f}}},
        // Only the first conversion takes the suffix; other percent signs stay.
        {"x%s_%d_%s(1)", "_O", {{"x_O_%d_%s", 1.0f}}},
        {"100%", "", {{"100%", 0.0f}}},
        {"open(0.75", "", {{"open", 0.75f}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::vector<ScheduledMarker> got = parseMarkerSchedule(c.text, c.suffix);
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].name, c.expected[i].first);
            EXPECT_FLOAT_EQ(got[i].time, c.expected[i].second);
            EXPECT_FALSE(got[i].fired);
        }
    }
}

TEST_F(Drawables, SceneSchedulePlaysEachMarkerOnceAtItsTime) {
    SceneDrawable scene("schedule_scene_xml", 0, "idle;blink(0.5);shine%s(1.25)", "_G");
    AE::ISceneNode* root = scene.getScene();
    auto playing = [&](const char* name) { return root->findMarker(name)->getState() == AE::Marker::kPlaying; };
    EXPECT_FLOAT_EQ(scene.getLatestTime(), 1.25f);
    scene.update(0.1f);
    EXPECT_TRUE(playing("idle"));
    EXPECT_FALSE(playing("blink"));
    for (int i = 0; i < 4; ++i) scene.update(0.1f);
    EXPECT_TRUE(playing("blink"));
    EXPECT_FALSE(playing("shine_G"));
    for (int i = 0; i < 8; ++i) scene.update(0.1f);
    EXPECT_TRUE(playing("shine_G"));
    const float stopped = scene.getElapsed();
    EXPECT_GT(stopped, 1.25f);
    for (int i = 0; i < 10; ++i) scene.update(0.1f);
    EXPECT_FLOAT_EQ(scene.getElapsed(), stopped);

    // A clone starts over and plays its time-0 markers while it is made.
    root->findMarker("idle")->stop(false);
    std::unique_ptr<Drawable> copy(scene.clone());
    auto* cloned = static_cast<SceneDrawable*>(copy.get());
    EXPECT_FLOAT_EQ(cloned->getElapsed(), 0.0f);
    EXPECT_EQ(cloned->getScene()->findMarker("idle")->getState(), AE::Marker::kPlaying);
    EXPECT_NE(cloned->getScene()->findMarker("blink")->getState(), AE::Marker::kPlaying);
}

TEST_F(Drawables, OpacityActivationAndParticleLife) {
    ParticleFXDrawable fx("chip_destroy_fx", 0);
    fx.setOpacity(3.0f);
    EXPECT_FLOAT_EQ(fx.opacity, 1.0f);
    fx.setOpacity(-1.0f);
    EXPECT_FLOAT_EQ(fx.opacity, -1.0f);

    // Inactive, the effect stands still; active, it runs and ends.
    EXPECT_TRUE(fx.isAlive());
    fx.update(5.0f);
    EXPECT_TRUE(fx.isAlive());
    fx.setActive(true);
    fx.update(0.016f);
    fx.setActive(true);
    EXPECT_TRUE(fx.previousActive);
    for (int i = 0; i < 120; ++i) fx.update(1.0f / 60.0f);
    EXPECT_FALSE(fx.isAlive());

    ParticleFXDrawable empty("no_emitters_fx", 0);
    EXPECT_FALSE(empty.isAlive());

    // A copy takes its effect only when first used.
    std::unique_ptr<Drawable> copy(fx.clone());
    EXPECT_EQ(static_cast<ParticleFXDrawable*>(copy.get())->getEffect(), nullptr);
    EXPECT_TRUE(copy->isAlive());
    EXPECT_NE(static_cast<ParticleFXDrawable*>(copy.get())->getEffect(), nullptr);
}

TEST_F(Drawables, MissingPiecesAreFatalWithTheirNames) {
    EXPECT_THROW(SpriteDrawable("chips_sprites", "s_no_such_table", 0), BoardFatalError);
    EXPECT_THROW(AnimSpriteDrawable("chips_sprites", "s_no_such_table", 0), BoardFatalError);
    try {
        SceneDrawable("no_such_scene_xml", 0, "", "");
        FAIL();
    } catch (const BoardFatalError& e) {
        EXPECT_EQ(e.description, "Fail to load no_such_scene_xml scene file");
    }
}

TEST_F(Drawables, SpriteDrawsCellSizedWithCornerAlphasAndClip) {
    setDrawableCellSize(40);
    SpriteDrawable chip("chips_sprites", "s_chip_R", 0);
    chip.cornerAlpha[1] = 0.5f;
    chip.cornerAlpha[3] = 0.0f;
    chip.setOpacity(0.5f);
    chip.clipEnabled = true;
    chip.clipRect = QV::Rect(0, 0, 30, 30);
    world.world.frame([&] {
        chip.draw(100, 60);
        QV::Sprite* s = chip.getSprite();
        EXPECT_EQ(s->getSize(), QV::Vector2<float>(40.0f, 40.0f));
        EXPECT_EQ(s->getPosition(), QV::Vector2<float>(100.0f, 60.0f));
        EXPECT_TRUE(s->mClip);
        EXPECT_EQ(s->vertexColor(0).a, 127);
        EXPECT_EQ(s->vertexColor(1).a, 63);
        EXPECT_EQ(s->vertexColor(s->mSizeX + 2).a, 0);
    });
    // Copies keep the layer and the restart flag, nothing else.
    chip.layer = 6;
    chip.setRestartOnActivation(false);
    std::unique_ptr<Drawable> copy(chip.clone());
    EXPECT_EQ(copy->layer, 6);
    EXPECT_FALSE(copy->restartOnActivation);
    EXPECT_FLOAT_EQ(copy->opacity, 1.0f);
    EXPECT_FALSE(copy->clipEnabled);
    setDrawableCellSize(0);
}

TEST_F(Drawables, AnimatedSpriteRewindsOnActivationChangesOnlyWithItsFlag) {
    AnimSpriteDrawable glint("chips_sprites", "s_glint", 0);
    QV::Animation* animation = glint.getAnimation();
    EXPECT_TRUE(animation->mLoop);
    glint.update(0.2f);
    world.world.frame([&] {
        glint.setActive(true);
        glint.draw(0, 0);
        EXPECT_FLOAT_EQ(animation->mTime, 0.0f);
        EXPECT_TRUE(animation->mPlaying);
        glint.update(0.2f);
        glint.setActive(false);
        glint.draw(0, 0);
        EXPECT_FLOAT_EQ(animation->mTime, 0.0f);
        EXPECT_FALSE(animation->mPlaying);
    });
    AnimSpriteDrawable steady("chips_sprites", "s_glint", 0);
    steady.setRestartOnActivation(false);
    steady.update(0.2f);
    world.world.frame([&] {
        steady.setActive(true);
        steady.draw(0, 0);
    });
    EXPECT_FLOAT_EQ(steady.getAnimation()->mTime, 0.2f);
    // A copy runs its own animation on its own sprite.
    std::unique_ptr<Drawable> copy(steady.clone());
    auto* copied = static_cast<AnimSpriteDrawable*>(copy.get());
    EXPECT_NE(copied->getSprite(), steady.getSprite());
    copied->update(0.14f);
    EXPECT_NE(copied->getSprite()->mFrames[0].left, steady.getSprite()->mFrames[0].left);
}

}  // namespace

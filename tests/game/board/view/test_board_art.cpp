#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

extern "C" {
#include <lua.h>
#include <lualib.h>
#include <lauxlib.h>
}

#include "animation.h"
#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/sprite_scene_node.h"
#include "lua_script2.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "render_data.h"
#include "sprite.h"
#include "support/particle_fixtures.h"
#include "support/sprite_fixture.h"
#include "support/temp_dir.h"
#include "texture.h"

namespace {

const std::string kMedia = QV_SOURCE_DIR "/media";

// Every file our board art list names, with its bytes, and the level screen's
// (the board's sprite table holds the limit icons drawn there).
std::vector<qvtest::SpriteMediaFile> boardArt() {
    const std::string list =
        qvtest::readFile(kMedia + "/filelists/board_art.lua") + qvtest::readFile(kMedia + "/filelists/level.lua");
    const std::regex entry("name = \"([^\"]+)\", filename = \"([^\"]+)\"");
    std::vector<qvtest::SpriteMediaFile> files;
    for (std::sregex_iterator it(list.begin(), list.end(), entry), end; it != end; ++it) {
        qvtest::SpriteMediaFile f{(*it)[1], (*it)[2], ""};
        f.bytes = qvtest::readFile(kMedia + f.location);
        files.push_back(f);
    }
    return files;
}

// The global tables of a sprite script that describe a sprite (hold "Image0").
std::vector<std::string> spriteTables(const std::string& location) {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    const std::string text = qvtest::readFile(kMedia + location);
    std::vector<std::string> names;
    if (luaL_loadbuffer(L, text.data(), text.size(), location.c_str()) == 0 && lua_pcall(L, 0, 0, 0) == 0) {
        lua_pushnil(L);
        while (lua_next(L, LUA_GLOBALSINDEX) != 0) {
            if (lua_type(L, -2) == LUA_TSTRING && lua_istable(L, -1)) {
                lua_getfield(L, -1, "Image0");
                if (lua_isstring(L, -1)) names.push_back(lua_tostring(L, -3));
                lua_pop(L, 1);
            }
            lua_pop(L, 1);
        }
    }
    lua_close(L);
    return names;
}

class BoardArt : public testing::Test {
protected:
    qvtest::SpriteWorld world{boardArt()};
    qvtest::ParticleEngine particles;
};

TEST_F(BoardArt, ListNamesOnlyFilesThatExist) {
    const std::vector<qvtest::SpriteMediaFile> files = boardArt();
    EXPECT_GE(files.size(), 20u);
    for (const qvtest::SpriteMediaFile& f : files) EXPECT_FALSE(f.bytes.empty()) << f.name << " " << f.location;
}

// Every sprite table builds a sprite whose frames lie inside its picture, and
// every animated one loads its frames.
TEST_F(BoardArt, EverySpriteTableBuildsAndStaysInsideItsPicture) {
    const struct {
        const char* script;
        const char* location;
        size_t atLeast;
    } scripts[] = {{"chips_sprites", "/sprites/chips.lua", 6 * 12 + 4 + 16 + 3},
                   {"game_field_sprites", "/sprites/game_field.lua", 6 + 1 + 4 + 255},
                   {"normalmaps_sprites", "/sprites/normalmaps.lua", 2},
                   {"freezing_ring_sprites", "/sprites/freezing_ring.lua", 1}};
    for (const auto& s : scripts) {
        const std::vector<std::string> tables = spriteTables(s.location);
        EXPECT_GE(tables.size(), s.atLeast) << s.script;
        for (const std::string& table : tables) {
            SCOPED_TRACE(std::string(s.script) + "." + table);
            QV::Sprite* sprite = world.sprites().createSprite(s.script, table, "default");
            ASSERT_NE(sprite, nullptr);
            ASSERT_FALSE(sprite->mFrames.empty());
            ASSERT_FALSE(sprite->mQuadData->mTextures.empty());
            const QV::Texture* texture = sprite->mQuadData->mTextures[0];
            ASSERT_NE(texture, nullptr);
            const QV::Rect& frame = sprite->mFrames[0];
            EXPECT_GT(frame.right, frame.left);
            EXPECT_LE(frame.right, float(texture->getWidth()));
            EXPECT_LE(frame.bottom, float(texture->getHeight()));
            QV::Animation animation;
            sprite->bindAnimation(&animation);
            if (animation.load(s.script, "default", table)) {
                EXPECT_GE(animation.frameCount(), 2u);
                animation.update(10.0f);
                for (const QV::Rect& f : sprite->mFrames) EXPECT_LE(f.right, float(texture->getWidth()));
            }
            world.sprites().destroySprite(sprite);
        }
    }
}

TEST_F(BoardArt, ChipsComeInSixColoursForEveryColouredKind) {
    const std::vector<std::string> tables = spriteTables("/sprites/chips.lua");
    const std::set<std::string> names(tables.begin(), tables.end());
    for (const char* kind : {"s_chip", "s_bomb", "s_wave_hor", "s_wave_ver", "s_wave_dside", "s_super_bomb",
                             "s_super_wave_ver", "s_super_wave_dside", "s_color_wall", "s_select", "s_cross",
                             "s_super_wave_hor"}) {
        for (const char* suffix : {"_R", "_G", "_B", "_M", "_Y", "_O"})
            EXPECT_TRUE(names.count(std::string(kind) + suffix)) << kind << suffix;
    }
}

TEST_F(BoardArt, CellSetsNameTwoVariantsPerSolidity) {
    QV::LuaScript2 script(QV::createLuaState());
    ASSERT_TRUE(script.loadScript("cells_lua", "default"));
    ASSERT_TRUE(script.openTable("CellSprites"));
    lua_State* L = script.state();
    int sets = 0;
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        ASSERT_TRUE(script.openTopTable());
        int variants = 0;
        lua_pushnil(L);
        while (lua_next(L, -2) != 0) {
            ASSERT_TRUE(script.openTopTable());
            std::string file, table;
            EXPECT_TRUE(script.getString("file", &file));
            EXPECT_TRUE(script.getString("table", &table));
            QV::Sprite* sprite = world.sprites().createSprite(file, table, "default");
            EXPECT_NE(sprite, nullptr) << file << "." << table;
            world.sprites().destroySprite(sprite);
            script.closeTable();
            lua_pop(L, 1);
            ++variants;
        }
        EXPECT_EQ(variants, 2);
        script.closeTable();
        lua_pop(L, 1);
        ++sets;
    }
    script.closeTable();
    EXPECT_EQ(sets, 3);
}

// The board's effects load with a sprite on every emitter and end by
// themselves, except the hint and the trail, which run while shown.
TEST_F(BoardArt, ParticleEffectsLoadAndTheOneShotsEnd) {
    const struct {
        const char* name;
        bool looped;
    } effects[] = {{"hint_fx", true},    {"wave_hor_fx", false}, {"wave_ver_fx", false},
                   {"wave_tl_fx", false}, {"wave_tr_fx", false}, {"explosion_orange_tile_fx", false},
                   {"fly_trail_fx", true},    {"chip_destroy_fx", false}, {"wall_destroy_fx", false}};
    for (const auto& e : effects) {
        SCOPED_TRACE(e.name);
        QV::ParticleFX* fx = particles.system->createParticleFX(e.name);
        ASSERT_NE(fx, nullptr);
        ASSERT_FALSE(fx->mParticleEmitters.empty());
        for (QV::ParticleEmitter* emitter : fx->mParticleEmitters) EXPECT_NE(emitter->sprite(), nullptr);
        int most = 0;
        for (int i = 0; i < 120; ++i) {
            fx->update(1.0f / 60.0f);
            int live = 0;
            for (QV::ParticleEmitter* emitter : fx->mParticleEmitters) live += emitter->liveCount();
            most = std::max(most, live);
        }
        EXPECT_GE(most, 3);
        EXPECT_EQ(fx->isFinished(), !e.looped);
        particles.system->releaseParticleFX(fx);
    }
}

struct Finished : AE::MarkerListener {
    void onMarkerFinished(AE::Marker* marker) override { names.push_back(marker->getName()); }
    std::vector<std::string> names;
};

// Runs a marker to its end in 1/24 s steps; false when it never ends.
bool runMarker(AE::ISceneNode* root, const std::string& name) {
    AE::Marker* marker = root->findMarker(name);
    if (!marker) return false;
    Finished finished;
    marker->addListener(&finished);
    marker->play(true);
    for (int i = 0; i < 200 && finished.names.empty(); ++i) root->update(1.0f / 24.0f);
    marker->removeListener(&finished);
    return finished.names == std::vector<std::string>{name};
}

bool hasChildStarting(AE::ISceneNode* root, const std::string& prefix) {
    for (AE::ISceneNode* child : root->mChildren)
        if (child->mName.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
}

TEST_F(BoardArt, ScenesCarryTheMarkersTheBoardPlays) {
    std::unique_ptr<AE::ISceneNode> fly(AE::loadScene("color_fly_effect_xml"));
    ASSERT_TRUE(fly);
    EXPECT_TRUE(hasChildStarting(fly.get(), "#speed:"));
    for (const char* marker : {"red", "green", "blue", "purple", "yellow", "orange", "all", "point", "end"})
        EXPECT_TRUE(runMarker(fly.get(), marker)) << marker;
    // The orb of the colour played is the one that shows.
    std::unique_ptr<AE::ISceneNode> blue(AE::loadScene("color_fly_effect_xml"));
    ASSERT_TRUE(runMarker(blue.get(), "blue"));
    EXPECT_EQ(blue->findNode("orb_blue")->mWorldColor.a, 255);
    EXPECT_EQ(blue->findNode("orb_red")->mWorldColor.a, 0);

    std::unique_ptr<AE::ISceneNode> highlight(AE::loadScene("hightlight_xml"));
    ASSERT_TRUE(highlight);
    EXPECT_TRUE(hasChildStarting(highlight.get(), "#interval:"));
    EXPECT_TRUE(runMarker(highlight.get(), "hightlight"));

    std::unique_ptr<AE::ISceneNode> merge(AE::loadScene("merge_scene_xml"));
    ASSERT_TRUE(merge);
    EXPECT_TRUE(runMarker(merge.get(), "init"));
    // Every sprite node found its picture.
    for (AE::ISceneNode* root : {fly.get(), highlight.get(), merge.get()}) {
        for (AE::ISceneNode* child : root->mChildren) {
            if (auto* sprite = dynamic_cast<AE::SpriteSceneNode*>(child)) {
                EXPECT_NE(sprite->mSprite, nullptr);
            }
        }
    }
}

}  // namespace

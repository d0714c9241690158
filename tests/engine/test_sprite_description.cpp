#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lua_script2.h"
#include "render_data.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "support/sprite_fixture.h"
#include "texture.h"
#include "texture_manager.h"
#include "xml_cached_files_manager.h"
#include "xml_data_reader.h"

namespace {

using QV::Color;
using QV::Rect;
using QV::Sprite;
using V2 = QV::Vector2<float>;

const Color kWhite = Color::fromBytes(255, 255, 255, 255);
const Color kClear = Color::fromBytes(0, 0, 0, 0);

const char* const kLuaSet =
    "s_only_image = { Image0 = 'hero_image' }\n"
    "s_two = { Image0 = 'hero_image', Image1 = 'wide_image', SrcRect0 = {0, 0, 16, 16} }\n"
    "s_none = { Pos = {5, 6} }\n"
    "s_sized = { Size = {10, '20'} }\n"
    "s_full = { Pos = {1, 2}, MirrorH = 1, MirrorV = true, Angle = 30, BlendMode = 'add',\n"
    "  Image0 = 'hero_image', Package0 = 'default', SrcRect0 = {8, 0, 24, 16}, Size = {32, 32},\n"
    "  rotCenter = {3, 4}, ClipRect = {1, 2, 3, 4}, Color = {255, 0, 0, 128}, ETC1PairedTextures = 1 }\n"
    "s_blend_caps = { BlendMode = 'Add' }\n"
    "s_blend_color = { BlendMode = 'color' }\n"
    "s_mesh = { Image0 = 'hero_image', Color = {10, 20, 30, 40},\n"
    "  Mesh = { sizeX = 2, sizeY = 1, Vertecies = { { x = 2, y = 1, Pos = {10, 10}, uv = {1, 1} } } } }\n"
    "s_mesh_zero = { Mesh = { sizeX = 2, sizeY = 0 } }\n"
    "s_mesh_missing = { Mesh = { sizeX = 2 } }\n"
    "s_mesh_bad_index = { Mesh = { sizeX = 2, sizeY = 1, Vertecies = { { x = 3, y = 1 } } } }\n"
    "s_mesh_negative_index = { Mesh = { sizeX = 2, sizeY = 1, Vertecies = { { x = -1, y = 0 } } } }\n"
    "s_mesh_huge = { Mesh = { sizeX = 100000, sizeY = 100000 } }\n"
    "s_mesh_negative = { Mesh = { sizeX = -1, sizeY = 2 } }\n";

// The XML twin: same names, XML value forms (rectangles top, left, bottom, right).
const char* const kXmlSet =
    "<?xml version='1.0'?><root>"
    "<s_only_image><Image0 v='hero_image'/></s_only_image>"
    "<s_full><Pos v0='1' v1='2'/><MirrorH v='1'/><MirrorV v='true'/><Angle v='30'/><BlendMode v='add'/>"
    "<Image0 v='hero_image'/><Package0 v='default'/><SrcRect0 v0='0' v1='8' v2='16' v3='24'/>"
    "<Size v0='32' v1='32'/><rotCenter v0='3' v1='4'/><ClipRect v0='2' v1='1' v2='4' v3='3'/>"
    "<Color r='255' g='0' b='0' a='128'/><ETC1PairedTextures v='0x1'/></s_full>"
    "<s_mesh><Image0 v='hero_image'/><Color r='10' g='20' b='30' a='40'/>"
    "<Mesh><sizeX v='2'/><sizeY v='1'/><Vertecies><v0><x v='0x2'/><y v='1'/><Pos v0='10' v1='10'/></v0>"
    "</Vertecies></Mesh><Angle v='12'/></s_mesh>"
    "<s_mesh_zero><Mesh><sizeX v='2'/><sizeY v='0'/></Mesh></s_mesh_zero>"
    "</root>";

std::vector<qvtest::SpriteMediaFile> media() {
    return {
        {"set_sprites", "/sprites/set.lua", kLuaSet},
        {"set_sxml", "/sprites/set.xml", kXmlSet},
        {"hero_image", "/img/hero.png", qvtest::blockPng(64, 32, 16, {kWhite})},
        {"wide_image", "/img/wide.png", qvtest::blockPng(256, 16, 16, {kWhite})},
    };
}

class SpriteDescription : public testing::Test {
protected:
    SpriteDescription() : world(media()) {}
    Sprite* lua(const std::string& table) { return world.sprites().createSprite("set_sprites", table, "default"); }
    Sprite* xml(const std::string& element) {
        QV::XmlDataReader* reader = QV::XmlCachedFilesManager::getDocument("default", "set_sprites");
        EXPECT_NE(reader, nullptr);
        EXPECT_TRUE(reader->gotoChild(element.c_str())) << element;
        Sprite* sprite = world.sprites().createSpriteFromXml(*reader);
        QV::XmlCachedFilesManager::releaseDocument(reader);
        return sprite;
    }
    QV::Texture* texture(const std::string& name) { return world.textures().findTexture("default", name); }

    qvtest::SpriteWorld world;
};

struct Expected {
    const char* table;
    size_t frames;
    Rect frame0;
    V2 size, centre, position;
    Rect clip;
    int blend;
    bool mirrorH, mirrorV;
    float angle;
    size_t textures;
    float invWidth, invHeight;
    Color colour;
};

void expectSprite(const Sprite& s, const Expected& e, const char* form) {
    SCOPED_TRACE(std::string(form) + " " + e.table);
    EXPECT_EQ(s.mFrames.size(), e.frames);
    if (!s.mFrames.empty()) {
        EXPECT_EQ(s.mFrames[0], e.frame0);
    }
    EXPECT_EQ(s.mSize, e.size);
    EXPECT_EQ(s.mRotationCenter, e.centre);
    EXPECT_EQ(s.mPosition, e.position);
    EXPECT_EQ(s.mClipRect, e.clip);
    EXPECT_FALSE(s.mClip);
    EXPECT_EQ(s.mQuadData->mBlendMode, e.blend);
    EXPECT_EQ(s.mMeshData->mBlendMode, e.blend);
    EXPECT_EQ(s.mMirrorH, e.mirrorH);
    EXPECT_EQ(s.mMirrorV, e.mirrorV);
    EXPECT_EQ(s.mAngle, e.angle);
    EXPECT_EQ(s.mQuadData->mTextures.size(), e.textures);
    EXPECT_EQ(s.mMeshData->mTextures.size(), e.textures);
    EXPECT_FLOAT_EQ(s.mInvTexWidth, e.invWidth);
    EXPECT_FLOAT_EQ(s.mInvTexHeight, e.invHeight);
    EXPECT_EQ(s.mSizeX, 1u);
    EXPECT_EQ(s.mSizeY, 1u);
    ASSERT_EQ(s.gridPointCount(), 4u);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(s.vertexColor(i), e.colour) << i;
    EXPECT_TRUE(s.isDirty());
}

TEST_F(SpriteDescription, LuaDefaultsAndKeys) {
    const Rect clip(0, 0, 1024, 768);
    const Expected cases[] = {
        {"s_only_image", 1, Rect(0, 0, 64, 32), V2(64, 32), V2(32, 16), V2(), clip, 0, false, false, 0, 1,
         1 / 64.0f, 1 / 32.0f, kWhite},
        {"s_two", 2, Rect(0, 0, 16, 16), V2(16, 16), V2(8, 8), V2(), clip, 0, false, false, 0, 2, 1 / 64.0f,
         1 / 32.0f, kWhite},
        {"s_none", 0, Rect(), V2(), V2(), V2(5, 6), clip, 0, false, false, 0, 0, 0, 0, kWhite},
        {"s_sized", 0, Rect(), V2(10, 20), V2(5, 10), V2(), clip, 0, false, false, 0, 0, 0, 0, kWhite},
        // A Lua boolean true reads as missing: MirrorV stays off.
        {"s_full", 1, Rect(8, 0, 24, 16), V2(32, 32), V2(3, 4), V2(1, 2), Rect(1, 2, 3, 4), 2, true, false, 30, 1,
         1 / 64.0f, 1 / 32.0f, Color::fromBytes(255, 0, 0, 128)},
        {"s_blend_caps", 0, Rect(), V2(), V2(), V2(), clip, 0, false, false, 0, 0, 0, 0, kWhite},
        {"s_blend_color", 0, Rect(), V2(), V2(), V2(), clip, 1, false, false, 0, 0, 0, 0, kWhite},
    };
    for (const Expected& e : cases) expectSprite(*lua(e.table), e, "lua");
    Sprite* two = lua("s_two");
    EXPECT_EQ(two->mFrames[1], Rect());
    EXPECT_EQ(two->mQuadData->mTextures[1], texture("wide_image"));
    EXPECT_EQ(lua("s_full")->mQuadData->mCopiedValue, 1);
}

TEST_F(SpriteDescription, XmlTwinDiffersOnlyWhereItsFormsDo) {
    const Expected full = {"s_full", 1, Rect(8, 0, 24, 16), V2(32, 32), V2(3, 4), V2(1, 2), Rect(1, 2, 3, 4), 2,
                           true, true,  // "true" begins with 't': on in XML
                           30, 1, 1 / 64.0f, 1 / 32.0f, Color::fromBytes(255, 0, 0, 128)};
    Sprite* sprite = xml("s_full");
    expectSprite(*sprite, full, "xml");
    EXPECT_EQ(sprite->mQuadData->mCopiedValue, 1);
    const Expected only = {"s_only_image", 1, Rect(0, 0, 64, 32), V2(64, 32), V2(32, 16), V2(),
                           Rect(0, 0, 1024, 768), 0, false, false, 0, 1, 1 / 64.0f, 1 / 32.0f, kWhite};
    expectSprite(*xml("s_only_image"), only, "xml");
}

TEST_F(SpriteDescription, MeshFromLuaAndXml) {
    for (const char* form : {"lua", "xml"}) {
        SCOPED_TRACE(form);
        Sprite* s = std::string(form) == "lua" ? lua("s_mesh") : xml("s_mesh");
        EXPECT_TRUE(s->mMeshDescribed);
        ASSERT_EQ(s->mSizeX, 2u);
        ASSERT_EQ(s->mSizeY, 1u);
        ASSERT_EQ(s->gridPointCount(), 6u);
        EXPECT_EQ(s->mMeshData->vertexCount(), 6u);
        // Grid point 1 * 3 + 2 = 5 takes the vertex; the rest keep the even grid.
        const V2 grid[6] = {V2(0, 0), V2(32, 0), V2(64, 0), V2(0, 32), V2(32, 32), V2(10, 10)};
        const Color sprite = Color::fromBytes(10, 20, 30, 40);
        // A vertex without colour: transparent black in Lua, opaque white in XML.
        const Color vertex = std::string(form) == "lua" ? kClear : kWhite;
        for (uint32_t i = 0; i < 6; ++i) {
            EXPECT_EQ(s->mBasePoints[i], grid[i]) << i;
            EXPECT_EQ(s->vertexColor(i), i == 5 ? vertex : sprite) << i;
        }
        // Texture coordinates are spread over frame 0 whatever "uv" said.
        EXPECT_EQ(s->mTexCoords[5], V2(64, 32));
        EXPECT_EQ(s->mTexCoords[1], V2(32, 0));
    }
    // The reader is back on the sprite's element after the mesh.
    EXPECT_EQ(xml("s_mesh")->mAngle, 12.0f);
}

TEST_F(SpriteDescription, CopyAndTextureReferences) {
    Sprite* original = lua("s_mesh");
    QV::Texture* hero = texture("hero_image");
    ASSERT_NE(hero, nullptr);
    const int32_t before = hero->getRefCount();
    original->setPosition(3, 4);
    original->updateVertices();
    Sprite* copy = world.sprites().cloneSprite(original);
    EXPECT_EQ(hero->getRefCount(), before + 2);  // one per render data
    EXPECT_EQ(copy->mSizeX, 2u);
    EXPECT_TRUE(copy->mMeshDescribed);
    EXPECT_FALSE(copy->isDirty());
    for (uint32_t i = 0; i < copy->gridPointCount(); ++i) {
        EXPECT_EQ(copy->vertexPosition(i), original->vertexPosition(i));
        EXPECT_EQ(copy->vertexColor(i), original->vertexColor(i));
        EXPECT_EQ(copy->mBasePoints[i], original->mBasePoints[i]);
    }
    // The copy's vertices are its own.
    copy->setColor(kClear);
    EXPECT_NE(original->vertexColor(0), kClear);
    EXPECT_FLOAT_EQ(copy->mInvTexWidth, 1 / 64.0f);
    world.sprites().destroySprite(copy);
    EXPECT_EQ(hero->getRefCount(), before);
}

TEST_F(SpriteDescription, InitFromTexture) {
    Sprite* blank = world.sprites().createSpriteFromTexture(nullptr);
    EXPECT_EQ(blank->mSize, V2(32, 32));
    ASSERT_EQ(blank->mFrames.size(), 1u);
    EXPECT_EQ(blank->mFrames[0], Rect(0, 0, 32, 32));
    EXPECT_EQ(blank->mInvTexWidth, 0.0f);
    EXPECT_TRUE(blank->mQuadData->mTextures.empty());
    EXPECT_EQ(blank->vertexColor(3), kWhite);

    // Applied again to a described sprite: picture, place and looks reset,
    // scale and later frames kept.
    Sprite* s = lua("s_two");
    s->setScale(2, 2);
    s->setColor(kClear);
    s->loadTexture("wide_image", "default");
    EXPECT_EQ(s->mFrames.size(), 2u);
    EXPECT_EQ(s->mFrames[0], Rect(0, 0, 256, 16));
    EXPECT_EQ(s->mSize, V2(256, 16));
    EXPECT_EQ(s->mRotationCenter, V2(128, 8));
    EXPECT_EQ(s->mScale, V2(2, 2));
    EXPECT_EQ(s->vertexColor(0), kWhite);
    ASSERT_EQ(s->mQuadData->mTextures.size(), 1u);
    EXPECT_EQ(s->mQuadData->mTextures[0], texture("wide_image"));
    EXPECT_FLOAT_EQ(s->mInvTexWidth, 1 / 256.0f);
    EXPECT_EQ(s->mTexCoords[2], V2(0, 16));
    EXPECT_EQ(s->mTexCoords[3], V2(256, 16));
}

TEST_F(SpriteDescription, TryLoadReportsAndTheManagerReturnsNull) {
    EXPECT_EQ(world.sprites().loadSprite("set_sprites", "s_absent", "default"), nullptr);
    EXPECT_EQ(world.sprites().loadSprite("no_sprites", "s_none", "default"), nullptr);
    EXPECT_EQ(world.sprites().spriteCount(), 0u);
    EXPECT_NE(world.sprites().loadSprite("set_sprites", "s_none", "default"), nullptr);
    EXPECT_EQ(world.sprites().spriteCount(), 1u);
    Sprite plain;
    EXPECT_EQ(plain.tryLoadFromScript("set_sprites", "s_absent", "default"), 1);
    EXPECT_EQ(plain.mQuadData, nullptr);
}

using SpriteDescriptionDeathTest = SpriteDescription;

TEST_F(SpriteDescriptionDeathTest, FatalDescriptions) {
    struct Case {
        const char* table;
        const char* message;
    } cases[] = {
        {"s_mesh_zero", "Bad mesh size specified"},
        {"s_mesh_missing", "Bad mesh size specified"},
        {"s_mesh_huge", "Bad mesh size specified"},
        {"s_mesh_negative", "Bad mesh size specified"},
        {"s_mesh_bad_index", "Bad index specified"},
        {"s_mesh_negative_index", "Bad index specified"},
        {"s_absent", "Failed to open table 's_absent' in script 'set_sprites' from package 'default' "},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(lua(c.table), testing::ExitedWithCode(255), c.message) << c.table;
    }
    EXPECT_EXIT(world.sprites().createSprite("no_sprites", "s", "default"), testing::ExitedWithCode(255),
                "Failed to load script 'no_sprites' from package 'default' ");
    EXPECT_EXIT(xml("s_mesh_zero"), testing::ExitedWithCode(255), "Bad mesh size specified");
}

}  // namespace

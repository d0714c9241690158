#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fast_sprite.h"
#include "render_data.h"
#include "render_system.h"
#include "sprite_manager.h"
#include "support/sprite_fixture.h"
#include "texture.h"
#include "texture_manager.h"

namespace {

using QV::Color;
using QV::FastSprite;
using QV::Rect;
using V2 = QV::Vector2<float>;

const Color kWhite = Color::fromBytes(255, 255, 255, 255);

const char* const kSet =
    "f_tile = { Image0 = 'tile_image', Pos = {4, 6}, Color = {10, 20, 30, 40}, BlendMode = 'color' }\n"
    "f_framed = { Image0 = 'tile_image', SrcRect0 = {16, 0, 32, 16}, Angle = 45, MirrorV = 1,\n"
    "  rotCenter = {1, 2}, ClipRect = {0, 0, 10, 10} }\n"
    "f_empty = { Size = {5, 6} }\n";

std::vector<qvtest::SpriteMediaFile> media() {
    return {
        {"fast_sprites", "/sprites/fast.lua", kSet},
        {"tile_image", "/img/tile.png", qvtest::blockPng(64, 64, 16, {kWhite})},
    };
}

void expectNear(const V2& got, const V2& want, const std::string& what, float tolerance = 1e-4f) {
    EXPECT_NEAR(got.x, want.x, tolerance) << what;
    EXPECT_NEAR(got.y, want.y, tolerance) << what;
}

class FastSpriteTest : public testing::Test {
protected:
    FastSpriteTest() : world(media(), qvtest::SpriteWorld::Device::Recording) { world.beginFrame(); }
    ~FastSpriteTest() override { world.endFrame(); }
    FastSprite* make(const char* table) {
        FastSprite* s = world.fastSprites().createSprite("fast_sprites", table, "default");
        world.textures().update();
        return s;
    }
    FastSprite* tile() {
        FastSprite* s = world.fastSprites().createSpriteFromImage("tile_image", "default");
        world.textures().update();
        return s;
    }

    qvtest::SpriteWorld world;
};

TEST_F(FastSpriteTest, Descriptions) {
    FastSprite* s = make("f_tile");
    EXPECT_EQ(s->mPosition, V2(4, 6));
    EXPECT_EQ(s->mSize, V2(64, 64));
    EXPECT_EQ(s->mRotationCenter, V2(32, 32));
    EXPECT_EQ(s->mClipRect, Rect(0, 0, 1024, 768));
    EXPECT_EQ(s->mRenderData->mBlendMode, 1);
    EXPECT_FLOAT_EQ(s->mInvTexWidth, 1 / 64.0f);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(s->cornerColor(i), Color::fromBytes(10, 20, 30, 40));

    FastSprite* framed = make("f_framed");
    EXPECT_EQ(framed->mSize, V2(16, 16));
    EXPECT_EQ(framed->mRotationCenter, V2(1, 2));
    EXPECT_TRUE(framed->mMirrorV);
    EXPECT_EQ(framed->mAngle, 45.0f);
    EXPECT_EQ(framed->mClipRect, Rect(0, 0, 10, 10));
    expectNear(framed->cornerTexCoord(0), V2(0.25f, 0), "top left");
    expectNear(framed->cornerTexCoord(2), V2(0.5f, 0.25f), "bottom right");

    FastSprite* empty = make("f_empty");
    EXPECT_EQ(empty->srcRect(), Rect());
    EXPECT_EQ(empty->mSize, V2(5, 6));
    EXPECT_EQ(empty->mInvTexWidth, 0.0f);
    EXPECT_EQ(empty->cornerColor(1), kWhite);
}

TEST_F(FastSpriteTest, SourceRectangles) {
    FastSprite* s = tile();
    s->setSrcRect(0, Rect(16, 0, 32, 16));
    const V2 uv[4] = {V2(0.25f, 0), V2(0.5f, 0), V2(0.5f, 0.25f), V2(0.25f, 0.25f)};
    for (int i = 0; i < 4; ++i) expectNear(s->cornerTexCoord(i), uv[i], "vertex " + std::to_string(i));
    s->setSrcRect(5, Rect(0, 0, 8, 8));  // appended as frame 1; frame 0 still draws
    ASSERT_EQ(s->mFrames.size(), 2u);
    EXPECT_EQ(s->mFrames[1], Rect(0, 0, 8, 8));
    EXPECT_EQ(s->srcRect(), Rect(16, 0, 32, 16));
    expectNear(s->cornerTexCoord(2), V2(0.5f, 0.25f), "unchanged");
}

TEST_F(FastSpriteTest, RotationOnlyBeyondOneDegree) {
    struct Case {
        float angle;
        bool rotated;
    } cases[] = {{0.5f, false}, {-1.0f, false}, {1.0f, false}, {1.5f, true}, {-30.0f, true}};
    for (const Case& c : cases) {
        FastSprite* s = tile();
        s->mPosition = V2(10, 10);
        s->mRotationCenter = V2(0, 0);
        s->mAngle = c.angle;
        s->draw();
        const float a = c.angle * 0.017453292f;
        const V2 expected = c.rotated ? V2(10 + 64 * std::cos(a), 10 + 64 * std::sin(a)) : V2(74, 10);
        expectNear(s->cornerPosition(1), expected, "angle " + std::to_string(c.angle));
    }
}

TEST_F(FastSpriteTest, ClippingAndMirroring) {
    FastSprite* s = tile();
    s->setSrcRect(0, Rect(0, 0, 32, 32));
    s->mSize = V2(32, 32);
    s->mMirrorH = true;
    s->draw();
    // u runs from 1 - left * Wi to 1 - right * Wi, with clipping off and on.
    const std::vector<qvtest::DrawnVertex> plain = world.flushBatch();
    s->mClip = true;
    s->draw();
    const std::vector<qvtest::DrawnVertex> clipped = world.flushBatch();
    ASSERT_EQ(plain.size(), 4u);
    ASSERT_EQ(clipped.size(), 4u);
    const V2 uv[4] = {V2(1, 0), V2(0.5f, 0), V2(0.5f, 0.5f), V2(1, 0.5f)};
    for (int i = 0; i < 4; ++i) {
        expectNear(plain[i].uv, uv[i], "mirrored " + std::to_string(i));
        expectNear(clipped[i].uv, uv[i], "mirrored, nothing clipped " + std::to_string(i));
        expectNear(clipped[i].position, plain[i].position, "place " + std::to_string(i));
    }
    // The stored coordinates stay unmirrored.
    expectNear(s->cornerTexCoord(1), V2(0.5f, 0), "stored");
    s->mMirrorH = false;

    // Clipped at x = 16 and y = 8: one texel per pixel at scale 1.
    s->mClipRect = Rect(0, 0, 16, 8);
    s->draw();
    expectNear(s->cornerPosition(2), V2(16, 8), "clipped corner");
    expectNear(s->cornerTexCoord(2), V2(16 / 64.0f, 8 / 64.0f), "shifted");
    expectNear(s->cornerTexCoord(0), V2(0, 0), "inside");
    // The owner restores the coordinates after turning clipping off.
    s->mClip = false;
    s->updateTexCoords();
    expectNear(s->cornerTexCoord(2), V2(0.5f, 0.5f), "restored");

    // At scale 2 the same clip takes half the texels per pixel.
    s->mClip = true;
    s->mScale = V2(2, 2);
    s->draw();
    expectNear(s->cornerTexCoord(2), V2(8 / 64.0f, 4 / 64.0f), "scaled");
}

TEST_F(FastSpriteTest, DrawTransformed) {
    FastSprite* s = tile();
    s->mAngle = 90;  // not used with a matrix
    QV::Matrix3 m;
    m.m00 = 0;
    m.m01 = 1;
    m.m10 = -1;
    m.m11 = 0;
    m.m20 = 100;
    s->drawTransformed(m);
    expectNear(s->cornerPosition(1), V2(100, 64), "turned by the matrix");
    expectNear(s->cornerPosition(3), V2(36, 0), "turned by the matrix");
    s->mClip = true;
    s->mClipRect = Rect(0, 0, 1024, 32);
    QV::Matrix3 identity;
    s->drawTransformed(identity);
    expectNear(s->cornerPosition(3), V2(0, 32), "clipped");
    expectNear(s->cornerTexCoord(3), V2(0, 0.5f), "one texel per unit");
}

TEST_F(FastSpriteTest, FromNullTextureIsAWhiteSquare) {
    FastSprite* s = world.fastSprites().createSprite("fast_sprites", "f_empty", "default");
    s->initFromTexture(nullptr);
    EXPECT_EQ(s->mSize, V2(32, 32));
    EXPECT_EQ(s->srcRect(), Rect(0, 0, 32, 32));
    EXPECT_TRUE(s->mRenderData->mTextures.empty());
    s->draw();
    expectNear(s->cornerPosition(2), V2(32, 32), "size");
    EXPECT_EQ(s->cornerColor(0), kWhite);
    EXPECT_EQ(world.render()->getBatchVertexCount(), 4u);
}

TEST_F(FastSpriteTest, TextureReferencesFollowTheSprite) {
    FastSprite* a = tile();
    QV::Texture* texture = world.textures().findTexture("default", "tile_image");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->getRefCount(), 1);
    FastSprite* b = tile();
    EXPECT_EQ(texture->getRefCount(), 2);
    world.fastSprites().destroySprite(a);
    EXPECT_EQ(texture->getRefCount(), 1);
    world.fastSprites().destroySprite(b);
    EXPECT_EQ(world.textures().findTexture("default", "tile_image"), nullptr);
}

TEST_F(FastSpriteTest, FatalLoads) {
    EXPECT_EXIT(world.fastSprites().createSprite("fast_sprites", "f_none", "default"), testing::ExitedWithCode(255),
                "Failed to open table 'f_none' in script 'fast_sprites' from package 'default' ");
    EXPECT_EXIT(world.fastSprites().createSprite("none_sprites", "f_tile", "default"), testing::ExitedWithCode(255),
                "Failed to load script 'none_sprites' from package 'default' ");
}

}  // namespace

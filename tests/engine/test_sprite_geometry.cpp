#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "animation.h"
#include "render_data.h"
#include "render_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "support/sprite_fixture.h"
#include "texture_manager.h"
#include "vertex_format.h"

namespace {

using QV::Color;
using QV::Rect;
using QV::Sprite;
using V2 = QV::Vector2<float>;

const Color kWhite = Color::fromBytes(255, 255, 255, 255);

const char* const kSet =
    "s_hero = { Image0 = 'hero_image' }\n"
    "s_strip = { Image0 = 'strip_image', SrcRect0 = {0, 0, 100, 16} }\n"
    "s_wide = { Image0 = 'wide_image', SrcRect0 = {0, 0, 32, 16}, MirrorH = 1 }\n"
    "s_cells = { Image0 = 'hero_image', Mesh = { sizeX = 2, sizeY = 1 } }\n"
    "s_one_cell_mesh = { Image0 = 'hero_image', Mesh = { sizeX = 1, sizeY = 1 } }\n";

std::vector<qvtest::SpriteMediaFile> media() {
    return {
        {"set_sprites", "/sprites/set.lua", kSet},
        {"hero_image", "/img/hero.png", qvtest::blockPng(64, 32, 16, {kWhite})},
        {"strip_image", "/img/strip.png", qvtest::blockPng(128, 16, 16, {kWhite})},
        {"wide_image", "/img/wide.png", qvtest::blockPng(256, 16, 16, {kWhite})},
    };
}

struct DrawnVertex {
    V2 position;
    V2 uv;
    Color colour;
};

// The four vertices the last draw handed to the renderer.
DrawnVertex drawn(const Sprite& s, int j) {
    const uint8_t* v = s.mQuadData->vertexData() + size_t(j) * QV::VertexLayout::stride();
    DrawnVertex out;
    float xyz[3], uv[2];
    std::memcpy(xyz, v + QV::VertexLayout::positionOffset(), sizeof(xyz));
    std::memcpy(uv, v + QV::VertexLayout::texCoordOffset(0), sizeof(uv));
    std::memcpy(&out.colour, v + QV::VertexLayout::diffuseOffset(), sizeof(Color));
    out.position = V2(xyz[0], xyz[1]);
    out.uv = V2(uv[0], uv[1]);
    return out;
}

void expectNear(const V2& got, const V2& want, const std::string& what, float tolerance = 1e-4f) {
    EXPECT_NEAR(got.x, want.x, tolerance) << what;
    EXPECT_NEAR(got.y, want.y, tolerance) << what;
}

class SpriteGeometry : public testing::Test {
protected:
    SpriteGeometry() : world(media(), qvtest::SpriteWorld::Device::Recording) {
        world.beginFrame();
    }
    ~SpriteGeometry() override { world.endFrame(); }
    // Made and its textures uploaded, so that its draws reach the batch.
    Sprite* make(const char* table) {
        Sprite* s = world.sprites().createSprite("set_sprites", table, "default");
        world.textures().update();
        return s;
    }

    qvtest::SpriteWorld world;
};

TEST_F(SpriteGeometry, OneCellPlacedAndDrawn) {
    Sprite* s = make("s_hero");
    s->setPosition(10, 20);
    s->updateVertices();
    const V2 corners[4] = {V2(10, 20), V2(74, 20), V2(74, 52), V2(10, 52)};
    for (uint32_t i = 0; i < 4; ++i) {
        // Grid points run in rows; the drawn quad goes round the cell.
        const uint32_t point[4] = {0, 1, 3, 2};
        expectNear(s->vertexPosition(point[i]), corners[i], "grid " + std::to_string(i));
    }
    s->draw();
    const V2 uvs[4] = {V2(0, 0), V2(1, 0), V2(1, 1), V2(0, 1)};
    for (int j = 0; j < 4; ++j) {
        const DrawnVertex v = drawn(*s, j);
        expectNear(v.position, corners[j], "drawn " + std::to_string(j));
        expectNear(v.uv, uvs[j], "uv " + std::to_string(j));
        EXPECT_EQ(v.colour, kWhite);
    }
    EXPECT_EQ(world.render()->getBatchVertexCount(), 4u);
}

TEST_F(SpriteGeometry, SettersMarkDirtyOnlyFromTheThreshold) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        float delta;
        bool dirty;
    } cases[] = {{"position", 0.0005f, false}, {"position", 0.001f, true},  {"position", nan, true},
                 {"scale", 0.0009f, false},    {"scale", 0.0011f, true},    {"angle", 0.0005f, false},
                 {"angle", -0.002f, true},     {"size", 0.0002f, false},    {"size", 0.5f, true}};
    for (const Case& c : cases) {
        Sprite* s = make("s_hero");
        s->setPosition(10, 20);
        s->updateVertices();
        ASSERT_FALSE(s->isDirty());
        const std::string what = c.what;
        if (what == "position") s->setPosition(10 + c.delta, 20);
        if (what == "scale") s->setScale(1, 1 + c.delta);
        if (what == "angle") s->setAngle(c.delta);
        if (what == "size") s->setSize(V2(64 + c.delta, 32));
        EXPECT_EQ(s->isDirty(), c.dirty) << c.what << " " << c.delta;
    }
    // Small steps are stored: the next marked change moves by all of them.
    Sprite* s = make("s_hero");
    s->setPosition(10, 20);
    s->updateVertices();
    s->setPosition(10.0005f, 20);
    s->updateVertices();
    expectNear(s->vertexPosition(0), V2(10, 20), "not moved yet", 1e-6f);
    s->setPosition(10.0005f, 20.002f);
    s->updateVertices();
    expectNear(s->vertexPosition(0), V2(10.0005f, 20.002f), "moved", 1e-6f);
}

TEST_F(SpriteGeometry, RotationScaleAndTransform) {
    struct Case {
        const char* what;
        V2 position, scale, centre;
        float angle;
        uint32_t point;
        V2 expected;
    } cases[] = {
        // 90 degrees about the position: (w, 0) goes to (x0, y0 + w), clockwise on screen.
        {"quarter turn", V2(5, 7), V2(1, 1), V2(0, 0), 90, 1, V2(5, 7 + 64)},
        {"quarter turn origin", V2(5, 7), V2(1, 1), V2(0, 0), 90, 0, V2(5, 7)},
        // Scale grows right and down from the position.
        {"double", V2(5, 7), V2(2, 2), V2(32, 16), 0, 3, V2(5 + 128, 7 + 64)},
        // Rotation about the middle of the unscaled picture: (37, 23).
        {"double half turn", V2(5, 7), V2(2, 2), V2(32, 16), 180, 0, V2(37 + 32, 23 + 16)},
        {"double half turn far", V2(5, 7), V2(2, 2), V2(32, 16), 180, 3, V2(37 - 96, 23 - 48)},
    };
    for (const Case& c : cases) {
        Sprite* s = make("s_hero");
        s->mRotationCenter = c.centre;
        s->setPosition(c.position);
        s->setScale(c.scale);
        s->setAngle(c.angle);
        s->updateVertices();
        expectNear(s->vertexPosition(c.point), c.expected, c.what, 2e-4f);
    }

    Sprite* s = make("s_hero");
    s->setPosition(3, 4);
    s->updateVertices();
    QV::Matrix3 m;
    m.m00 = 0.5f;
    m.m11 = 2.0f;
    m.m20 = 100;
    m.m21 = 200;
    s->setTransform(m);
    expectNear(s->vertexPosition(3), V2(100 + 32, 200 + 64), "matrix");
    EXPECT_TRUE(s->isDirty());
    s->updateVertices();
    expectNear(s->vertexPosition(3), V2(3 + 64, 4 + 32), "back to the fields");
}

TEST_F(SpriteGeometry, ClipShiftsTextureCoordinates) {
    Sprite* s = make("s_strip");
    ASSERT_EQ(s->mSize, V2(100, 16));
    s->mClip = true;
    s->mClipRect = Rect(50, 0, 1024, 768);
    s->updateVertices();
    s->draw();
    const float w = 128;
    expectNear(drawn(*s, 0).position, V2(50, 0), "left top");
    expectNear(drawn(*s, 3).position, V2(50, 16), "left bottom");
    expectNear(drawn(*s, 1).position, V2(100, 0), "right top");
    EXPECT_NEAR(drawn(*s, 0).uv.x, 50 / w, 1e-6);
    EXPECT_NEAR(drawn(*s, 3).uv.x, 50 / w, 1e-6);
    EXPECT_NEAR(drawn(*s, 1).uv.x, 100 / w, 1e-6);
    // The mesh itself keeps the unclipped place.
    expectNear(s->vertexPosition(0), V2(0, 0), "mesh");

    // Clipped from below and the right as well.
    s->mClipRect = Rect(0, 0, 75, 8);
    s->draw();
    expectNear(drawn(*s, 2).position, V2(75, 8), "right bottom");
    EXPECT_NEAR(drawn(*s, 2).uv.x, 75 / w, 1e-6);
    EXPECT_NEAR(drawn(*s, 2).uv.y, 8 / 16.0f, 1e-6);
}

TEST_F(SpriteGeometry, MirroringReflectsAcrossTheTexture) {
    Sprite* s = make("s_wide");
    ASSERT_TRUE(s->mMirrorH);
    s->updateVertices();
    s->draw();
    EXPECT_FLOAT_EQ(drawn(*s, 0).uv.x, 1.0f);
    EXPECT_FLOAT_EQ(drawn(*s, 1).uv.x, 0.875f);
    EXPECT_FLOAT_EQ(drawn(*s, 0).uv.y, 0.0f);
    s->mMirrorV = true;
    s->draw();
    EXPECT_FLOAT_EQ(drawn(*s, 0).uv.y, 1.0f);
    EXPECT_FLOAT_EQ(drawn(*s, 3).uv.y, 0.0f);
    EXPECT_FLOAT_EQ(drawn(*s, 1).uv.x, 0.875f);  // stored coordinates are not flipped twice
}

TEST_F(SpriteGeometry, OneQuadPerCell) {
    Sprite* s = make("s_cells");
    s->updateVertices();
    s->draw();
    EXPECT_EQ(world.render()->getBatchPrimitiveCount(), 2u);
    const std::vector<qvtest::DrawnVertex> quads = world.flushBatch();
    ASSERT_EQ(quads.size(), 8u);
    const float xs[8] = {0, 32, 32, 0, 32, 64, 64, 32};
    const float us[8] = {0, 0.5f, 0.5f, 0, 0.5f, 1, 1, 0.5f};
    for (int i = 0; i < 8; ++i) {
        EXPECT_FLOAT_EQ(quads[i].position.x, xs[i]) << i;
        EXPECT_FLOAT_EQ(quads[i].uv.x, us[i]) << i;
        EXPECT_EQ(quads[i].colour, kWhite) << i;
    }
}

TEST_F(SpriteGeometry, MeshPointsByColumnAndRow) {
    Sprite* s = make("s_cells");
    s->updateVertices();
    s->setMeshVertex(V2(70, 40), 2, 1);
    EXPECT_TRUE(s->isDirty());
    EXPECT_EQ(s->mBasePoints[5], V2(70, 40));
    s->setMeshTexCoord(V2(1, 2), 1, 0);
    EXPECT_EQ(s->meshTexCoord(1, 0), V2(1, 2));
    s->updateVertices();
    expectNear(s->vertexPosition(5), V2(70, 40), "moved point");
    for (auto at : {std::make_pair(3, 1), std::make_pair(0, 2), std::make_pair(-1, 0)}) {
        EXPECT_EXIT(s->setMeshVertex(V2(), at.first, at.second), testing::ExitedWithCode(255),
                    "Bad coordinates specified");
    }
    EXPECT_EXIT(s->meshTexCoord(0, -1), testing::ExitedWithCode(255), "Bad coordinates specified");
}

TEST_F(SpriteGeometry, SourceRectangles) {
    Sprite* s = make("s_hero");
    s->setSrcRect(5, Rect(1, 2, 3, 4), true);
    ASSERT_EQ(s->mFrames.size(), 2u);
    EXPECT_EQ(s->mFrames[1], Rect(1, 2, 3, 4));
    EXPECT_EQ(s->mTexCoords[3], V2(64, 32));  // only frame 0 spreads
    s->setSrcRect(0, Rect(16, 8, 32, 16), false);
    EXPECT_EQ(s->mTexCoords[3], V2(64, 32));
    s->updateTexCoords();
    EXPECT_EQ(s->mTexCoords[0], V2(16, 8));
    EXPECT_EQ(s->mTexCoords[3], V2(32, 16));
    s->setSrcRectNormalized(Rect(0.5f, 0.5f, 1, 1));
    EXPECT_EQ(s->mFrames[0], Rect(32, 16, 64, 32));
    EXPECT_EQ(s->mTexCoords[0], V2(32, 16));
    // Without a texture there is nothing to scale by: the frame stays.
    Sprite* blank = world.sprites().createSpriteFromTexture(nullptr);
    blank->setSrcRectNormalized(Rect(0.5f, 0.5f, 1, 1));
    EXPECT_EQ(blank->mFrames[0], Rect(0, 0, 32, 32));
}

TEST_F(SpriteGeometry, AnimationBinding) {
    struct Case {
        const char* table;
        size_t tracks;
        bool hasMeshPoints;
    } cases[] = {{"s_hero", 6, false}, {"s_one_cell_mesh", 6 + 12, true}};
    for (const Case& c : cases) {
        Sprite* s = make(c.table);
        QV::Animation animation;
        s->bindAnimation(&animation);
        EXPECT_EQ(animation.mTracks.size(), c.tracks) << c.table;
        EXPECT_EQ(animation.findTrack("p0") != nullptr, c.hasMeshPoints) << c.table;
        EXPECT_EQ(animation.findTrack("uv3") != nullptr, c.hasMeshPoints) << c.table;
        EXPECT_EQ(animation.findTrack("c3") != nullptr, c.hasMeshPoints) << c.table;
        EXPECT_EQ(animation.findTrack("p4"), nullptr);
    }

    Sprite* s = make("s_hero");
    s->updateVertices();
    QV::Animation animation;
    s->bindAnimation(&animation);
    animation.addFrame(1.0f);
    animation.addFrame(1.0f);
    animation.keyValue<V2>("pos", 0) = V2(0, 0);
    animation.keyValue<V2>("pos", 1) = V2(100, 0);
    animation.keyValue<V2>("scale", 0) = V2(1, 1);
    animation.keyValue<V2>("scale", 1) = V2(1, 1);
    animation.keyValue<Color>("color", 0) = kWhite;
    animation.keyValue<Color>("color", 1) = Color::fromBytes(0, 0, 0, 255);
    animation.keyValue<Rect>("SrcRect0", 0) = Rect(0, 0, 32, 32);
    animation.keyValue<Rect>("SrcRect0", 1) = Rect(32, 0, 64, 32);
    animation.update(0.5f);
    EXPECT_TRUE(s->isDirty());
    EXPECT_EQ(s->mPosition, V2(50, 0));
    EXPECT_EQ(s->mFrames[0], Rect(0, 0, 32, 32));  // rectangles step
    EXPECT_EQ(s->mTexCoords[3], V2(32, 32));       // respread by the callback
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(s->vertexColor(i), Color::fromBytes(127, 127, 127, 254)) << i;
    s->updateVertices();
    expectNear(s->vertexPosition(0), V2(50, 0), "animated place");
    animation.update(1.0f);
    EXPECT_EQ(s->mFrames[0], Rect(32, 0, 64, 32));
}

// Re-texturing and new frames reallocate the arrays an animation was bound
// to; its next writes must land in the new arrays (ASan reports a write into
// the old ones), and elements that no longer exist are skipped.
TEST_F(SpriteGeometry, AnimationFollowsReallocatedArrays) {
    Sprite* s = make("s_cells");  // a 2 x 1 mesh: six grid points
    QV::Animation animation;
    s->bindAnimation(&animation);
    ASSERT_NE(animation.findTrack("p5"), nullptr);
    animation.addFrame(1.0f);
    animation.addFrame(1.0f);
    const Color grey = Color::fromBytes(10, 20, 30, 255);
    for (uint32_t k = 0; k < 2; ++k) {
        animation.keyValue<Color>("color", k) = grey;
        for (int i = 0; i < 6; ++i) animation.keyValue<Color>("c" + std::to_string(i), k) = grey;
        animation.keyValue<Rect>("SrcRect0", k) = Rect(0, 0, 8, 8);
        animation.keyValue<V2>("p0", k) = V2(3, 4);
        animation.keyValue<V2>("p5", k) = V2(5, 6);
        animation.keyValue<V2>("uv0", k) = V2(1, 2);
        animation.keyValue<V2>("scale", k) = V2(1, 1);
    }
    s->loadTexture("strip_image", "default");  // one cell: four points, new mesh data
    for (uint32_t f = 1; f < 40; ++f) s->setSrcRect(f, Rect(0, 0, 1, 1), false);  // the frames grow
    ASSERT_EQ(s->gridPointCount(), 4u);
    animation.update(0.5f);
    EXPECT_EQ(s->mFrames[0], Rect(0, 0, 8, 8));
    EXPECT_EQ(s->mBasePoints[0], V2(3, 4));
    for (uint32_t i = 0; i < 4; ++i) {
        const Color c = s->vertexColor(i);
        EXPECT_EQ((std::vector<int>{c.r, c.g, c.b}), (std::vector<int>{10, 20, 30})) << i;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fast_sprite.h"
#include "render_data.h"
#include "render_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "support/sprite_fixture.h"
#include "texture.h"
#include "texture_manager.h"
#include "vertex_format.h"
#include "xml_cached_files_manager.h"
#include "xml_data_reader.h"

namespace {

using QV::Color;
using QV::FastSprite;
using QV::Rect;
using QV::Sprite;
using V2 = QV::Vector2<float>;

const Color kWhite = Color::fromBytes(255, 255, 255, 255);
const Color kTint = Color::fromBytes(200, 100, 50, 255);

const char* const kLuaSet =
    "s_a = { Image0 = 'a_image', Color = {200, 100, 50, 255} }\n"
    "s_flag = { Image0 = 'b_image', Image1 = 'c_image', Color = {200, 100, 50, 255},\n"
    "  Mesh = { sizeX = 3, sizeY = 2, Vertecies = { { x = 1, y = 1, Pos = {5, 5}, Color = {200, 100, 50, 255} } } } }\n";
const char* const kXmlSet =
    "<root><s_flag><Image0 v='c_image'/><Color r='200' g='100' b='50' a='255'/>"
    "<Mesh><sizeX v='3'/><sizeY v='2'/></Mesh></s_flag></root>";

std::vector<qvtest::SpriteMediaFile> media() {
    return {
        {"set_sprites", "/sprites/set.lua", kLuaSet},
        {"set_sxml", "/sprites/set.xml", kXmlSet},
        {"a_image", "/img/a.png", qvtest::blockPng(32, 32, 8, {kWhite})},
        {"b_image", "/img/b.png", qvtest::blockPng(64, 32, 8, {kWhite})},
        {"c_image", "/img/c.png", qvtest::blockPng(16, 64, 8, {kWhite})},
    };
}

// Everything a sprite's invariants say after any initialisation.
::testing::AssertionResult whole(const Sprite* s) {
    if (!s->mQuadData || !s->mMeshData) return ::testing::AssertionFailure() << "render data missing";
    const uint32_t n = s->gridPointCount();
    if (s->mBasePoints.size() != n || s->mTexCoords.size() != n || s->mPositionPointers.size() != n ||
        s->mColorPointers.size() != n || s->mMeshData->vertexCount() != n) {
        return ::testing::AssertionFailure() << "arrays do not match the grid of " << n;
    }
    const uint8_t* begin = s->mMeshData->vertexData();
    const uint8_t* end = begin + size_t(n) * QV::VertexLayout::stride();
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(s->mPositionPointers[i]);
        const uint8_t* c = reinterpret_cast<const uint8_t*>(s->mColorPointers[i]);
        if (p < begin || p >= end || c < begin || c >= end) {
            return ::testing::AssertionFailure() << "pointer " << i << " outside the mesh vertices";
        }
        if (*s->mColorPointers[i] != kTint) return ::testing::AssertionFailure() << "colour of point " << i;
    }
    if (s->mQuadData->mTextures != s->mMeshData->mTextures) {
        return ::testing::AssertionFailure() << "texture lists differ";
    }
    if (s->mFrames.size() != s->mQuadData->mTextures.size()) {
        return ::testing::AssertionFailure() << s->mFrames.size() << " frames for "
                                             << s->mQuadData->mTextures.size() << " textures";
    }
    for (const QV::Texture* t : s->mQuadData->mTextures) {
        if (!t || t->getRefCount() < 2) return ::testing::AssertionFailure() << "texture not held";
    }
    return ::testing::AssertionSuccess();
}

class SpriteManagers : public testing::Test {
protected:
    SpriteManagers() : world(media(), qvtest::SpriteWorld::Device::Recording) {}
    Sprite* make(const char* table) { return world.sprites().createSprite("set_sprites", table, "default"); }
    QV::Texture* texture(const char* name) { return world.textures().findTexture("default", name); }

    qvtest::SpriteWorld world;
};

TEST_F(SpriteManagers, NoCachingAndOrderedDestruction) {
    Sprite* first = make("s_a");
    Sprite* second = make("s_a");
    Sprite* third = make("s_flag");
    EXPECT_NE(first, second);
    EXPECT_TRUE(whole(first));
    EXPECT_TRUE(whole(third));
    EXPECT_EQ(texture("a_image")->getRefCount(), 4);
    world.sprites().destroySprite(first);
    EXPECT_EQ(world.sprites().sprites(), (std::vector<Sprite*>{second, third}));
    EXPECT_EQ(texture("a_image")->getRefCount(), 2);
    EXPECT_TRUE(whole(second));

    // Null, a destroyed pointer and another manager's sprite are ignored.
    FastSprite* fast = world.fastSprites().createSpriteFromImage("a_image", "default");
    world.sprites().destroySprite(nullptr);
    world.sprites().destroySprite(first);
    world.sprites().destroySprite(reinterpret_cast<Sprite*>(fast));
    EXPECT_EQ(world.sprites().spriteCount(), 2u);
    EXPECT_EQ(world.fastSprites().spriteCount(), 1u);

    world.sprites().destroyAllSprites();
    world.fastSprites().destroyAllSprites();
    EXPECT_EQ(texture("a_image"), nullptr);  // every reference given back
    EXPECT_EQ(texture("b_image"), nullptr);
}

TEST_F(SpriteManagers, ShutDownReleasesTexturesWhileTheTextureManagerLives) {
    make("s_flag");
    world.sprites().cloneSprite(make("s_a"));
    world.fastSprites().createSpriteFromImage("c_image", "default");
    ASSERT_NE(texture("b_image"), nullptr);
    ASSERT_EQ(texture("c_image")->getRefCount(), 3);  // the flag's two render data and the fast sprite
    // The managers as the frame deletes them: before the texture manager.
    world.deleteSpriteManagers();
    for (const char* name : {"a_image", "b_image", "c_image"}) EXPECT_EQ(texture(name), nullptr) << name;
}

// Job threads build sprites from Lua, XML and copies while the main thread
// draws and deletes them: every sprite the main thread sees is whole.
TEST_F(SpriteManagers, ConcurrentCreationWhileTheMainThreadDraws) {
    const int kThreads = 4;
    const int kRounds = 40;
    std::mutex handover;
    std::deque<Sprite*> ready;
    std::deque<FastSprite*> readyFast;
    std::atomic<int> running(kThreads);
    std::vector<std::thread> jobs;
    for (int t = 0; t < kThreads; ++t) {
        jobs.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                std::vector<Sprite*> made;
                made.push_back(world.sprites().createSprite("set_sprites", (round + t) % 2 ? "s_flag" : "s_a",
                                                            "default"));
                QV::XmlDataReader* reader = QV::XmlCachedFilesManager::getDocument("default", "set_sprites");
                if (reader && reader->gotoChild("s_flag")) made.push_back(world.sprites().createSpriteFromXml(*reader));
                QV::XmlCachedFilesManager::releaseDocument(reader);
                made.push_back(world.sprites().cloneSprite(made.front()));
                FastSprite* fast = world.fastSprites().createSpriteFromImage("b_image", "default");
                std::lock_guard<std::mutex> lock(handover);
                for (Sprite* s : made) ready.push_back(s);
                readyFast.push_back(fast);
            }
            --running;
        });
    }
    int seen = 0, frames = 0;
    std::vector<Sprite*> kept;
    while (running.load() > 0 || !ready.empty() || !readyFast.empty()) {
        world.beginFrame();
        std::vector<Sprite*> batch;
        std::vector<FastSprite*> fastBatch;
        {
            std::lock_guard<std::mutex> lock(handover);
            batch.assign(ready.begin(), ready.end());
            fastBatch.assign(readyFast.begin(), readyFast.end());
            ready.clear();
            readyFast.clear();
        }
        for (Sprite* s : batch) {
            EXPECT_TRUE(whole(s)) << "sprite " << seen;
            s->setPosition(float(seen % 50), 3);
            s->setAngle(float(seen));
            s->updateVertices();
            s->draw();
            ++seen;
            if (seen % 2) {
                world.sprites().destroySprite(s);
            } else {
                kept.push_back(s);
            }
        }
        for (Sprite* s : kept) s->draw();
        for (FastSprite* f : fastBatch) {
            f->draw();
            world.fastSprites().destroySprite(f);
        }
        world.endFrame();
        ++frames;
    }
    for (std::thread& job : jobs) job.join();
    EXPECT_EQ(seen, kThreads * kRounds * 3);
    EXPECT_EQ(world.sprites().spriteCount(), kept.size());
    EXPECT_EQ(world.fastSprites().spriteCount(), 0u);
    for (Sprite* s : kept) EXPECT_TRUE(whole(s));
    world.sprites().destroyAllSprites();
    for (const char* name : {"a_image", "b_image", "c_image"}) EXPECT_EQ(texture(name), nullptr) << name;
    EXPECT_GT(frames, 0);
}

}  // namespace

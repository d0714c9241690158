#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "animation.h"
#include "image.h"
#include "image_encode.h"
#include "image_png.h"
#include "platform/gfx/gl_window.h"
#include "platform/window.h"
#include "render_data.h"
#include "render_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "support/gl_required.h"
#include "support/sprite_fixture.h"
#include "support/temp_dir.h"
#include "xml_cached_files_manager.h"
#include "xml_data_reader.h"

namespace {

using QV::Sprite;

// Our demonstration sprite set and its pictures, as the game lists them.
std::vector<qvtest::SpriteMediaFile> demoContent() {
    const std::string media = std::string(QV_SOURCE_DIR) + "/media";
    std::vector<qvtest::SpriteMediaFile> files = {
        {"demo_sprites", "/sprites/demo_sprites.lua", ""},
        {"demo_sxml", "/sprites/demo_sprites.xml", ""},
        {"demo_badge_png", "/images/demo_badge.png", ""},
        {"demo_banner_png", "/images/demo_banner.png", ""},
    };
    for (qvtest::SpriteMediaFile& f : files) f.bytes = qvtest::readFile(media + f.location);
    return files;
}

const char* const kDemoTables[] = {"s_demo_badge", "s_demo_banner", "s_demo_flag", "s_demo_pulse"};

TEST(SpriteContent, LuaAndXmlTwinsDescribeTheSameSprites) {
    qvtest::SpriteWorld world(demoContent());
    for (const char* table : kDemoTables) {
        SCOPED_TRACE(table);
        Sprite* lua = world.sprites().createSprite("demo_sprites", table, "default");
        QV::XmlDataReader* reader = QV::XmlCachedFilesManager::getDocument("default", "demo_sprites");
        ASSERT_TRUE(reader && reader->gotoChild(table));
        Sprite* xml = world.sprites().createSpriteFromXml(*reader);
        QV::XmlCachedFilesManager::releaseDocument(reader);
        EXPECT_EQ(lua->mFrames, xml->mFrames);
        EXPECT_EQ(lua->mPosition, xml->mPosition);
        EXPECT_EQ(lua->mSize, xml->mSize);
        EXPECT_EQ(lua->mRotationCenter, xml->mRotationCenter);
        EXPECT_EQ(lua->mAngle, xml->mAngle);
        EXPECT_EQ(lua->mClipRect, xml->mClipRect);
        EXPECT_EQ(lua->mMirrorH, xml->mMirrorH);
        EXPECT_EQ(lua->mMeshDescribed, xml->mMeshDescribed);
        EXPECT_EQ(lua->mBasePoints, xml->mBasePoints);
        EXPECT_EQ(lua->mQuadData->mTextures, xml->mQuadData->mTextures);
        ASSERT_EQ(lua->gridPointCount(), xml->gridPointCount());
        for (uint32_t i = 0; i < lua->gridPointCount(); ++i) EXPECT_EQ(lua->vertexColor(i), xml->vertexColor(i)) << i;
    }
}

struct Rgb {
    int r, g, b;
};

// Decodes a PNG file to RGBA; empty when it cannot be read.
std::vector<uint8_t> readPng(const std::string& path, uint32_t* width, uint32_t* height) {
    const std::string bytes = qvtest::readFile(path);
    QV::MemoryImageSource source(bytes.data(), bytes.size());
    QV::PngImage image;
    std::string error;
    if (bytes.empty() || !image.decode(source, &error)) return {};
    *width = image.width();
    *height = image.height();
    return std::vector<uint8_t>(image.pixels(), image.pixels() + size_t(image.width()) * image.height() * 4);
}

// Draws the four demonstration sprites through the real OpenGL device: one
// turned, one clipped and mirrored, one mesh-deformed, one animated.
TEST(SpriteScreenshot, DemoSpritesMatchTheExpectedPicture) {
    const int kWidth = 128, kHeight = 96;
    // Keeps the GL driver loaded past the world's window, so what the driver
    // holds for itself is not reported as leaked at exit.
    QV::Gfx::destroyHiddenGLWindow(QV::Gfx::createHiddenGLWindow(8, 8));
    qvtest::SpriteWorld world(demoContent(), qvtest::SpriteWorld::Device::OpenGL, kWidth, kHeight);
    if (!world.ready()) QV_GL_UNAVAILABLE() << "no OpenGL window here: " << QV::Platform::Window::lastError();

    QV::SpriteManager<Sprite>& sprites = world.sprites();
    Sprite* badge = sprites.createSprite("demo_sprites", "s_demo_badge", "default");
    Sprite* banner = sprites.createSprite("demo_sprites", "s_demo_banner", "default");
    banner->mClip = true;
    Sprite* flag = sprites.createSprite("demo_sprites", "s_demo_flag", "default");
    Sprite* pulse = sprites.createSprite("demo_sprites", "s_demo_pulse", "default");
    QV::Animation animation;
    pulse->bindAnimation(&animation);
    ASSERT_TRUE(animation.load("demo_sprites", "default", "s_demo_pulse"));
    ASSERT_TRUE(animation.mLoop);
    animation.update(1.25f);  // one lap and a half frame: between the two keys

    world.frame([&] {
        for (Sprite* s : {badge, banner, flag, pulse}) {
            s->updateVertices();
            s->draw();
        }
    });
    std::vector<uint8_t> bgra;
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(world.readBack(&bgra, &width, &height));
    ASSERT_EQ(width, uint32_t(kWidth));
    ASSERT_EQ(height, uint32_t(kHeight));
    std::vector<uint8_t> rgba(bgra.size());
    for (size_t i = 0; i < bgra.size(); i += 4) {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        rgba[i + 3] = 255;
    }

    const std::string expectedPath = std::string(QV_SOURCE_DIR) + "/tests/engine/expected/sprite_scene.png";
    if (std::getenv("QV_UPDATE_EXPECTED")) {
        qvtest::writeFile(expectedPath, QV::encodePng(rgba, width, height));
        GTEST_SKIP() << "wrote " << expectedPath;
    }
    uint32_t ew = 0, eh = 0;
    const std::vector<uint8_t> expected = readPng(expectedPath, &ew, &eh);
    ASSERT_FALSE(expected.empty()) << "missing " << expectedPath << " (QV_UPDATE_EXPECTED=1 writes it)";
    ASSERT_EQ(ew, width);
    ASSERT_EQ(eh, height);
    // Rasterisers differ a little on edges: a small per-channel tolerance,
    // and a handful of edge pixels may differ more.
    const int kTolerance = 12;
    int off = 0;
    std::string first;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* g = &rgba[(size_t(y) * width + x) * 4];
            const uint8_t* e = &expected[(size_t(y) * width + x) * 4];
            for (int c = 0; c < 3; ++c) {
                if (std::abs(int(g[c]) - int(e[c])) > kTolerance) {
                    if (off == 0) {
                        first = "first at (" + std::to_string(x) + ", " + std::to_string(y) + "): got " +
                                std::to_string(g[0]) + "," + std::to_string(g[1]) + "," + std::to_string(g[2]) +
                                " want " + std::to_string(e[0]) + "," + std::to_string(e[1]) + "," +
                                std::to_string(e[2]);
                    }
                    ++off;
                    break;
                }
            }
        }
    }
    const std::string actualPath = std::string(QV_BINARY_DIR) + "/sprite_scene_actual.png";
    if (off > int(width * height) / 200) qvtest::writeFile(actualPath, QV::encodePng(rgba, width, height));
    EXPECT_LE(off, int(width * height) / 200) << off << " pixels differ; " << first << "; picture in " << actualPath;
}

}  // namespace

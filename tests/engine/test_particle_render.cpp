#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "image_encode.h"
#include "object_factory.h"
#include "particle_affectors.h"
#include "particle_fx.h"
#include "particle_shapes.h"
#include "particle_system.h"
#include "platform/gfx/gl_window.h"
#include "random15.h"
#include "sprite.h"
#include "support/gl_required.h"
#include "support/particle_fixtures.h"
#include "support/sprite_fixture.h"

namespace {

std::string shipped(const std::string& file) {
    std::ifstream in(std::string(QV_SOURCE_DIR) + "/media/particles/" + file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<qvtest::SpriteMediaFile> shippedEffects() {
    return {
        {"particle_burst_fx", "/particles/burst.xml", shipped("burst.xml")},
        {"particle_stream_fx", "/particles/stream.xml", shipped("stream.xml")},
        {"particle_trail_fx", "/particles/trail.xml", shipped("trail.xml")},
        {"particles_sxml", "/particles/particles.xml", shipped("particles.xml")},
        {"particles_image", "/particles/particles.png", shipped("particles.png")},
    };
}

struct Region {
    const char* effect;
    int left, top, right, bottom;
};

// Pixels brighter than the cleared background inside a region.
int litPixels(const std::vector<uint8_t>& bgra, uint32_t width, const Region& r) {
    int lit = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const uint8_t* p = &bgra[(static_cast<size_t>(y) * width + static_cast<size_t>(x)) * 4];
            if (p[0] + p[1] + p[2] > 120) ++lit;
        }
    }
    return lit;
}

TEST(ParticleRender, ShippedEffectsDrawThroughTheOpenGLDevice) {
    for (const auto& f : shippedEffects()) ASSERT_FALSE(f.bytes.empty()) << f.location;
    const int width = 240, height = 160;
    // Keeps the GL driver loaded past the world's window, so what the driver
    // holds for itself is not reported as leaked at exit.
    QV::Gfx::destroyHiddenGLWindow(QV::Gfx::createHiddenGLWindow(8, 8));
    qvtest::SpriteWorld world(shippedEffects(), qvtest::SpriteWorld::Device::OpenGL, width, height);
    if (!world.ready()) QV_GL_UNAVAILABLE() << "no OpenGL window available";
    qvtest::ParticleEngine engine;
    QV::seedRandom15(1234);

    const Region regions[] = {{"particle_burst_fx", 10, 30, 90, 110},
                              {"particle_stream_fx", 90, 20, 150, 150},
                              {"particle_trail_fx", 150, 0, 240, 160}};
    const QV::Vector2<float> places[] = {{50, 70}, {120, 130}, {180, 60}};
    std::vector<QV::ParticleFX*> effects;
    for (int i = 0; i < 3; ++i) {
        QV::ParticleFX* fx = engine.system->createParticleFX(regions[i].effect);
        ASSERT_NE(fx, nullptr) << regions[i].effect;
        ASSERT_NE(fx->mParticleEmitters[0]->sprite(), nullptr) << regions[i].effect;
        fx->mPosition = places[i];
        effects.push_back(fx);
    }
    // The burst is seen early, while its sparks are still bright.
    const int frames[] = {6, 40, 40};
    std::vector<uint8_t> pixels;
    uint32_t w = 0, h = 0;
    for (int frame = 0; frame < 40; ++frame) {
        for (int i = 0; i < 3; ++i) {
            if (frame < frames[i]) effects[i]->update(1.0f / 30.0f);
        }
    }
    world.frame([&] {
        for (QV::ParticleFX* fx : effects) {
            for (QV::ParticleEmitter* e : fx->mParticleEmitters) e->render(fx->mPosition);
        }
    });
    ASSERT_TRUE(world.readBack(&pixels, &w, &h));
    ASSERT_EQ(w, static_cast<uint32_t>(width));

    // Kept for a look: <build>/particle_render.png.
    std::vector<uint8_t> rgba(pixels.size());
    for (size_t i = 0; i < pixels.size(); i += 4) {
        rgba[i] = pixels[i + 2];
        rgba[i + 1] = pixels[i + 1];
        rgba[i + 2] = pixels[i];
        rgba[i + 3] = 255;
    }
    std::ofstream(std::string(QV_BINARY_DIR) + "/particle_render.png", std::ios::binary) << QV::encodePng(rgba, w, h);

    for (const Region& r : regions) EXPECT_GT(litPixels(pixels, w, r), 40) << r.effect;
    // Far from every effect nothing is drawn.
    EXPECT_EQ(litPixels(pixels, w, Region{"corner", 0, 0, 10, 10}), 0);

    // Fading the effects to nothing leaves the frame empty.
    for (QV::ParticleFX* fx : effects) fx->setAlpha(0.0f);
    world.frame([&] {
        for (QV::ParticleFX* fx : effects) {
            for (QV::ParticleEmitter* e : fx->mParticleEmitters) e->render(fx->mPosition);
        }
    });
    ASSERT_TRUE(world.readBack(&pixels, &w, &h));
    EXPECT_EQ(litPixels(pixels, w, Region{"all", 0, 0, width, height}), 0);
    for (QV::ParticleFX* fx : effects) engine.system->releaseParticleFX(fx);
}

struct Centroid {
    double x = 0, y = 0;
    int count = 0;
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
};

Centroid litArea(const std::vector<uint8_t>& bgra, uint32_t width, uint32_t height) {
    Centroid c;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
            if (p[0] + p[1] + p[2] <= 120) continue;
            c.x += x;
            c.y += y;
            ++c.count;
            c.minX = std::min<int>(c.minX, static_cast<int>(x));
            c.maxX = std::max<int>(c.maxX, static_cast<int>(x));
            c.minY = std::min<int>(c.minY, static_cast<int>(y));
            c.maxY = std::max<int>(c.maxY, static_cast<int>(y));
        }
    }
    if (c.count) {
        c.x /= c.count;
        c.y /= c.count;
    }
    return c;
}

// One white particle, or one comet with a trail, placed by hand.
QV::ParticleFX* single(const char* sprite, bool tail) {
    auto* fx = new QV::ParticleFX();
    auto* e = new QV::ParticlePointEmitter();
    qvtest::EmitterSpec spec;
    spec.rate = 1000.0f;
    spec.particleLife = 100.0f;
    spec.emitterLife = 0.0015f;
    spec.pool = 1;
    qvtest::configureEmitter(*e, spec);
    e->mSpriteFileName = "particles_sprites";
    e->mSpriteTableName = sprite;
    if (tail) {
        e->mUseTails = true;
        e->mHeadSize = 16;
        e->mHeadSizeTex = 16;
        e->mMaxSegments = 30;
        e->mMinDistSegments = 4.0f;
        auto* move = new QV::ParticleLinearMovementAffector();
        move->mInitialDirection.mMinVal = move->mInitialDirection.mMaxVal = QV::Vector2<float>(1.0f, 0.0f);
        qvtest::setFlat(move->mInitialVelocity, 120.0f);
        e->mParticleAffectors.push_back(move);
    }
    fx->mParticleEmitters.push_back(e);
    return fx;
}

TEST(ParticleRender, ParticleIsCentredOnItsPointAndTrailFollowsItsPath) {
    const int width = 160, height = 100;
    QV::Gfx::destroyHiddenGLWindow(QV::Gfx::createHiddenGLWindow(8, 8));
    qvtest::SpriteWorld world(shippedEffects(), qvtest::SpriteWorld::Device::OpenGL, width, height);
    if (!world.ready()) QV_GL_UNAVAILABLE() << "no OpenGL window available";
    qvtest::ParticleEngine engine;
    std::vector<uint8_t> pixels;
    uint32_t w = 0, h = 0;

    QV::ParticleFX* dot = single("spark", false);
    dot->init();
    dot->mPosition = QV::Vector2<float>(60.0f, 40.0f);
    dot->update(0.0012f);
    ASSERT_EQ(dot->mParticleEmitters[0]->liveCount(), 1);
    world.frame([&] { dot->mParticleEmitters[0]->render(dot->mPosition); });
    ASSERT_TRUE(world.readBack(&pixels, &w, &h));
    Centroid c = litArea(pixels, w, h);
    ASSERT_GT(c.count, 20);
    EXPECT_NEAR(c.x, 59.5, 1.0);  // the 32-pixel spark covers 44..75
    EXPECT_NEAR(c.y, 39.5, 1.0);
    EXPECT_LE(c.maxX - c.minX, 32);
    delete dot;

    QV::ParticleFX* comet = single("trail", true);
    comet->init();
    comet->mPosition = QV::Vector2<float>(20.0f, 50.0f);
    comet->update(0.0012f);  // born
    ASSERT_EQ(comet->mParticleEmitters[0]->liveCount(), 1);
    for (int k = 0; k < 30; ++k) comet->update(1.0f / 30.0f);  // 120 pixels per second for a second
    world.frame([&] { comet->mParticleEmitters[0]->render(comet->mPosition); });
    ASSERT_TRUE(world.readBack(&pixels, &w, &h));
    c = litArea(pixels, w, h);
    ASSERT_GT(c.count, 100);
    // A ribbon along y = 50 reaching the frame's height (16) to either side.
    EXPECT_GE(c.minY, 50 - 17);
    EXPECT_LE(c.maxY, 50 + 17);
    EXPECT_NEAR(c.y, 49.5, 1.5);
    EXPECT_GT(c.maxX - c.minX, 60);  // drawn behind the particle, which is near x = 140
    EXPECT_LE(c.maxX, 140 + 10);
    delete comet;
}

}  // namespace

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "image_encode.h"
#include "object_factory.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "platform/gfx/gl_window.h"
#include "random15.h"
#include "sprite.h"
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
    if (!world.ready()) GTEST_SKIP() << "no OpenGL window available";
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

}  // namespace

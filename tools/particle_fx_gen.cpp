// Writes the game's own particle effects (a burst, a stream and a trail) in
// the canonical archive form, with the sprite sheet they draw with:
//   particle_fx_gen <media directory>
// Files: particles/burst.xml, stream.xml, trail.xml, particles.xml (sprite
// descriptions) and particles.png (generated picture).
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "image_encode.h"
#include "object_factory.h"
#include "particle_affectors.h"
#include "particle_fx.h"
#include "particle_shapes.h"
#include "particle_fx_writing.h"
#include "particle_system.h"

namespace {

void common(QV::ParticleEmitter& e, const char* sprite, int pool, float rate, float life, float emitterLife,
            bool looped) {
    emitterBasics(e, "particles_sprites", sprite, pool, rate, life, emitterLife, looped);
}

// A ring of sparks thrown out from one point, fading from yellow to red.
QV::ParticleFX* burst() {
    auto* fx = new QV::ParticleFX();
    auto* e = new QV::ParticleCircleEmitter();
    e->mRadius = 6.0f;
    common(*e, "spark", 48, 800.0f, 0.7f, 0.06f, false);
    ramp(e->mParticleColor, QV::Color::fromBytes(255, 230, 90, 255), QV::Color::fromBytes(255, 40, 10, 0));
    ramp(e->mInitialScaleX, 1.0f, 0.3f);
    ramp(e->mInitialScaleY, 1.0f, 0.3f);
    auto* push = new QV::ParticleGravityPointAffector();
    flat(push->mForce, -900.0f);
    e->mParticleAffectors = {push, randomSpin(360.0f, 180.0f)};
    fx->mParticleEmitters.push_back(e);
    fx->mLoopedAnimation = true;
    return fx;
}

// A fountain rising from a strip and falling back, for as long as it runs.
QV::ParticleFX* stream() {
    auto* fx = new QV::ParticleFX();
    auto* e = new QV::ParticleBoxEmitter();
    e->mRect = QV::Rect(-12.0f, -2.0f, 12.0f, 2.0f);
    common(*e, "spark", 80, 45.0f, 1.4f, -1.0f, true);
    ramp(e->mParticleColor, QV::Color::fromBytes(120, 200, 255, 255), QV::Color::fromBytes(40, 90, 255, 0));
    ramp(e->mInitialScaleX, 0.6f, 0.9f);
    ramp(e->mInitialScaleY, 0.6f, 0.9f);
    auto* up = new QV::ParticleLinearMovementAffector();
    up->mInitialDirection.mMinVal = QV::Vector2<float>(-0.35f, -1.0f);
    up->mInitialDirection.mMaxVal = QV::Vector2<float>(0.35f, -1.0f);
    flat(up->mInitialVelocity, 170.0f);
    auto* gravity = new QV::ParticleGravityAffector();
    flat(gravity->mForce, 220.0f);
    gravity->mDirection = QV::Vector2<float>(0.0f, 1.0f);
    e->mParticleAffectors = {up, gravity};
    fx->mParticleEmitters.push_back(e);
    fx->mLoopedAnimation = true;
    return fx;
}

// A few comets curling as their heading turns, each dragging a ribbon.
QV::ParticleFX* trail() {
    auto* fx = new QV::ParticleFX();
    auto* e = new QV::ParticlePointEmitter();
    common(*e, "trail", 4, 2.5f, 1.6f, -1.0f, true);
    flat(e->mParticleColor, QV::Color::fromBytes(255, 160, 255, 255));
    flat(e->mInitialScaleY, 0.5f);
    e->mUseTails = true;
    e->mHeadSizeTex = 16;
    e->mHeadSize = 16;
    e->mMaxSegments = 14;
    e->mFadeSpeed = 40.0f;
    e->mMinDistSegments = 4.0f;
    auto* curl = new QV::ParticleGraphicMoveAffector();
    ramp(curl->mAngleGraphic, 0.0f, 300.0f);
    flat(curl->mVelocityGraphic, 160.0f);
    e->mParticleAffectors = {curl};
    fx->mParticleEmitters.push_back(e);
    fx->mLoopedAnimation = true;
    return fx;
}

// 64 x 48: a soft round spark at (0, 0, 32, 32) and a ribbon strip at
// (0, 32, 64, 48) that is clear at its far end and bright at its head.
std::string sheetPng() {
    const uint32_t w = 64, h = 48;
    std::vector<uint8_t> rgba(w * h * 4, 0);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            float alpha = 0.0f;
            if (y < 32 && x < 32) {
                float d = std::hypot(static_cast<float>(x) - 15.5f, static_cast<float>(y) - 15.5f) / 15.5f;
                alpha = d < 1.0f ? (1.0f - d) * (1.0f - d) : 0.0f;
            } else if (y >= 32) {
                float across = 1.0f - std::fabs(static_cast<float>(y) - 39.5f) / 8.0f;
                alpha = across * static_cast<float>(x) / 63.0f;
            }
            uint8_t* p = &rgba[(y * w + x) * 4];
            p[0] = p[1] = p[2] = 255;
            p[3] = static_cast<uint8_t>(alpha * 255.0f + 0.5f);
        }
    }
    return QV::encodePng(rgba, w, h);
}

const char* const kSprites =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<root>\n"
    "  <spark>\n"
    "    <Image0 v=\"particles_image\" />\n"
    "    <SrcRect0 v0=\"0\" v1=\"0\" v2=\"32\" v3=\"32\" />\n"
    "  </spark>\n"
    "  <trail>\n"
    "    <Image0 v=\"particles_image\" />\n"
    "    <SrcRect0 v0=\"32\" v1=\"0\" v2=\"48\" v3=\"64\" />\n"
    "  </trail>\n"
    "</root>\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <media directory>\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/particles";
    std::filesystem::create_directories(dir);
    QV::ObjectFactory factory;
    QV::ParticleSystem system;  // registers the classes the files name
    bool ok = writeEffect(burst(), dir + "/burst.xml") && writeEffect(stream(), dir + "/stream.xml") &&
              writeEffect(trail(), dir + "/trail.xml");
    std::ofstream(dir + "/particles.xml", std::ios::binary) << kSprites;
    std::ofstream(dir + "/particles.png", std::ios::binary) << sheetPng();
    if (!ok) {
        std::fprintf(stderr, "failed to write effects into %s\n", dir.c_str());
        return 1;
    }
    std::printf("wrote %s/{burst,stream,trail,particles}.xml and particles.png\n", dir.c_str());
    return 0;
}

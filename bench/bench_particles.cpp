// Particles per frame: N live particles (10,000 and 50,000) in one emitter,
// moved by two affectors with colour and scale curves over their lives;
// each frame updates the effect and builds one textured quad (four vertices,
// turned about the particle) per particle, as the sprite submits them.
// Reported as microseconds per frame. The same workload runs in LOVE 11.4's
// ParticleSystem (script in particles_love/) when `love` is installed; it
// prints the CPU time of ps:update and of ps:update plus ps:draw.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "object_factory.h"
#include "particle_affectors.h"
#include "particle_fx.h"
#include "particle_shapes.h"
#include "particle_system.h"
#include "random15.h"

namespace {

struct Vertex {
    float x, y, z;
    uint32_t color;
    float u, v;
};

template <class T>
void ramp(QV::TimedValueInterval<T>& curve, const T& from, const T& to) {
    curve.clear();
    curve.setLinesCount(1);
    curve.addKey(0, 0, from);
    curve.addKey(0, 100, to);
}

struct Scene {
    explicit Scene(int count) {
        QV::seedRandom15(42);
        auto* e = new QV::ParticleBoxEmitter();
        e->mRect = QV::Rect(-20, -5, 20, 5);
        e->mMaxParticlesCount = count;
        ramp(e->mEmitRate, 1e9f, 1e9f);  // fills the pool in the first frame
        ramp(e->mInitialLifeTime, 1000.0f, 1000.0f);
        ramp(e->mParticleColor, QV::Color::fromBytes(255, 255, 255, 255), QV::Color::fromBytes(255, 128, 50, 0));
        ramp(e->mInitialScaleX, 1.0f, 0.3f);
        ramp(e->mInitialScaleY, 1.0f, 0.3f);
        e->mEmitterLifeTime = -1.0f;
        e->mLooped = true;
        auto* move = new QV::ParticleLinearMovementAffector();
        move->mInitialDirection.mMinVal = QV::Vector2<float>(-0.5f, -1.0f);
        move->mInitialDirection.mMaxVal = QV::Vector2<float>(0.5f, -1.0f);
        ramp(move->mInitialVelocity, 20.0f, 60.0f);
        auto* gravity = new QV::ParticleGravityAffector();
        ramp(gravity->mForce, 30.0f, 30.0f);
        auto* spin = new QV::ParticleRotateSpriteAffector();
        spin->mInitialRotateCoeffMax = 1.0f;
        ramp(spin->mInitialAngleVelocity, 170.0f, 170.0f);
        e->mParticleAffectors = {move, gravity, spin};
        fx.mParticleEmitters.push_back(e);
        fx.mPosition = QV::Vector2<float>(160, 120);
        fx.init();
        fx.update(1.0f / 60.0f);
        vertices.resize(static_cast<size_t>(count) * 4);
    }

    // What the sprite does per particle: four corners scaled and turned
    // about the centre, with the particle's colour and the frame's texels.
    size_t buildVertices() {
        const QV::ParticleEmitter& e = *fx.mParticleEmitters[0];
        const QV::Vector2<float> size(8.0f, 8.0f);
        size_t n = 0;
        for (int i = 0; i < e.poolSize(); ++i) {
            const QV::ParticleEmitter::Particle& p = e.particles()[i];
            if (p.free) continue;
            QV::ParticleQuad q = e.buildQuad(p, fx.mPosition, size);
            const float a = q.angle * 0.017453292f;
            const float c = std::cos(a), s = std::sin(a);
            const float cx = q.position.x + q.halfSize.x, cy = q.position.y + q.halfSize.y;
            const float w = size.x * q.scale.x, h = size.y * q.scale.y;
            const float corners[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
            for (int k = 0; k < 4; ++k) {
                const float x = q.position.x + corners[k][0] - cx, y = q.position.y + corners[k][1] - cy;
                Vertex& v = vertices[n++];
                v.x = cx + c * x - s * y;
                v.y = cy + s * x + c * y;
                v.z = 0.0f;
                v.color = q.color.word();
                v.u = corners[k][0] > 0 ? 1.0f : 0.0f;
                v.v = corners[k][1] > 0 ? 1.0f : 0.0f;
            }
        }
        return n;
    }

    QV::ParticleFX fx;
    std::vector<Vertex> vertices;
};

struct Engine {
    Engine() : factory(new QV::ObjectFactory()), system(new QV::ParticleSystem()) {}
    std::unique_ptr<QV::ObjectFactory> factory;
    std::unique_ptr<QV::ParticleSystem> system;
};

void BM_EngineParticles(benchmark::State& state) {
    Engine engine;
    Scene scene(static_cast<int>(state.range(0)));
    const bool buildQuads = state.range(1) != 0;
    for (auto _ : state) {
        scene.fx.update(1.0f / 60.0f);
        if (buildQuads) benchmark::DoNotOptimize(scene.buildVertices());
    }
    state.counters["live"] = scene.fx.mParticleEmitters[0]->liveCount();
}
BENCHMARK(BM_EngineParticles)
    ->ArgNames({"particles", "vertices"})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({50000, 0})
    ->Args({50000, 1})
    ->Unit(benchmark::kMicrosecond);

// The same counts in LOVE 11.4, run as its own process.
void BM_LoveParticleSystem(benchmark::State& state) {
    const std::string script = std::filesystem::path(__FILE__).parent_path() / "particles_love";
    if (std::system("command -v love > /dev/null 2>&1") != 0) {
        state.SkipWithError("love is not installed (Debian package love)");
        return;
    }
    double updateUs = 0.0, frameUs = 0.0;
    int live = 0;
    for (auto _ : state) {
        const std::string command = "love '" + script + "' " + std::to_string(state.range(0)) + " 300 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) break;
        char line[256];
        while (std::fgets(line, sizeof(line), pipe)) {
            std::sscanf(line, "update_us %lf frame_us %lf count %d", &updateUs, &frameUs, &live);
        }
        pclose(pipe);
    }
    if (frameUs <= 0.0) {
        state.SkipWithError("love printed no timings");
        return;
    }
    state.counters["update_us"] = updateUs;
    state.counters["update_draw_us"] = frameUs;
    state.counters["live"] = live;
}
BENCHMARK(BM_LoveParticleSystem)->Arg(10000)->Arg(50000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

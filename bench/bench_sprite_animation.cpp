// Keyframe playback and sprite vertex placement: the per-frame work of an
// animated sprite before its quads reach the batch.
#include <benchmark/benchmark.h>

extern "C" {
#include <lauxlib.h>
}

#include <string>

#include "animation.h"
#include "lua_script2.h"
#include "sprite.h"

namespace {

// A sprite of size 64 x 64 over cells x cells, without texture.
void describe(QV::Sprite& sprite, int cells) {
    QV::LuaScript2 script(QV::createLuaState());
    const std::string text = "s = { Size = {64, 64}, Mesh = { sizeX = " + std::to_string(cells) +
                             ", sizeY = " + std::to_string(cells) + " } }";
    luaL_dostring(script.state(), text.c_str());
    script.openTable("s");
    sprite.parseTable(script);
}

// Ten frames driving position, angle, scale, colour and frame rectangle.
void fillKeys(QV::Animation& animation) {
    for (uint32_t k = 0; k < 10; ++k) {
        animation.addFrame(0.1f);
        animation.keyValue<QV::Vector2<float>>("pos", k) = QV::Vector2<float>(float(k) * 10, float(k));
        animation.keyValue<float>("angle", k) = float(k) * 36;
        animation.keyValue<QV::Vector2<float>>("scale", k) = QV::Vector2<float>(1 + 0.1f * k, 1);
        animation.keyValue<QV::Color>("color", k) = QV::Color::fromBytes(255, uint8_t(k * 20), 0, 255);
        animation.keyValue<QV::Rect>("SrcRect0", k) = QV::Rect(float(k), 0, float(k) + 16, 16);
    }
    animation.mLoop = true;
}

void BM_AnimatedSpriteFrame(benchmark::State& state) {
    QV::Sprite sprite;
    describe(sprite, int(state.range(0)));
    QV::Animation animation;
    if (state.range(1)) animation.setSmooth();
    sprite.bindAnimation(&animation);
    fillKeys(animation);
    for (auto _ : state) {
        animation.update(0.016f);
        sprite.updateVertices();
        benchmark::DoNotOptimize(sprite.vertexPosition(0));
    }
    state.SetItemsProcessed(state.iterations());
}
// Cells per side (the mesh's own parameters bound too), smooth or linear.
BENCHMARK(BM_AnimatedSpriteFrame)->Args({1, 0})->Args({1, 1})->Args({8, 0})->Args({8, 1});

void BM_PlaceMesh(benchmark::State& state) {
    QV::Sprite sprite;
    describe(sprite, int(state.range(0)));
    float angle = 0;
    for (auto _ : state) {
        angle += 1.0f;
        sprite.setAngle(angle);
        sprite.updateVertices();
        benchmark::DoNotOptimize(sprite.vertexPosition(0));
    }
    state.SetItemsProcessed(state.iterations() * sprite.gridPointCount());
}
BENCHMARK(BM_PlaceMesh)->Arg(1)->Arg(16)->Arg(64);

}  // namespace

BENCHMARK_MAIN();

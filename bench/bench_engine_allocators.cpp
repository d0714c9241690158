// Allocation in the two fixed regions and typed reads from a parsed document.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine_allocators.h"
#include "xml_data_reader.h"

namespace {

void BM_BuddySmallBlock(benchmark::State& state) {
    QV::BuddyAllocator buddy;
    for (auto _ : state) {
        void* p = buddy.alloc(100);
        benchmark::DoNotOptimize(p);
        buddy.dealloc(p, 100);
    }
}
BENCHMARK(BM_BuddySmallBlock);

// The worst scan: every single unit but the last is taken.
void BM_BuddyNearlyFull(benchmark::State& state) {
    QV::BuddyAllocator buddy;
    for (uint32_t i = 0; i + 1 < QV::BuddyAllocator::kUnitCount; ++i) buddy.alloc(1);
    for (auto _ : state) {
        void* p = buddy.alloc(1);
        benchmark::DoNotOptimize(p);
        buddy.dealloc(p, 1);
    }
}
BENCHMARK(BM_BuddyNearlyFull);

void BM_StackBlock(benchmark::State& state) {
    QV::StackAllocator stack;
    for (auto _ : state) {
        QV::StackBlock block(&stack, 65536);
        benchmark::DoNotOptimize(block.data());
    }
}
BENCHMARK(BM_StackBlock);

std::string spriteDocument(int sprites) {
    std::string text = "<?xml version=\"1.0\"?><root>";
    for (int i = 0; i < sprites; ++i) {
        text += "<s" + std::to_string(i) +
                "><Pos v0='1.5' v1='2'/><SrcRect0 v0='0' v1='0' v2='64' v3='64'/>"
                "<Color r='255' g='128' b='0' a='255'/><Angle v='45'/><Flip v='1'/></s" +
                std::to_string(i) + ">";
    }
    return text + "</root>";
}

void BM_XmlParse(benchmark::State& state) {
    QV::EngineAllocators allocators;
    allocators.init();
    const std::string text = spriteDocument(static_cast<int>(state.range(0)));
    QV::XmlDataReader reader;
    for (auto _ : state) {
        bool ok = reader.parseBuffer(text.data(), static_cast<uint32_t>(text.size()), nullptr);
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_XmlParse)->Arg(10)->Arg(500);

void BM_XmlReadSprite(benchmark::State& state) {
    QV::EngineAllocators allocators;
    allocators.init();
    const std::string text = spriteDocument(1);
    QV::XmlDataReader reader;
    reader.parseBuffer(text.data(), static_cast<uint32_t>(text.size()), nullptr);
    reader.gotoChild("s0");
    QV::Vector2<float> pos;
    QV::Rect rect;
    QV::Color color;
    float angle;
    bool flip;
    for (auto _ : state) {
        reader.readVector2("Pos", &pos);
        reader.readRect("SrcRect0", &rect);
        reader.readColor("Color", &color);
        reader.readFloat("Angle", &angle);
        reader.readBool("Flip", &flip);
        benchmark::DoNotOptimize(angle);
    }
}
BENCHMARK(BM_XmlReadSprite);

}  // namespace

BENCHMARK_MAIN();

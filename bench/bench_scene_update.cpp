// Per-frame cost of a scene: timelines, transforms, markers, and the
// depth-sorted draw list of a 2,000-node tree.
#include <benchmark/benchmark.h>

#include <memory>

#include "animationeditor/marker.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"

namespace {

std::unique_ptr<AE::ISceneNode> buildScene(int count) {
    std::unique_ptr<AE::ISceneNode> root(new AE::ISceneNode());
    std::vector<AE::ISceneNode*> all{root.get()};
    AE::Marker* marker = new AE::Marker("show");
    for (int i = 0; i < count; ++i) {
        AE::ISceneNode* n = new AE::ISceneNode();
        n->mPosZ = static_cast<float>((i * 7919) % 97);
        all[static_cast<size_t>(i / 4)]->addChild(n, AE::KeepTransform::Local);
        n->setKeyValues(0, 0, 0, n->mPosZ, 0, 1, 1, QV::Color::fromBytes(255, 255, 255, 255), QV::Matrix3(),
                        QV::Vector2<float>());
        n->setKeyValues(48, 100, 50, n->mPosZ, 90, 2, 2, QV::Color::fromBytes(0, 0, 0, 255), QV::Matrix3(),
                        QV::Vector2<float>());
        n->mLoop = true;
        marker->addEntry(n, 0, 48, false, true);
        all.push_back(n);
    }
    root->addMarker(marker);
    marker->play(true);
    return root;
}

void BM_SceneUpdate(benchmark::State& state) {
    std::unique_ptr<AE::ISceneNode> root = buildScene(static_cast<int>(state.range(0)));
    for (auto _ : state) root->update(1.0f / 60.0f);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SceneUpdate)->Arg(200)->Arg(2000);

void BM_SceneDrawList(benchmark::State& state) {
    std::unique_ptr<AE::ISceneNode> root = buildScene(static_cast<int>(state.range(0)));
    root->update(0.5f);
    for (auto _ : state) AE::drawScene(root.get());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SceneDrawList)->Arg(200)->Arg(2000);

}  // namespace

BENCHMARK_MAIN();

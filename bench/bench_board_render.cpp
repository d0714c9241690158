// The board's frame on the OpenGL back end at 1280x720: the widest board
// (21x15 cells), every chip carrying a running glint, tiles in a band, and a
// wave effect and a chip pop running on a new cell every frame, drawn through
// the field renderer with the board's update between frames. Reports the
// time per finished frame (a read-back drains the queue before the clock
// starts and before it stops).
// Builds with the tests (it stands on their fixtures and content).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "board/behavior.h"
#include "board/chip.h"
#include "board/view/drawable_kinds.h"
#include "game/board/view/board_world.h"
#include "board/objects_group.h"
#include "render_system.h"

namespace {

void BoardFrame(benchmark::State& state) {
    boardtest::BoardWorld board(qvtest::HostDevice::OpenGL, 1280, 720,
                                {{"gamefield_lua", "gamefield_wide.lua"}, {"chip_prototypes_lua", "chip_prototypes_wide.lua"},
                                 {"level_wide_lua", "level_wide.lua"}});
    if (!board.ready()) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    board.world.render()->createDistortionProgram(QV::RenderSystem::kDistortionPixelShader);
    board.load("level_wide_lua");
    board.settleCells();
    board.renderer->camera.x = 188.0f;
    board.renderer->camera.y = -30.0f;
    const float dt = 1.0f / 60.0f;
    int frame = 0;
    auto step = [&] {
        // New effects over the board while old ones run out.
        const int column = (frame * 7) % 21, row = 1 + (frame * 5) % 15;
        std::unique_ptr<Drawable> wave(board.field->waveEffects[frame % 8]->clone());
        board.field->freeDrawables.push_back(FreeDrawable{wave.release(), 43.0f * column + 21, 43.0f * row + 21, 20});
        for (Chip* chip : board.chips->pool) {
            if (!chip->destroyed) chip->behaviors.updateDrawables(chip, dt);
        }
        board.run(dt, dt);
        board.world.frame([&] { board.renderer->draw(); });
        ++frame;
    };
    for (int i = 0; i < 30; ++i) step();  // pictures uploaded, effects running
    std::vector<uint8_t> pixels;
    uint32_t w = 0, h = 0;
    board.world.readBack(&pixels, &w, &h);
    for (auto _ : state) step();
    board.world.readBack(&pixels, &w, &h);
    state.counters["free_drawables"] = double(board.field->freeDrawables.size());
}

BENCHMARK(BoardFrame)->Unit(benchmark::kMillisecond)->Iterations(240)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

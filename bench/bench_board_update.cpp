// The board's own work on the widest level (21x15, six colours, refill on),
// headless: (a) one match pass over a settled board with no run, and a whole
// frame of the field's update on that board; (b) the frames of whole
// cascades, each from one swap to a settled board, timed per frame of 1/60 s.
// Builds with the tests (it stands on their board fixture).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "board/board_random.h"
#include "board/chip.h"
#include "board/chip_appearence.h"
#include "board/chip_manager.h"
#include "board/game_field.h"
#include "board/move_hint.h"
#include "support/board_fixture.h"
#include "board/task.h"

namespace {

constexpr float kDt = 1.0f / 60.0f;

bool settled(GameField& field) {
    if (field.taskManager->size() > 0 || !field.columnHolds.empty() || field.suspendTime > 0.0f ||
        field.unsettled) {
        return false;
    }
    ChipAppearence* appearence = field.appearances->currentAppearence();
    if (appearence && !appearence->isFinished()) return false;
    for (int row = 1; row <= field.gridHeight; ++row) {
        for (int column = 0; column < field.gridWidth; ++column) {
            const Cell* cell = field.cellAt(column, row);
            if (cell->solidity > 0 && (!cell->chip || cell->chip->moveState != 0)) return false;
        }
    }
    return true;
}

struct WideBoard {
    WideBoard() {
        fixBoardPerformanceCounter(20260101);
        world.prototypes(qvtest::plainPrototypes());
        world.field("Parameters = { gridWidth = 21, gridHeight = 15 }");
        world.level(qvtest::fixedLevel(std::vector<std::string>(15, std::string(21, 'r'))));
        for (int i = 0; i < 2000 && !(world.board->levelBegun && settled(*world.board)); ++i) {
            world.board->update(kDt);
        }
    }
    ~WideBoard() { releaseBoardPerformanceCounter(); }
    GameField& field() { return *world.board; }
    qvtest::BoardWorld world;
};

void MatchPassSettled(benchmark::State& state) {
    WideBoard board;
    if (!settled(board.field())) {
        state.SkipWithError("the board did not settle");
        return;
    }
    bool found = false;
    for (auto _ : state) {
        found = board.field().destroyMatches(true) || found;
        benchmark::DoNotOptimize(found);
    }
    if (found) state.SkipWithError("a run stood on the settled board");
}

void FrameSettled(benchmark::State& state) {
    WideBoard board;
    if (!settled(board.field())) {
        state.SkipWithError("the board did not settle");
        return;
    }
    for (auto _ : state) board.field().update(kDt);
    state.counters["tasks"] = double(board.field().taskManager->size());
}

void FrameCascade(benchmark::State& state) {
    WideBoard board;
    GameField& field = board.field();
    int swaps = 0;
    std::vector<double> times;
    times.reserve(6000);
    for (auto _ : state) {
        if (settled(field)) {
            state.PauseTiming();
            std::pair<Cell*, Cell*> move = field.moveHint->findMove();
            if (move.first) {
                field.onCellClicked(move.first->column, move.first->row);
                field.onCellClicked(move.second->column, move.second->row);
                ++swaps;
            } else {
                field.mixChips();
            }
            state.ResumeTiming();
        }
        const auto start = std::chrono::steady_clock::now();
        field.update(kDt);
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["swaps"] = double(swaps);
    // The slowest frames; on a shared machine the very slowest is mostly preemption.
    std::sort(times.begin(), times.end());
    if (!times.empty()) {
        state.counters["p99_frame_us"] = times[times.size() * 99 / 100];
        state.counters["p999_frame_us"] = times[times.size() * 999 / 1000];
    }
}

BENCHMARK(MatchPassSettled)->Unit(benchmark::kMicrosecond);
BENCHMARK(FrameSettled)->Unit(benchmark::kMicrosecond);
BENCHMARK(FrameCascade)->Unit(benchmark::kMicrosecond)->Iterations(6000);

}  // namespace

BENCHMARK_MAIN();

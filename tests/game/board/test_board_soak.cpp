// Long random play on a 9x9 board with refill on: after every settle each
// playable cell holds one chip, no run stands and no chip is lost or doubled.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "board/behavior.h"
#include "board/board_random.h"
#include "board/chip.h"
#include "board/chip_appearence.h"
#include "board/chip_manager.h"
#include "board/chip_selector.h"
#include "board/game_field.h"
#include "board/move_hint.h"
#include "support/board_fixture.h"
#include "board/task.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kSoakFrames = 4000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kSoakFrames = 4000;
#else
constexpr int kSoakFrames = 20000;
#endif
#else
constexpr int kSoakFrames = 20000;
#endif

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

class Soak {
public:
    explicit Soak(uint64_t counter) : random(static_cast<uint32_t>(counter)) {
        fixBoardPerformanceCounter(counter);
        world.prototypes(qvtest::plainPrototypes());
        world.field("Parameters = { gridWidth = 9, gridHeight = 9, cellSize = 40 }");
        std::vector<std::string> rows(9, std::string(9, 'r'));
        EXPECT_TRUE(world.level(qvtest::fixedLevel(rows)));
    }
    ~Soak() { releaseBoardPerformanceCounter(); }

    GameField& field() { return *world.board; }

    void frame() {
        field().update(kDt);
        ++frames;
    }

    // Frames until settled; false when the board keeps moving for 30 s.
    bool settle() {
        for (int i = 0; i < 1800; ++i) {
            frame();
            if (settled(field())) return true;
        }
        return false;
    }

    void check(const std::string& when) {
        GameField& board = field();
        std::set<const Chip*> linked;
        for (int row = 0; row <= board.gridHeight; ++row) {
            for (int column = 0; column < board.gridWidth; ++column) {
                const Cell* cell = board.cellAt(column, row);
                if (row >= 1 && cell->solidity > 0) {
                    ASSERT_NE(cell->chip, nullptr) << when << ": empty cell " << column << " " << row;
                }
                if (!cell->chip) continue;
                ASSERT_FALSE(cell->chip->destroyed) << when;
                ASSERT_TRUE(linked.insert(cell->chip).second) << when << ": a chip in two cells";
                MatchLines lines;
                cell->chip->selector->select(lines, &board, cell->chip);
                ASSERT_EQ(lines.chipCount(), 0) << when << ": a run stands at " << column << " " << row;
            }
        }
        size_t live = 0;
        for (const Chip* chip : board.chipManager->pool) live += chip->destroyed ? 0 : 1;
        // Settled: nothing is in flight, so every live chip is in a cell.
        ASSERT_EQ(live, linked.size()) << when << ": chips lost or doubled";
    }

    void clickCell(int column, int row) { field().onCellClicked(column, row); }

    void play() {
        GameField& board = field();
        for (int i = 0; i < 600 && !board.levelBegun; ++i) frame();
        ASSERT_TRUE(board.levelBegun);
        ASSERT_TRUE(settle()) << "the first board never settles";
        check("start");
        std::uniform_int_distribution<int> cell(0, board.gridWidth - 1);
        std::uniform_int_distribution<int> choice(0, 9);
        int move = 0;
        while (frames < kSoakFrames) {
            ++move;
            std::pair<Cell*, Cell*> pair = board.moveHint->findMove();
            if (!pair.first) {
                ASSERT_TRUE(board.mixChips());
            } else {
                const int kind = choice(random);
                if (kind < 5) {
                    clickCell(pair.first->column, pair.first->row);
                    clickCell(pair.second->column, pair.second->row);
                } else {
                    // Any chip and an orthogonal neighbour, or a lone click.
                    const int column = cell(random);
                    const int row = 1 + cell(random);
                    clickCell(column, row);
                    if (kind < 9) {
                        const int side = choice(random) % 4;
                        clickCell(column + (side == 0) - (side == 1), row + (side == 2) - (side == 3));
                    }
                }
            }
            ASSERT_TRUE(settle()) << "move " << move << " never settles";
            check("move " + std::to_string(move));
            if (::testing::Test::HasFatalFailure()) return;
        }
    }

    qvtest::BoardWorld world;
    std::mt19937 random;
    int frames = 0;
};

TEST(BoardSoak, RandomPlayKeepsEveryCellFilledAndNoChipLost) {
    for (uint64_t counter : {1ull, 4242ull, 90210ull, 0xFFFFFFFF12345ull}) {
        SCOPED_TRACE("counter " + std::to_string(counter));
        Soak soak(counter);
        soak.play();
        if (::testing::Test::HasFatalFailure()) return;
        EXPECT_GE(soak.frames, kSoakFrames);
        // The play did match and refill: many chips went and came.
        int destroyed = 0;
        for (const std::string& call : soak.world.modeCalls) destroyed += call.rfind("onChipDestroyed", 0) == 0;
        EXPECT_GT(destroyed, kSoakFrames / 100);
        std::printf("counter %llu: %d frames, %d chips destroyed, %zu pooled\n",
                    static_cast<unsigned long long>(counter), soak.frames, destroyed,
                    soak.field().chipManager->pool.size());
    }
}

}  // namespace

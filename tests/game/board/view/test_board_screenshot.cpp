#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "board/board_random.h"
#include "board_world.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/game_field_effect.h"
#include "particle_system.h"
#include "platform/gfx/gl_window.h"
#include "board/view/scene_path_effect.h"
#include "board/task.h"
#include "platform/window.h"
#include "render_system.h"
#include "support/font_fixture.h"
#include "support/render_host.h"

namespace {

using boardtest::BoardWorld;

const int kWidth = 640;
const int kHeight = 640;

// The window's pixels as opaque RGBA.
std::vector<uint8_t> picture(BoardWorld& b) {
    std::vector<uint8_t> bgra;
    uint32_t width = 0, height = 0;
    EXPECT_TRUE(b.world.readBack(&bgra, &width, &height));
    std::vector<uint8_t> rgba(bgra.size());
    for (size_t i = 0; i + 3 < bgra.size(); i += 4) {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        rgba[i + 3] = 255;
    }
    return rgba;
}

// Mean absolute difference of two pictures inside a box, per channel.
double boxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int left, int top, int right,
                     int bottom) {
    double sum = 0;
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            for (int c = 0; c < 3; ++c) sum += std::abs(int(a[(size_t(y) * kWidth + x) * 4 + c]) - int(b[(size_t(y) * kWidth + x) * 4 + c]));
            count += 3;
        }
    }
    return sum / count;
}

// A loaded 9x9 level in a real window: the board settled, then the bomb in
// column 4, row 5 goes off with its 3x3 area, bending the picture around it
// while the shards fly, and the board after it.
TEST(BoardScreenshot, BombGoesOffOverTheSettledBoard) {
    qvtest::keepDriverLoaded();
    BoardWorld board(qvtest::HostDevice::OpenGL, kWidth, kHeight);
    if (!board.ready()) GTEST_SKIP() << "no OpenGL window here: " << QV::Platform::Window::lastError();
    QV::RenderSystem* render = board.world.render();
    ASSERT_EQ(render->createDistortionProgram(QV::RenderSystem::kDistortionPixelShader), 0);
    render->setClearColor(QV::Color::fromBytes(24, 26, 52, 255));
    fixBoardPerformanceCounter(7);
    board.load("level_board_lua");
    releaseBoardPerformanceCounter();
    // The board spans 32..608 both ways: row 1 at the top.
    board.renderer->camera.x = 32.0f;
    board.renderer->camera.y = -32.0f;
    board.settleCells();
    board.run(1.5f);  // the highlight wave has passed

    board.world.frame([&] { board.renderer->draw(); });  // uploads the pictures
    board.world.frame([&] { board.renderer->draw(); });
    const std::vector<uint8_t> before = picture(board);
    std::string mismatch = qvtest::compareWithExpected("board_before.png", before, kWidth, kHeight, 8, 200);
    EXPECT_TRUE(mismatch.empty()) << mismatch;

    // The particles' random numbers repeat from here.
    std::srand(7);
    // The bomb and its neighbours, as its blast takes them.
    Chip* bomb = board.field->cellAt(4, 5)->chip;
    ASSERT_NE(bomb, nullptr);
    bomb->destroy(board.field.get(), false, true);
    for (int r = 4; r <= 6; ++r) {
        for (int c = 3; c <= 5; ++c) {
            Cell* cell = board.field->cellAt(c, r);
            if (cell && cell->chip && !cell->chip->destroyed) cell->chip->destroy(board.field.get(), false, true);
        }
    }
    ASSERT_EQ(board.renderer->getDistortions().size(), 1u);
    board.run(0.2f);
    board.world.frame([&] { board.renderer->draw(); });
    const std::vector<uint8_t> during = picture(board);
    mismatch = qvtest::compareWithExpected("board_during.png", during, kWidth, kHeight, 24, 2500);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
    // The same moment with the bend switched off: only the blast's
    // surroundings differ.
    board.renderer->distortionAlpha = 0.0f;
    board.world.frame([&] { board.renderer->draw(); });
    const std::vector<uint8_t> flat = picture(board);
    board.renderer->distortionAlpha = 1.0f;
    EXPECT_GT(boxDifference(during, flat, 240, 240, 400, 400), 2.0);
    EXPECT_LT(boxDifference(during, flat, 32, 32, 160, 160), 0.01);

    board.run(1.0f);
    EXPECT_TRUE(board.renderer->getDistortions().empty());
    board.world.frame([&] { board.renderer->draw(); });
    const std::vector<uint8_t> after = picture(board);
    mismatch = qvtest::compareWithExpected("board_after.png", after, kWidth, kHeight, 8, 200);
    EXPECT_TRUE(mismatch.empty()) << mismatch;

    // Far from the blast nothing moved.
    EXPECT_LT(boxDifference(before, after, 32, 32, 160, 160), 1.0);
}

// The same board with a colour bomb, played: a swap sends its orb over every
// red chip in reading order; reaching the bomb at (4,5) sets it off, so the
// orb flies on over a bent picture. Afterwards the board falls and refills.
TEST(BoardScreenshot, SwapSendsTheColourBombsOrbOverTheBoard) {
    qvtest::keepDriverLoaded();
    BoardWorld board(qvtest::HostDevice::OpenGL, kWidth, kHeight, {{"level_swap_lua", "level_swap.lua"}});
    if (!board.ready()) GTEST_SKIP() << "no OpenGL window here: " << QV::Platform::Window::lastError();
    QV::RenderSystem* render = board.world.render();
    ASSERT_EQ(render->createDistortionProgram(QV::RenderSystem::kDistortionPixelShader), 0);
    render->setClearColor(QV::Color::fromBytes(24, 26, 52, 255));
    fixBoardPerformanceCounter(7);
    // The refill's sequence is drawn before the level seeds: start from a known state.
    seedBoardRandom();
    board.load("level_swap_lua");
    board.renderer->camera.x = 32.0f;
    board.renderer->camera.y = -32.0f;
    const float dt = 1.0f / 60.0f;
    auto frame = [&] {
        board.particles.system->advance(dt);
        board.field->update(dt);
        board.renderer->update(dt);
    };
    for (int i = 0; i < 150; ++i) frame();  // entry, highlight and settling
    board.world.frame([&] { board.renderer->draw(); });
    board.world.frame([&] { board.renderer->draw(); });
    std::string mismatch =
        qvtest::compareWithExpected("board_swap_before.png", picture(board), kWidth, kHeight, 8, 200);
    EXPECT_TRUE(mismatch.empty()) << mismatch;

    std::srand(7);
    Chip* bomb = board.field->cellAt(4, 5)->chip;
    ASSERT_NE(bomb, nullptr);
    board.field->onCellClicked(2, 5);
    board.field->onCellClicked(1, 5);
    int frames = 0;
    while (!bomb->destroyed && frames < 600) {
        frame();
        ++frames;
    }
    ASSERT_TRUE(bomb->destroyed);
    for (int i = 0; i < 12; ++i) frame();
    bool orbFlying = false;
    for (GameFieldEffect* effect : board.renderer->getEffects()->getEffects())
        orbFlying = orbFlying || dynamic_cast<ScenePathEffect*>(effect) != nullptr;
    EXPECT_TRUE(orbFlying);
    EXPECT_FALSE(board.renderer->getDistortions().empty());
    board.world.frame([&] { board.renderer->draw(); });
    mismatch = qvtest::compareWithExpected("board_swap_during.png", picture(board), kWidth, kHeight, 24, 2500);
    EXPECT_TRUE(mismatch.empty()) << mismatch;

    for (int i = 0; i < 600 && (board.field->taskManager->size() > 0 || board.field->hasEmptyOrMovingCell()); ++i)
        frame();
    for (int i = 0; i < 120; ++i) frame();
    releaseBoardPerformanceCounter();
    EXPECT_EQ(board.field->taskManager->size(), 0u);
    // The orb played its end and left; only the level's highlight effects stay.
    for (GameFieldEffect* effect : board.renderer->getEffects()->getEffects())
        EXPECT_EQ(dynamic_cast<ScenePathEffect*>(effect), nullptr);
    board.world.frame([&] { board.renderer->draw(); });
    mismatch = qvtest::compareWithExpected("board_swap_after.png", picture(board), kWidth, kHeight, 8, 200);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
}

// Mean absolute difference per channel of two square boxes of side 2 * half + 1,
// centred on (ax, ay) in a and on (bx, by) in b.
double boxesDifference(const std::vector<uint8_t>& a, int ax, int ay, const std::vector<uint8_t>& b, int bx, int by,
                       int half) {
    double sum = 0;
    int count = 0;
    for (int dy = -half; dy <= half; ++dy) {
        for (int dx = -half; dx <= half; ++dx) {
            const size_t i = (size_t(ay + dy) * kWidth + size_t(ax + dx)) * 4;
            const size_t j = (size_t(by + dy) * kWidth + size_t(bx + dx)) * 4;
            for (int c = 0; c < 3; ++c) sum += std::abs(int(a[i + c]) - int(b[j + c]));
            count += 3;
        }
    }
    return sum / count;
}

// Where the field says a chip is on the screen (a tutorial's pointer goes
// there) is where the renderer draws it, whatever the renderer's camera.
TEST(BoardScreenshot, CellToScreenFollowsTheRenderersCamera) {
    qvtest::keepDriverLoaded();
    BoardWorld board(qvtest::HostDevice::OpenGL, kWidth, kHeight);
    if (!board.ready()) GTEST_SKIP() << "no OpenGL window here: " << QV::Platform::Window::lastError();
    board.world.render()->setClearColor(QV::Color::fromBytes(24, 26, 52, 255));
    fixBoardPerformanceCounter(7);
    board.load("level_board_lua");
    releaseBoardPerformanceCounter();
    board.settleCells();
    board.run(1.5f);
    const std::pair<int, int> cells[] = {{1, 1}, {4, 5}, {7, 8}, {8, 2}};
    auto shot = [&](float x, float y, std::vector<QV::Vector2<float>>* points) {
        board.renderer->camera.x = x;
        board.renderer->camera.y = y;
        points->clear();
        for (const auto& cell : cells) {
            const Chip* chip = board.field->cellAt(cell.first, cell.second)->chip;
            EXPECT_NE(chip, nullptr);
            points->push_back(board.field->cellToScreen(chip ? chip->position : QV::Vector2<float>()));
        }
        board.world.frame([&] { board.renderer->draw(); });
        board.world.frame([&] { board.renderer->draw(); });
        return picture(board);
    };
    std::vector<QV::Vector2<float>> at, moved;
    const std::vector<uint8_t> first = shot(32.0f, -32.0f, &at);
    const std::vector<uint8_t> second = shot(53.0f, -45.0f, &moved);
    for (size_t i = 0; i < at.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(moved[i].x - at[i].x, 21.0f);
        EXPECT_FLOAT_EQ(moved[i].y - at[i].y, -13.0f);
        const int ax = int(at[i].x), ay = int(at[i].y), mx = int(moved[i].x), my = int(moved[i].y);
        // The same piece of the chip under both points; the picture did move.
        EXPECT_LT(boxesDifference(first, ax, ay, second, mx, my, 8), 0.5);
        EXPECT_GT(boxesDifference(first, ax, ay, second, ax, ay, 8), 4.0);
    }
}

}  // namespace

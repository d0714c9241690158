#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "board_random.h"
#include "board_world.h"
#include "cell.h"
#include "chip.h"
#include "platform/gfx/gl_window.h"
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

}  // namespace

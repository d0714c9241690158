// A fusion drawn in a real window: a red bomb swapped with a green horizontal
// wave slides onto it, the green diagonal super wave takes its cell with its
// glow, and goes off 1.2 s later.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "board/board_random.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/plain_mode.h"
#include "board/task.h"
#include "game/board/view/board_world.h"
#include "game_helpers/bonus_chip_helper.h"
#include "platform/window.h"
#include "render_system.h"
#include "support/font_fixture.h"
#include "support/render_host.h"

namespace {

using boardtest::BoardWorld;

const int kWidth = 640;
const int kHeight = 640;

// The plain mode with the bonus-chip rules answering the board.
class FusionMode : public PlainMode {
public:
    bool createBonusChip(MatchLines& match) override { return rules && rules->createBonusChipFromMatch(match); }
    bool tryFuseBonusChips(Chip* a, Chip* b) override { return rules && rules->tryFuseBonusChips(a, b); }
    BonusChipHelper* rules = nullptr;
};

struct FusionHost : boardtest::TestHost {
    Mode* mode() override { return current; }
    int openDialogCount() override { return dialogs; }
    void increaseDialogCount() override { ++dialogs; }
    void decreaseDialogCount() override {
        if (dialogs > 0) --dialogs;
    }
    Mode* current = nullptr;
    int dialogs = 0;
};

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

// The board of a level in a real window with the bonus-chip rules answering it.
struct RulesBoard {
    explicit RulesBoard(const std::string& levelFile)
        : board(qvtest::HostDevice::OpenGL, kWidth, kHeight,
                {{"chip_prototypes_lua", "chip_prototypes_fusion.lua"}, {"level_lua", levelFile}}) {}

    bool start() {
        if (!board.ready()) return false;
        QV::RenderSystem* render = board.world.render();
        EXPECT_EQ(render->createDistortionProgram(QV::RenderSystem::kDistortionPixelShader), 0);
        render->setClearColor(QV::Color::fromBytes(24, 26, 52, 255));
        rules = std::make_unique<BonusChipHelper>(&mode, [this]() { return board.field.get(); });
        mode.rules = rules.get();
        host.current = &mode;
        board.chips = std::make_unique<ChipManager>();
        board.field = std::make_unique<GameField>(&host);
        board.renderer = std::make_unique<GameFieldRenderer>(board.field.get());
        board.field->renderer = board.renderer.get();
        fixBoardPerformanceCounter(7);
        seedBoardRandom();
        board.load("level_lua");
        board.renderer->camera.x = 32.0f;
        board.renderer->camera.y = -32.0f;
        for (int i = 0; i < 150; ++i) frame();  // entry, highlight and settling
        // The particles' random numbers repeat from here.
        std::srand(7);
        return true;
    }

    void frame() {
        const float dt = 1.0f / 60.0f;
        board.particles.system->advance(dt);
        rules->update(dt);
        board.field->update(dt);
        board.renderer->update(dt);
    }

    std::string shot(const std::string& name, int tolerance, size_t differing) {
        board.world.frame([&] { board.renderer->draw(); });
        return qvtest::compareWithExpected(name, picture(board), kWidth, kHeight, tolerance, differing);
    }

    ~RulesBoard() { releaseBoardPerformanceCounter(); }

    // The board's host and mode outlive the board.
    FusionHost host;
    FusionMode mode;
    BoardWorld board;
    std::unique_ptr<BonusChipHelper> rules;
};

TEST(BonusChipScreenshot, FusedChipGlowsThenGoesOff) {
    qvtest::keepDriverLoaded();
    RulesBoard b("level_fusion.lua");
    if (!b.start()) GTEST_SKIP() << "no OpenGL window here: " << QV::Platform::Window::lastError();
    BoardWorld& board = b.board;
    board.field->onCellClicked(3, 4);
    board.field->onCellClicked(4, 4);
    ASSERT_EQ(board.field->taskManager->size(), 1u);
    ASSERT_EQ(board.field->taskManager->tasks[0]->getType(), 1);
    // Half way: the bomb slides over the wave.
    for (int i = 0; i < 8; ++i) b.frame();
    board.world.frame([&] { board.renderer->draw(); });  // uploads the pictures
    std::string mismatch = b.shot("fusion_sliding.png", 8, 300);
    EXPECT_TRUE(mismatch.empty()) << mismatch;

    // The fused chip with its glow, half way through its fuse.
    for (int i = 0; i < 40; ++i) b.frame();
    Chip* fused = board.field->cellAt(4, 4)->chip;
    ASSERT_NE(fused, nullptr);
    EXPECT_TRUE(fused->hasBehavior(kSuperWaveDSide));
    EXPECT_EQ(fused->group, 1);
    EXPECT_GT(fused->detonating, 0);
    mismatch = b.shot("fusion_fused.png", 8, 300);
    EXPECT_TRUE(mismatch.empty()) << mismatch;

    // It goes off: its lines sweep out across the board.
    int frames = 0;
    while (!fused->destroyed && frames < 120) {
        b.frame();
        ++frames;
    }
    ASSERT_TRUE(fused->destroyed);
    for (int i = 0; i < 9; ++i) b.frame();
    mismatch = b.shot("fusion_going_off.png", 24, 2500);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
    EXPECT_EQ(b.host.dialogs, 0);
}

// A red row of four closing in: the ring of the merge scene shrinks onto the
// key cell while the chips slide, and flashes as the wave appears.
TEST(BonusChipScreenshot, MergeClosesInAndFlashes) {
    qvtest::keepDriverLoaded();
    RulesBoard b("level_merge.lua");
    if (!b.start()) GTEST_SKIP() << "no OpenGL window here: " << QV::Platform::Window::lastError();
    BoardWorld& board = b.board;
    board.field->onCellClicked(3, 7);
    board.field->onCellClicked(3, 8);
    int frames = 0;
    while (!b.rules->isFusing() && frames < 60) {
        b.frame();
        ++frames;
    }
    ASSERT_TRUE(b.rules->isFusing());
    EXPECT_EQ(b.host.dialogs, 1);
    for (int i = 0; i < 8; ++i) b.frame();
    board.world.frame([&] { board.renderer->draw(); });  // uploads the pictures
    std::string mismatch = b.shot("merge_closing.png", 8, 300);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
    while (b.rules->isFusing() && frames < 120) {
        b.frame();
        ++frames;
    }
    for (int i = 0; i < 3; ++i) b.frame();
    Chip* wave = board.field->cellAt(3, 8)->chip;
    ASSERT_NE(wave, nullptr);
    EXPECT_TRUE(wave->hasBehavior(kWaveHor));
    EXPECT_EQ(b.host.dialogs, 0);
    mismatch = b.shot("merge_flash.png", 8, 300);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
}

}  // namespace

// The colour bomb's orb over a drawn board: its flight from chip to chip in
// the renderer's effect list, a broken orb scene, and a board without its
// tile explosion.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "board_world.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/color_destroyer_task.h"
#include "board/game_field_effect.h"
#include "log_system.h"
#include "board/view/scene_path_effect.h"
#include "board/task.h"

namespace {

using boardtest::BoardWorld;

constexpr float kDt = 1.0f / 60.0f;

void frame(BoardWorld& b) {
    for (Chip* chip : b.chips->pool) chip->hitThisFrame = 0;
    b.field->taskManager->update(kDt);
    b.run(kDt, kDt);
}

ScenePathEffect* orb(BoardWorld& b) {
    for (GameFieldEffect* effect : b.renderer->getEffects()->getEffects())
        if (auto* path = dynamic_cast<ScenePathEffect*>(effect)) return path;
    return nullptr;
}

TEST(ColorFlight, OrbFliesToEachChipOfItsColourAndDestroysItOnArrival) {
    BoardWorld b;
    ASSERT_TRUE(b.ready());
    b.load();
    b.settleCells();
    const float cs = float(b.field->cellSize);
    Chip* bomb = b.field->cellAt(4, 5)->chip;
    Chip* first = b.field->cellAt(0, 1)->chip;   // the first red chip in reading order
    Chip* second = b.field->cellAt(6, 1)->chip;  // the next one
    ASSERT_EQ(first->group, 0);
    ASSERT_EQ(second->group, 0);
    b.field->taskManager->addTask(new ColorDestroyerTask(b.field.get(), bomb, 0));

    frame(b);
    ScenePathEffect* flight = orb(b);
    ASSERT_NE(flight, nullptr);
    EXPECT_FLOAT_EQ(flight->getSpeed(), 900.0f);  // the scene's "#speed:" node
    EXPECT_FLOAT_EQ(flight->getTarget().x, 0.5f * cs);
    EXPECT_FLOAT_EQ(flight->getTarget().y, 1.5f * cs);

    // Arrives in the frame whose step covers the rest; the chip goes in the next frame's task pass.
    const float distance = std::hypot(4.0f * cs, 4.0f * cs);
    const int arrival = int(std::ceil(distance / (900.0f * kDt) - 1e-3f));
    int destroyedAt = 0;
    for (int f = 2; f <= arrival + 3 && !destroyedAt; ++f) {
        frame(b);
        if (first->destroyed) destroyedAt = f;
    }
    EXPECT_EQ(destroyedAt, arrival + 1);
    EXPECT_FALSE(second->destroyed);
    EXPECT_FLOAT_EQ(flight->getTarget().x, 6.5f * cs);

    // The rest of the colour, then the orb plays its end and leaves the list.
    for (int f = 0; f < 2000 && b.field->taskManager->size() > 0; ++f) frame(b);
    EXPECT_EQ(b.field->taskManager->size(), 0u);
    for (int row = 1; row <= b.field->gridHeight; ++row)
        for (int column = 0; column < b.field->gridWidth; ++column) {
            const Chip* chip = b.field->cellAt(column, row)->chip;
            if (chip && chip->hasBehavior(kSimple)) {
                EXPECT_NE(chip->group, 0) << column << "," << row;
            }
        }
    for (int f = 0; f < 120 && orb(b); ++f) frame(b);
    EXPECT_EQ(orb(b), nullptr);
}

TEST(ColorFlight, OrbSceneWithoutAMarkerIsAFatalErrorNamingIt) {
    BoardWorld b(qvtest::HostDevice::Recording, 640, 704, {{"color_fly_effect_xml", "fly_without_point.xml"}});
    ASSERT_TRUE(b.ready());
    b.load();
    Chip* bomb = b.field->cellAt(4, 5)->chip;
    b.field->taskManager->addTask(new ColorDestroyerTask(b.field.get(), bomb, 0));
    try {
        b.field->taskManager->update(kDt);
        FAIL() << "no fatal error";
    } catch (const BoardFatalError& e) {
        EXPECT_NE(e.description.find("color_fly_effect_xml"), std::string::npos);
        EXPECT_NE(e.description.find("'point'"), std::string::npos);
    }
}

struct KeptLines : QV::LogStream {
    void write(const std::string& message) override { lines.push_back(message); }
    int kind() const override { return 8; }
    std::vector<std::string> lines;
};

TEST(ColorFlight, BoardWithoutTileExplosionFileLogsOnceAndWearsTilesQuietly) {
    auto* kept = new KeptLines();
    auto log = std::make_unique<QV::LogSystem>();
    for (QV::LogStream* stream : log->streams()) delete stream;
    log->streams().assign(1, kept);
    int found = 0;
    {
        BoardWorld b(qvtest::HostDevice::Recording, 640, 704, {}, {"explosion_orange_tile_fx"});
        ASSERT_TRUE(b.ready());
        b.load("level_tiles_lua");
        Cell* tile = nullptr;
        for (auto& line : b.field->rows)
            for (Cell& cell : line)
                if (!tile && cell.solidity > 1) tile = &cell;
        ASSERT_NE(tile, nullptr);
        const int before = tile->solidity;
        b.field->damageCell(tile);
        EXPECT_EQ(tile->solidity, before - 1);
    }
    for (const std::string& line : kept->lines) found += line.find("explosion_orange_tile_fx") != std::string::npos;
    EXPECT_EQ(found, 1);
}

}  // namespace

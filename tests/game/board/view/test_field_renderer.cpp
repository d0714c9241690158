#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "animation.h"
#include "board_world.h"
#include "board/chip.h"
#include "board/drawable.h"
#include "board/view/field_effects.h"
#include "board/game_field_effect.h"
#include "render_system.h"

namespace {

using boardtest::BoardWorld;

// One drawn quad: its top-left corner in pixels and its texture rectangle's
// top-left in texture units.
struct Quad {
    float x, y, u, v;
    int alpha;
};

std::vector<Quad> quads(const std::vector<qvtest::DrawnVertex>& vertices) {
    std::vector<Quad> out;
    for (size_t i = 0; i + 3 < vertices.size(); i += 4) {
        Quad q{1e9f, 1e9f, 1e9f, 1e9f, vertices[i].colour.a};
        for (size_t k = i; k < i + 4; ++k) {
            q.x = std::min(q.x, vertices[k].position.x);
            q.y = std::min(q.y, vertices[k].position.y);
            q.u = std::min(q.u, vertices[k].uv.x);
            q.v = std::min(q.v, vertices[k].uv.y);
        }
        out.push_back(q);
    }
    return out;
}

// Picture names of board_tiles.png by the left of their rectangle in row 0.
const char* tileName(const Quad& q) {
    if (q.v >= 0.2f) return q.v < 0.45f ? "blind" : "?";
    static const char* const names[] = {"cell_a", "cell_b", "tile1_a", "tile1_b", "tile2_a", "tile2_b",
                                        "shadow", "shadow"};
    return names[std::min(7, int(q.u * 8.0f + 0.01f))];
}

// Every picture drawn per cell, "column,row" -> names in drawing order.
std::map<std::string, std::vector<std::string>> drawnTiles(BoardWorld& b) {
    std::map<std::string, std::vector<std::string>> cells;
    b.world.frame([&] {
        b.renderer->draw();
        for (const Quad& q : quads(b.world.flushBatch())) {
            const std::string key = std::to_string(int(q.x + 0.5f) / 64) + "," + std::to_string(int(q.y + 0.5f) / 64);
            cells[key].push_back(tileName(q));
        }
    });
    return cells;
}

class FieldRenderer : public testing::Test {
protected:
    BoardWorld board;
};

TEST_F(FieldRenderer, TilesAlternateShadowsFallOnlyUnderSolidCellsBelowRowOne) {
    board.load("level_tiles_lua");
    board.settleCells();
    std::map<std::string, std::vector<std::string>> cells = drawnTiles(board);
    for (int r = 1; r <= 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            const std::string key = std::to_string(c) + "," + std::to_string(r);
            const std::vector<std::string>& got = cells[key];
            SCOPED_TRACE(key);
            const bool odd = (r * 9 + c) % 2 == 1;
            if (key == "3,5" || key == "8,9") {
                EXPECT_EQ(got, std::vector<std::string>{"shadow"});
            } else if (key == "0,1" || key == "3,6") {
                EXPECT_TRUE(got.empty());
            } else if (key == "5,2") {
                EXPECT_EQ(got, (std::vector<std::string>{odd ? "tile1_b" : "tile1_a", "blind"}));
            } else if (key == "6,2") {
                EXPECT_EQ(got, (std::vector<std::string>{odd ? "tile2_b" : "tile2_a", "blind"}));
            } else {
                // Nine columns: neighbours in a row and in a column differ.
                EXPECT_EQ(got, std::vector<std::string>{odd ? "cell_b" : "cell_a"});
            }
        }
    }
    // Row 0 is never drawn.
    for (int c = 0; c < 9; ++c) EXPECT_TRUE(cells[std::to_string(c) + ",0"].empty());
}

TEST_F(FieldRenderer, BoardOpacityReachesEveryTile) {
    board.load("level_tiles_lua");
    board.settleCells();
    board.host.opacity = 0.5f;
    board.world.frame([&] {
        board.renderer->draw();
        const std::vector<Quad> drawn = quads(board.world.flushBatch());
        ASSERT_FALSE(drawn.empty());
        for (const Quad& q : drawn) EXPECT_EQ(q.alpha, 127);
    });
}

TEST_F(FieldRenderer, SolidityBeyondTheTileSetsStopsTheLoadNamingTheCell) {
    try {
        board.load("level_too_strong_lua");
        FAIL() << "loaded";
    } catch (const BoardFatalError& e) {
        EXPECT_NE(e.description.find("(3, 2)"), std::string::npos) << e.description;
        EXPECT_NE(e.description.find("solidity 4"), std::string::npos) << e.description;
    }
}

// A drawable that notes when it is drawn.
struct Noting : Drawable {
    Noting(int layer, std::vector<int>* log) : Drawable(layer), log(log) {}
    void draw(int x, int y) override {
        log->push_back(layer);
        lastX = x;
        lastY = y;
    }
    Drawable* clone() const override { return new Noting(layer, log); }
    std::vector<int>* log;
    int lastX = 0, lastY = 0;
};

TEST_F(FieldRenderer, QueueDrawsByAscendingLayerAndEmpties) {
    board.load("level_tiles_lua");
    std::vector<int> order;
    Noting high(5, &order), low(-1, &order), mid(3, &order);
    auto* free = new Noting(2, &order);
    board.field->freeDrawables.push_back(FreeDrawable{free, 10.7f, 20.2f, 2});
    board.host.opacity = 0.25f;
    board.world.frame([&] {
        board.renderer->queueDrawable(&high, 1.9f, 2.0f);
        board.renderer->queueDrawable(&low, 0.0f, 0.0f);
        board.renderer->queueDrawable(&mid, 0.0f, 0.0f);
        board.renderer->draw();
    });
    EXPECT_EQ(order, (std::vector<int>{-1, 2, 3, 5}));
    EXPECT_EQ(high.lastX, 1);
    EXPECT_EQ(free->lastX, 10);
    EXPECT_EQ(free->lastY, 20);
    EXPECT_FLOAT_EQ(free->opacity, 0.25f);
    EXPECT_TRUE(board.renderer->getQueue().empty());
}

TEST_F(FieldRenderer, BlindTileRestartsOnceItsPeriodIsExceeded) {
    board.load("level_tiles_lua");
    QV::Animation* blind = board.renderer->getBlindTileAnimation();
    board.run(1.0f, 0.25f);
    EXPECT_FALSE(blind->isRunning());
    board.run(4.0f, 0.25f);  // exactly the period: not yet
    EXPECT_FLOAT_EQ(board.renderer->getBlindTileTimer(), 5.0f);
    EXPECT_FALSE(blind->isRunning());
    board.run(0.25f, 0.25f);
    EXPECT_FLOAT_EQ(board.renderer->getBlindTileTimer(), 0.0f);
    EXPECT_TRUE(blind->isRunning());
    EXPECT_FLOAT_EQ(blind->mTime, 0.25f);
}

TEST_F(FieldRenderer, HighlightStartsCellByCellOneIntervalPerStep) {
    board.load("level_board_lua");
    const float interval = 0.06f;  // the "#interval:" of our highlight scene
    std::map<std::string, const TileChipEffect*> byCell;
    for (GameFieldEffect* effect : board.renderer->getEffects()->getEffects()) {
        auto* tile = dynamic_cast<const TileChipEffect*>(effect);
        ASSERT_NE(tile, nullptr);
        byCell[std::to_string(tile->getCell()->column) + "," + std::to_string(tile->getCell()->row)] = tile;
    }
    EXPECT_EQ(byCell.size(), 9u * 9u - 2u);  // every solid cell, not the holes
    EXPECT_EQ(byCell.count("0,3"), 0u);
    auto started = [&](const char* key) { return byCell.at(key)->isStarted(); };
    board.run(0.01f, 0.01f);
    EXPECT_TRUE(started("0,1"));
    EXPECT_TRUE(started("0,9"));
    EXPECT_FALSE(started("4,1"));
    board.run(interval, 0.01f);
    EXPECT_TRUE(started("4,1"));
    EXPECT_FALSE(started("3,5"));
    board.run(2 * interval, 0.01f);
    EXPECT_TRUE(started("3,5"));
    EXPECT_FALSE(started("4,4"));
}

TEST_F(FieldRenderer, DistortionsGrowAndLeaveOnlyBelowZero) {
    board.load("level_tiles_lua");
    DistortionRecord first;
    first.x = 100;
    first.y = 50;
    first.scaleX = first.scaleY = 0.1f;
    first.duration = first.timeLeft = 0.5f;
    DistortionRecord second = first;
    second.x = 300;
    board.renderer->addDistortion(first);
    board.renderer->addDistortion(second);
    board.renderer->update(0.25f);
    ASSERT_EQ(board.renderer->getDistortions().size(), 2u);
    EXPECT_FLOAT_EQ(board.renderer->getDistortions()[0].scaleX, 1.1f);
    EXPECT_FLOAT_EQ(board.renderer->getDistortions()[1].x, 300.0f);
    board.renderer->update(0.25f);
    ASSERT_EQ(board.renderer->getDistortions().size(), 2u);  // exactly 0 left: one more frame
    EXPECT_FLOAT_EQ(board.renderer->getDistortions()[0].timeLeft, 0.0f);
    board.renderer->update(0.01f);
    EXPECT_TRUE(board.renderer->getDistortions().empty());

    DistortionRecord bad = first;
    bad.kind = 2;
    board.renderer->addDistortion(bad);
    EXPECT_THROW(board.renderer->update(0.01f), BoardFatalError);
}

TEST_F(FieldRenderer, DistortionPassDrawsIntoTheDistortionTarget) {
    board.load("level_tiles_lua");
    QV::RenderSystem* render = board.world.render();
    ASSERT_TRUE(render->isPixelShaderSupported());
    DistortionRecord record;
    record.x = 200;
    record.y = 200;
    record.scaleX = record.scaleY = 1.0f;
    record.duration = record.timeLeft = 0.5f;
    board.renderer->addDistortion(record);
    board.world.frame([&] {
        board.world.flushBatch();
        board.renderer->drawDistortions();
        // The normal map went into the distortion target, not the scene.
        EXPECT_TRUE(board.world.flushBatch().empty());
    });
    EXPECT_EQ(board.renderer->getDistortions().size(), 1u);
}

TEST_F(FieldRenderer, TorchesFlickerInsideTheirCellEveryHalfToThreeQuartersOfASecond) {
    board.load("level_tiles_lua");
    QV::Vector2<float> torch(2.0f, 3.0f);
    board.field->torchPoints.push_back(&torch);
    board.renderer->camera.x = 5.0f;
    board.renderer->camera.y = 7.0f;
    const float dt = 1.0f / 60.0f;
    const float cs = float(board.field->cellSize);
    int spawned = 0;
    for (int frame = 0; frame < 180; ++frame) {
        board.renderer->update(dt);
        const std::vector<DistortionRecord>& records = board.renderer->getDistortions();
        // A new one is the last, one frame old.
        if (records.empty() || std::fabs(records.back().duration - records.back().timeLeft - dt) > 1e-4f) continue;
        const DistortionRecord& record = records.back();
        ++spawned;
        EXPECT_EQ(record.kind, 1);
        EXPECT_GE(record.duration, 1.0f);
        EXPECT_LE(record.duration, 1.5f);
        EXPECT_GE(record.x, 5.0f + cs * 2.0f);
        EXPECT_LE(record.x, 5.0f + cs * 3.0f);
        EXPECT_FLOAT_EQ(record.y, 7.0f + cs * 3.0f);
        // Born at 0.25 to 0.45, grown by one frame.
        EXPECT_GE(record.scaleX, 0.25f);
        EXPECT_LE(record.scaleX, 0.45f + 0.25f * dt + 1e-5f);
        EXPECT_GE(record.scaleY, 0.25f);
        EXPECT_LE(record.scaleY, 0.45f + 0.25f * dt + 1e-5f);
    }
    board.field->torchPoints.clear();
    // Three seconds, a torch each 0.5 to 0.75 s (31 to 46 frames), the first within 0.75 s.
    EXPECT_GE(spawned, 3);
    EXPECT_LE(spawned, 6);
}

// Ring pieces drawn by one freezing ring's draw, as cell keys.
std::vector<std::string> ringPieces(BoardWorld& b, FreezingRingEffect& ring) {
    std::vector<std::string> cells;
    b.world.frame([&] {
        b.world.flushBatch();
        ring.draw();
        const std::vector<qvtest::DrawnVertex> vertices = b.world.flushBatch();
        for (size_t i = 0; i + 3 < vertices.size(); i += 4) {
            float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
            for (size_t k = i; k < i + 4; ++k) {
                x0 = std::min(x0, vertices[k].position.x);
                y0 = std::min(y0, vertices[k].position.y);
                x1 = std::max(x1, vertices[k].position.x);
                y1 = std::max(y1, vertices[k].position.y);
            }
            if (x1 - x0 < 0.5f || y1 - y0 < 0.5f) continue;  // an edge the ring only touches
            cells.push_back(std::to_string(int((x0 + x1) / 2) / 64) + "," + std::to_string(int((y0 + y1) / 2) / 64));
        }
    });
    std::sort(cells.begin(), cells.end());
    return cells;
}

TEST_F(FieldRenderer, FreezingRingSkipsHolesAndIcedChipsAndFades) {
    board.load("level_board_lua");
    // Around the two holes of row 3.
    FreezingRingEffect nearHoles(board.field.get(), QV::Vector2<float>(1.5f, 3.5f), 1.0f);
    nearHoles.update(0.9f);
    EXPECT_EQ(ringPieces(board, nearHoles),
              (std::vector<std::string>{"0,2", "0,4", "1,2", "1,4", "2,2", "2,3", "2,4"}));
    // Around the iced chip in column 8, row 8.
    FreezingRingEffect nearIce(board.field.get(), QV::Vector2<float>(7.5f, 8.5f), 2.0f);
    nearIce.update(0.9f);
    const std::vector<std::string> pieces = ringPieces(board, nearIce);
    EXPECT_EQ(pieces.size(), 8u);
    EXPECT_EQ(std::count(pieces.begin(), pieces.end(), "8,8"), 0);
    EXPECT_FALSE(nearIce.finished);
    nearIce.update(0.3f);
    EXPECT_TRUE(nearIce.finished);
}

TEST(FieldEffectList, KeepsOneEntryOrdersByLayerAndDeletesTheFinished) {
    struct Counted : GameFieldEffect {
        Counted(int layer, int* alive, bool endAtUpdate) : GameFieldEffect(layer), alive(alive), end(endAtUpdate) {
            ++*alive;
        }
        ~Counted() override { --*alive; }
        void update(float) override { finished = end; ++updates; }
        void draw() override { ++draws; }
        int* alive;
        bool end;
        int updates = 0, draws = 0;
    };
    int alive = 0;
    GameFieldEffectList list;
    auto* low = new Counted(1, &alive, false);
    auto* high = new Counted(1000, &alive, false);
    auto* once = new Counted(50, &alive, true);
    list.add(low);
    list.add(high);
    list.add(low);
    list.add(once);
    ASSERT_EQ(list.getEffects().size(), 3u);
    EXPECT_EQ(list.getEffects()[0], high);
    EXPECT_EQ(list.getEffects()[2], low);
    list.update(0.1f);
    EXPECT_EQ(alive, 2);
    list.enabled = false;
    list.update(0.1f);
    list.draw();
    EXPECT_EQ(high->updates, 1);
    EXPECT_EQ(high->draws, 0);
    list.enabled = true;
    list.draw();
    EXPECT_EQ(high->draws, 1);
    list.clear();
    EXPECT_EQ(alive, 0);
}

}  // namespace

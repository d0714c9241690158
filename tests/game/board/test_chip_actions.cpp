// The chip actions: the text factory, bombs, waves, timers, goal chips at the
// floor, added layers and the colour bomb with its two tasks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "board/action.h"
#include "board/add_behavior_action.h"
#include "board/behavior.h"
#include "board/behavior_kind.h"
#include "board/board_fatal.h"
#include "board/board_tasks.h"
#include "board/boom_action.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/color_destroyer_action.h"
#include "board/color_destroyer_task.h"
#include "board/color_transformer_task.h"
#include "board/destroy_if_floor_is_reached.h"
#include "board/game_field.h"
#include "board/shake_back_field.h"
#include "support/board_fixture.h"
#include "board/task.h"
#include "board/wave_action.h"

namespace {

TEST(ActionTexts, FactoryReadsEveryKindAndRejectsNearMisses) {
    const struct {
        const char* text;
        const char* kind;  // "" for no action
        int mask;
        int super;
    } cases[] = {
        {"Boom", "boom", 0, 0},           {"SuperBoom", "boom", 0, 1},       {"Boom ", "", 0, 0},
        {"BoomX", "", 0, 0},              {"SuperBoomX", "", 0, 0},          {"WaveHor", "wave", 10, 0},
        {"WaveVer", "wave", 5, 0},        {"Cross", "wave", 15, 0},          {"WaveDiagonal", "wave", 16, 0},
        {"Star", "wave", 31, 0},          {"WaveFull", "wave", 31, 0},       {"SuperWaveHor", "wave", 10, 1},
        {"SuperWaveVer", "wave", 5, 1},   {"SuperCross", "wave", 15, 1},     {"SuperStar", "wave", 31, 1},
        {"WaveHorX", "", 0, 0},           {"CanNotBeDestoyed", "refuse", 0, 0},
        {"CanNotBeDestroyed", "", 0, 0},  {"DestroyIfFloorIsReached", "floor", 0, 0},
        {"ColorDestroyer", "colour", 0, 0}, {"AddBehavior:Chain", "add", kChain, 0},
        {"AddBehaviorWhatever:IceChip2", "add", kIceChip2, 0}, {"AddBehavior", "", 0, 0},
        {"DestroyTimer:2.5", "timer", 0, 0}, {"DestroyTimer", "", 0, 0},
        {"ShakeField:quake", "shake", 0, 0}, {"ShakeField", "", 0, 0},    {"", "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::unique_ptr<Action> action(Action::create(c.text));
        const std::string kind = c.kind;
        if (kind.empty()) {
            EXPECT_EQ(action, nullptr);
            continue;
        }
        ASSERT_NE(action, nullptr);
        std::unique_ptr<Action> copy(action->clone());
        if (kind == "boom") {
            auto* boom = dynamic_cast<BoomAction*>(copy.get());
            ASSERT_NE(boom, nullptr);
            EXPECT_EQ(boom->super, c.super);
        } else if (kind == "wave") {
            auto* wave = dynamic_cast<WaveAction*>(copy.get());
            ASSERT_NE(wave, nullptr);
            EXPECT_EQ(wave->mask, c.mask);
            EXPECT_EQ(wave->super, c.super);
        } else if (kind == "refuse") {
            EXPECT_NE(dynamic_cast<CanNotBeDestoyed*>(copy.get()), nullptr);
        } else if (kind == "floor") {
            EXPECT_NE(dynamic_cast<DestroyIfFloorIsReached*>(copy.get()), nullptr);
        } else if (kind == "colour") {
            EXPECT_NE(dynamic_cast<ColorDestroyer*>(copy.get()), nullptr);
        } else if (kind == "add") {
            auto* add = dynamic_cast<AddBehavior*>(copy.get());
            ASSERT_NE(add, nullptr);
            EXPECT_EQ(add->kind, c.mask);
        } else if (kind == "timer") {
            auto* timer = dynamic_cast<DestroyTimerAction*>(copy.get());
            ASSERT_NE(timer, nullptr);
            EXPECT_FLOAT_EQ(timer->timeLeft, 2.5f);
        } else if (kind == "shake") {
            auto* shake = dynamic_cast<ShakeBackField*>(copy.get());
            ASSERT_NE(shake, nullptr);
            EXPECT_EQ(shake->markerName, "quake");
        }
    }
}

// A 9x9 board without chips; tests put the chips they need.
class Actions : public ::testing::Test {
protected:
    void SetUp() override {
        world.prototypes(qvtest::plainPrototypes(
            "  { Name = \"SimpleBomb\", Behavior = { { Name = \"SimpleBomb\", MultipleColors = 1,"
            " OnDestroyActions = { \"Boom\" } } } },\n"
            "  { Name = \"SuperBomb\", Behavior = { { Name = \"SuperBomb\", MultipleColors = 1,"
            " OnDestroyActions = { \"SuperBoom\" } } } },\n"
            "  { Name = \"WaveHor\", Behavior = { { Name = \"WaveHor\", MultipleColors = 1,"
            " OnDestroyActions = { \"WaveHor\" } } } },\n"
            "  { Name = \"WaveVer\", Behavior = { { Name = \"WaveVer\", MultipleColors = 1,"
            " OnDestroyActions = { \"WaveVer\" } } } },\n"
            "  { Name = \"DestroyColor\", Behavior = { { Name = \"DestroyColor\", MultipleColors = 0,"
            " CanIterateWithGroup = 0, OnDestroyActions = { \"ColorDestroyer\" } } } },\n"
            "  { Name = \"Goal\", Behavior = { { Name = \"FallingLevelGoal\", MultipleColors = 0, LevelGoal = 1,"
            " OnIdleActions = { \"DestroyIfFloorIsReached\" } } } },\n"
            "  { Name = \"Timed\", Behavior = { { Name = \"Simple\", MultipleColors = 0,"
            " OnIdleActions = { \"DestroyTimer:2.5\" } } } },\n"
            "  { Name = \"Ice\", Behavior = { { Name = \"Simple\", MultipleColors = 1 },"
            " { Name = \"IceChip1\", MultipleColors = 1, OnDestroyActions = { \"AddBehavior:IceChip2\" } } } },\n"
            "  { Name = \"Ice2\", Behavior = { { Name = \"IceChip2\", MultipleColors = 1 } } },\n"));
        world.field("Parameters = { gridWidth = 9, gridHeight = 9, cellSize = 10 }");
        ASSERT_TRUE(world.level(
            "GameField = { Grid = { Cells = { { PosX = 5, PosY = 4, Solidity = 0 }, { PosX = 7, PosY = 9, Solidity = 0 } } },"
            " AvailableChips = { \"Simple_R\", \"Simple_G\", \"Simple_B\" } }"));
        field = world.board.get();
    }
    Chip* put(const std::string& name, int column, int row) {
        Chip* chip = world.chips->createChip(name, column, row);
        EXPECT_NE(chip, nullptr) << name;
        field->cellAt(column, row)->chip = chip;
        return chip;
    }
    // Every cell of the board holds a plain chip of the colour, except holes.
    void fill(const std::string& name) {
        for (int row = 1; row <= field->gridHeight; ++row)
            for (int column = 0; column < field->gridWidth; ++column)
                if (field->cellAt(column, row)->solidity > 0) put(name, column, row);
    }
    // Queued cells with their delay, in queue order (destroy and reduce tasks).
    std::vector<std::pair<std::pair<int, int>, float>> queued() const {
        std::vector<std::pair<std::pair<int, int>, float>> cells;
        for (Task* task : field->taskManager->tasks) {
            if (auto* destroy = dynamic_cast<DestroyChipTask*>(task)) {
                cells.push_back({{int(destroy->chip->position.x), int(destroy->chip->position.y)}, task->delay});
            } else if (auto* reduce = dynamic_cast<ReduceCellTask*>(task)) {
                cells.push_back({{reduce->cell->column, reduce->cell->row}, task->delay});
            }
        }
        return cells;
    }
    // Runs frames of dt, clearing the hit flags as the field's match step does.
    void frames(int count, float dt) {
        for (int i = 0; i < count; ++i) {
            for (Chip* chip : world.chips->pool) chip->hitThisFrame = 0;
            field->taskManager->update(dt);
        }
    }

    qvtest::BoardWorld world;
    GameField* field = nullptr;
};

TEST_F(Actions, BombsQueueTheirNeighboursAndShakeTheBoardButNotTheHiddenRow) {
    // Bottom-left: only three neighbours exist.
    Chip* corner = put("SimpleBomb_R", 0, 9);
    BoomAction(0).execute(field, corner, 0.0f);
    const auto small = queued();
    ASSERT_EQ(small.size(), 3u);
    EXPECT_EQ(small[0].first, std::make_pair(0, 8));
    EXPECT_EQ(small[1].first, std::make_pair(1, 8));
    EXPECT_EQ(small[2].first, std::make_pair(1, 9));
    for (const auto& cell : small) EXPECT_FLOAT_EQ(cell.second, 0.2f);
    EXPECT_FLOAT_EQ(field->suspendTime, 0.7f);
    field->taskManager->clear();

    // A super bomb in the middle: 12 cells two away after 0.4 s, then the 8 neighbours after 0.2 s.
    fill("Simple_G");
    Chip* bomb = put("SuperBomb_R", 4, 5);
    Chip* top = put("Simple_G", 4, 0);  // in the hidden row, three above
    BoomAction(1).execute(field, bomb, 0.0f);
    const auto big = queued();
    ASSERT_EQ(big.size(), 20u);
    std::set<std::pair<int, int>> far, near;
    for (size_t i = 0; i < big.size(); ++i) {
        EXPECT_FLOAT_EQ(big[i].second, i < 12 ? 0.4f : 0.2f);
        (i < 12 ? far : near).insert(big[i].first);
    }
    EXPECT_EQ(far.size(), 12u);
    EXPECT_EQ(near.size(), 8u);
    for (const auto& cell : far) {
        const int dx = std::abs(cell.first - 4), dy = std::abs(cell.second - 5);
        EXPECT_EQ(std::max(dx, dy), 2);
        EXPECT_FALSE(dx == 2 && dy == 2);
    }
    EXPECT_EQ(big[0].first, std::make_pair(3, 3));
    EXPECT_EQ(big[12].first, std::make_pair(3, 4));

    // The shake pushes away from the blast, hardest near it; corners and row 0 stay still.
    const float power = field->boomShakePower;
    Chip* right = field->cellAt(5, 5)->chip;
    EXPECT_NEAR(right->shakeAmplitude.x, std::sqrt(std::sqrt(18.0f) - 1.0f) * power, 1e-5f);
    EXPECT_NEAR(right->shakeAmplitude.y, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(right->shakeTimeLeft, field->boomShakeTime);
    EXPECT_FLOAT_EQ(right->shakePhaseSpan, 4.0f * float(M_PI));
    Chip* above = field->cellAt(4, 3)->chip;
    EXPECT_LT(above->shakeAmplitude.y, 0.0f);
    EXPECT_GT(std::fabs(right->shakeAmplitude.x), std::fabs(above->shakeAmplitude.y));
    EXPECT_NEAR(field->cellAt(1, 2)->chip->shakeAmplitude.x, 0.0f, 1e-3f);  // a corner, d = sqrt 18
    EXPECT_FLOAT_EQ(top->shakeTimeLeft, 0.0f);
    EXPECT_FLOAT_EQ(bomb->shakeTimeLeft, 0.0f);
}

TEST_F(Actions, WavesSpreadOutwardAlongTheirLinesAndSkipHolesForEffects) {
    // WaveHor at column 3, row 4: the row's hole at column 5 wears its tile but shows no effect.
    fill("Simple_G");
    Chip* wave = put("WaveHor_R", 3, 4);
    WaveAction(WaveAction::kLeft | WaveAction::kRight, 0).execute(field, wave, 0.0f);
    std::map<std::pair<int, int>, float> delays;
    for (const auto& cell : queued()) {
        EXPECT_EQ(cell.first.second, 4);
        EXPECT_TRUE(delays.emplace(cell.first, cell.second).second) << "queued twice";
    }
    EXPECT_EQ(delays.size(), 8u);
    EXPECT_EQ(delays.count({3, 4}), 0u);
    EXPECT_LT(delays[std::make_pair(4, 4)], delays[std::make_pair(5, 4)]);
    EXPECT_LT(delays[std::make_pair(2, 4)], delays[std::make_pair(1, 4)]);
    EXPECT_NEAR(delays[std::make_pair(8, 4)], 0.2f / 10.0f * std::hypot(8.0f - 3.5f, 9.0f - 4.5f), 1e-5f);
    std::map<std::pair<int, int>, int> effects;
    for (Task* task : field->taskManager->tasks)
        if (auto* spawn = dynamic_cast<SpawnEffectTask*>(task))
            effects[{spawn->cell->column, spawn->cell->row}] = spawn->effectIndex;
    EXPECT_EQ(effects.size(), 7u);
    EXPECT_EQ(effects.count({5, 4}), 0u);
    EXPECT_EQ(effects[std::make_pair(4, 4)], 1);  // k = 1
    EXPECT_EQ(effects[std::make_pair(6, 4)], 1);  // k = 3
    EXPECT_EQ(effects[std::make_pair(1, 4)], 0);  // k = 2
    EXPECT_FLOAT_EQ(field->suspendTime, 0.2f);
    field->taskManager->clear();

    // A super vertical wave also takes the cells beside the chip itself (k = 0), twice each.
    Chip* super = put("WaveVer_R", 2, 6);
    WaveAction(WaveAction::kUp | WaveAction::kDown, 1).execute(field, super, 0.0f);
    std::map<std::pair<int, int>, int> count;
    for (const auto& cell : queued()) ++count[cell.first];
    EXPECT_EQ(count[std::make_pair(1, 6)], 2);
    EXPECT_EQ(count[std::make_pair(3, 6)], 2);
    EXPECT_EQ(count[std::make_pair(2, 6)], 0);
    EXPECT_EQ(count[std::make_pair(1, 1)], 1);
    EXPECT_EQ(count[std::make_pair(3, 9)], 1);
    for (Task* task : field->taskManager->tasks)
        if (auto* spawn = dynamic_cast<SpawnEffectTask*>(task)) {
            EXPECT_GE(spawn->effectIndex, 2);
        }

    // The diagonals use the row point's distance and effects 4..7.
    field->taskManager->clear();
    WaveAction(WaveAction::kDiagonals, 0).execute(field, super, 0.0f);
    std::set<int> indices;
    for (Task* task : field->taskManager->tasks)
        if (auto* spawn = dynamic_cast<SpawnEffectTask*>(task)) indices.insert(spawn->effectIndex);
    EXPECT_EQ(indices, (std::set<int>{4, 5, 6, 7}));
}

TEST_F(Actions, WaveSetsOffABonusChipASecondAfterReachingIt) {
    Chip* wave = put("WaveHor_R", 1, 3);
    Chip* bomb = put("SimpleBomb_B", 3, 3);
    WaveAction(WaveAction::kLeft | WaveAction::kRight, 0).execute(field, wave, 0.0f);
    DestroyChipTask* found = nullptr;
    for (Task* task : field->taskManager->tasks)
        if (auto* destroy = dynamic_cast<DestroyChipTask*>(task))
            if (destroy->chip == bomb) found = destroy;
    ASSERT_NE(found, nullptr);
    const float reach = 0.2f / 10.0f * std::hypot(3.0f - 1.5f, 5.0f - 3.5f);
    EXPECT_NEAR(found->delay, reach + 1.0f, 1e-5f);
    EXPECT_EQ(bomb->detonating, 1);
    EXPECT_EQ(bomb->getProperty("destroyer").toChip(), wave);
}

TEST_F(Actions, TimerDestroysItsChipWhenTheTimeIsUsedUp) {
    Chip* timed = put("Timed", 2, 2);
    for (int frame = 1; frame <= 5; ++frame) {
        timed->hitThisFrame = 0;
        timed->behaviors.runIdleActions(field, timed, 0.5f);
        EXPECT_EQ(timed->destroyed != 0, frame == 5) << frame;
    }
}

TEST_F(Actions, GoalChipWaitsForASettledBoardAtTheFloorUnderALock) {
    Chip* high = put("Goal", 3, 2);
    Chip* low = put("Goal", 7, 8);  // only a hole below: the floor
    EXPECT_TRUE(high->behaviors.back()->onIdleActions.executeAll(field, high, 0.1f));
    EXPECT_EQ(field->taskManager->size(), 0u);

    auto* action = dynamic_cast<DestroyIfFloorIsReached*>(*low->behaviors.back()->onIdleActions.begin());
    ASSERT_NE(action, nullptr);
    field->unsettled = true;
    EXPECT_TRUE(action->execute(field, low, 0.1f));
    ASSERT_EQ(field->taskManager->size(), 1u);
    LockTask* lock = action->lockTask;
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(field->taskManager->update(0.1f));  // a lock blocks nothing but stays listed
    EXPECT_EQ(field->taskManager->size(), 1u);

    // A copy of a waiting action does not share its lock.
    std::unique_ptr<Action> copy(action->clone());
    EXPECT_EQ(dynamic_cast<DestroyIfFloorIsReached*>(copy.get())->lockTask, nullptr);

    field->unsettled = false;
    EXPECT_FALSE(action->execute(field, low, 0.1f));
    EXPECT_EQ(lock->released, 1);
    EXPECT_EQ(action->lockTask, nullptr);
    EXPECT_FLOAT_EQ(field->suspendTime, 0.3f);
    field->taskManager->update(0.1f);
    EXPECT_EQ(field->taskManager->size(), 0u);

    // Through the idle rule the chip goes, every layer forced off.
    low->behaviors.runIdleActions(field, low, 0.1f);
    ASSERT_EQ(field->taskManager->size(), 1u);
    field->unsettled = false;
    low->behaviors.runIdleActions(field, low, 0.1f);
    EXPECT_TRUE(low->destroyed);
    // The lock went with the destroyed chip's action: the board is not locked for good.
    field->taskManager->update(0.1f);
    EXPECT_EQ(field->taskManager->size(), 0u);
}

TEST_F(Actions, GoalChipDestroyedWhileWaitingReleasesItsLock) {
    Chip* low = put("Goal", 7, 8);
    field->unsettled = true;
    low->behaviors.runIdleActions(field, low, 0.1f);
    ASSERT_EQ(field->taskManager->size(), 1u);
    low->destroy(field, false, true);
    ASSERT_TRUE(low->destroyed);
    field->taskManager->update(0.1f);
    EXPECT_EQ(field->taskManager->size(), 0u);
    // A cleared task list does not leave the action pointing at a deleted task.
    Chip* other = put("Goal", 7, 8);
    other->behaviors.runIdleActions(field, other, 0.1f);
    field->taskManager->clear();
    other->behaviors.runIdleActions(field, other, 0.1f);
    EXPECT_EQ(field->taskManager->size(), 1u);
}

TEST_F(Actions, AddBehaviorPutsANewOuterLayerInThePeeledOnesPlace) {
    Chip* ice = put("Ice_B", 2, 2);
    ASSERT_EQ(ice->behaviors.size(), 2u);
    ice->destroy(field, false, false);
    ASSERT_EQ(ice->behaviors.size(), 2u);
    EXPECT_EQ(ice->behaviors.back()->kind, kIceChip2);
    EXPECT_FALSE(ice->destroyed);
    // A kind without a template is fatal.
    Chip* plain = put("Simple_R", 3, 3);
    EXPECT_THROW(AddBehavior(kSuperStar).execute(field, plain, 0.0f), BoardFatalError);
}

TEST_F(Actions, ColourBombChoosesItsColourAndItsTask) {
    Chip* bomb = put("DestroyColor", 4, 4);
    auto run = [&](Chip* chip) {
        field->taskManager->clear();
        ColorDestroyer().execute(field, chip, 0.0f);
        return field->taskManager->size() == 1 ? field->taskManager->tasks[0] : nullptr;
    };
    auto swapWith = [&](Chip* chip, Chip* other) {
        DataHolder holder;
        holder.setChip(other);
        chip->setProperty("swappedChip", holder);
    };

    Chip* plain = put("Simple_B", 4, 5);
    swapWith(bomb, plain);
    auto* destroyer = dynamic_cast<ColorDestroyerTask*>(run(bomb));
    ASSERT_NE(destroyer, nullptr);
    EXPECT_EQ(destroyer->group, plain->group);
    EXPECT_FALSE(plain->destroyed);

    Chip* second = put("DestroyColor", 5, 5);
    swapWith(bomb, second);
    destroyer = dynamic_cast<ColorDestroyerTask*>(run(bomb));
    ASSERT_NE(destroyer, nullptr);
    EXPECT_EQ(destroyer->group, -1);
    EXPECT_TRUE(second->destroyed);

    const struct {
        const char* partner;
        int kind;
    } bonus[] = {{"WaveHor_G", ColorTransformerTask::kToWaves},
                 {"WaveVer_G", ColorTransformerTask::kToWaves},
                 {"SimpleBomb_G", ColorTransformerTask::kToBombs}};
    for (const auto& b : bonus) {
        SCOPED_TRACE(b.partner);
        Chip* partner = put(b.partner, 3, 4);
        swapWith(bomb, partner);
        auto* transformer = dynamic_cast<ColorTransformerTask*>(run(bomb));
        ASSERT_NE(transformer, nullptr);
        EXPECT_EQ(transformer->targetKind, b.kind);
        EXPECT_EQ(transformer->group, partner->group);
    }

    // Set off by a wave: the colour of the wave's origin.
    bomb->removeProperty("swappedChip");
    Chip* origin = put("WaveHor_M", 0, 4);
    DataHolder holder;
    holder.setChip(origin);
    bomb->setProperty("destroyer", holder);
    destroyer = dynamic_cast<ColorDestroyerTask*>(run(bomb));
    ASSERT_NE(destroyer, nullptr);
    EXPECT_EQ(destroyer->group, origin->group);

    // Otherwise one of the level's plain colours.
    bomb->removeProperty("destroyer");
    destroyer = dynamic_cast<ColorDestroyerTask*>(run(bomb));
    ASSERT_NE(destroyer, nullptr);
    std::set<int> colours;
    for (ChipPrototype* prototype : world.chips->colourPrototypes) colours.insert(prototype->group);
    EXPECT_EQ(colours.count(destroyer->group), 1u);

    // A level without a plain colour: no pick, no task, one line in the log.
    world.chips->colourPrototypes.clear();
    EXPECT_EQ(run(bomb), nullptr);
    EXPECT_EQ(world.logged("no plain colour").size(), 1u);
}

TEST_F(Actions, ColourDestroyerVisitsItsColourInReadingOrder) {
    Chip* bomb = put("DestroyColor", 4, 4);
    // Nothing of the colour: done in the first update, no flight.
    auto* empty = new ColorDestroyerTask(field, bomb, 2);
    field->taskManager->addTask(empty);
    EXPECT_FALSE(field->taskManager->update(1.0f / 60));
    EXPECT_EQ(field->taskManager->size(), 0u);

    Chip* a = put("Simple_R", 6, 2);
    Chip* b = put("Simple_R", 1, 3);
    Chip* chained = put("Simple_R", 2, 3);
    chained->behaviors.add(Behavior::createByKind(kSimple, 0));
    Chip* other = put("Simple_G", 3, 3);
    Chip* wave = put("WaveHor_R", 0, 8);
    Chip* hidden = put("Simple_R", 1, 0);  // row 0 is never visited
    field->taskManager->addTask(new ColorDestroyerTask(field, bomb, 0));
    // Headless, each leg of the flight arrives at once: one chip a frame.
    const std::vector<Chip*> watched{a, b, chained, wave};
    std::map<Chip*, size_t> layers;
    for (Chip* chip : watched) layers[chip] = chip->behaviors.size();
    std::vector<std::pair<Chip*, int>> order;
    for (int frame = 1; frame <= 60 && field->taskManager->size() > 0; ++frame) {
        frames(1, 1.0f / 60);
        for (Chip* chip : watched) {
            const bool hit = chip->destroyed || chip->behaviors.size() < layers[chip];
            if (hit && std::none_of(order.begin(), order.end(), [&](const std::pair<Chip*, int>& o) { return o.first == chip; }))
                order.push_back({chip, frame});
        }
    }
    EXPECT_EQ(field->taskManager->size(), 0u);
    EXPECT_EQ(order, (std::vector<std::pair<Chip*, int>>{{a, 2}, {b, 3}, {chained, 4}, {wave, 5}}));
    EXPECT_FALSE(chained->destroyed);
    EXPECT_FALSE(other->destroyed);
    EXPECT_FALSE(hidden->destroyed);

    // Group -1 takes every coloured chip, never another colour bomb.
    Chip* x = put("Simple_B", 0, 1);
    Chip* y = put("Simple_Y", 8, 9);
    field->taskManager->addTask(new ColorDestroyerTask(field, bomb, -1));
    frames(10, 1.0f / 60);
    EXPECT_TRUE(x->destroyed);
    EXPECT_TRUE(y->destroyed);
    EXPECT_TRUE(other->destroyed);
    EXPECT_FALSE(bomb->destroyed);
}

TEST_F(Actions, ColourTransformerTurnsPlainChipsIntoWavesByTurnsThenSetsThemOff) {
    Chip* bomb = put("DestroyColor", 4, 4);
    put("Simple_R", 1, 1);
    put("Simple_R", 2, 1);
    put("Simple_R", 3, 6);
    Chip* green = put("Simple_G", 5, 6);
    auto* task = new ColorTransformerTask(field, 0, bomb, ColorTransformerTask::kToWaves);
    EXPECT_EQ(task->nextName(), "WaveVer_R");
    field->taskManager->addTask(task);
    const std::pair<int, int> cells[] = {{1, 1}, {2, 1}, {3, 6}};
    std::map<std::pair<int, int>, int> madeAt;
    int handedOverAt = 0;
    for (int frame = 1; frame <= 100 && !handedOverAt; ++frame) {
        frames(1, 0.025f);
        for (const auto& cell : cells) {
            Chip* chip = field->cellAt(cell.first, cell.second)->chip;
            if (chip && !chip->hasBehavior(kSimple) && !madeAt.count(cell)) madeAt[cell] = frame;
        }
        for (Task* t : field->taskManager->tasks)
            if (dynamic_cast<ColorDestroyerTask*>(t)) handedOverAt = frame;
    }
    // The timer runs out in frame 4, where the orb sets off; then one chip each 0.08 s.
    EXPECT_EQ(madeAt[cells[0]], 5);
    EXPECT_EQ(madeAt[cells[1]], 9);
    EXPECT_EQ(madeAt[cells[2]], 13);
    EXPECT_EQ(handedOverAt, 13);
    Chip* first = field->cellAt(1, 1)->chip;
    EXPECT_TRUE(first->hasBehavior(kWaveVer));
    EXPECT_EQ(first->group, 0);
    EXPECT_EQ(first->moveState, 1);
    EXPECT_FLOAT_EQ(first->position.x, 1.5f);
    EXPECT_FLOAT_EQ(first->target.y, 1.5f);
    EXPECT_TRUE(field->cellAt(2, 1)->chip->hasBehavior(kWaveHor));
    EXPECT_TRUE(field->cellAt(3, 6)->chip->hasBehavior(kWaveVer));
    EXPECT_FALSE(green->destroyed);
}

TEST_F(Actions, ColourTransformerOutsideTheSixColoursHandsOverAtOnce) {
    Chip* bomb = put("DestroyColor", 4, 4);
    put("Simple_R", 1, 1);
    field->taskManager->addTask(new ColorTransformerTask(field, 6, bomb, ColorTransformerTask::kToBombs));
    frames(3, 0.025f);
    ASSERT_EQ(field->taskManager->size(), 1u);
    // Its timer out, it hands over to a destroyer, which finds nothing of group 6.
    frames(1, 0.025f);
    EXPECT_EQ(field->taskManager->size(), 0u);
    EXPECT_TRUE(field->cellAt(1, 1)->chip->hasBehavior(kSimple));
    EXPECT_FALSE(field->cellAt(1, 1)->chip->destroyed);
}

}  // namespace

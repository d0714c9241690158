// Property values, kinds, layers and peeling.
#include <gtest/gtest.h>

#include "board/action.h"
#include "board/behavior.h"
#include "board/board_fatal.h"
#include "board/board_sound.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/property_values.h"
#include "support/board_fixture.h"

namespace {

TEST(PropertyValues, ContainersReadTheirValueAsEveryType) {
    struct Case {
        IDataContainer* container;
        int asInt;
        float asFloat;
        bool asBool;
        const char* asString;
    };
    const Case cases[] = {
        {new TDataContainer<std::string>("1"), 1, 1.0f, false, "1"},
        {new TDataContainer<std::string>("true"), 0, 0.0f, true, "true"},
        {new TDataContainer<std::string>("TRUE"), 0, 0.0f, false, "TRUE"},
        {new TDataContainer<std::string>("true "), 0, 0.0f, false, "true "},
        {new TDataContainer<std::string>(""), 0, 0.0f, false, ""},
        {new TDataContainer<std::string>("  -12.5x"), -12, -12.5f, false, "  -12.5x"},
        {new TDataContainer<int>(0), 0, 0.0f, false, "0"},
        {new TDataContainer<int>(-7), -7, -7.0f, true, "-7"},
        {new TUserContainer<Chip*>(nullptr), 0, 0.0f, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asString);
        EXPECT_EQ(c.container->getInt(), c.asInt);
        EXPECT_FLOAT_EQ(c.container->getFloat(), c.asFloat);
        EXPECT_EQ(c.container->getBool(), c.asBool);
        EXPECT_EQ(c.container->getString(), c.asString);
        delete c.container;
    }
}

TEST(PropertyValues, ChipMapKeepsOneEntryAndCopiesPointers) {
    Chip chip;
    Chip other;
    EXPECT_EQ(chip.getProperty("lock").type, 0);
    EXPECT_EQ(chip.getProperty("lock").toChip(), nullptr);
    chip.setProperty("lock", DataHolder("1"));
    chip.setProperty("lock", DataHolder(5));
    EXPECT_EQ(chip.properties.size(), 1u);
    EXPECT_EQ(chip.getProperty("lock").type, DataHolder::kInt);
    EXPECT_EQ(chip.getProperty("lock").container->getInt(), 5);
    DataHolder destroyer;
    destroyer.setChip(&other);
    chip.setProperty("destroyer", destroyer);
    DataHolder first = chip.getProperty("destroyer");
    DataHolder second = first;
    EXPECT_EQ(first.toChip(), &other);
    EXPECT_EQ(second.toChip(), &other);
    EXPECT_EQ(DataHolder("x").toChip(), nullptr);
    chip.removeProperty("lock");
    chip.removeProperty("absent");
    EXPECT_FALSE(chip.hasProperty("lock"));
    chip.reset();
    EXPECT_TRUE(chip.properties.empty());
}

TEST(BehaviorKinds, NamesMapToKinds) {
    const std::pair<const char*, int> cases[] = {
        {"Simple", 1},       {"Chain", 2},          {"Wall", 4},           {"StrongWall", 7},
        {"BombStage1", 10},  {"DestroyColor", 12},  {"WaveVer", 15},       {"WaveHor", 16},
        {"SuperWaveVer", 20}, {"SuperWaveVerF", 20}, {"Cell", 26},          {"CellAnything", 26},
        {"cellLower", 1},    {"IceChip3", 30},      {"ChainBomb", 31},     {"AnyBonus", 34},
        {"", 1},             {"Unknown", 1},        {"wall", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(behaviorKindFromName(c.first), c.second) << c.first;
    EXPECT_STREQ(behaviorKindName(20), "SuperWaveVer");
    EXPECT_STREQ(behaviorKindName(26), "Cell");
}

class ChipModel : public ::testing::Test {
protected:
    void SetUp() override {
        world.prototypes(qvtest::plainPrototypes(
            "  { Name = \"Iron\", Behavior = {"
            " { Name = \"Simple\", MultipleColors = 0, score = 20 },"
            " { Name = \"StrongWall\", MultipleColors = 0, score = 50, onDestroySound = \"x\","
            "   OnDestroyActions = { \"CanNotBeDestoyed\", \"DestroyTimer:2.5\", \"NoSuchAction\" } } } },\n"
            "  { Name = \"Bomb\", Behavior = { { Name = \"BombStage1\", MultipleColors = 1, score = 80 } } },\n"
            "  { Name = \"Bomb2\", Behavior = { { Name = \"BombStage1\", MultipleColors = 1, score = 99 } } },\n"));
    }
    qvtest::BoardWorld world;
};

TEST_F(ChipModel, PeelingIsRefusedUnlessForcedAndPlaysTheSoundEachAttempt) {
    Chip* chip = world.chips->createChip("Iron", 1, 1);
    ASSERT_NE(chip, nullptr);
    ASSERT_EQ(chip->behaviors.size(), 2u);
    EXPECT_EQ(chip->behaviors.back()->onDestroyActions.size(), 2u);  // the unknown text is skipped
    std::vector<int> played;
    chip->behaviors.back()->destroySound = 42;
    setBoardSoundObserver([&](int id) { played.push_back(id); });
    BehaviorScore refused = chip->behaviors.popOuterBehavior(nullptr, chip, false);
    EXPECT_EQ(refused.kind, 0);
    EXPECT_EQ(refused.score, 0);
    EXPECT_EQ(chip->behaviors.size(), 2u);
    BehaviorScore forced = chip->behaviors.popOuterBehavior(nullptr, chip, true);
    setBoardSoundObserver(BoardSoundObserver());
    EXPECT_EQ(forced.kind, kStrongWall);
    EXPECT_EQ(forced.score, 50);
    EXPECT_EQ(chip->behaviors.size(), 1u);
    EXPECT_EQ(played, (std::vector<int>{42, 42}));
}

TEST_F(ChipModel, ExecuteAllRunsEveryActionAndAndsTheResults) {
    ActionsGroup group;
    auto* timer = new DestroyTimerAction(2.5f);
    group.add(timer);
    group.add(new CanNotBeDestoyed());
    EXPECT_FALSE(group.executeAll(nullptr, nullptr, 1.0f));
    EXPECT_FLOAT_EQ(timer->timeLeft, 1.5f);
    ActionsGroup empty;
    EXPECT_TRUE(empty.executeAll(nullptr, nullptr, 0.0f));
}

TEST_F(ChipModel, TemplatesPreferTheLastExactColour) {
    // Bomb and Bomb2 both register BombStage1 per colour; the first of each pair stays.
    Behavior* red = Behavior::createByKind(kBombStage1, 0);
    Behavior* other = Behavior::createByKind(kBombStage1, 9);
    EXPECT_EQ(red->score, 80);
    EXPECT_EQ(other->score, 80);  // no colour 9: the first template of the kind
    delete red;
    delete other;
    Behavior::clearRegistry();
    Behavior a, b;
    a.kind = b.kind = kBombStage1;
    a.score = 1;
    b.score = 2;
    Behavior::registerTemplate(a, 0);
    Behavior::registerTemplate(b, 2);
    std::unique_ptr<Behavior> exact(Behavior::createByKind(kBombStage1, 2));
    std::unique_ptr<Behavior> fallback(Behavior::createByKind(kBombStage1, 5));
    EXPECT_EQ(exact->score, 2);
    EXPECT_EQ(fallback->score, 1);
    EXPECT_THROW(Behavior::createByKind(kStorm, 0), BoardFatalError);
}

TEST_F(ChipModel, SwappingNeedsFallingLayersAndAMovableKind) {
    Chip* plain = world.chips->createChip("Simple_R", 0, 1);
    Chip* wall = world.chips->createChip("Wall", 1, 1);
    Chip* bomb = world.chips->createChip("Bomb_G", 2, 1);
    EXPECT_TRUE(plain->canBeSwapped());
    EXPECT_FALSE(wall->canBeSwapped());
    EXPECT_TRUE(bomb->canBeSwapped());
    plain->behaviors.add(Behavior::createByKind(kWall, -1));
    EXPECT_FALSE(plain->canBeSwapped());
}

TEST_F(ChipModel, ResetsStampNewerChipsAndPoolReusesTheFirstDestroyed) {
    Chip* a = world.chips->createChip("Simple_R", 0, 1);
    Chip* b = world.chips->createChip("Simple_G", 1, 1);
    EXPECT_LT(a->orderStamp, b->orderStamp);
    a->destroyed = 1;
    b->destroyed = 1;
    Chip* reused = world.chips->allocateChip();
    EXPECT_EQ(reused, a);
    EXPECT_GT(reused->orderStamp, b->orderStamp);
    EXPECT_EQ(world.chips->pool.size(), 2u);
}

}  // namespace

// The prototype loader, the random sequence and chip creation.
#include <gtest/gtest.h>

#include <map>

#include "board/behavior.h"
#include "board/board_fatal.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/chip_selector.h"
#include "support/board_fixture.h"

namespace {

TEST(ChipPrototypes, MultiColouredPrototypesExpandIntoSixColours) {
    qvtest::BoardWorld world;
    ChipManager& chips = world.prototypes(
        "ChipPrototypes = {\n"
        "  { Name = \"Simple\", DropRate = \"2.5\", Selector = \"AllChipsSameGroupSelector\","
        "    Behavior = { { Name = \"Simple\", MultipleColors = 1 } } },\n"
        "  { Name = \"Odd\", Behavior = { { Name = \"Wall\", MultipleColors = 0 }, { Name = \"Chain\", MultipleColors = 1 } } },\n"
        "  { Name = \"Flagged\", Behavior = { { Name = \"Wall\", MultipleColors = true, CanFalling = false,"
        "    CanIterateWithGroup = \"0\", LevelGoal = 1, score = \"7\" } } },\n"
        "}\n");
    const char* names[] = {"Simple_R", "Simple_G", "Simple_B", "Simple_M", "Simple_Y", "Simple_O"};
    for (int group = 0; group < 6; ++group) {
        ChipPrototype* prototype = chips.findPrototype(names[group]);
        ASSERT_NE(prototype, nullptr) << names[group];
        EXPECT_EQ(prototype->group, group);
        EXPECT_FLOAT_EQ(prototype->dropRate, 2.5f);  // a numeric string is a number
        EXPECT_STREQ(prototype->selector->getName(), "AllChipsSameGroupSelector");
    }
    ChipPrototype* odd = chips.findPrototype("Odd");
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->group, -1);
    EXPECT_STREQ(odd->selector->getName(), "NearestChipSameGroupSelector");
    // A Lua boolean reads as missing, a numeric string as its number.
    ChipPrototype* flagged = chips.findPrototype("Flagged");
    ASSERT_NE(flagged, nullptr);
    const Behavior* layer = flagged->behaviors.back();
    EXPECT_TRUE(layer->canFalling);
    EXPECT_FALSE(layer->canIterateWithGroup);
    EXPECT_TRUE(layer->levelGoal);
    EXPECT_EQ(layer->score, 7);
    EXPECT_EQ(chips.prototypes.size(), 8u);
}

TEST(ChipPrototypes, TheFirstPrototypeOfANameStays) {
    qvtest::BoardWorld world;
    ChipManager& chips = world.prototypes(
        "ChipPrototypes = {\n"
        "  { Name = \"Twin\", Behavior = { { Name = \"Wall\", MultipleColors = 0, score = 1 } } },\n"
        "  { Name = \"Twin\", Behavior = { { Name = \"Wall\", MultipleColors = 0, score = 2 } } },\n"
        "}\n");
    EXPECT_EQ(chips.findPrototype("Twin")->behaviors.back()->score, 1);
}

TEST(ChipPrototypes, BrokenFilesAreFatal) {
    const char* cases[] = {
        "ChipPrototypes = ",                                   // does not load
        "Other = {}",                                          // no table
        "ChipPrototypes = { 5 }",                              // an entry that is no table
        "ChipPrototypes = { { Name = \"NoLayers\" } }",        // no Behavior
    };
    for (const char* text : cases) {
        qvtest::BoardWorld world;
        EXPECT_THROW(world.prototypes(text), BoardFatalError) << text;
        EXPECT_EQ(ChipManager::instancePointer(), nullptr);
    }
}

TEST(ChipSelectors, TheCacheSharesSelectorsByName) {
    ChipSelector::clearCache();
    ChipSelector* a = ChipSelector::create("NearestChipSameGroupSelector");
    EXPECT_EQ(ChipSelector::create("NearestChipSameGroupSelector"), a);
    ChipSelector* other = ChipSelector::create("Whatever");
    EXPECT_NE(other, a);
    EXPECT_EQ(other->getFlag(), 0);
    EXPECT_EQ(ChipSelector::create("AllChipsSameGroupSelector")->getFlag(), 1);
    EXPECT_EQ(ChipSelector::cacheSize(), 3u);
    ChipSelector::clearCache();
}

// Slot counts of the 512-slot sequence by colour name ("none" for -1).
std::map<std::string, int> slotCounts(ChipManager& chips) {
    std::map<std::string, int> counts;
    for (int value : chips.sequence) {
        counts[value < 0 ? "none" : chips.colourPrototypes[value]->name] += 1;
    }
    return counts;
}

struct SequenceCase {
    const char* name;
    std::map<std::string, float> rates;  // available prototypes and their drop rates
    std::map<std::string, int> expected;
};

TEST(RandomSequence, SlotsFollowTheDropRates) {
    const SequenceCase cases[] = {
        {"weighted", {{"Simple_R", 1}, {"Simple_G", 1}, {"Simple_B", 2}},
         {{"Simple_G", 128}, {"Simple_R", 128}, {"Simple_B", 256}}},
        {"thirds", {{"Simple_R", 1}, {"Simple_G", 1}, {"Simple_B", 1}},
         {{"Simple_G", 170}, {"Simple_R", 170}, {"Simple_B", 170}, {"none", 2}}},
        {"non-colour share", {{"Simple_R", 1}, {"Wall", 1}}, {{"Simple_R", 256}, {"none", 256}}},
        {"all zero", {{"Simple_R", 0}, {"Simple_G", 0}}, {{"none", 512}}},
        {"only non-colour", {{"Wall", 3}}, {{"none", 512}}},
        {"negative rate", {{"Simple_R", -1}, {"Simple_G", 2}}, {{"Simple_G", 512}}},
        {"negative sum", {{"Simple_R", -3}, {"Simple_G", 1}}, {{"none", 512}}},
    };
    for (const SequenceCase& c : cases) {
        SCOPED_TRACE(c.name);
        qvtest::BoardWorld world;
        ChipManager& chips = world.prototypes(qvtest::plainPrototypes());
        chips.available.clear();
        chips.dropRateSum = 0;
        for (const auto& entry : c.rates) {
            ChipPrototype* prototype = chips.findPrototype(entry.first);
            ASSERT_NE(prototype, nullptr);
            prototype->dropRate = entry.second;
            chips.available[entry.first] = prototype;
            chips.dropRateSum += entry.second;
        }
        chips.buildRandomSequence();
        ASSERT_EQ(chips.sequence.size(), 512u);
        EXPECT_EQ(slotCounts(chips), c.expected);
        const bool anySlot = c.expected.count("none") == 0 || c.expected.at("none") < 512;
        if (anySlot) {
            EXPECT_NE(chips.nextRandomPrototype(), nullptr);
        } else {
            EXPECT_EQ(chips.nextRandomPrototype(), nullptr);
            EXPECT_EQ(chips.createChip("Random", 1, 1), nullptr);
        }
    }
}

TEST(RandomSequence, DrawsCycleAndRandomNamesDrawWhileOtherNamesLookUp) {
    qvtest::BoardWorld world;
    ChipManager& chips = world.prototypes(qvtest::plainPrototypes());
    chips.available = {{"Simple_R", chips.findPrototype("Simple_R")}, {"Simple_G", chips.findPrototype("Simple_G")}};
    chips.dropRateSum = 2;
    chips.buildRandomSequence();
    std::vector<ChipPrototype*> first;
    for (int i = 0; i < 512; ++i) first.push_back(chips.nextRandomPrototype());
    for (int i = 0; i < 512; ++i) EXPECT_EQ(chips.nextRandomPrototype(), first[i]);
    const int before = chips.cursor;
    EXPECT_NE(chips.createChip("Random", 1, 1), nullptr);
    EXPECT_NE(chips.createChip("", 1, 1), nullptr);
    EXPECT_EQ(chips.cursor, before + 2);
    EXPECT_EQ(chips.createChip("random", 1, 1), nullptr);  // an ordinary, unknown name
    EXPECT_EQ(chips.cursor, before + 2);
    // The spawn queue goes first.
    chips.spawnQueue.push_back("Wall");
    Chip* queued = chips.createNextChip(2.5f, 0.5f);
    ASSERT_NE(queued, nullptr);
    EXPECT_TRUE(queued->hasBehavior(kWall));
    EXPECT_EQ(chips.cursor, before + 2);
}

}  // namespace

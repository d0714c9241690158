#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine_allocators.h"

namespace {

using QV::BuddyAllocator;
constexpr uint32_t kUnit = BuddyAllocator::kUnitSize;

// The unit map as text: '#' used, '.' free, trailing free units dropped.
std::string unitText(const BuddyAllocator& a) {
    std::string s;
    for (uint32_t i = 0; i < BuddyAllocator::kUnitCount; ++i) s += a.unitMap()[i] ? '#' : '.';
    s.erase(s.find_last_not_of('.') + 1);
    return s;
}

// Marks the given single units used.
void occupy(BuddyAllocator& a, const std::vector<uint32_t>& units) {
    if (units.empty()) return;
    uint32_t last = 0;
    for (uint32_t u : units) last = std::max(last, u);
    std::vector<void*> blocks;
    for (uint32_t i = 0; i <= last; ++i) blocks.push_back(a.alloc(1));
    for (uint32_t i = 0; i <= last; ++i)
        if (std::find(units.begin(), units.end(), i) == units.end()) a.dealloc(blocks[i], 1);
}

TEST(BuddyAllocator, PlacesBlocksAtAlignedFirstFit) {
    struct Case {
        const char* what;
        std::vector<uint32_t> usedBefore;
        uint32_t request;
        int expectedUnit;  // -1: no block
        std::string mapAfter;
    } cases[] = {
        {"one byte", {}, 1, 0, "#"},
        {"one full unit", {}, kUnit, 0, "#"},
        {"one byte over a unit", {}, kUnit + 1, 0, "##"},
        {"two units after unit 0", {0}, kUnit + 1, 2, "#.##"},
        {"aligned pairs only", {0, 2}, 2 * kUnit, 4, "#.#.##"},
        {"one MiB", {}, 0x100000, 0, std::string(64, '#')},
        {"zero bytes", {}, 0, 0, "#"},
        {"odd hole", {0, 1, 2}, 100, 3, "####"},
    };
    for (const Case& c : cases) {
        BuddyAllocator a;
        occupy(a, c.usedBefore);
        uint32_t usedBefore = a.used();
        void* p = a.alloc(c.request);
        if (c.expectedUnit < 0) {
            EXPECT_EQ(p, nullptr) << c.what;
        } else {
            EXPECT_EQ(static_cast<unsigned char*>(p), a.arena() + c.expectedUnit * kUnit) << c.what;
        }
        EXPECT_EQ(a.used(), usedBefore + c.request) << c.what;
        EXPECT_EQ(unitText(a), c.mapAfter) << c.what;
    }
}

TEST(BuddyAllocator, OneMiBTakesUpperHalfWhenLowerIsBusy) {
    BuddyAllocator a;
    occupy(a, {3});
    unsigned char* p = static_cast<unsigned char*>(a.alloc(0x100000));
    EXPECT_EQ(p, a.arena() + 64 * kUnit);
    EXPECT_EQ(unitText(a), "...#............................................................" +
                               std::string(64, '#'));
}

TEST(BuddyAllocator, BlockSizes) {
    struct Case {
        uint32_t request, block;
    } cases[] = {{0, kUnit},         {1, kUnit},          {kUnit, kUnit},        {kUnit + 1, 2 * kUnit},
                 {65536, 65536},     {65537, 131072},     {0x100000, 0x100000},  {0x100001, 0x200000},
                 {0x200000, 0x200000}, {0xFFFFFFFF, 0x200000}};
    for (const Case& c : cases) EXPECT_EQ(BuddyAllocator::blockSizeFor(c.request), c.block) << c.request;
}

TEST(BuddyAllocator, RefusesWhatDoesNotFit) {
    BuddyAllocator a;
    // Over the arena: null, nothing counted.
    EXPECT_EQ(a.alloc(BuddyAllocator::kArenaSize + 1), nullptr);
    EXPECT_EQ(a.used(), 0u);
    EXPECT_EQ(unitText(a), "");
    // The whole arena fits once.
    void* all = a.alloc(BuddyAllocator::kArenaSize);
    ASSERT_NE(all, nullptr);
    // No position free: null, but the request still counts.
    EXPECT_EQ(a.alloc(10), nullptr);
    EXPECT_EQ(a.used(), BuddyAllocator::kArenaSize + 10);
    EXPECT_EQ(a.peak(), BuddyAllocator::kArenaSize + 10);
    a.dealloc(all, BuddyAllocator::kArenaSize);
    EXPECT_EQ(a.used(), 10u);
    EXPECT_EQ(a.peak(), BuddyAllocator::kArenaSize + 10);
    EXPECT_EQ(unitText(a), "");
}

TEST(BuddyAllocator, ReleaseClearsExactlyItsUnits) {
    BuddyAllocator a;
    void* first = a.alloc(1);
    void* pair = a.alloc(2 * kUnit);  // units 2-3
    void* next = a.alloc(1);          // unit 1
    EXPECT_EQ(unitText(a), "####");
    a.dealloc(pair, 2 * kUnit);
    EXPECT_EQ(unitText(a), "##");
    EXPECT_EQ(a.used(), 2u);
    a.dealloc(first, 1);
    a.dealloc(next, 1);
    EXPECT_EQ(unitText(a), "");
    EXPECT_EQ(a.used(), 0u);
    EXPECT_EQ(a.peak(), 2 * kUnit + 2);
}

using BuddyAllocatorDeathTest = testing::Test;

TEST_F(BuddyAllocatorDeathTest, BadPointersAreFatal) {
    BuddyAllocator a;
    unsigned char* base = const_cast<unsigned char*>(a.arena());
    struct Case {
        const char* what;
        unsigned char* address;
        uint32_t size;
    } cases[] = {
        {"below the arena", base - 1, 1},
        {"null", nullptr, 1},
        {"past the end", base + BuddyAllocator::kArenaSize, 1},
        {"far past the end", base + 16 * BuddyAllocator::kArenaSize, 1},
        {"inside a unit", base + 5, 1},
        {"block running past the end", base + 127 * kUnit, 2 * kUnit},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(a.dealloc(c.address, c.size), testing::ExitedWithCode(255),
                    "BuddyAllocator::dealloc\\(\\), Bad pointer specified")
            << c.what;
    }
}

TEST(BuddyAllocator, ExternalArenaIsNotOwned) {
    std::vector<unsigned char> arena(BuddyAllocator::kArenaSize);
    {
        BuddyAllocator a(arena.data());
        EXPECT_FALSE(a.ownsArena());
        EXPECT_EQ(a.alloc(3), arena.data());
    }
    arena[0] = 1;  // still ours after the allocator is gone
    BuddyAllocator owned;
    EXPECT_TRUE(owned.ownsArena());
}

TEST(StackAllocator, TakesFromTheTopAndRewinds) {
    QV::StackAllocator s;
    EXPECT_EQ(s.capacity(), 0x80000u);
    uint32_t mark = s.top();
    void* a = s.allocate(100);
    void* b = s.allocate(0x80000 - 100);
    EXPECT_EQ(a, s.buffer());
    EXPECT_EQ(b, s.buffer() + 100);
    EXPECT_EQ(s.allocate(1), nullptr);
    EXPECT_EQ(s.top(), 0x80000u);
    s.rewind(100);
    EXPECT_EQ(s.allocate(0xFFFFFFFF), nullptr);  // no wrap-around of the free count
    s.rewind(0x90000);                           // above the top: ignored
    EXPECT_EQ(s.top(), 100u);
    s.rewind(mark);
    EXPECT_EQ(s.freeBytes(), 0x80000u);
}

TEST(StackAllocator, ScopedBlockReleasesOnExit) {
    QV::StackAllocator s;
    s.allocate(10);
    {
        QV::StackBlock block(&s, 1000);
        EXPECT_EQ(block.data(), s.buffer() + 10);
        QV::StackBlock tooLarge(&s, 0x80000);  // same thread may nest
        EXPECT_EQ(tooLarge.data(), nullptr);
        EXPECT_EQ(s.top(), 1010u);
    }
    EXPECT_EQ(s.top(), 10u);
}

TEST(EngineAllocators, InitMakesFreshAllocators) {
    EXPECT_EQ(QV::Singleton<QV::EngineAllocators>::instancePointer(), nullptr);
    {
        QV::EngineAllocators allocators;
        EXPECT_EQ(allocators.getStackAllocator(), nullptr);
        EXPECT_EQ(allocators.getBuddyAllocator(), nullptr);
        allocators.init();
        ASSERT_NE(allocators.getBuddyAllocator(), nullptr);
        allocators.getBuddyAllocator()->alloc(5);
        allocators.getStackAllocator()->allocate(5);
        allocators.init();  // again: both start empty
        EXPECT_EQ(allocators.getBuddyAllocator()->used(), 0u);
        EXPECT_EQ(allocators.getStackAllocator()->top(), 0u);
        EXPECT_EQ(QV::Singleton<QV::EngineAllocators>::instance(), &allocators);
    }
    EXPECT_EQ(QV::Singleton<QV::EngineAllocators>::instancePointer(), nullptr);
}

}  // namespace

#pragma once

#include <pthread.h>

#include <cstdint>

namespace QV {

// A 2 MiB arena handed out in aligned power-of-two blocks of 16 KiB units.
// Used for the text of XML files while they are parsed.
class BuddyAllocator {
public:
    static constexpr uint32_t kArenaSize = 0x200000;
    static constexpr uint32_t kUnitSize = 0x4000;
    static constexpr uint32_t kUnitCount = kArenaSize / kUnitSize;

    // Makes and owns its own arena.
    BuddyAllocator();
    // Works inside an arena of kArenaSize bytes that the caller keeps.
    explicit BuddyAllocator(void* arena);
    ~BuddyAllocator();
    BuddyAllocator(const BuddyAllocator&) = delete;
    BuddyAllocator& operator=(const BuddyAllocator&) = delete;

    // A block of at least size bytes, or null. The requested size counts
    // towards used() even when no block is free.
    void* alloc(uint32_t size);
    // Releases a block; size must be the one given to alloc. An address that is
    // not the start of a block inside the arena is a fatal report.
    void dealloc(void* address, uint32_t size);

    // The block size a request takes: a power of two from 16 KiB to 2 MiB.
    static uint32_t blockSizeFor(uint32_t size);

    uint32_t used() const { return mUsed; }
    uint32_t peak() const { return mPeak; }
    bool ownsArena() const { return mOwnsArena; }
    const unsigned char* arena() const { return mArena; }
    // 0 = free, 255 = used, one entry per unit.
    const unsigned char* unitMap() const { return mUnitMap; }

private:
    unsigned char* mArena;
    bool mOwnsArena;
    unsigned char mUnitMap[kUnitCount];
    uint32_t mUsed;
    uint32_t mPeak;
    pthread_mutex_t mMutex;
};

}  // namespace QV

#include "buddy_allocator.h"

#include <cstring>

#include "mutex_lock.h"
#include "report_assert.h"

namespace QV {

BuddyAllocator::BuddyAllocator() : BuddyAllocator(new unsigned char[kArenaSize]) {
    mOwnsArena = true;
}

BuddyAllocator::BuddyAllocator(void* arena)
    : mArena(static_cast<unsigned char*>(arena)), mOwnsArena(false), mUsed(0), mPeak(0) {
    std::memset(mUnitMap, 0, sizeof(mUnitMap));
    // XML loads run on job threads; the lock keeps the unit map consistent.
    pthread_mutex_init(&mMutex, nullptr);
}

BuddyAllocator::~BuddyAllocator() {
    if (mOwnsArena) delete[] mArena;
    pthread_mutex_destroy(&mMutex);
}

uint32_t BuddyAllocator::blockSizeFor(uint32_t size) {
    uint32_t block = kArenaSize;
    while (block > kUnitSize && size <= block / 2) block /= 2;
    return block;
}

void* BuddyAllocator::alloc(uint32_t size) {
    if (size > kArenaSize) return nullptr;
    MutexLock lock(&mMutex);
    const uint32_t units = blockSizeFor(size) / kUnitSize;
    void* result = nullptr;
    for (uint32_t position = 0; position + units <= kUnitCount; position += units) {
        bool free = true;
        for (uint32_t i = 0; i < units && free; ++i) free = mUnitMap[position + i] == 0;
        if (!free) continue;
        std::memset(mUnitMap + position, 255, units);
        result = mArena + position * kUnitSize;
        break;
    }
    mUsed += size;
    if (mUsed > mPeak) mPeak = mUsed;
    return result;
}

void BuddyAllocator::dealloc(void* address, uint32_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(address);
    const uint32_t units = blockSizeFor(size) / kUnitSize;
    // Compare addresses as integers: a pointer outside the arena must never
    // reach the unit map.
    const uintptr_t begin = reinterpret_cast<uintptr_t>(mArena);
    const uintptr_t at = reinterpret_cast<uintptr_t>(p);
    if (at < begin || at - begin >= kArenaSize || (at - begin) % kUnitSize != 0 ||
        (at - begin) / kUnitSize + units > kUnitCount) {
        QV_FATAL("BuddyAllocator::dealloc(), Bad pointer specified");
    }
    MutexLock lock(&mMutex);
    const uint32_t position = static_cast<uint32_t>((at - begin) / kUnitSize);
    std::memset(mUnitMap + position, 0, units);
    mUsed -= size;
}

}  // namespace QV

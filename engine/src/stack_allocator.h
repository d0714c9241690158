#pragma once

#include <pthread.h>

#include <cstdint>

namespace QV {

// A fixed 512 KiB region for short-lived decode buffers. Blocks are taken from
// the top and released by moving the top back to a mark, so they must be
// released in the reverse order of their allocation.
class StackAllocator {
public:
    static constexpr uint32_t kCapacity = 0x80000;

    StackAllocator();
    ~StackAllocator();
    StackAllocator(const StackAllocator&) = delete;
    StackAllocator& operator=(const StackAllocator&) = delete;

    // The block at the top, or null when fewer than size bytes are free.
    void* allocate(uint32_t size);
    // Moves the top back to a mark taken earlier; a mark above the top is ignored.
    void rewind(uint32_t mark);

    uint32_t top() const { return mTop; }
    uint32_t capacity() const { return mCapacity; }
    uint32_t freeBytes() const { return mCapacity - mTop; }
    const unsigned char* buffer() const { return mBuffer; }

    // Threads that decode at once take turns through this lock (see StackBlock).
    pthread_mutex_t* mutex() { return &mMutex; }

private:
    unsigned char* mBuffer;
    uint32_t mCapacity;
    uint32_t mTop;
    pthread_mutex_t mMutex;
};

// One block of the stack allocator for the lifetime of a scope. The allocator
// stays locked meanwhile, so decoders on several threads cannot interleave
// their marks. data() is null when the request did not fit.
class StackBlock {
public:
    StackBlock(StackAllocator* allocator, uint32_t size);
    ~StackBlock();
    StackBlock(const StackBlock&) = delete;
    StackBlock& operator=(const StackBlock&) = delete;

    void* data() const { return mData; }

private:
    StackAllocator* mAllocator;
    uint32_t mMark;
    void* mData;
};

}  // namespace QV

#pragma once

#include "buddy_allocator.h"
#include "singleton.h"
#include "stack_allocator.h"

namespace QV {

// Owns the two fixed regions that keep large loading buffers off the heap.
class EngineAllocators : public Singleton<EngineAllocators> {
public:
    EngineAllocators() = default;
    ~EngineAllocators() override;

    // Replaces both allocators with fresh, empty ones.
    void init();

    StackAllocator* getStackAllocator() const { return mStackAllocator; }
    BuddyAllocator* getBuddyAllocator() const { return mBuddyAllocator; }

private:
    void release();

    StackAllocator* mStackAllocator = nullptr;
    BuddyAllocator* mBuddyAllocator = nullptr;
};

}  // namespace QV

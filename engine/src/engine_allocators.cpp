#include "engine_allocators.h"

namespace QV {

EngineAllocators::~EngineAllocators() { release(); }

void EngineAllocators::init() {
    release();
    mStackAllocator = new StackAllocator();
    mBuddyAllocator = new BuddyAllocator();
}

void EngineAllocators::release() {
    delete mStackAllocator;
    mStackAllocator = nullptr;
    delete mBuddyAllocator;
    mBuddyAllocator = nullptr;
}

}  // namespace QV

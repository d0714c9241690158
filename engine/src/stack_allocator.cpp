#include "stack_allocator.h"

#include "mutex_lock.h"

namespace QV {

StackAllocator::StackAllocator()
    : mBuffer(new unsigned char[kCapacity]), mCapacity(kCapacity), mTop(0) {
    initRecursiveMutex(&mMutex);
}

StackAllocator::~StackAllocator() {
    delete[] mBuffer;
    pthread_mutex_destroy(&mMutex);
}

void* StackAllocator::allocate(uint32_t size) {
    if (mCapacity - mTop < size) return nullptr;
    void* block = mBuffer + mTop;
    mTop += size;
    return block;
}

void StackAllocator::rewind(uint32_t mark) {
    if (mark <= mTop) mTop = mark;
}

StackBlock::StackBlock(StackAllocator* allocator, uint32_t size)
    : mAllocator(allocator), mMark(0), mData(nullptr) {
    if (!mAllocator) return;
    pthread_mutex_lock(mAllocator->mutex());
    mMark = mAllocator->top();
    mData = mAllocator->allocate(size);
}

StackBlock::~StackBlock() {
    if (!mAllocator) return;
    mAllocator->rewind(mMark);
    pthread_mutex_unlock(mAllocator->mutex());
}

}  // namespace QV

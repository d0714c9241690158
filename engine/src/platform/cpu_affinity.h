#pragma once

#include <pthread.h>

#include <cstdint>

namespace QV::Platform {

// A set of processors a thread may run on (room for 1024).
struct AffinityMask {
    std::uint64_t words[16] = {};
    bool valid = false;

    bool operator==(const AffinityMask& other) const;
    bool operator!=(const AffinityMask& other) const { return !(*this == other); }
    bool has(int cpu) const;
    int count() const;
};

AffinityMask currentThreadAffinity();
bool setCurrentThreadAffinity(const AffinityMask& mask);

// The mask the process started with, taken before anything could pin the main
// thread. New threads inherit their creator's mask, so engine threads are
// started with this one instead.
AffinityMask processOriginalAffinity();

// Lowest processor in the mask, -1 when empty or invalid.
int firstCpu(const AffinityMask& mask);

// Pins the calling thread to the first processor the process may use; the mask
// it had before goes to previous. False when the system refused.
bool pinCurrentThreadToFirstCpu(AffinityMask* previous);

// Makes threads created with these attributes start on the given mask.
bool applyAffinityToThreadAttributes(pthread_attr_t* attributes, const AffinityMask& mask);

}  // namespace QV::Platform

#include "platform/cpu_affinity.h"

#include <sched.h>

#include <cstring>

namespace QV::Platform {

static_assert(sizeof(cpu_set_t) == sizeof(AffinityMask::words), "cpu_set_t size");

namespace {

AffinityMask fromCpuSet(const cpu_set_t& set) {
    AffinityMask mask;
    std::memcpy(mask.words, &set, sizeof(mask.words));
    mask.valid = true;
    return mask;
}

cpu_set_t toCpuSet(const AffinityMask& mask) {
    cpu_set_t set;
    std::memcpy(&set, mask.words, sizeof(set));
    return set;
}

AffinityMask readCurrent() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (pthread_getaffinity_np(pthread_self(), sizeof(set), &set) != 0) return AffinityMask();
    return fromCpuSet(set);
}

// Taken during static initialisation, on the main thread, before main() runs.
const AffinityMask gOriginal = readCurrent();

}  // namespace

bool AffinityMask::operator==(const AffinityMask& other) const {
    return valid == other.valid && std::memcmp(words, other.words, sizeof(words)) == 0;
}

bool AffinityMask::has(int cpu) const {
    if (cpu < 0 || cpu >= 1024) return false;
    return (words[cpu / 64] >> (cpu % 64)) & 1u;
}

int AffinityMask::count() const {
    int total = 0;
    for (std::uint64_t word : words) total += __builtin_popcountll(word);
    return total;
}

AffinityMask currentThreadAffinity() { return readCurrent(); }

bool setCurrentThreadAffinity(const AffinityMask& mask) {
    if (!mask.valid || mask.count() == 0) return false;
    cpu_set_t set = toCpuSet(mask);
    return pthread_setaffinity_np(pthread_self(), sizeof(set), &set) == 0;
}

AffinityMask processOriginalAffinity() { return gOriginal.valid ? gOriginal : readCurrent(); }

int firstCpu(const AffinityMask& mask) {
    if (!mask.valid) return -1;
    for (int cpu = 0; cpu < 1024; ++cpu) {
        if (mask.has(cpu)) return cpu;
    }
    return -1;
}

bool pinCurrentThreadToFirstCpu(AffinityMask* previous) {
    AffinityMask before = readCurrent();
    if (previous) *previous = before;
    // Not blindly CPU 0: the process may be confined to other processors.
    int cpu = firstCpu(processOriginalAffinity());
    if (cpu < 0) cpu = firstCpu(before);
    if (cpu < 0) return false;
    AffinityMask single;
    single.valid = true;
    single.words[cpu / 64] = std::uint64_t(1) << (cpu % 64);
    return setCurrentThreadAffinity(single);
}

bool applyAffinityToThreadAttributes(pthread_attr_t* attributes, const AffinityMask& mask) {
    if (!attributes || !mask.valid || mask.count() == 0) return false;
    cpu_set_t set = toCpuSet(mask);
    return pthread_attr_setaffinity_np(attributes, sizeof(set), &set) == 0;
}

}  // namespace QV::Platform

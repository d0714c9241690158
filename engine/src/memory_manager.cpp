#include "memory_manager.h"

#include <cinttypes>
#include <cstdio>
#include <string>

#include "format_string.h"
#include "log_system.h"
#include "mutex_lock.h"

namespace QV {

MemoryManager::MemoryManager() {
    initRecursiveMutex(&mMutex);
    mMutexCreated = true;
    mEnabled = true;
}

MemoryManager::~MemoryManager() {
    mEnabled = false;
    if (mMutexCreated) pthread_mutex_destroy(&mMutex);
    mMutexCreated = false;
}

void MemoryManager::track(const void* address, int32_t size, const char* file, int32_t line) {
    if (!mEnabled || !address) return;
    MutexLock lock(&mMutex);
    mRecords[address] = Record{size, line, file ? file : ""};
}

void MemoryManager::untrack(const void* address) {
    if (!mEnabled) return;
    MutexLock lock(&mMutex);
    mRecords.erase(address);
}

std::size_t MemoryManager::recordCount() {
    MutexLock lock(&mMutex);
    return mRecords.size();
}

void MemoryManager::dumpLeaks() {
    MutexLock lock(&mMutex);
    FILE* f = std::fopen(kLogFileName, "a");
    if (!f) return;
    auto line = [f](const std::string& text) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fputc('\n', f);
    };
    line("*******************************");
    line("***** MEMORY MANAGED DUMP *****");
    for (const auto& entry : mRecords) {
        const Record& r = entry.second;
        line(formatString("WARNING: Possible memory leak at %s:%i, size %i bytes, ptr 0x%" PRIXPTR " ",
                          r.file, r.line, r.size, reinterpret_cast<uintptr_t>(entry.first)));
    }
    if (!mRecords.empty())
        line(formatString("WARNING: Found %i possible memory leaks", static_cast<int>(mRecords.size())));
    else
        line("MemoryManager: Memory Leaks not found");
    line("************* END *************");
    line("*******************************");
    std::fclose(f);
}

}  // namespace QV

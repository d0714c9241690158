#pragma once

#include <pthread.h>

#include <cstdint>
#include <map>

#include "singleton.h"

namespace QV {

// Registry of tracked heap blocks; writes a leak report into "QV.log" at exit.
class MemoryManager : public Singleton<MemoryManager> {
public:
    struct Record {
        int32_t size;
        int32_t line;
        const char* file;
    };

    MemoryManager();
    ~MemoryManager() override;

    // Records a block (the file name must outlive the record: a literal).
    void track(const void* address, int32_t size, const char* file, int32_t line);
    void untrack(const void* address);
    std::size_t recordCount();

    // Appends the report to the log file, without the log's time prefix.
    void dumpLeaks();

    bool isEnabled() const { return mEnabled; }

private:
    std::map<const void*, Record> mRecords;
    pthread_mutex_t mMutex;
    bool mMutexCreated = false;
    bool mEnabled = false;
};

}  // namespace QV

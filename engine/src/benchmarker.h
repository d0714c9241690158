#pragma once

#include "singleton.h"
#include "stopwatch.h"

namespace QV {

// A pool of timing records for profiling; the engine keeps it switched off.
class Benchmarker : public Singleton<Benchmarker> {
public:
    static constexpr int kRecordCount = 100;

    struct Record {
        Record* next = nullptr;
        float accumulated = 0.0f;  // seconds
        WTimer timer;
        bool active = false;
    };

    Benchmarker();

    void setDisabled(int disabled) { mDisabled = disabled; }
    int isDisabled() const { return mDisabled; }

    // Start and stop timing a record; nothing happens while disabled or for a bad index.
    void begin(int index);
    void end(int index);
    // The record, or null for a bad index.
    const Record* record(int index) const;
    // Records that gathered time, linked through next; null while disabled.
    const Record* usedRecords();

private:
    int mDisabled = 1;
    Record mRecords[kRecordCount];
};

}  // namespace QV

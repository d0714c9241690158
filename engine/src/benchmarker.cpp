#include "benchmarker.h"

namespace QV {

Benchmarker::Benchmarker() {
    for (Record& record : mRecords) {
        record.accumulated = 0.0f;
        record.timer.reset();
    }
}

void Benchmarker::begin(int index) {
    if (mDisabled || index < 0 || index >= kRecordCount) return;
    mRecords[index].timer.reset();
    mRecords[index].active = true;
}

void Benchmarker::end(int index) {
    if (mDisabled || index < 0 || index >= kRecordCount || !mRecords[index].active) return;
    mRecords[index].accumulated += mRecords[index].timer.getElapsed();
    mRecords[index].active = false;
}

const Benchmarker::Record* Benchmarker::record(int index) const {
    if (index < 0 || index >= kRecordCount) return nullptr;
    return &mRecords[index];
}

const Benchmarker::Record* Benchmarker::usedRecords() {
    if (mDisabled) return nullptr;
    Record* head = nullptr;
    for (int i = kRecordCount - 1; i >= 0; --i) {
        mRecords[i].next = nullptr;
        if (mRecords[i].accumulated > 0.0f) {
            mRecords[i].next = head;
            head = &mRecords[i];
        }
    }
    return head;
}

}  // namespace QV

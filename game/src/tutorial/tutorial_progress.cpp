#include "tutorial/tutorial_progress.h"

#include <cstring>
#include <map>

#include "animationeditor/vector_stream.h"
#include "format_string.h"
#include "log_system.h"
#include "tutorial/tutorial_sequence.h"

namespace {

void warn(const std::string& message) {
    if (QV::LogSystem::instancePointer()) QV::logLine(message);
}

uint32_t readU32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void writeU32(AE::DataStream& stream, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    stream.write(bytes, 4);
}

}  // namespace

bool TutorialProgressRecord::index(int32_t* value) const {
    if (payload.size() < 4) return false;
    *value = static_cast<int32_t>(readU32(payload.data()));
    return true;
}

bool decodeTutorialProgress(const uint8_t* bytes, std::size_t size,
                            std::vector<TutorialProgressRecord>* records, std::string* error) {
    records->clear();
    std::size_t at = 0;
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (size < 4) return fail("no sequence count");
    const uint32_t count = readU32(bytes);
    at = 4;
    // The count is not trusted for allocation: records are read while bytes last.
    for (uint32_t i = 0; i < count; ++i) {
        const void* end = at < size ? std::memchr(bytes + at, 0, size - at) : nullptr;
        if (!end) return fail(QV::formatString("record %u: name not terminated", i));
        TutorialProgressRecord record;
        const std::size_t nameEnd = static_cast<const uint8_t*>(end) - bytes;
        record.name.assign(reinterpret_cast<const char*>(bytes + at), nameEnd - at);
        at = nameEnd + 1;
        if (size - at < 4) return fail(QV::formatString("record %u: no payload length", i));
        const uint32_t length = readU32(bytes + at);
        at += 4;
        if (size - at < length) return fail(QV::formatString("record %u: payload cut short", i));
        record.payload.assign(bytes + at, bytes + at + length);
        at += length;
        records->push_back(std::move(record));
    }
    return true;
}

void saveTutorialProgress(AE::DataStream& stream, const TutorialSequenceList& list) {
    writeU32(stream, static_cast<uint32_t>(list.size()));
    for (const TutorialSequence* sequence : list) {
        stream.write(sequence->mName.c_str(), static_cast<unsigned>(sequence->mName.size() + 1));
        writeU32(stream, 4);
        writeU32(stream, static_cast<uint32_t>(sequence->mCurrentIndex));
    }
}

bool loadTutorialProgress(AE::VectorStream& stream, TutorialSequenceList& list) {
    const int32_t total = stream.size();
    const unsigned left = total > 0 && static_cast<unsigned>(total) > stream.position()
                              ? static_cast<unsigned>(total) - stream.position()
                              : 0;
    std::vector<uint8_t> bytes(left);
    if (left) stream.read(bytes.data(), left);

    std::vector<TutorialProgressRecord> records;
    std::string error;
    if (!decodeTutorialProgress(bytes.data(), bytes.size(), &records, &error)) {
        warn(QV::formatString("WARNING: Tutorial progress is damaged (%s) and was ignored",
                              error.c_str()));
        return false;
    }
    bool whole = true;
    std::map<std::string, int32_t> indices;  // a repeated name keeps the later record
    for (const TutorialProgressRecord& record : records) {
        int32_t index = 0;
        if (!record.index(&index)) {
            warn(QV::formatString("WARNING: Tutorial progress of '%s' holds %u bytes, not an index; ignored",
                                  record.name.c_str(), static_cast<unsigned>(record.payload.size())));
            whole = false;
            indices.erase(record.name);
            continue;
        }
        indices[record.name] = index;
    }
    for (TutorialSequence* sequence : list) {
        auto it = indices.find(sequence->mName);
        if (it != indices.end()) sequence->setCurrentIndex(it->second);
    }
    return whole;
}

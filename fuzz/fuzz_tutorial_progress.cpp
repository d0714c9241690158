// Any bytes as the "tutorial" section of a profile: the decoder reads only
// what is there, and loading never reads out of range or changes a thing
// when it refuses the section.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "animationeditor/vector_stream.h"
#include "tutorial/tutorial_progress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<TutorialProgressRecord> records;
    std::string error;
    const bool whole = decodeTutorialProgress(data, size, &records, &error);
    size_t used = whole ? 4 : 0;
    for (const TutorialProgressRecord& record : records) {
        if (record.name.find('\0') != std::string::npos) std::abort();
        used += record.name.size() + 1 + 4 + record.payload.size();
    }
    if (whole && used > size) std::abort();

    std::vector<uint8_t> bytes(data, data + size);
    AE::VectorStream stream(&bytes);
    TutorialSequenceList none;
    loadTutorialProgress(stream, none);
    if (stream.position() != size) std::abort();
    return 0;
}

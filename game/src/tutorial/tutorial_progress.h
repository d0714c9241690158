#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tutorial/tutorial_registry.h"

namespace AE {
class DataStream;
class VectorStream;
}  // namespace AE

// One record of the "tutorial" section of the profile file: a sequence's
// name and its payload (four bytes: the index of its current lesson).
struct TutorialProgressRecord {
    std::string name;
    std::vector<uint8_t> payload;

    // The index the payload holds; false when it holds fewer than four bytes.
    bool index(int32_t* value) const;
};

// Reads the section's bytes without trusting them. False, with the reason,
// when the section is cut short; the records read are then incomplete.
bool decodeTutorialProgress(const uint8_t* bytes, std::size_t size,
                            std::vector<TutorialProgressRecord>* records, std::string* error);

// Writes the section: the sequence count, then per sequence its name, a zero
// byte, the payload length (4) and the index of its current lesson.
void saveTutorialProgress(AE::DataStream& stream, const TutorialSequenceList& list);

// Reads the section from the stream's position to its end and moves the
// named sequences to their saved lessons. A damaged section changes nothing
// and a record too short to hold an index is skipped, each with a warning;
// false when anything was ignored.
bool loadTutorialProgress(AE::VectorStream& stream, TutorialSequenceList& list);

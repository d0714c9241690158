// Damaged profile-file payloads: the section table, the "profile" stream, the
// "MainMode" section against a fixed episode shape and the "tutorial" records
// must be refused or read cleanly, never stop the program or overrun.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "player/checked_stream.h"
#include "player/main_mode_section.h"
#include "player/player_profile.h"
#include "player/profile_sections.h"
#include "tutorial/tutorial_progress.h"

namespace {

MainModeProgress episodeShape() {
    MainModeProgress shape;
    shape.episodes.resize(2);
    for (auto& episode : shape.episodes) {
        episode.parts.resize(2);
        for (auto& part : episode.parts) part.levels.resize(3);
    }
    return shape;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const MainModeProgress shape = episodeShape();
    SectionMap sections;
    if (!parseSectionTable(data, size, sections)) return 0;
    if (writeSectionTable(sections).size() > size) std::abort();
    for (const auto& [name, bytes] : sections) {
        if (name == "profile") {
            PlayerProfile profile;
            CheckedStream stream(bytes.data(), bytes.size());
            profile.read(stream);
        } else if (name == "MainMode") {
            MainModeProgress progress = shape;
            if (readMainModeSection(bytes.data(), bytes.size(), progress) == MainModeSectionRead::Read &&
                (progress.hearts < 0 || progress.hearts > kMaxHearts)) {
                std::abort();
            }
        } else if (name == "tutorial") {
            std::vector<TutorialProgressRecord> records;
            decodeTutorialProgress(bytes.data(), bytes.size(), &records, nullptr);
        }
    }
    return 0;
}

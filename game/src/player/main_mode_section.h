#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace AE {
class DataStream;
}

// The main mode's progress as its profile-file section holds it. The shape
// (episodes, parts, levels per part) comes from the episode data. The section
// stores each part's level count (older versions did not), so progress reads
// back when levels are added to or removed from the episode data.
struct MainModeLevelProgress {
    bool completed = false;
    int32_t bestScore = 0;
};

struct MainModePartProgress {
    bool closed = true;
    std::vector<MainModeLevelProgress> levels;
};

struct MainModeEpisodeProgress {
    std::vector<MainModePartProgress> parts;
};

struct MainModeProgress {
    int32_t hearts = 5;
    int64_t heartTime = 0;
    bool hasProgress = false;
    int32_t extraMoves = 0;
    int32_t currentEpisode = 0;
    int32_t currentPart = 0;
    int32_t currentLevel = 0;
    std::vector<MainModeEpisodeProgress> episodes;
};

constexpr uint32_t kMainModeSectionVersion = 13;
constexpr int32_t kMaxHearts = 5;

enum class MainModeSectionRead {
    Read,        // the section's values are in the progress
    Mismatch,    // cut short or not written against this episode data; progress untouched
};

// The current form (version 12).
void writeMainModeSection(AE::DataStream& stream, const MainModeProgress& progress);
// Bytes a version-12 section of this shape takes: 37 + 4 per episode + 1 per part + 5 per level.
size_t mainModeSectionLength(const MainModeProgress& shape);

// Reads version 12 and later, 11 and the unversioned older form into progress,
// whose episode tree gives the shape. The whole section must be used up
// exactly as the shape asks; otherwise one warning and nothing changes.
// Hearts come out clamped to 0..5.
MainModeSectionRead readMainModeSection(const uint8_t* bytes, size_t size, MainModeProgress& progress);
// The same over a stream: the rest of the stream is the section.
MainModeSectionRead readMainModeSection(AE::DataStream& stream, MainModeProgress& progress);

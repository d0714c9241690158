#include "player/main_mode_section.h"

#include <algorithm>
#include <string>

#include "animationeditor/vector_stream.h"
#include "player/checked_stream.h"
#include "player/player_data_log.h"

namespace {

// Parts stored with no level counts (versions up to 12): as many levels as
// levelCounts says, or as the shape has when it says nothing.
void readParts(CheckedStream& s, MainModeEpisodeProgress& episode, size_t count,
               const std::vector<size_t>* levelCounts = nullptr) {
    for (size_t p = 0; p < count && p < episode.parts.size(); ++p) {
        MainModePartProgress& part = episode.parts[p];
        part.closed = AE::readValue<uint8_t>(s) != 0;
        const size_t levels = levelCounts ? (*levelCounts)[p] : part.levels.size();
        for (size_t l = 0; l < levels && l < part.levels.size(); ++l) {
            part.levels[l].completed = AE::readValue<uint8_t>(s) != 0;
            part.levels[l].bestScore = AE::readValue<int32_t>(s);
        }
    }
}

// Parts stored with their level counts (version 13): levels the shape lacks are
// read and dropped; levels it has beyond the stored ones stay as they are.
void readCountedParts(CheckedStream& s, MainModeEpisodeProgress* episode, uint32_t count) {
    for (uint32_t p = 0; p < count && !s.failed(); ++p) {
        MainModePartProgress* part = episode && p < episode->parts.size() ? &episode->parts[p] : nullptr;
        const bool closed = AE::readValue<uint8_t>(s) != 0;
        if (part) part->closed = closed;
        const uint32_t levels = AE::readValue<uint32_t>(s);
        if (levels > s.remaining() / 5) {
            s.fail();
            return;
        }
        for (uint32_t l = 0; l < levels; ++l) {
            MainModeLevelProgress level;
            level.completed = AE::readValue<uint8_t>(s) != 0;
            level.bestScore = AE::readValue<int32_t>(s);
            if (part && l < part->levels.size()) part->levels[l] = level;
        }
    }
}

struct Header {
    uint32_t version = 0;
    size_t end = 0;  // bytes of the fixed fields
};

Header readHeader(CheckedStream& s, MainModeProgress& read) {
    Header h;
    h.version = AE::readValue<uint32_t>(s);
    if (h.version >= 11) {
        read.hearts = AE::readValue<int32_t>(s);
    } else {
        // The older form has no version word: the first word is the hearts count.
        read.hearts = static_cast<int32_t>(h.version);
    }
    read.heartTime = AE::readValue<int64_t>(s);
    read.hasProgress = AE::readValue<uint8_t>(s) != 0;
    read.extraMoves = AE::readValue<int32_t>(s);
    if (h.version >= 12) read.currentEpisode = AE::readValue<int32_t>(s);
    read.currentPart = AE::readValue<int32_t>(s);
    read.currentLevel = AE::readValue<int32_t>(s);
    return h;
}

// A version 12 section written before levels were added to the episode data
// is shorter than the shape asks. Levels are added at the end of the episodes,
// so the missing ones are taken from the last stored parts backwards; the
// levels played keep their progress and the new ones start unplayed.
bool readGrownVersion12(const uint8_t* bytes, size_t size, MainModeProgress& read) {
    CheckedStream s(bytes, size);
    readHeader(s, read);
    const uint32_t episodes = AE::readValue<uint32_t>(s);
    if (s.failed() || episodes == 0 || episodes > read.episodes.size()) return false;
    // The part counts sit between the episodes' level data, so walk them with
    // the shape's level counts first to learn how long the shape's data is.
    std::vector<std::vector<size_t>> counts(episodes);
    size_t wanted = s.position();
    for (uint32_t e = 0; e < episodes; ++e) {
        for (const MainModePartProgress& part : read.episodes[e].parts) counts[e].push_back(part.levels.size());
    }
    for (uint32_t e = 0; e < episodes; ++e) {
        wanted += 4;
        for (size_t n : counts[e]) wanted += 1 + 5 * n;
    }
    if (wanted <= size || (wanted - size) % 5 != 0) return false;
    size_t missing = (wanted - size) / 5;
    for (uint32_t e = episodes; e-- > 0 && missing > 0;) {
        for (size_t p = counts[e].size(); p-- > 0 && missing > 0;) {
            const size_t take = std::min(missing, counts[e][p]);
            counts[e][p] -= take;
            missing -= take;
        }
    }
    if (missing > 0) return false;
    for (uint32_t e = 0; e < episodes && !s.failed(); ++e) {
        const uint32_t parts = AE::readValue<uint32_t>(s);
        if (parts != counts[e].size()) return false;
        readParts(s, read.episodes[e], parts, &counts[e]);
    }
    return !s.failed() && s.atEnd();
}

}  // namespace

void writeMainModeSection(AE::DataStream& s, const MainModeProgress& progress) {
    AE::writeValue<uint32_t>(s, kMainModeSectionVersion);
    AE::writeValue<int32_t>(s, progress.hearts);
    AE::writeValue<int64_t>(s, progress.heartTime);
    AE::writeValue<uint8_t>(s, progress.hasProgress ? 1 : 0);
    AE::writeValue<int32_t>(s, progress.extraMoves);
    AE::writeValue<int32_t>(s, progress.currentEpisode);
    AE::writeValue<int32_t>(s, progress.currentPart);
    AE::writeValue<int32_t>(s, progress.currentLevel);
    AE::writeValue<uint32_t>(s, static_cast<uint32_t>(progress.episodes.size()));
    for (const MainModeEpisodeProgress& episode : progress.episodes) {
        AE::writeValue<uint32_t>(s, static_cast<uint32_t>(episode.parts.size()));
        for (const MainModePartProgress& part : episode.parts) {
            AE::writeValue<uint8_t>(s, part.closed ? 1 : 0);
            AE::writeValue<uint32_t>(s, static_cast<uint32_t>(part.levels.size()));
            for (const MainModeLevelProgress& level : part.levels) {
                AE::writeValue<uint8_t>(s, level.completed ? 1 : 0);
                AE::writeValue<int32_t>(s, level.bestScore);
            }
        }
    }
}

size_t mainModeSectionLength(const MainModeProgress& shape) {
    size_t length = 37;
    for (const MainModeEpisodeProgress& episode : shape.episodes) {
        length += 4;
        for (const MainModePartProgress& part : episode.parts) length += 1 + 4 + 5 * part.levels.size();
    }
    return length;
}

MainModeSectionRead readMainModeSection(const uint8_t* bytes, size_t size, MainModeProgress& progress) {
    MainModeProgress read = progress;
    CheckedStream s(bytes, size);
    const uint32_t v = readHeader(s, read).version;

    if (v >= 13) {
        const uint32_t episodes = AE::readValue<uint32_t>(s);
        for (uint32_t e = 0; e < episodes && !s.failed(); ++e) {
            const uint32_t parts = AE::readValue<uint32_t>(s);
            readCountedParts(s, e < read.episodes.size() ? &read.episodes[e] : nullptr, parts);
        }
    } else if (v == 12) {
        const uint32_t episodes = AE::readValue<uint32_t>(s);
        for (uint32_t e = 0; e < episodes && e < read.episodes.size() && !s.failed(); ++e) {
            const uint32_t parts = AE::readValue<uint32_t>(s);
            readParts(s, read.episodes[e], parts);
        }
    } else if (!read.episodes.empty()) {
        const size_t parts = v == 11 ? AE::readValue<uint32_t>(s) : read.episodes[0].parts.size();
        readParts(s, read.episodes[0], parts);
    } else if (v == 11) {
        AE::readValue<uint32_t>(s);
    }

    if (s.failed() || !s.atEnd()) {
        MainModeProgress grown = progress;
        if (v == 12 && readGrownVersion12(bytes, size, grown)) {
            logPlayerData("WARNING: The MainMode section was written before levels were added; "
                          "its progress is kept and the new levels start unplayed");
            read = std::move(grown);
        } else {
            logPlayerData("WARNING: The MainMode section (" + std::to_string(size) +
                          " bytes) does not match the episode data; the mode keeps its reset state");
            return MainModeSectionRead::Mismatch;
        }
    }
    read.hearts = std::clamp(read.hearts, 0, kMaxHearts);
    progress = std::move(read);
    return MainModeSectionRead::Read;
}

MainModeSectionRead readMainModeSection(AE::DataStream& stream, MainModeProgress& progress) {
    // Take whatever is left of the stream as the section.
    std::vector<uint8_t> bytes;
    if (CheckedStream* checked = dynamic_cast<CheckedStream*>(&stream)) {
        bytes.resize(checked->remaining());
    } else if (AE::VectorStream* vector = dynamic_cast<AE::VectorStream*>(&stream)) {
        bytes.resize(size_t(vector->size()) - vector->position());
    }
    if (!bytes.empty()) stream.read(bytes.data(), static_cast<unsigned>(bytes.size()));
    return readMainModeSection(bytes.data(), bytes.size(), progress);
}

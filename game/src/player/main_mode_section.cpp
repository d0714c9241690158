#include "player/main_mode_section.h"

#include <algorithm>
#include <string>

#include "animationeditor/vector_stream.h"
#include "player/checked_stream.h"
#include "player/player_data_log.h"

namespace {

void readParts(CheckedStream& s, MainModeEpisodeProgress& episode, size_t count) {
    for (size_t p = 0; p < count && p < episode.parts.size(); ++p) {
        MainModePartProgress& part = episode.parts[p];
        part.closed = AE::readValue<uint8_t>(s) != 0;
        for (MainModeLevelProgress& level : part.levels) {
            level.completed = AE::readValue<uint8_t>(s) != 0;
            level.bestScore = AE::readValue<int32_t>(s);
        }
    }
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
        for (const MainModePartProgress& part : episode.parts) length += 1 + 5 * part.levels.size();
    }
    return length;
}

MainModeSectionRead readMainModeSection(const uint8_t* bytes, size_t size, MainModeProgress& progress) {
    MainModeProgress read = progress;
    CheckedStream s(bytes, size);
    const uint32_t v = AE::readValue<uint32_t>(s);
    if (v >= 11) {
        read.hearts = AE::readValue<int32_t>(s);
    } else {
        // The older form has no version word: the first word is the hearts count.
        read.hearts = static_cast<int32_t>(v);
    }
    read.heartTime = AE::readValue<int64_t>(s);
    read.hasProgress = AE::readValue<uint8_t>(s) != 0;
    read.extraMoves = AE::readValue<int32_t>(s);
    if (v >= 12) read.currentEpisode = AE::readValue<int32_t>(s);
    read.currentPart = AE::readValue<int32_t>(s);
    read.currentLevel = AE::readValue<int32_t>(s);

    if (v >= 12) {
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
        logPlayerData("WARNING: The MainMode section (" + std::to_string(size) +
                      " bytes) does not match the episode data; the mode keeps its reset state");
        return MainModeSectionRead::Mismatch;
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

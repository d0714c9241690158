#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "animationeditor/vector_stream.h"
#include "player/checked_stream.h"
#include "player/game_properties.h"
#include "player/main_mode_section.h"
#include "player/player_profile.h"
#include "player/profile_sections.h"
#include "player/save_file.h"
#include "support/temp_dir.h"

namespace savetest {

inline std::vector<uint8_t> fileBytes(const std::string& path) {
    std::string text = qvtest::readFile(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

inline void putFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    qvtest::writeFile(path, std::string(bytes.begin(), bytes.end()));
}

inline std::vector<uint8_t> hexBytes(const std::string& hex) {
    std::vector<uint8_t> bytes;
    std::string digits;
    for (char c : hex) {
        if (c != ' ') digits.push_back(c);
    }
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// The profile stored in a folder's profile file, read without touching the
// GameProperties singleton; false when the file or its profile is unusable.
inline bool storedProfile(const std::string& folder, PlayerProfile& profile, uint64_t id = 0,
                          int platformCode = 0) {
    SaveFileInfo info = inspectSaveFile(folder + "/" + profileFileName(id), platformCode);
    if (info.status != SaveFileStatus::Ok) return false;
    SectionMap sections;
    if (!parseSectionTable(info.payload.data(), info.payload.size(), sections)) return false;
    auto it = sections.find("profile");
    if (it == sections.end()) return false;
    CheckedStream stream(it->second.data(), it->second.size());
    return profile.read(stream);
}

// Writes a profile file holding that profile and main-mode progress; 0 on success.
inline int writeProfileFile(const std::string& path, const PlayerProfile& profile, const MainModeProgress& progress,
                            int platformCode = 1) {
    SectionMap sections;
    AE::VectorStream profileStream(&sections["profile"]);
    profile.write(profileStream);
    AE::VectorStream modeStream(&sections["MainMode"]);
    writeMainModeSection(modeStream, progress);
    const std::vector<uint8_t> payload = writeSectionTable(sections);
    return writeSaveFileAt(path, payload.data(), int(payload.size()), platformCode);
}

}  // namespace savetest

#include "player/game_properties.h"

#include <cstdio>
#include <cstring>

#include "animationeditor/vector_stream.h"
#include "player/checked_stream.h"
#include "board/mode.h"
#include "flow/mode_factory.h"
#include "player/platform_config.h"
#include "player/player_data_log.h"
#include "player/save_file.h"

const char* const kLastProfileFileName = "last_profile.dat";
const char* const kProfileSectionName = "profile";
const char* const kTutorialSectionName = "tutorial";

std::string profileFileName(uint64_t id) { return "profile_" + formatProfileId(id) + ".dat"; }

GameProperties::GameProperties(const std::string& dataFolder)
    : mDataFolder(dataFolder.empty() ? userSaveFolder() : dataFolder) {
    createModes();
    mProfile = std::make_unique<PlayerProfile>();
    if (mDataFolder.empty()) {
        // Never fall back to the current folder: nothing is read or written.
        logPlayerData("WARNING: No per-user data folder; the profile is neither loaded nor saved");
        return;
    }
    if (mDataFolder.back() != '/') mDataFolder.push_back('/');
    loadLastProfile();
}

GameProperties::~GameProperties() {
    for (auto& [name, mode] : mModes) {
        unregisterSection(name);
        delete mode;
    }
    mModes.clear();
    mCurrentMode = nullptr;
}

void GameProperties::createModes() {
    const PlatformConfig* config = PlatformConfig::instancePointer();
    if (!config) return;
    for (const PlatformModeEntry& entry : config->modes()) {
        // The first entry of a class keeps its mode.
        if (mModes.count(entry.className)) continue;
        Mode* mode = createMode(entry.className, entry.params);
        if (!mode) continue;
        mModes[entry.className] = mode;
        ProfileSection section;
        section.write = [mode](AE::DataStream& out) { mode->writeSection(out); };
        // A mode's section that does not fit leaves the mode as it was reset; the
        // rest of the profile stays good.
        section.read = [mode](AE::DataStream& in) {
            mode->readSection(in);
            return true;
        };
        section.reset = [mode](bool newGame) { mode->reset(newGame ? 1 : 0); };
        registerSection(entry.className, std::move(section));
    }
}

void GameProperties::activateModes() {
    for (auto& [name, mode] : mModes) mode->createStates();
}

Mode* GameProperties::findMode(const std::string& name) const {
    const auto it = mModes.find(name);
    return it == mModes.end() ? nullptr : it->second;
}

bool GameProperties::loadLastProfile() {
    if (mDataFolder.empty()) return false;
    const std::string path = filePath(kLastProfileFileName);
    SaveFileInfo info = inspectSaveFile(path, currentPlatformCode());
    if (info.status == SaveFileStatus::Missing) return false;
    if (info.status != SaveFileStatus::Ok) {
        keepDamagedFile(path, saveFileStatusText(info.status));
        return false;
    }
    // Anything but exactly one profile id is not this file's content.
    if (info.payload.size() != sizeof(uint64_t)) {
        keepDamagedFile(path, "payload of " + std::to_string(info.payload.size()) + " bytes, not 8");
        return false;
    }
    uint64_t id = 0;
    for (int i = 7; i >= 0; --i) id = id << 8 | info.payload[size_t(i)];
    return loadProfile(id);
}

void GameProperties::keepDamagedFile(const std::string& path, const std::string& reason) {
    const std::string kept = path + ".bad";
    if (std::rename(path.c_str(), kept.c_str()) == 0) {
        logPlayerData("ERROR: Save file '" + path + "' refused (" + reason + "); kept as '" + kept +
                      "', going on with a fresh profile");
    } else {
        logPlayerData("ERROR: Save file '" + path + "' refused (" + reason +
                      "), and it could not be kept aside; going on with a fresh profile");
    }
}

bool GameProperties::readRegisteredSection(const std::string& name, const std::vector<uint8_t>& bytes) {
    auto it = mSections.find(name);
    if (it == mSections.end() || !it->second.read) return true;
    CheckedStream stream(bytes.data(), bytes.size());
    return it->second.read(stream) && !stream.failed();
}

bool GameProperties::loadProfile(uint64_t id) {
    resetAll();
    mKeptSections.clear();
    if (mDataFolder.empty()) return false;
    const std::string path = filePath(profileFileName(id));
    SaveFileInfo info = inspectSaveFile(path, currentPlatformCode());
    if (info.status == SaveFileStatus::Missing) return false;
    if (info.status != SaveFileStatus::Ok) {
        keepDamagedFile(path, saveFileStatusText(info.status));
        return false;
    }

    SectionMap sections;
    std::string problem;
    if (!parseSectionTable(info.payload.data(), info.payload.size(), sections)) {
        problem = "damaged section table";
    } else if (!sections.count(kProfileSectionName)) {
        problem = "no \"profile\" section";
    } else {
        const std::vector<uint8_t>& bytes = sections[kProfileSectionName];
        CheckedStream stream(bytes.data(), bytes.size());
        if (!mProfile->read(stream)) problem = "damaged \"profile\" section";
    }
    for (const auto& [name, bytes] : sections) {
        if (!problem.empty()) break;
        if (name == kProfileSectionName) continue;
        if (mSections.count(name)) {
            if (!readRegisteredSection(name, bytes)) problem = "damaged \"" + name + "\" section";
        } else {
            mKeptSections[name] = bytes;
        }
    }
    if (!problem.empty()) {
        mKeptSections.clear();
        resetAll();
        mProfile->mProfileId = id;
        keepDamagedFile(path, problem);
        return false;
    }
    return true;
}

bool GameProperties::saveProfile() {
    if (mDataFolder.empty()) return false;
    uint8_t idBytes[8];
    for (int i = 0; i < 8; ++i) idBytes[i] = static_cast<uint8_t>(mProfile->mProfileId >> (8 * i));
    const int platformCode = currentPlatformCode();
    writeSaveFileAt(filePath(kLastProfileFileName), idBytes, 8, platformCode);

    SectionMap sections = mKeptSections;
    {
        std::vector<uint8_t>& bytes = sections[kProfileSectionName];
        bytes.clear();
        AE::VectorStream stream(&bytes);
        mProfile->write(stream);
    }
    for (const auto& [name, section] : mSections) {
        if (!section.write) continue;
        std::vector<uint8_t>& bytes = sections[name];
        bytes.clear();
        AE::VectorStream stream(&bytes);
        section.write(stream);
    }
    // Without a tutorial to save, its progress is an empty list of sequences.
    if (!sections.count(kTutorialSectionName)) {
        std::vector<uint8_t>& bytes = sections[kTutorialSectionName];
        AE::VectorStream stream(&bytes);
        AE::writeValue<uint32_t>(stream, 0);
    }
    std::vector<uint8_t> payload = writeSectionTable(sections);
    if (payload.size() > size_t(kSaveFileMaxPayload)) {
        logPlayerData("WARNING: Profile not saved: " + std::to_string(payload.size()) +
                      " bytes are over the save-file limit");
        return false;
    }
    return writeSaveFileAt(filePath(profileFileName(mProfile->mProfileId)), payload.data(),
                           static_cast<int>(payload.size()), platformCode) == 0;
}

void GameProperties::newGame() {
    mProfile->resetProgress();
    for (auto& [name, section] : mSections) {
        if (section.reset) section.reset(true);
    }
}

void GameProperties::resetAll() {
    mProfile->resetAll();
    for (auto& [name, section] : mSections) {
        if (section.reset) section.reset(false);
    }
}

void GameProperties::registerSection(const std::string& name, ProfileSection section) {
    if (name == kProfileSectionName) return;
    mSections[name] = std::move(section);
    auto kept = mKeptSections.find(name);
    if (kept == mKeptSections.end()) return;
    std::vector<uint8_t> bytes = std::move(kept->second);
    mKeptSections.erase(kept);
    if (!readRegisteredSection(name, bytes)) {
        logPlayerData("ERROR: The \"" + name + "\" section of the profile file is damaged; it starts afresh");
        if (mSections[name].reset) mSections[name].reset(false);
    }
}

void GameProperties::unregisterSection(const std::string& name) { mSections.erase(name); }

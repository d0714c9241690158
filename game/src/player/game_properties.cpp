#include "player/game_properties.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "animationeditor/vector_stream.h"
#include "player/checked_stream.h"
#include "board/mode.h"
#include "flow/mode_factory.h"
#include "player/platform_config.h"
#include "player/player_data_log.h"
#include "player/save_file.h"
#include "social/facebook_message_dispatcher.h"
#include "social/facebook_message_listener.h"

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
        // rest of the profile stays good, and the file is copied aside before a
        // save writes the reset progress over it.
        const std::string name = entry.className;
        section.read = [this, mode, name](AE::DataStream& in) {
            if (!mode->readSection(in)) keepCopyOfLoadedFile("its \"" + name + "\" section does not fit the game's data");
            return true;
        };
        section.reset = [mode](bool newGame) { mode->reset(newGame ? 1 : 0); };
        registerSection(entry.className, std::move(section));
    }
}

void GameProperties::activateModes() {
    for (auto& [name, mode] : mModes) mode->createStates();
}

void GameProperties::registerMainModeListener() {
    // Without a main mode (a platform configuration that lists none) there is nobody to add.
    if (auto* listener = dynamic_cast<FacebookMessageListener*>(findMode("MainMode")))
        FacebookMessageDispatcher::instance()->addListener(listener);
}

Mode* GameProperties::findMode(const std::string& name) const {
    const auto it = mModes.find(name);
    return it == mModes.end() ? nullptr : it->second;
}

bool GameProperties::loadLastProfile() {
    if (mDataFolder.empty()) return false;
    const std::string path = filePath(kLastProfileFileName);
    SaveFileInfo info = inspectSaveFile(path, currentPlatformCode());
    std::string problem;
    if (info.status == SaveFileStatus::Missing) {
        problem = "missing";
    } else if (info.status != SaveFileStatus::Ok) {
        problem = saveFileStatusText(info.status);
    } else if (info.payload.size() != sizeof(uint64_t)) {
        // Anything but exactly one profile id is not this file's content.
        problem = "payload of " + std::to_string(info.payload.size()) + " bytes, not 8";
    }
    if (problem.empty()) {
        uint64_t id = 0;
        for (int i = 7; i >= 0; --i) id = id << 8 | info.payload[size_t(i)];
        const std::string named = filePath(profileFileName(id));
        if (id == 0 || inspectSaveFile(named, currentPlatformCode()).status != SaveFileStatus::Missing) {
            return loadProfile(id);
        }
        logPlayerData("WARNING: '" + path + "' names the profile file '" + named + "', which is missing");
    } else if (info.status != SaveFileStatus::Missing) {
        keepDamagedFile(path, problem, "looking for the profile files");
    }
    // Without a usable pointer the profile files that exist decide.
    const std::vector<uint64_t> ids = existingProfileIds();
    if (ids.empty()) {
        if (info.status != SaveFileStatus::Missing) logPlayerData("No profile file found; starting a fresh profile");
        return false;
    }
    // The default profile when it is there, else the one of the lowest id.
    const uint64_t id = std::find(ids.begin(), ids.end(), 0) != ids.end() ? 0 : ids.front();
    logPlayerData("No usable '" + std::string(kLastProfileFileName) + "' (" + (problem.empty() ? "its profile is missing" : problem) +
                  "); loading '" + filePath(profileFileName(id)) + "'");
    return loadProfile(id);
}

std::vector<uint64_t> GameProperties::existingProfileIds() const {
    std::vector<uint64_t> ids;
    DIR* folder = ::opendir(mDataFolder.c_str());
    if (!folder) return ids;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        const std::string prefix = "profile_", suffix = ".dat";
        if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
            continue;
        }
        const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        if (digits.size() > 20 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
        errno = 0;
        const unsigned long long id = std::strtoull(digits.c_str(), nullptr, 10);
        // Only names the game itself would write ("profile_0.dat", not "profile_00.dat").
        if (errno == 0 && profileFileName(id) == name) ids.push_back(id);
    }
    ::closedir(folder);
    std::sort(ids.begin(), ids.end());
    return ids;
}

void GameProperties::keepDamagedFile(const std::string& path, const std::string& reason, const std::string& outcome) {
    std::string error;
    const std::string kept = keepFileAside(path, &error);
    if (!kept.empty()) {
        logPlayerData("ERROR: Save file '" + path + "' refused (" + reason + "); kept as '" + kept + "', " + outcome);
    } else {
        logPlayerData("ERROR: Save file '" + path + "' refused (" + reason + "), and it could not be kept aside (" +
                      error + "); " + outcome + ", never saved over it");
    }
}

void GameProperties::keepCopyOfLoadedFile(const std::string& reason) {
    if (mLoadedPath.empty() || mLoadedFileCopied) return;
    mLoadedFileCopied = true;
    std::string error;
    const std::string kept = copyFileAside(mLoadedPath, &error);
    if (!kept.empty()) {
        logPlayerData("WARNING: Save file '" + mLoadedPath + "': " + reason + "; that part starts afresh, and a copy " +
                      "of the file as it was is kept as '" + kept + "'");
    } else {
        logPlayerData("ERROR: Save file '" + mLoadedPath + "': " + reason + ", and no copy could be kept (" + error +
                      "); it is kept aside before the next save");
        // Without a copy the file must not be written over.
        mLoadedPath.clear();
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
    mLoadedPath.clear();
    mLoadedFileCopied = false;
    if (mDataFolder.empty()) return false;
    const std::string path = filePath(profileFileName(id));
    SaveFileInfo info = inspectSaveFile(path, currentPlatformCode());
    if (info.status == SaveFileStatus::Missing) return false;
    if (info.status != SaveFileStatus::Ok) {
        keepDamagedFile(path, saveFileStatusText(info.status));
        return false;
    }
    mLoadedPath = path;

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
        mLoadedPath.clear();
        keepDamagedFile(path, problem);
        return false;
    }
    return true;
}

bool GameProperties::saveProfile() {
    if (mDataFolder.empty()) return false;
    const std::string path = filePath(profileFileName(mProfile->mProfileId));
    const int platformCode = currentPlatformCode();

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
        logPlayerData("ERROR: Save file '" + path + "' not written: " + std::to_string(payload.size()) +
                      " bytes are over the save-file limit");
        return false;
    }

    // A profile file this game did not load (or write) holds someone's progress: aside with it first.
    if (path != mLoadedPath) {
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0) {
            std::string error;
            const std::string kept = keepFileAside(path, &error);
            if (kept.empty()) {
                logPlayerData("ERROR: Save file '" + path + "' not written: it holds a profile that was not loaded, " +
                              "and it could not be kept aside (" + error + ")");
                return false;
            }
            logPlayerData("WARNING: Save file '" + path + "' holds a profile that was not loaded; kept as '" + kept +
                          "' before this save");
        }
    }
    if (writeSaveFileAt(path, payload.data(), static_cast<int>(payload.size()), platformCode) != 0) return false;
    mLoadedPath = path;

    // The pointer follows the profile file, so a failed save never leaves it naming a missing one.
    uint8_t idBytes[8];
    for (int i = 0; i < 8; ++i) idBytes[i] = static_cast<uint8_t>(mProfile->mProfileId >> (8 * i));
    writeSaveFileAt(filePath(kLastProfileFileName), idBytes, 8, platformCode);
    return true;
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
        keepCopyOfLoadedFile("its \"" + name + "\" section is damaged");
        if (mSections[name].reset) mSections[name].reset(false);
    }
}

void GameProperties::unregisterSection(const std::string& name) { mSections.erase(name); }

#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "player/player_profile.h"
#include "player/profile_sections.h"
#include "singleton.h"

namespace AE {
class DataStream;
}
class Mode;

// One named section of the profile file that another part of the game keeps
// (a mode's progress, the tutorial's). The reader gets a bounds-checked
// stream over the section and returns false when the bytes are unusable;
// reset(newGame) brings the owner back to its fresh state.
struct ProfileSection {
    std::function<void(AE::DataStream&)> write;
    std::function<bool(AE::DataStream&)> read;
    std::function<void(bool newGame)> reset;
};

extern const char* const kLastProfileFileName;  // "last_profile.dat"
extern const char* const kProfileSectionName;   // "profile"
extern const char* const kTutorialSectionName;  // "tutorial"
std::string profileFileName(uint64_t id);       // "profile_%s.dat"

// Owns the game modes of the platform configuration and the player's profile,
// and writes and reads the profile file with its sections. Each mode keeps
// the section named by its class. Loads the last used profile at construction.
class GameProperties : public QV::Singleton<GameProperties> {
public:
    // dataFolder: where the files live; empty = the per-user save folder.
    explicit GameProperties(const std::string& dataFolder = std::string());
    ~GameProperties() override;

    // True when "profile_%s.dat" was written. A failure logs one "ERROR:" line.
    // A file of that name which was neither loaded nor written here is kept
    // aside first (or, when that fails, not written over).
    bool saveProfile();
    // True when that profile file was read; otherwise the reset state stays.
    // A file that exists but cannot be used is kept aside.
    bool loadProfile(uint64_t id);
    // Reads "last_profile.dat" and the profile it names; when that file is
    // missing or unusable, or names a missing profile, the default profile
    // file (else the existing one of the lowest id) is loaded. False when none was loaded.
    bool loadLastProfile();

    void newGame();
    void resetAll();
    // Every mode creates and registers its game states (the last step of game start).
    void activateModes();
    // Adds the "MainMode" mode to the social messages' listeners (once).
    void registerMainModeListener();

    // The mode filed under that class name; looking up never adds an entry.
    Mode* findMode(const std::string& name) const;
    const std::map<std::string, Mode*>& modes() const { return mModes; }

    // A section owner plugs in; bytes of that section already loaded are read at once.
    void registerSection(const std::string& name, ProfileSection section);
    void unregisterSection(const std::string& name);
    bool hasSection(const std::string& name) const { return mSections.count(name) != 0; }
    // Loaded bytes of sections nobody has registered; written back unchanged.
    const SectionMap& keptSections() const { return mKeptSections; }

    PlayerProfile* profile() { return mProfile.get(); }
    Mode* currentMode() const { return mCurrentMode; }
    void setCurrentMode(Mode* mode) { mCurrentMode = mode; }

    const std::string& dataFolder() const { return mDataFolder; }
    std::string filePath(const std::string& name) const { return mDataFolder + name; }

private:
    void createModes();
    void keepDamagedFile(const std::string& path, const std::string& reason,
                         const std::string& outcome = "going on with a fresh profile");
    // A part of the loaded file that is dropped: the file is copied aside once per load.
    void keepCopyOfLoadedFile(const std::string& reason);
    // The ids of the "profile_%s.dat" files in the data folder, ascending.
    std::vector<uint64_t> existingProfileIds() const;
    bool readRegisteredSection(const std::string& name, const std::vector<uint8_t>& bytes);

    std::string mDataFolder;
    std::map<std::string, Mode*> mModes;  // owned
    std::unique_ptr<PlayerProfile> mProfile;
    Mode* mCurrentMode = nullptr;
    std::map<std::string, ProfileSection> mSections;
    SectionMap mKeptSections;
    // The profile file loaded or last written here: the one file a save may replace.
    std::string mLoadedPath;
    bool mLoadedFileCopied = false;
};

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "singleton.h"

// Four words kept as they stand; nothing here gives them a meaning.
struct FacebookDataEntry {
    uint32_t words[4] = {};
};

extern const char* const kFacebookDataFileName;  // "facebook_data.dat"

// u32 entry count, then 16 bytes per entry.
std::vector<uint8_t> encodeFacebookData(const std::vector<FacebookDataEntry>& entries);

// Writes the social data file; nothing reads it back.
class FacebookDataSaver : public QV::Singleton<FacebookDataSaver> {
public:
    // dataFolder: where the file lives; empty = the per-user save folder.
    explicit FacebookDataSaver(const std::string& dataFolder = std::string());
    ~FacebookDataSaver() override = default;

    void save();

    std::vector<FacebookDataEntry> entries;

private:
    std::string mDataFolder;
};

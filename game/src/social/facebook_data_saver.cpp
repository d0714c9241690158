#include "social/facebook_data_saver.h"

#include "animationeditor/vector_stream.h"
#include "player/save_file.h"

const char* const kFacebookDataFileName = "facebook_data.dat";

std::vector<uint8_t> encodeFacebookData(const std::vector<FacebookDataEntry>& entries) {
    std::vector<uint8_t> bytes;
    AE::VectorStream s(&bytes);
    AE::writeValue<uint32_t>(s, static_cast<uint32_t>(entries.size()));
    for (const FacebookDataEntry& entry : entries) {
        for (uint32_t word : entry.words) AE::writeValue<uint32_t>(s, word);
    }
    return bytes;
}

FacebookDataSaver::FacebookDataSaver(const std::string& dataFolder) : mDataFolder(dataFolder) {
    if (!mDataFolder.empty() && mDataFolder.back() != '/') mDataFolder.push_back('/');
}

void FacebookDataSaver::save() {
    const std::string folder = mDataFolder.empty() ? userSaveFolder() : mDataFolder;
    std::vector<uint8_t> payload = encodeFacebookData(entries);
    writeSaveFileAt(folder + kFacebookDataFileName, payload.data(), static_cast<int>(payload.size()),
                    currentPlatformCode());
}

#pragma once

#include <string>
#include <vector>

#include "singleton.h"

namespace QV {

// The current platform's name, process-wide; read from "config.lua" unless
// something set it before the configuration loaded.
extern std::string gCurrentPlatformName;

struct ConfigResolution {
    int width = 0;
    int height = 0;
};

// One platform of "config.lua".
struct ConfigPlatform {
    std::string name;
    std::vector<std::string> directories;
    ConfigResolution resolution;
    int fullscreenFitType = 0;
    float fullscreenMinimalAspect = 1.33f;
    float workspaceZoom = 1.0f;  // 1 unless fullscreenFitType is 2
};

// The engine's start-up configuration, read once from "config.lua".
class ConfigManager : public Singleton<ConfigManager> {
public:
    ConfigManager() = default;
    ~ConfigManager() override = default;

    // Reads "config.lua" of package "default"; a malformed file is fatal.
    void load();

    void setVertexFormat(int code) { mVertexFormat = code; }
    int vertexFormat() const { return mVertexFormat; }

    // Directories of the platform named like the current platform, or null.
    const std::vector<std::string>* currentPlatformDirectories() const;

    const std::vector<ConfigPlatform>& platforms() const { return mPlatforms; }
    // Null until load selected one.
    const ConfigPlatform* currentPlatform() const { return mCurrentPlatform; }
    const std::string& currentPlatformName() const { return gCurrentPlatformName; }

    // The current platform's settings; zeros and defaults before load.
    const ConfigResolution& resolution() const;
    int fullscreenFitType() const;
    float fullscreenMinimalAspect() const;
    float workspaceZoom() const;

    const std::string& currentLanguage() const { return mCurrentLanguage; }
    const std::string& defaultLanguage() const { return mDefaultLanguage; }

private:
    int mVertexFormat = 21;  // position, diffuse colour, one texture set
    std::vector<ConfigPlatform> mPlatforms;
    const ConfigPlatform* mCurrentPlatform = nullptr;
    std::string mCurrentLanguage;
    std::string mDefaultLanguage;
};

}  // namespace QV

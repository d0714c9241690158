#pragma once

#include <map>
#include <string>
#include <vector>

#include "singleton.h"

struct lua_State;

// One entry of the configured game modes.
struct PlatformModeEntry {
    std::string className;
    std::map<std::string, std::string> params;
};

// The game's own configuration ("platform_config_lua"): the platform code
// stamped into every save file and the game modes with their parameters.
class PlatformConfig : public QV::Singleton<PlatformConfig> {
public:
    // Reads "platform_config_lua" of package "default".
    PlatformConfig();
    // Configuration given directly (tools, tests).
    PlatformConfig(int platformCode, std::vector<PlatformModeEntry> modes);
    // Reads the configuration from script text.
    static PlatformConfig* fromScriptText(const std::string& text);

    int platformCode() const { return mPlatformCode; }
    const std::vector<PlatformModeEntry>& modes() const { return mModes; }

private:
    struct FromState {};
    PlatformConfig(FromState, lua_State* state);
    void readState(lua_State* state);

    int mPlatformCode = 0;
    std::vector<PlatformModeEntry> mModes;
};

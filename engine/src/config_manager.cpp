#include "config_manager.h"

extern "C" {
#include <lua.h>
}

#include "format_string.h"
#include "log_system.h"
#include "lua_script2.h"
#include "report_assert.h"

namespace QV {

std::string gCurrentPlatformName;

namespace {

const ConfigPlatform kNoPlatform;

void note(const std::string& line) {
    if (LogSystem* log = LogSystem::instancePointer()) log->write(line);
}

ConfigPlatform readPlatform(LuaScript2& script) {
    lua_State* L = script.state();
    ConfigPlatform platform;
    if (!script.getString("name", &platform.name)) QV_FATAL("");

    if (!script.openTable("directories")) QV_FATAL("");
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        std::string directory;
        if (script.topToString(&directory)) platform.directories.push_back(directory);
        lua_pop(L, 1);
    }
    script.closeTable();

    script.pushField("resolution");
    bool sized = lua_istable(L, -1) && script.getIntAt(1, &platform.resolution.width) &&
                 script.getIntAt(2, &platform.resolution.height);
    lua_pop(L, 1);
    if (!sized) {
        platform.resolution = ConfigResolution();
        QV_FATAL("");
    }
    // Later code divides by these.
    if (platform.resolution.width <= 0 || platform.resolution.height <= 0) {
        QV_FATAL(formatString("Platform '%s' has resolution %ix%i; both sides must be positive",
                              platform.name.c_str(), platform.resolution.width,
                              platform.resolution.height));
    }

    script.pushField("fullscreenFitType");
    if (!script.topToIntChecked(&platform.fullscreenFitType)) platform.fullscreenFitType = 0;
    lua_pop(L, 1);

    script.pushField("fullscreenMinimalAspect");
    if (!script.topToFloat(&platform.fullscreenMinimalAspect)) {
        platform.fullscreenMinimalAspect = 1.33f;
    }
    lua_pop(L, 1);

    platform.workspaceZoom = 1.0f;
    if (platform.fullscreenFitType == 2) {
        script.pushField("workspaceZoom");
        if (!script.topToFloat(&platform.workspaceZoom)) platform.workspaceZoom = 1.0f;
        lua_pop(L, 1);
    }
    return platform;
}

}  // namespace

void ConfigManager::load() {
    mPlatforms.clear();
    mCurrentPlatform = nullptr;
    LuaScript2 script(createLuaState());
    lua_State* L = script.state();
    if (!script.loadScript("config", "default")) QV_FATAL("Failed to load config file");
    if (!script.openTable("config")) QV_FATAL("Failed to open table");
    if (!script.openTable("platforms")) QV_FATAL("");
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (!script.openTopTable()) QV_FATAL("");
        mPlatforms.push_back(readPlatform(script));
        script.closeTable();
        lua_pop(L, 1);
    }
    script.closeTable();

    if (gCurrentPlatformName.empty()) {
        if (!script.getString("currentPlatform", &gCurrentPlatformName)) QV_FATAL("");
    }
    for (const ConfigPlatform& platform : mPlatforms) {
        if (platform.name == gCurrentPlatformName) {
            mCurrentPlatform = &platform;
            break;
        }
    }
    if (!mCurrentPlatform) QV_FATAL("Failed to find platform with specified name");
    note(formatString("Current platform: %s", gCurrentPlatformName.c_str()));

    if (!script.getString("currentLanguage", &mCurrentLanguage)) mCurrentLanguage = "en";
    script.getString("defaultLanguage", &mDefaultLanguage);
    note(formatString("Current language: %s", mCurrentLanguage.c_str()));
    script.closeTable();
}

const std::vector<std::string>* ConfigManager::currentPlatformDirectories() const {
    for (const ConfigPlatform& platform : mPlatforms) {
        if (platform.name == gCurrentPlatformName) return &platform.directories;
    }
    return nullptr;
}

const ConfigResolution& ConfigManager::resolution() const {
    return (mCurrentPlatform ? *mCurrentPlatform : kNoPlatform).resolution;
}

int ConfigManager::fullscreenFitType() const {
    return (mCurrentPlatform ? *mCurrentPlatform : kNoPlatform).fullscreenFitType;
}

float ConfigManager::fullscreenMinimalAspect() const {
    return (mCurrentPlatform ? *mCurrentPlatform : kNoPlatform).fullscreenMinimalAspect;
}

float ConfigManager::workspaceZoom() const {
    return (mCurrentPlatform ? *mCurrentPlatform : kNoPlatform).workspaceZoom;
}

}  // namespace QV

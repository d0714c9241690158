#include "player/platform_config.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "lua_script2.h"

namespace {

std::string stringField(lua_State* L, int table, const char* key) {
    lua_getfield(L, table, key);
    std::string value;
    if (lua_type(L, -1) == LUA_TSTRING || lua_type(L, -1) == LUA_TNUMBER) {
        size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        if (text) value.assign(text, length);
    }
    lua_pop(L, 1);
    return value;
}

}  // namespace

PlatformConfig::PlatformConfig() {
    QV::LuaScript2 script(QV::createLuaState());
    script.loadScript("platform_config_lua", "default");
    readState(script.state());
}

PlatformConfig::PlatformConfig(int platformCode, std::vector<PlatformModeEntry> modes)
    : mPlatformCode(platformCode), mModes(std::move(modes)) {}

PlatformConfig::PlatformConfig(FromState, lua_State* state) { readState(state); }

PlatformConfig* PlatformConfig::fromScriptText(const std::string& text) {
    lua_State* L = QV::createLuaState();
    if (L && luaL_loadbuffer(L, text.data(), text.size(), "platform_config_lua") == 0) {
        if (lua_pcall(L, 0, 0, 0) != 0) lua_pop(L, 1);
    } else if (L) {
        lua_pop(L, 1);
    }
    PlatformConfig* config = new PlatformConfig(FromState{}, L);
    if (L) lua_close(L);
    return config;
}

void PlatformConfig::readState(lua_State* L) {
    mPlatformCode = 0;
    mModes.clear();
    if (!L) return;
    lua_getglobal(L, "platformCode");
    if (lua_type(L, -1) == LUA_TNUMBER) mPlatformCode = static_cast<int>(lua_tointeger(L, -1));
    lua_pop(L, 1);

    lua_getglobal(L, "modes");
    if (lua_istable(L, -1)) {
        const int modes = lua_gettop(L);
        lua_pushnil(L);
        while (lua_next(L, modes) != 0) {
            if (lua_istable(L, -1)) {
                const int entryIndex = lua_gettop(L);
                PlatformModeEntry entry;
                entry.className = stringField(L, entryIndex, "class");
                lua_getfield(L, entryIndex, "params");
                if (lua_istable(L, -1)) {
                    const int params = lua_gettop(L);
                    lua_pushnil(L);
                    while (lua_next(L, params) != 0) {
                        if (lua_istable(L, -1)) {
                            const int param = lua_gettop(L);
                            entry.params[stringField(L, param, "key")] = stringField(L, param, "val");
                        }
                        lua_pop(L, 1);
                    }
                }
                lua_pop(L, 1);
                mModes.push_back(std::move(entry));
            }
            lua_pop(L, 1);
        }
    }
    lua_pop(L, 1);
}

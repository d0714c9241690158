#include <memory>

#include "lua_script2.h"
#include "sound_manager.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

namespace QV {

namespace {

// A field as a number (numeric text too); false when missing or not convertible,
// Lua booleans included.
bool readInt(lua_State* state, const char* key, int* value) {
    lua_getfield(state, -1, key);
    bool ok = lua_isnumber(state, -1) != 0;
    if (ok) *value = static_cast<int>(lua_tointeger(state, -1));
    lua_pop(state, 1);
    return ok;
}

bool readFloat(lua_State* state, const char* key, float* value) {
    lua_getfield(state, -1, key);
    bool ok = lua_isnumber(state, -1) != 0;
    if (ok) *value = static_cast<float>(lua_tonumber(state, -1));
    lua_pop(state, 1);
    return ok;
}

}  // namespace

bool SoundManager::loadSoundResources(const std::string& scriptName, const std::string& package) {
    if (!mHasDevice) return false;
    lua_State* state = createLuaState();
    if (!state) return false;
    // The script owns the state and closes it.
    std::unique_ptr<LuaScript2> script(new LuaScript2(state));
    bool result = false;
    if (script->loadScript(scriptName, package) && script->openTable("SoundResources")) {
        result = true;
        lua_pushnil(state);
        while (lua_next(state, -2) != 0) {
            if (lua_type(state, -1) == LUA_TTABLE) {
                SoundDescription description;
                lua_getfield(state, -1, "filename");
                if (lua_type(state, -1) == LUA_TSTRING || lua_type(state, -1) == LUA_TNUMBER)
                    description.fileName = lua_tostring(state, -1);
                lua_pop(state, 1);
                readFloat(state, "volume", &description.volume);
                readInt(state, "group", &description.group);
                int looped = 0;
                if (readInt(state, "looped", &looped)) description.looped = looped != 0;
                readInt(state, "priority", &description.priority);
                // A name registered already keeps its first description.
                if (!description.fileName.empty()) loadResource(description);
            }
            lua_pop(state, 1);  // the value; the key stays for lua_next
        }
        script->closeTable();
    }
    return result;
}

}  // namespace QV

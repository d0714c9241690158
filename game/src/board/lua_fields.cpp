#include "board/lua_fields.h"

extern "C" {
#include <lua.h>
}

#include <cmath>
#include <limits>

#include "lua_script2.h"

namespace {

bool numberOnTop(lua_State* L, double* out) {
    if (lua_type(L, -1) != LUA_TNUMBER && lua_type(L, -1) != LUA_TSTRING) return false;
    if (!lua_isnumber(L, -1)) return false;
    *out = lua_tonumber(L, -1);
    return true;
}

int clampToInt(double number) {
    if (std::isnan(number)) return 0;
    if (number >= 2147483647.0) return std::numeric_limits<int>::max();
    if (number <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(number);
}

}  // namespace

bool readIntField(QV::LuaScript2& script, const char* name, int* value) {
    lua_State* L = script.state();
    script.pushField(name);
    double number = 0;
    bool ok = numberOnTop(L, &number);
    if (ok) *value = clampToInt(number);
    lua_pop(L, 1);
    return ok;
}

bool readFloatField(QV::LuaScript2& script, const char* name, float* value) {
    lua_State* L = script.state();
    script.pushField(name);
    double number = 0;
    bool ok = numberOnTop(L, &number);
    if (ok) *value = static_cast<float>(number);
    lua_pop(L, 1);
    return ok;
}

bool readFlagField(QV::LuaScript2& script, const char* name, bool* value) {
    lua_State* L = script.state();
    script.pushField(name);
    double number = 0;
    bool ok = numberOnTop(L, &number);
    if (ok) *value = clampToInt(number) != 0;
    lua_pop(L, 1);
    return ok;
}

bool readStringField(QV::LuaScript2& script, const char* name, std::string* value) {
    return script.getString(name, value);
}

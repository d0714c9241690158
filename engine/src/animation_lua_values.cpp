#include "animation_lua_values.h"

#include <cmath>
#include <cstdint>

#include "lua_script2.h"

namespace QV {

namespace {

uint8_t lowByte(double number) {
    if (!std::isfinite(number)) return 0;
    // fmod keeps the integer part's low bits exact for any magnitude.
    double wrapped = std::fmod(std::trunc(number), 256.0);
    if (wrapped < 0) wrapped += 256.0;
    return static_cast<uint8_t>(wrapped);
}

}  // namespace

bool readLuaFloat(LuaScript2& script, const char* name, float* value) {
    script.pushField(name);
    bool found = script.topToFloat(value);
    lua_pop(script.state(), 1);
    return found;
}

bool readLuaPair(LuaScript2& script, const char* name, Vector2<float>* value) {
    float xy[2];
    bool found = script.getVector2(name, xy);
    *value = Vector2<float>(xy[0], xy[1]);
    return found;
}

bool readLuaRect(LuaScript2& script, const char* name, Rect* value) {
    float ltrb[4];
    bool found = script.getColor(name, ltrb);
    *value = Rect(ltrb[0], ltrb[1], ltrb[2], ltrb[3]);
    return found;
}

bool readLuaColorBytes(LuaScript2& script, const char* name, Color* value) {
    lua_State* L = script.state();
    *value = Color();
    lua_checkstack(L, 6);
    script.pushField(name);
    bool found = false;
    if (lua_istable(L, -1)) {
        uint8_t bytes[4];
        found = true;
        for (int k = 0; k < 4; ++k) {
            lua_rawgeti(L, -1, k + 1);
            if (lua_isnumber(L, -1)) {
                bytes[k] = lowByte(lua_tonumber(L, -1));
            } else {
                found = false;
            }
            lua_pop(L, 1);
        }
        if (found) *value = Color::fromBytes(bytes[0], bytes[1], bytes[2], bytes[3]);
    }
    lua_pop(L, 1);
    return found;
}

}  // namespace QV

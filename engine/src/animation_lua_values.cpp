#include "animation_lua_values.h"

#include "lua_script2.h"

namespace QV {

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
    return script.getColorBytes(name, value);
}

}  // namespace QV

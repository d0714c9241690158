#pragma once

#include <cstdint>
#include <string>

extern "C" {
#include <lua.h>
}

#include "lua_script2.h"
#include "rect.h"

namespace QV {

// Readers of description keys: a key of the wrong kind counts as not given
// and leaves the field as it was.

inline bool readString(LuaScript2& script, const char* key, std::string* out) {
    std::string value;
    if (!script.getString(key, &value)) return false;
    *out = value;
    return true;
}

inline bool readFloat(LuaScript2& script, const char* key, float* out) {
    script.pushField(key);
    float value = 0.0f;
    const bool ok = script.topToFloat(&value);
    lua_pop(script.state(), 1);
    if (ok) *out = value;
    return ok;
}

inline bool readInt(LuaScript2& script, const char* key, int32_t* out) {
    script.pushField(key);
    int value = 0;
    const bool ok = script.topToInt(&value);
    lua_pop(script.state(), 1);
    if (ok) *out = value;
    return ok;
}

inline bool readByte(LuaScript2& script, const char* key, uint8_t* out) {
    script.pushField(key);
    uint8_t value = 0;
    const bool ok = script.topToByte(&value);
    lua_pop(script.state(), 1);
    if (ok) *out = value;
    return ok;
}

inline bool readFlag(LuaScript2& script, const char* key, bool* out) {
    int32_t value = 0;
    if (!readInt(script, key, &value)) return false;
    *out = value != 0;
    return true;
}

inline bool readPair(LuaScript2& script, const char* key, float* out) {
    float pair[2];
    if (!script.getVector2(key, pair)) return false;
    out[0] = pair[0];
    out[1] = pair[1];
    return true;
}

inline bool readBox(LuaScript2& script, const char* key, Rect* out) {
    float box[4];
    if (!script.getColor(key, box)) return false;
    *out = Rect(box[0], box[1], box[2], box[3]);
    return true;
}

// Calls fn once for each table value of the current table (lua_next order),
// with that value as the current table.
template <class F>
void forEachEntry(LuaScript2& script, F fn) {
    lua_State* L = script.state();
    lua_checkstack(L, 4);
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (script.openTopTable()) {
            fn();
            script.closeTable();
        }
        lua_pop(L, 1);
    }
}

// The same over the list held by a key of the current table; nothing when it is no table.
template <class F>
void forEachTable(LuaScript2& script, const char* key, F fn) {
    if (!script.openTable(key)) return;
    forEachEntry(script, fn);
    script.closeTable();
}

}  // namespace QV

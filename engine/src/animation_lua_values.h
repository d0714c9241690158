#pragma once

#include "color.h"
#include "rect.h"
#include "vector2.h"

namespace QV {

class LuaScript2;

// Field readers of the current table shared by animation tracks and sprite
// descriptions. Each pushes the field, converts it and pops it again; on a
// missing or unreadable value the output gets the stated default and the
// result is false.

// A number or numeric string; default 0.
bool readLuaFloat(LuaScript2& script, const char* name, float* value);
// {x, y}; default (0, 0).
bool readLuaPair(LuaScript2& script, const char* name, Vector2<float>* value);
// {left, top, right, bottom} through the four-number reader; default all 0.
bool readLuaRect(LuaScript2& script, const char* name, Rect* value);
// {red, green, blue, alpha} of numbers 0..255, each truncated with its low
// eight bits kept; default all four bytes 0.
bool readLuaColorBytes(LuaScript2& script, const char* name, Color* value);

}  // namespace QV

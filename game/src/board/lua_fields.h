#pragma once

#include <string>

namespace QV {
class LuaScript2;
}

// Field readers on the script's current table (globals at depth 0). Numbers
// and numeric strings count; booleans and other values read as missing and
// leave the value untouched.
bool readIntField(QV::LuaScript2& script, const char* name, int* value);
bool readFloatField(QV::LuaScript2& script, const char* name, float* value);
// A numeric flag: non-zero is true.
bool readFlagField(QV::LuaScript2& script, const char* name, bool* value);
// Strings, and numbers in their string form.
bool readStringField(QV::LuaScript2& script, const char* name, std::string* value);

#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "vector2.h"

namespace QV {
class LuaScript2;
}
class GameLevel;
class MainMode;

// What the lessons read of their "data" table and of the running level.
namespace lesson_support {

// Reading the open "data" table: missing strings read as empty (or the
// fallback), numbers as 0, points as (0, 0); a number is true when not 0.
bool hasKey(QV::LuaScript2& data, const char* key);
std::string readString(QV::LuaScript2& data, const char* key, const std::string& fallback = std::string());
bool readFlag(QV::LuaScript2& data, const char* key);
QV::Vector2<float> readPoint(QV::LuaScript2& data, const char* key);
void readIntPair(QV::LuaScript2& data, const char* key, int32_t* pair);
// The "chips" cells: {column, row} pairs, or {x = column, y = row} tables.
std::vector<std::pair<int32_t, int32_t>> readCells(QV::LuaScript2& data, const char* key);

// The level state and the main mode of the running level (null when absent).
GameLevel* level();
MainMode* mainMode();
// The lesson's level matches: it is empty or names the level byte for byte.
bool levelMatches(const std::string& lessonLevel, const std::string& levelName);
// The running level's script name ("" without a main mode).
std::string currentLevelScript();
// The running level was won before (the player replays it).
bool levelCompleted();
// The level state exists and has finished loading.
bool levelLoaded();
int openDialogCount();
// The level's interface, enabled or disabled only when it is not so already.
void setInterfaceEnabled(bool enabled);
// Screen points of a cell's centre and of its top-left corner.
QV::Vector2<float> cellCentre(int32_t column, int32_t row);
QV::Vector2<float> cellCorner(int32_t column, int32_t row);

}  // namespace lesson_support

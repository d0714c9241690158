#include "tutorial/lesson_support.h"

extern "C" {
#include <lua.h>
}

#include "board/game_field.h"
#include "board/mode.h"
#include "flow/game_level.h"
#include "flow/game_state_manager.h"
#include "flow/main_mode.h"
#include "lua_script2.h"
#include "ui/ui_widget.h"

namespace lesson_support {

bool hasKey(QV::LuaScript2& data, const char* key) {
    data.pushField(key);
    const bool present = !lua_isnil(data.state(), -1);
    lua_pop(data.state(), 1);
    return present;
}

std::string readString(QV::LuaScript2& data, const char* key, const std::string& fallback) {
    std::string value;
    data.pushField(key);
    const bool isString = lua_type(data.state(), -1) == LUA_TSTRING;
    lua_pop(data.state(), 1);
    if (!isString || !data.getString(key, &value)) return fallback;
    return value;
}

bool readFlag(QV::LuaScript2& data, const char* key) {
    data.pushField(key);
    lua_State* L = data.state();
    bool value = false;
    if (lua_type(L, -1) == LUA_TNUMBER) value = lua_tonumber(L, -1) != 0;
    else if (lua_type(L, -1) == LUA_TBOOLEAN) value = lua_toboolean(L, -1) != 0;
    lua_pop(L, 1);
    return value;
}

QV::Vector2<float> readPoint(QV::LuaScript2& data, const char* key) {
    float xy[2] = {0.0f, 0.0f};
    if (!data.getVector2(key, xy)) return QV::Vector2<float>();
    return QV::Vector2<float>(xy[0], xy[1]);
}

void readIntPair(QV::LuaScript2& data, const char* key, int32_t* pair) {
    int values[2] = {0, 0};
    data.getIntPair(key, values);
    pair[0] = values[0];
    pair[1] = values[1];
}

namespace {

int32_t integerAt(lua_State* L, int index) {
    if (lua_type(L, index) != LUA_TNUMBER) return 0;
    const lua_Number n = lua_tonumber(L, index);
    if (!(n > -2147483648.0 && n < 2147483647.0)) return 0;
    return static_cast<int32_t>(n);
}

}  // namespace

std::vector<std::pair<int32_t, int32_t>> readCells(QV::LuaScript2& data, const char* key) {
    std::vector<std::pair<int32_t, int32_t>> cells;
    data.pushField(key);
    lua_State* L = data.state();
    if (lua_istable(L, -1)) {
        const int count = static_cast<int>(lua_objlen(L, -1));
        for (int i = 1; i <= count; ++i) {
            lua_rawgeti(L, -1, i);
            if (lua_istable(L, -1)) {
                lua_getfield(L, -1, "x");
                const bool named = !lua_isnil(L, -1);
                lua_pop(L, 1);
                // {column, row}, or {x = column, y = row}; a missing one is 0.
                lua_rawgeti(L, -1, 1);
                lua_rawgeti(L, -2, 2);
                lua_getfield(L, -3, "x");
                lua_getfield(L, -4, "y");
                if (named || lua_type(L, -2) == LUA_TNUMBER || lua_type(L, -1) == LUA_TNUMBER) {
                    cells.emplace_back(integerAt(L, -2), integerAt(L, -1));
                } else {
                    cells.emplace_back(integerAt(L, -4), integerAt(L, -3));
                }
                lua_pop(L, 4);
            }
            lua_pop(L, 1);
        }
    }
    lua_pop(L, 1);
    return cells;
}

GameLevel* level() {
    GameStateManager* states = GameStateManager::instancePointer();
    return states ? dynamic_cast<GameLevel*>(states->getGameLevel()) : nullptr;
}

MainMode* mainMode() {
    if (GameLevel* state = level()) {
        if (auto* mode = dynamic_cast<MainMode*>(state->mode())) return mode;
    }
    return dynamic_cast<MainMode*>(Mode::current());
}

bool levelMatches(const std::string& lessonLevel, const std::string& levelName) {
    return lessonLevel.empty() || lessonLevel == levelName;
}

std::string currentLevelScript() {
    MainMode* mode = mainMode();
    return mode ? mode->levelScript() : std::string();
}

bool levelCompleted() {
    MainMode* mode = mainMode();
    return mode && mode->currentLevel() && mode->currentLevel()->mCompleted;
}

bool levelLoaded() {
    GameLevel* state = level();
    return state && state->isLoaded();
}

int openDialogCount() {
    GameLevel* state = level();
    return state ? state->openDialogCount() : 0;
}

void setInterfaceEnabled(bool enabled) {
    GameLevel* state = level();
    QV::UIWidget* interface = state ? state->getInterface() : nullptr;
    if (!interface) return;
    if (enabled && !interface->isEnabled()) interface->enable();
    if (!enabled && interface->isEnabled()) interface->disable();
}

QV::Vector2<float> cellCentre(int32_t column, int32_t row) {
    GameLevel* state = level();
    GameField* field = state ? state->getField() : nullptr;
    const QV::Vector2<float> cell(static_cast<float>(column) + 0.5f, static_cast<float>(row) + 0.5f);
    return field ? field->cellToScreen(cell) : QV::Vector2<float>();
}

QV::Vector2<float> cellCorner(int32_t column, int32_t row) {
    GameLevel* state = level();
    GameField* field = state ? state->getField() : nullptr;
    const QV::Vector2<float> cell(static_cast<float>(column), static_cast<float>(row));
    return field ? field->cellToScreen(cell) : QV::Vector2<float>();
}

}  // namespace lesson_support

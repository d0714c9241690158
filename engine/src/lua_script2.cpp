#include "lua_script2.h"

extern "C" {
#include <lauxlib.h>
#include <lualib.h>
}

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "color.h"
#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "report_assert.h"

namespace QV {

// The work left to a state's Lua code; the count hook finds it in the registry.
struct LuaWorkLimit {
    lua_State* main = nullptr;
    long limit = 0;
    long left = 0;
    bool spent = false;
};

namespace {

char gWorkLimitKey;
// Instructions between two calls of the count hook.
constexpr int kWorkHookStep = 1000;
// An error message longer than this is cut (it goes on one log line).
constexpr size_t kErrorTextLimit = 300;

LuaWorkLimit* workLimitOf(lua_State* L) {
    lua_pushlightuserdata(L, &gWorkLimitKey);
    lua_rawget(L, LUA_REGISTRYINDEX);
    auto* work = static_cast<LuaWorkLimit*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    return work;
}

void workHook(lua_State* L, lua_Debug*) {
    LuaWorkLimit* work = workLimitOf(L);
    if (!work) return;
    if (!work->spent) {
        work->left -= kWorkHookStep;
        if (work->left > 0) return;
        work->spent = true;
        // From now on every instruction raises, in every thread, so a script
        // that catches the error in a loop cannot go on.
        lua_sethook(work->main, workHook, LUA_MASKCOUNT, 1);
        if (L != work->main) lua_sethook(L, workHook, LUA_MASKCOUNT, 1);
    }
    char text[96];
    std::snprintf(text, sizeof text, "stopped after %ld Lua instructions", work->limit);
    luaL_error(L, "%s", text);
}

// (table, key) -> table[key], metamethods included.
int getFieldCall(lua_State* L) {
    lua_settop(L, 2);
    lua_gettable(L, 1);
    return 1;
}

// (table, key) -> the next key and value, or nil, nil at the end.
int nextCall(lua_State* L) {
    lua_settop(L, 2);
    if (lua_next(L, 1) != 0) return 2;
    lua_pushnil(L);
    lua_pushnil(L);
    return 2;
}

// One line of text from an error value.
std::string errorText(lua_State* L, int index) {
    const char* message = lua_isstring(L, index) ? lua_tostring(L, index) : nullptr;
    std::string text = message ? message : "(an error value that is no text)";
    if (text.size() > kErrorTextLimit) text = text.substr(0, kErrorTextLimit) + "...";
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    return text;
}

// Colour references may point at further references; a chain this long is a
// loop in the data.
constexpr int kColorReferenceLimit = 16;
thread_local int tColorReferenceDepth = 0;

void note(const std::string& line) {
    if (LogSystem* log = LogSystem::instancePointer()) log->write(line);
}

// Truncation toward zero, kept inside the integer range (NaN gives 0).
int64_t truncateWide(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9.2e18) return std::numeric_limits<int64_t>::max();
    if (value <= -9.2e18) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

int truncateInt(double value) {
    int64_t wide = truncateWide(value);
    if (wide > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (wide < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(wide);
}

// Numbers and numeric strings; booleans and everything else are not numbers here.
bool numberAt(lua_State* L, int index, double* out) {
    if (!lua_isnumber(L, index)) return false;
    *out = lua_tonumber(L, index);
    return true;
}

// Entries 1..count of the table on top, as numbers; the stack is left as it
// was. False when the top is no table or an entry is no number.
bool numbersOfTable(lua_State* L, int count, double* out) {
    if (!lua_istable(L, -1)) return false;
    lua_checkstack(L, count + 4);
    bool allNumbers = true;
    for (int i = 0; i < count; ++i) {
        lua_rawgeti(L, -1 - i, i + 1);
        if (!numberAt(L, -1, &out[i])) allNumbers = false;
    }
    lua_pop(L, count);
    return allNumbers;
}

bool stringAt(lua_State* L, int index, std::string* out) {
    if (!lua_isstring(L, index)) return false;
    size_t length = 0;
    const char* text = lua_tolstring(L, index, &length);
    out->assign(text, length);
    return true;
}

ScriptLoad runChunk(lua_State* L, const std::vector<char>& bytes, uint32_t size,
                    const std::string& name) {
    if (size > 0 && static_cast<unsigned char>(bytes[0]) == 0x1B) {
        if (luaL_loadbuffer(L, bytes.data(), size, name.c_str()) != 0) {
            return ScriptLoad::LoadFailed;
        }
        if (lua_pcall(L, 0, LUA_MULTRET, 0) != 0) {
            // The chunk loaded, so it counts as loaded, but the failure is not silent.
            const char* message = lua_tostring(L, -1);
            note(formatString("WARNING: Precompiled script '%s' failed to run: %s", name.c_str(),
                              message ? message : "(no message)"));
            lua_pop(L, 1);
        }
        return ScriptLoad::Loaded;
    }
    const char* text = bytes.data();
    if (luaL_loadbuffer(L, text, std::strlen(text), text) != 0) return ScriptLoad::LoadFailed;
    if (lua_pcall(L, 0, LUA_MULTRET, 0) != 0) return ScriptLoad::RunFailed;
    return ScriptLoad::Loaded;
}

}  // namespace

void* luaAllocate(void*, void* block, size_t, size_t newSize) {
    if (newSize == 0) {
        std::free(block);
        return nullptr;
    }
    return std::realloc(block, newSize);
}

lua_State* createLuaState() {
    lua_State* L = luaL_newstate();
    if (!L) return nullptr;
    lua_setallocf(L, luaAllocate, nullptr);
    luaL_openlibs(L);
    return L;
}

LuaScript2::LuaScript2(lua_State* state, int depth) : mState(state), mDepth(depth) {}

LuaScript2::~LuaScript2() {
    // The work limit outlives the state: finalizers run while it closes.
    if (mState) lua_close(mState);
}

void LuaScript2::limitWork(long instructions) {
    if (!mState) return;
    if (!mWork) {
        mWork = std::make_unique<LuaWorkLimit>();
        lua_pushlightuserdata(mState, &gWorkLimitKey);
        lua_pushlightuserdata(mState, mWork.get());
        lua_rawset(mState, LUA_REGISTRYINDEX);
    }
    mWork->main = mState;
    mWork->limit = instructions;
    mWork->left = instructions;
    mWork->spent = false;
    lua_sethook(mState, workHook, LUA_MASKCOUNT, kWorkHookStep);
}

bool LuaScript2::workSpent() const { return mWork && mWork->spent; }

std::string LuaScript2::readError() const {
    if (!mReadError.empty()) return mReadError;
    if (workSpent()) return formatString("stopped after %ld Lua instructions", mWork->limit);
    return std::string();
}

bool LuaScript2::protectedCall(int args, int results) {
    // Under a work limit the collector runs only here, where a raising
    // finalizer is caught.
    if (mWork) lua_gc(mState, LUA_GCRESTART, 0);
    const int status = lua_pcall(mState, args, results, 0);
    if (mWork) lua_gc(mState, LUA_GCSTOP, 0);
    if (status == 0) return true;
    if (mReadError.empty()) mReadError = errorText(mState, -1);
    lua_pop(mState, 1);
    for (int i = 0; i < results; ++i) lua_pushnil(mState);
    return false;
}

ScriptLoad LuaScript2::loadScriptChecked(const std::string& name, const std::string& package) {
    if (!mState) return ScriptLoad::Missing;
    FileSystem* fs = FileSystem::instancePointer();
    if (!fs) return ScriptLoad::Missing;
    std::unique_ptr<File> file(fs->open(package, name));
    if (!file) return ScriptLoad::Missing;
    std::vector<char> bytes;
    uint32_t size = readWholeFile(*file, bytes);
    file.reset();
    return runChunk(mState, bytes, size, name);
}

bool LuaScript2::loadScript(const std::string& name, const std::string& package) {
    return loadScriptChecked(name, package) == ScriptLoad::Loaded;
}

void LuaScript2::pushField(const char* name) {
    if (mWork) lua_gc(mState, LUA_GCSTOP, 0);
    lua_checkstack(mState, 6);
    lua_pushcfunction(mState, getFieldCall);
    lua_pushvalue(mState, mDepth == 0 ? LUA_GLOBALSINDEX : -2);
    lua_pushstring(mState, name);
    protectedCall(2, 1);
}

bool LuaScript2::next() {
    if (mWork) lua_gc(mState, LUA_GCSTOP, 0);
    lua_checkstack(mState, 6);
    // ..., table, key -> ..., table, nextCall, table, key
    lua_pushcfunction(mState, nextCall);
    lua_pushvalue(mState, -3);
    lua_pushvalue(mState, -3);
    lua_remove(mState, -4);
    if (!protectedCall(2, 2) || lua_isnil(mState, -2)) {
        lua_pop(mState, 2);
        return false;
    }
    return true;
}

void LuaScript2::popField() { lua_pop(mState, 1); }

bool LuaScript2::openTable(const char* name) {
    if (!mState || !name) return false;
    pushField(name);
    if (lua_istable(mState, -1)) {
        ++mDepth;
        return true;
    }
    popField();
    return false;
}

bool LuaScript2::openTopTable() {
    if (mDepth == 0) {
        QV_FATAL("Невозможно читать текущую таблицу из глобального пространства.");
    }
    if (!lua_istable(mState, -1)) return false;
    lua_checkstack(mState, 4);
    lua_pushvalue(mState, -1);
    ++mDepth;
    return true;
}

bool LuaScript2::beginTable() {
    lua_checkstack(mState, 4);
    lua_pushnil(mState);
    return lua_next(mState, -2) != 0;
}

void LuaScript2::closeTable() {
    --mDepth;
    if (mDepth < 0) {
        QV_FATAL("LuaScript::closeTable() вызван излишнее кол-во раз");
    }
    lua_pop(mState, 1);
}

bool LuaScript2::getString(const char* name, std::string* value) {
    if (!value) return false;
    value->clear();
    pushField(name);
    bool ok = stringAt(mState, -1, value);
    popField();
    return ok;
}

bool LuaScript2::getBool(const char* name, bool* value) {
    if (!value) return false;
    *value = false;
    pushField(name);
    double number = 0;
    bool ok = numberAt(mState, -1, &number);
    if (ok) *value = truncateWide(number) != 0;
    popField();
    return ok;
}

bool LuaScript2::getVector2(const char* name, float* xy) {
    if (!xy) return false;
    xy[0] = xy[1] = 0.0f;
    pushField(name);
    double numbers[2];
    bool ok = numbersOfTable(mState, 2, numbers);
    if (ok) {
        xy[0] = static_cast<float>(numbers[0]);
        xy[1] = static_cast<float>(numbers[1]);
    }
    popField();
    return ok;
}

bool LuaScript2::getIntPair(const char* name, int* pair) {
    if (!pair) return false;
    pair[0] = pair[1] = 0;
    pushField(name);
    double numbers[2];
    bool ok = numbersOfTable(mState, 2, numbers);
    if (ok) {
        pair[0] = truncateInt(numbers[0]);
        pair[1] = truncateInt(numbers[1]);
    }
    popField();
    return ok;
}

bool LuaScript2::readColorAtTop(float* rgba) {
    if (!lua_istable(mState, -1)) return false;
    double numbers[4];
    if (numbersOfTable(mState, 4, numbers)) {
        for (int i = 0; i < 4; ++i) rgba[i] = static_cast<float>(numbers[i]);
        return true;
    }
    // Reference form: {script, colour field, package}.
    std::string parts[3];
    bool allStrings = true;
    for (int i = 0; i < 3; ++i) {
        lua_rawgeti(mState, -1, i + 1);
        if (!stringAt(mState, -1, &parts[i])) allStrings = false;
        lua_pop(mState, 1);
    }
    if (!allStrings) return false;
    return getColorFromScript(rgba, parts[0], parts[1], parts[2]);
}

bool LuaScript2::getColor(const char* name, float* rgba) {
    if (!rgba) return false;
    for (int i = 0; i < 4; ++i) rgba[i] = 0.0f;
    pushField(name);
    bool ok = readColorAtTop(rgba);
    popField();
    if (!ok) {
        for (int i = 0; i < 4; ++i) rgba[i] = 0.0f;
    }
    return ok;
}

bool LuaScript2::getColorBytes(const char* name, Color* color) {
    if (!color) return false;
    *color = Color();
    pushField(name);
    double numbers[4];
    bool ok = numbersOfTable(mState, 4, numbers);
    if (ok) {
        auto byte = [](double v) { return static_cast<uint8_t>(truncateWide(v) & 0xFF); };
        *color = Color::fromBytes(byte(numbers[0]), byte(numbers[1]), byte(numbers[2]), byte(numbers[3]));
    }
    popField();
    return ok;
}

bool LuaScript2::getColorFromScript(float* rgba, const std::string& script,
                                    const std::string& field, const std::string& package) {
    for (int i = 0; i < 4; ++i) rgba[i] = 0.0f;
    if (tColorReferenceDepth >= kColorReferenceLimit) {
        note(formatString("WARNING: Colour reference '%s' in '%s' refers to itself",
                          field.c_str(), script.c_str()));
        return false;
    }
    ++tColorReferenceDepth;
    LuaScript2 other(createLuaState());
    other.loadScript(script, package);
    bool ok = other.getColor(field.c_str(), rgba);
    --tColorReferenceDepth;
    return ok;
}

bool LuaScript2::topToString(std::string* value) {
    if (!value) return false;
    value->clear();
    return stringAt(mState, -1, value);
}

bool LuaScript2::topToFloat(float* value) {
    if (!value) return false;
    *value = 0.0f;
    double number = 0;
    if (!numberAt(mState, -1, &number)) return false;
    *value = static_cast<float>(number);
    return true;
}

bool LuaScript2::topToInt(int* value) {
    if (!value) return false;
    *value = 0;
    double number = 0;
    if (!numberAt(mState, -1, &number)) return false;
    *value = truncateInt(number);
    return true;
}

bool LuaScript2::topToIntChecked(int* value) { return topToInt(value); }

bool LuaScript2::topToByte(uint8_t* value) {
    if (!value) return false;
    *value = 0;
    double number = 0;
    if (!numberAt(mState, -1, &number)) return false;
    *value = static_cast<uint8_t>(truncateWide(number) & 0xFF);
    return true;
}

bool LuaScript2::getStringAt(int index, std::string* value) {
    if (!value) return false;
    lua_checkstack(mState, 2);
    lua_rawgeti(mState, -1, index);
    std::string text;
    bool ok = stringAt(mState, -1, &text);
    if (ok) *value = text;
    lua_pop(mState, 1);
    return ok;
}

bool LuaScript2::getFloatAt(int index, float* value) {
    if (!value) return false;
    lua_checkstack(mState, 2);
    lua_rawgeti(mState, -1, index);
    double number = 0;
    bool ok = numberAt(mState, -1, &number);
    if (ok) *value = static_cast<float>(number);
    lua_pop(mState, 1);
    return ok;
}

bool LuaScript2::getIntAt(int index, int* value) {
    if (!value) return false;
    lua_checkstack(mState, 2);
    lua_rawgeti(mState, -1, index);
    double number = 0;
    bool ok = numberAt(mState, -1, &number);
    if (ok) *value = truncateInt(number);
    lua_pop(mState, 1);
    return ok;
}

bool LuaScript2::getByteAt(int index, uint8_t* value) {
    if (!value) return false;
    lua_checkstack(mState, 2);
    lua_rawgeti(mState, -1, index);
    double number = 0;
    bool ok = numberAt(mState, -1, &number);
    if (ok) *value = static_cast<uint8_t>(truncateWide(number) & 0xFF);
    lua_pop(mState, 1);
    return ok;
}

LuaStackSlot LuaStackSlot::pushGlobal(const char* name, lua_State* state) {
    lua_checkstack(state, 2);
    lua_getfield(state, LUA_GLOBALSINDEX, name);
    return LuaStackSlot(state, lua_gettop(state));
}

bool LuaStackSlot::isNumber() const { return lua_isnumber(mState, mIndex) != 0; }

float LuaStackSlot::toFloat() const {
    double number = 0;
    return numberAt(mState, mIndex, &number) ? static_cast<float>(number) : 0.0f;
}

bool LuaStackSlot::readVector2(float* x, float* y) const {
    float* outs[2] = {x, y};
    double values[2];
    int top = lua_gettop(mState);
    lua_checkstack(mState, 4);
    bool ok = lua_istable(mState, mIndex);
    for (int i = 0; ok && i < 2; ++i) {
        lua_rawgeti(mState, mIndex, i + 1);
        ok = numberAt(mState, -1, &values[i]);
    }
    lua_settop(mState, top);
    if (!ok) return false;
    for (int i = 0; i < 2; ++i) {
        if (outs[i]) *outs[i] = static_cast<float>(values[i]);
    }
    return true;
}

bool LuaStackSlot::readFiveNumbers(float* a, float* b, float* c, float* d, float* e) const {
    float* outs[5] = {a, b, c, d, e};
    double values[5];
    int top = lua_gettop(mState);
    lua_checkstack(mState, 8);
    bool ok = lua_istable(mState, mIndex);
    for (int i = 0; ok && i < 5; ++i) {
        lua_rawgeti(mState, mIndex, i + 1);
        ok = numberAt(mState, -1, &values[i]);
    }
    lua_settop(mState, top);
    if (!ok) return false;
    for (int i = 0; i < 5; ++i) {
        if (outs[i]) *outs[i] = static_cast<float>(values[i]);
    }
    return true;
}

LuaStateHolder::~LuaStateHolder() {
    if (owns && state) lua_close(state);
}

bool runScriptFile(lua_State* state, const std::string& name) {
    FileSystem* fs = FileSystem::instancePointer();
    if (!state || !fs) return false;
    std::unique_ptr<File> file(fs->open("default", name));
    if (!file) return false;
    std::vector<char> bytes;
    readWholeFile(*file, bytes);
    file.reset();
    const char* text = bytes.data();
    // What the chunk returns, or its error, is not kept on the stack.
    const int top = lua_gettop(state);
    const bool ran = luaL_loadbuffer(state, text, std::strlen(text), text) == 0 &&
                     lua_pcall(state, 0, LUA_MULTRET, 0) == 0;
    lua_settop(state, top);
    return ran;
}

bool runScriptFile(LuaStateHolder& holder, const std::string& name) {
    return runScriptFile(holder.state, name);
}

}  // namespace QV

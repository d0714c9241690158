#pragma once

extern "C" {
#include <lua.h>
}

#include <cstdint>
#include <memory>
#include <string>

namespace QV {

struct Color;
struct LuaWorkLimit;

// The allocation function of every engine Lua state: realloc, and free for size 0.
void* luaAllocate(void* userData, void* block, size_t oldSize, size_t newSize);

// A fresh state with the engine's allocator and the standard libraries.
lua_State* createLuaState();

// How a script load ended; loadScript folds it into a bool.
enum class ScriptLoad { Loaded, Missing, LoadFailed, RunFailed };

// A Lua state and a table depth: depth 0 reads globals, depth d > 0 reads
// fields of the table on top of the stack. Lua booleans read as missing;
// flags in data are numbers. Every reader leaves the stack as it found it.
// Field reads and next() run protected: a metamethod that raises makes the
// read come back missing, and readError() keeps the first such error.
class LuaScript2 {
public:
    explicit LuaScript2(lua_State* state = nullptr, int depth = 0);
    ~LuaScript2();
    LuaScript2(const LuaScript2&) = delete;
    LuaScript2& operator=(const LuaScript2&) = delete;

    lua_State* state() const { return mState; }
    int depth() const { return mDepth; }

    // Loads and runs a resource found through the file system. A precompiled
    // chunk whose run fails still counts as loaded (and logs a warning).
    bool loadScript(const std::string& name, const std::string& package);
    ScriptLoad loadScriptChecked(const std::string& name, const std::string& package);

    // Bounds the Lua code the state runs from now on (the script, then any
    // metamethod met while reading) to about `instructions`; past that every
    // Lua function raises. The collector then runs only inside protected
    // calls, since a finalizer may raise too.
    void limitWork(long instructions);
    bool workSpent() const;
    // The first error of a read or the spent work limit; empty when none.
    std::string readError() const;
    bool failed() const { return !readError().empty(); }

    bool openTable(const char* name);
    bool openTopTable();
    // Pushes nil and takes the first entry of the table on top (lua_next).
    bool beginTable();
    void closeTable();
    void pushField(const char* name);
    // lua_next on the table below the key on top, protected: false at the
    // end or on an error (the key is popped either way).
    bool next();

    bool getString(const char* name, std::string* value);
    bool getBool(const char* name, bool* value);
    bool getVector2(const char* name, float* xy);
    bool getIntPair(const char* name, int* pair);
    bool getColor(const char* name, float* rgba);
    bool getColorBytes(const char* name, Color* color);

    bool topToString(std::string* value);
    bool topToFloat(float* value);
    bool topToInt(int* value);
    bool topToIntChecked(int* value);
    bool topToByte(uint8_t* value);

    bool getStringAt(int index, std::string* value);
    bool getFloatAt(int index, float* value);
    bool getIntAt(int index, int* value);
    bool getByteAt(int index, uint8_t* value);

    // Reads a colour field from another script, in a state of its own.
    static bool getColorFromScript(float* rgba, const std::string& script,
                                   const std::string& field, const std::string& package);

private:
    void popField();
    bool readColorAtTop(float* rgba);
    // Runs the function below `args` arguments protected, with one result (nil
    // after an error, which is noted).
    bool protectedCall(int args, int results);

    lua_State* mState;
    int mDepth;
    std::unique_ptr<LuaWorkLimit> mWork;
    std::string mReadError;
};

// A value on the Lua stack by absolute index.
class LuaStackSlot {
public:
    LuaStackSlot(lua_State* state, int index) : mState(state), mIndex(index) {}
    static LuaStackSlot pushGlobal(const char* name, lua_State* state);

    int index() const { return mIndex; }
    bool isNumber() const;
    float toFloat() const;
    bool readVector2(float* x, float* y) const;
    bool readFiveNumbers(float* a, float* b, float* c, float* d, float* e) const;

private:
    lua_State* mState;
    int mIndex;
};

// A state handed to runScriptFile; closed on destruction only when owned.
struct LuaStateHolder {
    lua_State* state = nullptr;
    bool owns = false;
    ~LuaStateHolder();
};

// Runs a text script of package "default" into an existing state.
bool runScriptFile(lua_State* state, const std::string& name);
bool runScriptFile(LuaStateHolder& holder, const std::string& name);

}  // namespace QV

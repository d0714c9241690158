#include <gtest/gtest.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include <cmath>
#include <string>
#include <vector>

#include "color.h"
#include "file_system.h"
#include "lua_script2.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"

namespace {

const char* kValues =
    "num = 12.5; numstr = '12.5'; letters = 'abc'; yes = true; no = false; one = 1; zero = 0;\n"
    "three = 3; half = 0.5; tbl = {}; neg = -2.7; vec = {1.5, '2'}; vecbad = {1};\n"
    "color = {255, 128, 0, 255}; color3 = {1, 2, 3}; huge = 1e300\n";

// A state holding kValues as globals and again inside table t.
lua_State* valuesState() {
    lua_State* L = QV::createLuaState();
    std::string text = std::string(kValues) + "t = {}\nfor k, v in pairs(_G) do\n"
                       "  if k ~= 't' and k ~= '_G' and type(v) ~= 'function' then t[k] = v end\n"
                       "end\n";
    EXPECT_EQ(luaL_dostring(L, text.c_str()), 0);
    return L;
}

std::string bytecode(const std::string& source) {
    lua_State* L = QV::createLuaState();
    EXPECT_EQ(luaL_loadstring(L, source.c_str()), 0);
    std::string out;
    lua_dump(
        L,
        [](lua_State*, const void* p, size_t n, void* ud) {
            static_cast<std::string*>(ud)->append(static_cast<const char*>(p), n);
            return 0;
        },
        &out);
    lua_close(L);
    return out;
}

TEST(LuaScript2, NamedReadersAtBothDepths) {
    for (int depth = 0; depth < 2; ++depth) {
        QV::LuaScript2 script(valuesState());
        lua_State* L = script.state();
        if (depth == 1) {
            ASSERT_TRUE(script.openTable("t"));
        }
        const int top = lua_gettop(L);

        struct StringCase {
            const char* name;
            bool ok;
            const char* text;
        } strings[] = {{"num", true, "12.5"},   {"three", true, "3"}, {"half", true, "0.5"},
                       {"letters", true, "abc"}, {"yes", false, ""}, {"tbl", false, ""},
                       {"absent", false, ""}};
        for (const StringCase& c : strings) {
            std::string value = "stale";
            EXPECT_EQ(script.getString(c.name, &value), c.ok) << c.name << depth;
            EXPECT_EQ(value, c.text) << c.name << depth;
        }

        struct BoolCase {
            const char* name;
            bool ok, value;
        } bools[] = {{"yes", false, false}, {"no", false, false},   {"one", true, true},
                     {"zero", true, false}, {"numstr", true, true}, {"half", true, false},
                     {"letters", false, false}, {"absent", false, false}};
        for (const BoolCase& c : bools) {
            bool value = true;
            EXPECT_EQ(script.getBool(c.name, &value), c.ok) << c.name << depth;
            EXPECT_EQ(value, c.value) << c.name << depth;
        }

        struct NumberCase {
            const char* name;
            bool ok;
            float f;
            int i;
        } numbers[] = {{"num", true, 12.5f, 12},     {"numstr", true, 12.5f, 12},
                       {"neg", true, -2.7f, -2},     {"letters", false, 0, 0},
                       {"yes", false, 0, 0},         {"tbl", false, 0, 0},
                       {"huge", true, INFINITY, 2147483647}};
        for (const NumberCase& c : numbers) {
            float f = 99;
            int i = 99;
            script.pushField(c.name);
            EXPECT_EQ(script.topToFloat(&f), c.ok) << c.name;
            EXPECT_EQ(script.topToInt(&i), c.ok) << c.name;
            lua_pop(L, 1);
            EXPECT_FLOAT_EQ(f, c.f) << c.name;
            EXPECT_EQ(i, c.i) << c.name;
        }

        float xy[2] = {9, 9};
        int pair[2] = {9, 9};
        EXPECT_TRUE(script.getVector2("vec", xy));
        EXPECT_EQ(xy[0], 1.5f);
        EXPECT_EQ(xy[1], 2.0f);
        EXPECT_TRUE(script.getIntPair("vec", pair));
        EXPECT_EQ(pair[0], 1);
        EXPECT_EQ(pair[1], 2);
        EXPECT_FALSE(script.getVector2("vecbad", xy));
        EXPECT_EQ(xy[0], 0.0f);
        EXPECT_FALSE(script.getIntPair("num", pair));
        EXPECT_EQ(pair[1], 0);

        float rgba[4] = {9, 9, 9, 9};
        EXPECT_TRUE(script.getColor("color", rgba));
        EXPECT_EQ(rgba[0], 255.0f);
        EXPECT_EQ(rgba[1], 128.0f);
        EXPECT_EQ(rgba[3], 255.0f);
        // Three numbers: tried as a reference {"1", "2", "3"}, which names nothing.
        EXPECT_FALSE(script.getColor("color3", rgba));
        EXPECT_EQ(rgba[0] + rgba[1] + rgba[2] + rgba[3], 0.0f);

        EXPECT_FALSE(script.getString("num", nullptr));
        EXPECT_FALSE(script.getColor("color", nullptr));
        EXPECT_EQ(lua_gettop(L), top) << "readers leave the stack as found, depth " << depth;
        if (depth == 1) script.closeTable();
    }
}

TEST(LuaScript2, IndexedReadersAndBytes) {
    QV::LuaScript2 script(QV::createLuaState());
    lua_State* L = script.state();
    ASSERT_EQ(luaL_dostring(L, "w = {256, 300.7, -1, 0, 'x', '7', true}"), 0);
    ASSERT_TRUE(script.openTable("w"));
    struct Case {
        int index;
        bool ok;
        uint8_t byte;
    } cases[] = {{1, true, 0}, {2, true, 44}, {3, true, 255}, {4, true, 0},
                 {5, false, 77}, {6, true, 7}, {7, false, 77}, {8, false, 77}};
    for (const Case& c : cases) {
        uint8_t byte = 77;
        EXPECT_EQ(script.getByteAt(c.index, &byte), c.ok) << c.index;
        EXPECT_EQ(byte, c.byte) << c.index;
    }
    int i = 5;
    float f = 5;
    std::string s = "kept";
    EXPECT_TRUE(script.getIntAt(2, &i));
    EXPECT_EQ(i, 300);
    EXPECT_FALSE(script.getFloatAt(5, &f));
    EXPECT_EQ(f, 5.0f);  // unchanged on failure
    EXPECT_FALSE(script.getStringAt(7, &s));
    EXPECT_EQ(s, "kept");
    EXPECT_TRUE(script.getStringAt(1, &s));
    EXPECT_EQ(s, "256");
    script.closeTable();
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST(LuaScript2, ColourBytesAreRedGreenBlueAlphaTruncatedAndWrapped) {
    QV::LuaScript2 script(QV::createLuaState());
    ASSERT_EQ(luaL_dostring(script.state(),
                            "orange = {255, 128, 0, 255}; wrap = {256, 300.7, -1, '16'}\n"
                            "short = {1, 2, 3}; flag = {1, 2, 3, true}; text = 'red'"),
              0);
    struct Case {
        const char* name;
        bool ok;
        uint32_t word;  // 0xAARRGGBB
    } cases[] = {{"orange", true, 0xFFFF8000u}, {"wrap", true, 0x10002CFFu},
                 {"short", false, 0}, {"flag", false, 0}, {"text", false, 0}, {"absent", false, 0}};
    for (const Case& c : cases) {
        QV::Color color = QV::Color::fromWord(0x12345678u);
        EXPECT_EQ(script.getColorBytes(c.name, &color), c.ok) << c.name;
        EXPECT_EQ(color.word(), c.word) << c.name;
    }
    QV::Color orange;
    script.getColorBytes("orange", &orange);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&orange);
    EXPECT_EQ(bytes[0], 0);    // blue
    EXPECT_EQ(bytes[1], 128);  // green
    EXPECT_EQ(bytes[2], 255);  // red
    EXPECT_EQ(bytes[3], 255);  // alpha
    EXPECT_EQ(lua_gettop(script.state()), 0);
}

TEST(LuaScript2, ManyGlobalsAtDepthZeroDoNotOverrunTheStack) {
    QV::LuaScript2 script(QV::createLuaState());
    lua_State* L = script.state();
    ASSERT_EQ(luaL_dostring(L, "for i = 1, 20000 do _G['g' .. i] = i end"), 0);
    long long sum = 0;
    for (int i = 1; i <= 20000; ++i) {
        std::string text;
        ASSERT_TRUE(script.getString(("g" + std::to_string(i)).c_str(), &text));
        sum += std::stoi(text);
        ASSERT_FALSE(script.openTable(("g" + std::to_string(i)).c_str()));
    }
    EXPECT_EQ(sum, 20000LL * 20001 / 2);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST(LuaScript2, TablesTraversalAndStackSlots) {
    QV::LuaScript2 script(QV::createLuaState());
    lua_State* L = script.state();
    ASSERT_EQ(luaL_dostring(L, "list = { {name = 'a'}, 7, {name = 'b'} }\n"
                               "pos = {3, '4'}; five = {1, 2, 3, 4, '5'}; four = {1, 2, 3, 4}\n"
                               "s = '2.5'"),
              0);
    ASSERT_TRUE(script.openTable("list"));
    std::vector<std::string> names;
    int skipped = 0;
    bool more = script.beginTable();
    while (more) {
        if (script.openTopTable()) {
            std::string name;
            script.getString("name", &name);
            names.push_back(name);
            script.closeTable();
        } else {
            ++skipped;
        }
        lua_pop(L, 1);
        more = lua_next(L, -2) != 0;
    }
    script.closeTable();
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(skipped, 1);
    EXPECT_EQ(lua_gettop(L), 0);

    float x = 0, y = 0, v[5] = {0, 0, 0, 0, 0};
    QV::LuaStackSlot pos = QV::LuaStackSlot::pushGlobal("pos", L);
    EXPECT_EQ(pos.index(), 1);
    EXPECT_TRUE(pos.readVector2(&x, &y));
    EXPECT_EQ(x, 3.0f);
    EXPECT_EQ(y, 4.0f);
    QV::LuaStackSlot five = QV::LuaStackSlot::pushGlobal("five", L);
    EXPECT_TRUE(five.readFiveNumbers(&v[0], &v[1], &v[2], &v[3], &v[4]));
    EXPECT_EQ(v[4], 5.0f);
    QV::LuaStackSlot four = QV::LuaStackSlot::pushGlobal("four", L);
    EXPECT_FALSE(four.readFiveNumbers(&v[0], &v[1], &v[2], &v[3], &v[4]));
    QV::LuaStackSlot s = QV::LuaStackSlot::pushGlobal("s", L);
    EXPECT_TRUE(s.isNumber());
    EXPECT_EQ(s.toFloat(), 2.5f);
    EXPECT_FALSE(pos.isNumber());
    EXPECT_EQ(pos.toFloat(), 0.0f);
    EXPECT_EQ(lua_gettop(L), 4);
}

TEST(LuaScript2DeathTest, UnbalancedTablesAreFatal) {
    EXPECT_EXIT(
        {
            QV::LuaScript2 script(QV::createLuaState());
            luaL_dostring(script.state(), "t = {}");
            script.openTable("t");
            script.closeTable();
            script.closeTable();
        },
        testing::ExitedWithCode(255), "LuaScript::closeTable\\(\\)");
    EXPECT_EXIT(
        {
            QV::LuaScript2 script(QV::createLuaState());
            lua_newtable(script.state());
            script.openTopTable();
        },
        testing::ExitedWithCode(255), "Description:");
}

class LuaFiles : public testing::Test {
protected:
    void SetUp() override {
        std::string media = mDir.file("media");
        qvtest::writeFile(media + "/good.lua", "answer = 42");
        qvtest::writeFile(media + "/boom.lua", "answer = 1\nerror('boom')");
        qvtest::writeFile(media + "/syntax.lua", "answer = = 1");
        qvtest::writeFile(media + "/chunk.luac", bytecode("answer = 7"));
        qvtest::writeFile(media + "/bad_chunk.luac", bytecode("answer = 8\nerror('late')"));
        qvtest::writeFile(media + "/palette.lua",
                          "red = {255, 0, 0, 255}\n"
                          "alias = {'palette_lua', 'red', 'default'}\n"
                          "loop = {'palette_lua', 'loop', 'default'}\n"
                          "gone = {'palette_lua', 'nothing', 'default'}\n");
        qvtest::writeMedia(media, {{"default",
                                    {{"good_lua", "/good.lua"},
                                     {"boom_lua", "/boom.lua"},
                                     {"syntax_lua", "/syntax.lua"},
                                     {"chunk_luac", "/chunk.luac"},
                                     {"bad_chunk_luac", "/bad_chunk.luac"},
                                     {"palette_lua", "/palette.lua"}}}});
        mEngine = std::make_unique<qvtest::MediaEngine>(mDir.path());
    }
    void TearDown() override {
        mEngine.reset();
    }
    std::string log() { return qvtest::readFile(mDir.file("QV.log")); }

    qvtest::TempDir mDir;
    std::unique_ptr<qvtest::MediaEngine> mEngine;
};

TEST_F(LuaFiles, LoadScriptResults) {
    struct Case {
        const char* name;
        QV::ScriptLoad result;
        int answer;  // -1: not set
    } cases[] = {
        {"good_lua", QV::ScriptLoad::Loaded, 42},
        {"boom_lua", QV::ScriptLoad::RunFailed, 1},
        {"syntax_lua", QV::ScriptLoad::LoadFailed, -1},
        {"chunk_luac", QV::ScriptLoad::Loaded, 7},
        {"bad_chunk_luac", QV::ScriptLoad::Loaded, 8},  // run failed, still loaded
        {"absent_lua", QV::ScriptLoad::Missing, -1},
    };
    for (const Case& c : cases) {
        QV::LuaScript2 script(QV::createLuaState());
        EXPECT_EQ(script.loadScriptChecked(c.name, "default"), c.result) << c.name;
        lua_settop(script.state(), 0);
        QV::LuaScript2 again(QV::createLuaState());
        EXPECT_EQ(again.loadScript(c.name, "default"), c.result == QV::ScriptLoad::Loaded);
        std::string answer;
        bool set = script.getString("answer", &answer);
        EXPECT_EQ(set ? std::stoi(answer) : -1, c.answer) << c.name;
    }
    EXPECT_NE(log().find("WARNING: Precompiled script 'bad_chunk_luac' failed to run: "),
              std::string::npos)
        << log();
}

TEST_F(LuaFiles, ColourReferencesAndLoops) {
    QV::LuaScript2 script(QV::createLuaState());
    ASSERT_EQ(luaL_dostring(script.state(),
                            "direct = {'palette_lua', 'red', 'default'}\n"
                            "twice = {'palette_lua', 'alias', 'default'}\n"
                            "gone = {'palette_lua', 'gone', 'default'}\n"
                            "loop = {'palette_lua', 'loop', 'default'}\n"),
              0);
    struct Case {
        const char* name;
        bool ok;
        float red;
    } cases[] = {{"direct", true, 255}, {"twice", true, 255}, {"gone", false, 0}, {"loop", false, 0}};
    for (const Case& c : cases) {
        float rgba[4] = {1, 1, 1, 1};
        EXPECT_EQ(script.getColor(c.name, rgba), c.ok) << c.name;
        EXPECT_EQ(rgba[0], c.red) << c.name;
        EXPECT_EQ(rgba[3], c.ok ? 255.0f : 0.0f) << c.name;
    }
    EXPECT_NE(log().find("WARNING: Colour reference 'loop' in 'palette_lua' refers to itself"),
              std::string::npos);
}

TEST_F(LuaFiles, RunScriptFileIntoAnExistingState) {
    QV::LuaStateHolder holder;
    holder.state = QV::createLuaState();
    holder.owns = true;
    ASSERT_EQ(luaL_dostring(holder.state, "before = 1"), 0);
    EXPECT_TRUE(QV::runScriptFile(holder, "good_lua"));
    EXPECT_FALSE(QV::runScriptFile(holder, "boom_lua"));
    EXPECT_FALSE(QV::runScriptFile(holder, "chunk_luac"));  // text only
    EXPECT_FALSE(QV::runScriptFile(holder, "absent_lua"));
    lua_State* L = holder.state;
    lua_getfield(L, LUA_GLOBALSINDEX, "before");
    lua_getfield(L, LUA_GLOBALSINDEX, "answer");
    EXPECT_EQ(lua_tonumber(L, -2), 1.0);
    EXPECT_EQ(lua_tonumber(L, -1), 1.0);  // boom_lua ran up to its error
}

}  // namespace

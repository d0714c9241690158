#include <gtest/gtest.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <memory>
#include <vector>

#include "animationeditor/scene_node_animation.h"
#include "animationeditor/vector_stream.h"
#include "lua_script2.h"

namespace {

using namespace AE::SceneNodeAnimation;
using V = QV::Vector2<float>;

template <class T>
Key<T> key(T value, uint32_t frame, bool flag = false, T offset = T(), float coeff = 0.5f) {
    Key<T> k;
    k.value = value;
    k.frame = frame;
    k.bezierFlag = flag;
    k.bezierOffset = offset;
    k.bezierCoeff = coeff;
    return k;
}

TEST(SceneNodeAnimation, FloatTrackValues) {
    struct Case {
        const char* what;
        std::vector<Key<float>> keys;
        bool interpolate;
        int i, j;
        float t, expected;
    } cases[] = {
        {"linear", {key(10.f, 0), key(20.f, 10)}, true, 0, 1, 0.25f, 12.5f},
        {"equal keys hold", {key(7.f, 0), key(7.f, 10)}, true, 0, 1, 0.8f, 7.f},
        {"bezier on first key", {key(0.f, 0, true, 4.f), key(10.f, 10)}, true, 0, 1, 0.5f, 6.5f},
        {"bezier on second key", {key(0.f, 0), key(10.f, 10, true, 4.f)}, true, 0, 1, 0.5f, 3.5f},
        {"bezier ends meet the keys", {key(0.f, 0, true, 4.f), key(10.f, 10, true, 4.f)}, true, 0, 1, 1.f, 10.f},
        {"same index is linear", {key(0.f, 0, true, 4.f), key(10.f, 10)}, true, 1, 1, 0.5f, 10.f},
        {"held track", {key(3.f, 0), key(9.f, 10)}, false, 0, 1, 0.9f, 3.f},
        {"single key for any index", {key(5.f, 3)}, true, 4, 7, 0.3f, 5.f},
    };
    for (const Case& c : cases) {
        Container<float> track("posX");
        float a = -1, b = -1;
        track.mTargets = {&a, &b};
        track.mKeys = c.keys;
        track.mInterpolate = c.interpolate;
        track.evaluate(c.i, c.j, c.t);
        EXPECT_FLOAT_EQ(a, c.expected) << c.what;
        EXPECT_FLOAT_EQ(b, c.expected) << c.what;
    }
}

TEST(SceneNodeAnimation, VectorAndInactiveTracks) {
    Container<V> track("pivotPoint");
    V out(-1, -1);
    track.mTargets = {&out};
    track.mKeys = {key(V(0, 10), 0), key(V(10, 30), 24)};
    track.evaluate(0, 1, 0.5f);
    EXPECT_EQ(out, V(5, 20));
    track.mActive = false;
    track.evaluate(0, 1, 1.0f);
    EXPECT_EQ(out, V(5, 20));  // an inactive track leaves its targets alone
}

TEST(SceneNodeAnimation, ColourBlends) {
    const QV::Color black = QV::Color::fromBytes(0, 0, 0, 255);
    const QV::Color white = QV::Color::fromBytes(255, 255, 255, 255);
    Container<QV::Color> track("color");
    QV::Color out;
    track.mTargets = {&out};
    track.mKeys = {key(black, 0), key(white, 24)};
    struct Case {
        float t;
        uint8_t rgb;
    } cases[] = {{0.f, 0}, {1.f, 255}, {0.5f, 127}};
    for (const Case& c : cases) {
        track.evaluate(0, 1, c.t);
        EXPECT_EQ(out.r, c.rgb) << c.t;
        EXPECT_EQ(out.g, c.rgb) << c.t;
        EXPECT_EQ(out.b, c.rgb) << c.t;
        EXPECT_EQ(out.a, 255) << c.t;  // alpha stays
    }
    const QV::Color a = QV::Color::fromBytes(10, 200, 30, 40);
    const QV::Color b = QV::Color::fromBytes(250, 5, 60, 255);
    EXPECT_EQ(AE::blendColor(a, b, 1.0f), a);
    EXPECT_EQ(AE::blendColor(a, b, 0.0f), b);
    // Bezier keys stay within bytes: the result is the byte arithmetic of the curve.
    track.mKeys = {key(black, 0, true, QV::Color::fromBytes(40, 40, 40, 0)), key(white, 24)};
    track.evaluate(0, 1, 0.5f);
    // P1 = 40; weights 31, 95, 95, 31: 0 + (96*40>>8) + (96*255>>8) + (32*255>>8).
    EXPECT_EQ(out.r, 0 + 15 + 95 + 31);
    EXPECT_EQ(out.a, 31 + 95 + 95 + 31);
}

TEST(SceneNodeAnimation, IntegerBlends) {
    struct Case {
        int a, b;
        float t;
        int expected;
    } lerps[] = {
        {0, 10, 0.5f, 5},    {3, 4, 0.999f, 3},     {0, 10, 0.55f, 5},  {0, 10, 0.999f, 9},
        {-10, 0, 0.25f, -7}, {100000, 200000, 0.5f, 150000},  // 64-bit intermediate
        {-3000000, 3000000, 0.75f, 1500000},
    };
    for (const Case& c : lerps) EXPECT_EQ(AE::lerpInt(c.a, c.b, c.t), c.expected) << c.a << " " << c.b << " " << c.t;

    Container<int> track("blendMode");
    int out = -1;
    track.mTargets = {&out};
    track.mKeys = {key(0, 0), key(10, 10)};
    track.evaluate(0, 1, 0.55f);
    EXPECT_EQ(out, 5);
    track.mInterpolate = false;  // a held int track
    track.evaluate(0, 1, 0.99f);
    EXPECT_EQ(out, 0);
}

TEST(SceneNodeAnimation, KeyListEditing) {
    Container<float> track("posX");
    track.addKey(5, false);
    ASSERT_EQ(track.keyCount(), 1u);
    EXPECT_EQ(track.mKeys[0].value, 0.f);  // first key is zero
    EXPECT_EQ(track.mKeys[0].bezierCoeff, 0.5f);
    track.mKeys[0].value = 8;
    track.addKey(2, false);  // copies the last value, then sorts
    ASSERT_EQ(track.keyCount(), 2u);
    EXPECT_EQ(track.mKeys[0].frame, 2u);
    EXPECT_EQ(track.mKeys[0].value, 8.f);

    EXPECT_FALSE(track.moveKey(99, 1));
    EXPECT_EQ(track.mKeys[0].frame, 2u);
    EXPECT_TRUE(track.moveKey(2, 9));
    EXPECT_EQ(track.mKeys[1].frame, 9u);

    track.mKeys[0].frame = 50;  // out of order; removeKey still sorts
    track.removeKey(2);
    EXPECT_EQ(track.keyCount(), 2u);
    EXPECT_EQ(track.mKeys[0].frame, 9u);
    track.removeKey(-1);  // compared unsigned: nothing removed
    EXPECT_EQ(track.keyCount(), 2u);
    track.removeKey(0);
    EXPECT_EQ(track.keyCount(), 1u);
    EXPECT_EQ(track.mKeys[0].frame, 50u);

    float target = 0;
    track.mTargets = {&target};
    std::unique_ptr<IContainer> copy(track.clone());
    auto* typed = dynamic_cast<Container<float>*>(copy.get());
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->mName, "posX");
    EXPECT_EQ(typed->keyCount(), 1u);
    EXPECT_TRUE(typed->mTargets.empty());
}

template <class T>
void expectRoundTrip(Container<T>& source, size_t expectedBytes) {
    std::vector<uint8_t> bytes;
    AE::VectorStream out(&bytes);
    source.write(out);
    EXPECT_EQ(bytes.size(), expectedBytes) << source.mName;
    Container<T> back(source.mName);
    back.mKeys = {key(T(), 77)};
    AE::VectorStream in(&bytes);
    back.read(in);
    ASSERT_EQ(back.keyCount(), source.keyCount());
    for (size_t i = 0; i < back.keyCount(); ++i) {
        EXPECT_TRUE(back.mKeys[i].value == source.mKeys[i].value);
        EXPECT_TRUE(back.mKeys[i].bezierOffset == source.mKeys[i].bezierOffset);
        EXPECT_EQ(back.mKeys[i].bezierCoeff, source.mKeys[i].bezierCoeff);
        EXPECT_EQ(back.mKeys[i].frame, source.mKeys[i].frame);
        EXPECT_EQ(back.mKeys[i].bezierFlag, source.mKeys[i].bezierFlag);
    }
    EXPECT_EQ(back.mActive, source.mActive);
    EXPECT_EQ(back.mFirstLoadPending, source.mFirstLoadPending);
    EXPECT_EQ(in.position(), bytes.size());
}

TEST(SceneNodeAnimation, StreamRoundTripAndRecordSizes) {
    Container<float> f("posX");
    f.mKeys = {key(1.5f, 0, true, 2.f, 0.25f), key(-3.f, 24)};
    f.mFirstLoadPending = false;
    expectRoundTrip(f, 4 + 2 * 20 + 2);
    Container<V> v("pivotPoint");
    v.mKeys = {key(V(1, 2), 3, true, V(4, 5))};
    v.mActive = false;
    expectRoundTrip(v, 4 + 28 + 2);
    Container<QV::Color> c("color");
    c.mKeys = {key(QV::Color::fromBytes(1, 2, 3, 4), 0)};
    expectRoundTrip(c, 4 + 20 + 2);
    Container<int> i("frameIndex");
    i.mKeys = {key(-7, 1), key(9, 2, true, 3)};
    expectRoundTrip(i, 4 + 2 * 20 + 2);
    Container<bool> b("clipEnabled");
    b.mKeys = {key(true, 0), key(false, 12)};
    expectRoundTrip(b, 4 + 2 * 16 + 2);

    // The record layout: value, offset, coefficient, frame, flag, padding.
    std::vector<uint8_t> bytes;
    AE::VectorStream out(&bytes);
    Container<float> one("x");
    one.mKeys = {key(1.0f, 0x01020304u, true)};
    one.write(out);
    const std::vector<uint8_t> record(bytes.begin() + 4, bytes.begin() + 24);
    EXPECT_EQ(record, (std::vector<uint8_t>{0, 0, 0x80, 0x3f, 0, 0, 0, 0, 0, 0, 0, 0x3f, 4, 3, 2, 1, 1, 0, 0, 0}));
}

class LuaKeyFrames : public testing::Test {
protected:
    void SetUp() override {
        state = luaL_newstate();
        luaL_openlibs(state);
        ASSERT_EQ(luaL_dostring(state,
                                "frames = { {posX = 1.5, color = {255, 128, 0, 255}, play = 3, on = 1},"
                                "           {posX = 2.5, color = {300.7, 0, 0, 256}, play = 4, on = 0},"
                                "           {color = {1, 2, 3, 4}} }"),
                  0);
        script.reset(new QV::LuaScript2(state, 0));
    }
    // Loads key frame n (1-based) into the track.
    void load(IContainer& track, int n, int frame) {
        ASSERT_TRUE(script->openTable("frames"));
        lua_rawgeti(state, -1, n);
        // A reader one table deeper that shares the fixture's state: never destroyed,
        // so it does not close the state.
        alignas(QV::LuaScript2) unsigned char storage[sizeof(QV::LuaScript2)];
        QV::LuaScript2* inner = new (storage) QV::LuaScript2(state, script->depth() + 1);
        track.loadFromLua(*inner, frame);
        EXPECT_EQ(lua_gettop(state), 2);  // the reader left the stack as it was
        lua_pop(state, 1);
        script->closeTable();
    }
    lua_State* state = nullptr;
    std::unique_ptr<QV::LuaScript2> script;
};

TEST_F(LuaKeyFrames, ReadsEachTypeOfKey) {
    Container<float> posX("posX");
    Container<QV::Color> color("color");
    Container<int> play("play");
    Container<bool> on("on");
    for (int n = 1; n <= 2; ++n) {
        load(posX, n, n * 10);
        load(color, n, n * 10);
        load(play, n, n * 10);
        load(on, n, n * 10);
    }
    ASSERT_EQ(posX.keyCount(), 2u);
    EXPECT_EQ(posX.mKeys[1].value, 2.5f);
    EXPECT_EQ(posX.mKeys[1].frame, 20u);
    EXPECT_EQ(posX.mKeys[1].bezierCoeff, 0.5f);
    EXPECT_EQ(color.mKeys[0].value, QV::Color::fromBytes(255, 128, 0, 255));
    EXPECT_EQ(color.mKeys[1].value, QV::Color::fromBytes(44, 0, 0, 0));  // low bytes kept
    EXPECT_EQ(play.mKeys[1].value, 4);
    EXPECT_TRUE(on.mKeys[0].value);
    EXPECT_FALSE(on.mKeys[1].value);
    EXPECT_FALSE(posX.mFirstLoadPending);
}

TEST_F(LuaKeyFrames, ParameterMissingFromFirstFrameTurnsTrackOff) {
    Container<float> scale("scaleX");
    for (int n = 1; n <= 3; ++n) load(scale, n, n);
    EXPECT_FALSE(scale.mActive);
    EXPECT_EQ(scale.keyCount(), 0u);
    float target = 42;
    scale.mTargets = {&target};
    scale.evaluate(0, 0, 0);
    EXPECT_EQ(target, 42);
}

TEST_F(LuaKeyFrames, ParameterMissingLaterIsFatal) {
    Container<float> posX("posX");
    load(posX, 1, 0);
    load(posX, 2, 10);
    EXPECT_EXIT(load(posX, 3, 20), testing::ExitedWithCode(255), "Failed to load animation parameter posX");
}

TEST(SceneNodeAnimationDeathTest, KeyLookupsAreChecked) {
    std::vector<IContainer*> list;
    auto* pos = new Container<float>("posX");
    pos->mKeys = {key(1.f, 0), key(2.f, 24)};
    list.push_back(pos);
    EXPECT_EQ(findKey<float>(list, "posX", 1).value, 2.f);
    findKey<float>(list, "posX", 0).value = 9;  // writable
    EXPECT_EQ(pos->mKeys[0].value, 9.f);
    EXPECT_EXIT(findKey<float>(list, "posx", 0), testing::ExitedWithCode(255),
                "Failed to find parameter with specified name");
    EXPECT_EXIT(findKey<float>(list, "posX", 2), testing::ExitedWithCode(255), "Bad frameIndex specified");
    EXPECT_EXIT(findKey<float>(list, "posX", -1), testing::ExitedWithCode(255), "Bad frameIndex specified");
    EXPECT_EXIT(findKey<int>(list, "posX", 0), testing::ExitedWithCode(255), "another type");
    delete pos;
}

}  // namespace

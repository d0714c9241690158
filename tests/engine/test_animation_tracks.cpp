#include <gtest/gtest.h>

extern "C" {
#include <lauxlib.h>
}

#include <memory>
#include <string>
#include <vector>

#include "animation.h"
#include "engine_allocators.h"
#include "lua_script2.h"
#include "xml_data_reader.h"

namespace {

using QV::Animation;
using QV::Color;
using QV::Rect;
using V2 = QV::Vector2<float>;

// An animation with frames of duration 1 and one float track "v" holding keys.
struct FloatTrack {
    Animation animation;
    float value = -1.0f;
    explicit FloatTrack(const std::vector<float>& keys, bool smooth = false) {
        if (smooth) animation.setSmooth();
        animation.bind("v", &value);
        for (size_t k = 0; k < keys.size(); ++k) {
            animation.addFrame(1.0f);
            animation.keyValue<float>("v", static_cast<uint32_t>(k)) = keys[k];
        }
    }
    float at(int32_t i, uint32_t j, float t) {
        animation.mTracks[0]->apply(i, j, t);
        return value;
    }
};

// A script whose global table "Animation" is the given Lua text.
QV::LuaScript2* scriptWith(const std::string& text) {
    lua_State* L = QV::createLuaState();
    EXPECT_EQ(luaL_dostring(L, text.c_str()), 0) << text;
    return new QV::LuaScript2(L);
}

TEST(AnimationTracks, FloatInterpolation) {
    struct Case {
        bool smooth;
        std::vector<float> keys;
        int32_t i;
        uint32_t j;
        float t, expected;
    } cases[] = {
        {false, {0, 10, 20}, 0, 1, 0.25f, 2.5f},
        {false, {0, 10, 20}, 2, 2, 0.7f, 20.0f},
        {false, {0, 10, 20}, 1, 2, 1.0f, 20.0f},
        {true, {0, 10, 20}, 0, 1, 0.5f, 5.0f},  // 0.25*0 + 0.5*5 + 0.25*10
        {true, {0, 10, 20}, 1, 2, 0.0f, 10.0f},
        {true, {0, 10, 20}, 1, 2, 1.0f, 20.0f},
        {true, {0, 10, 40}, 1, 2, 0.5f, 26.25f},  // S 15, C 25, E 40: 3.75 + 12.5 + 10
        {true, {0, 10}, 0, 1, 0.5f, 5.0f},      // two keys fall back to linear
        {true, {0, 10}, 0, 1, 0.25f, 2.5f},
        {true, {0, 10, 20}, 2, 2, 0.5f, 20.0f},  // i == j: linear, holds the key
        // Past the last key the last key holds.
        {false, {0, 10, 20}, 5, 6, 0.5f, 20.0f},
        {true, {0, 10, 20}, 3, 3, 0.0f, 20.0f},
    };
    for (const Case& c : cases) {
        FloatTrack track(c.keys, c.smooth);
        EXPECT_FLOAT_EQ(track.at(c.i, c.j, c.t), c.expected)
            << "smooth " << c.smooth << " i " << c.i << " j " << c.j << " t " << c.t;
    }
}

TEST(AnimationTracks, VectorAndRectTracks) {
    Animation animation;
    V2 position(-1, -1);
    Rect frame(-1, -1, -1, -1);
    animation.bind("pos", &position);
    animation.bind("SrcRect0", &frame);
    animation.addFrame(1.0f);
    animation.addFrame(1.0f);
    animation.keyValue<V2>("pos", 0) = V2(0, 100);
    animation.keyValue<V2>("pos", 1) = V2(10, 0);
    animation.keyValue<Rect>("SrcRect0", 0) = Rect(0, 0, 16, 16);
    animation.keyValue<Rect>("SrcRect0", 1) = Rect(16, 0, 32, 16);
    for (float t : {0.0f, 0.4f, 0.99f}) {
        animation.mTracks[0]->apply(0, 1, t);
        animation.mTracks[1]->apply(0, 1, t);
        EXPECT_FLOAT_EQ(position.x, 10 * t);
        EXPECT_FLOAT_EQ(position.y, 100 * (1 - t));
        // A rectangle steps: the current key unchanged for every t.
        EXPECT_EQ(frame, Rect(0, 0, 16, 16)) << t;
    }
    EXPECT_FALSE(animation.mTracks[1]->mInterpolate);
    EXPECT_TRUE(animation.mTracks[0]->mInterpolate);
}

TEST(AnimationTracks, ColourBytesBlendWithModulateAndWrap) {
    Animation animation;
    animation.setSmooth();
    Color target;
    animation.bind("color", &target);
    const uint8_t reds[] = {200, 100, 50};
    for (uint32_t k = 0; k < 3; ++k) {
        animation.addFrame(1.0f);
        animation.keyValue<Color>("color", k) = Color::fromBytes(reds[k], 0, 255, 255);
    }
    QV::Animation::IContainer* track = animation.mTracks[0];

    // Smooth from the first key at t = 0 gives S = k0; at t = 1 it reaches
    // the end point, which blends the wrapped control point 200 + 78 = 22.
    track->apply(0, 1, 0.0f);
    EXPECT_EQ(target.r, 200);
    const Color control = Color::fromBytes(200, 0, 255, 255) +
                          Color::modulate(Color(0.5f), Color::fromBytes(100, 0, 255, 255) -
                                                           Color::fromBytes(200, 0, 255, 255));
    EXPECT_EQ(control.r, 22);

    Animation linear;
    Color value;
    linear.bind("color", &value);
    linear.addFrame(1.0f);
    linear.addFrame(1.0f);
    linear.keyValue<Color>("color", 0) = Color::fromBytes(200, 10, 0, 255);
    linear.keyValue<Color>("color", 1) = Color::fromBytes(100, 50, 255, 0);
    struct Case {
        float t;
        Color expected;
    } cases[] = {
        {0.0f, Color::fromBytes(200, 10, 0, 255)},
        {1.0f, Color::fromBytes(100, 50, 255, 0)},
        // (128 * a) >> 8 + (128 * b) >> 8 per byte
        {0.5f, Color::fromBytes(50 + 100, 25 + 5, 127, 127)},
    };
    for (const Case& c : cases) {
        linear.mTracks[0]->apply(0, 1, c.t);
        EXPECT_EQ(value, c.expected) << c.t;
    }
}

TEST(AnimationTracks, SmoothColourUsesTheWrappedMidpoints) {
    Animation animation;
    animation.setSmooth();
    Color target;
    animation.bind("c", &target);
    const uint8_t reds[] = {200, 100, 50};
    for (uint32_t k = 0; k < 3; ++k) {
        animation.addFrame(1.0f);
        animation.keyValue<Color>("c", k) = Color::fromBytes(reds[k], 0, 0, 0);
    }
    // t = 0.5 on the first segment: S = 200, C = 22 (wrapped), E = mid(22, mid(100, 50)).
    auto m = [](float f, uint8_t v) { return static_cast<uint8_t>(((uint8_t(f * 255) + 1) * v) >> 8); };
    const uint8_t c = 22;
    const uint8_t half = static_cast<uint8_t>(100 + m(0.5f, static_cast<uint8_t>(50 - 100)));
    const uint8_t e = static_cast<uint8_t>(c + m(0.5f, static_cast<uint8_t>(half - c)));
    const uint8_t expected =
        static_cast<uint8_t>(m(0.5f, m(0.5f, e)) + static_cast<uint8_t>(m(0.5f, ((254 + 1) * m(0.5f, c)) >> 8) +
                                                                       m(0.5f, m(0.5f, 200))));
    animation.mTracks[0]->apply(0, 1, 0.5f);
    EXPECT_EQ(target.r, expected);
}

TEST(AnimationTracks, KeyEditing) {
    struct Case {
        std::vector<float> keys;
        bool add;
        int32_t index;
        std::vector<float> expected;
    } cases[] = {
        {{1, 2}, true, -1, {1, 2, 2}},
        {{1, 2}, true, 0, {1, 1, 2}},
        {{1, 2}, true, 1, {1, 2, 2}},
        {{}, true, 3, {0}},
        {{1, 2}, true, 7, {1, 2, 2}},  // beyond the last key: appended at the end
        {{1, 2, 3}, false, 5, {1, 2, 3}},
        {{1, 2, 3}, false, 0, {2, 3}},
    };
    for (const Case& c : cases) {
        Animation::Container<float> track("v");
        track.mKeys = c.keys;
        if (c.add) {
            track.addKey(c.index);
        } else {
            track.removeKey(static_cast<uint32_t>(c.index));
        }
        EXPECT_EQ(track.mKeys, c.expected) << c.add << " " << c.index;
    }
    Animation::Container<Color> colours("c");
    colours.addKey(-1);
    ASSERT_EQ(colours.mKeys.size(), 1u);
    EXPECT_EQ(colours.mKeys[0], Color());
}

TEST(AnimationTracks, CloneCopiesKeysAndFlagsButNoTargetsOrCallbacks) {
    Animation animation;
    animation.setSmooth();
    V2 target;
    int calls = 0;
    struct Counter : QV::IFunction {
        int* n;
        explicit Counter(int* c) : n(c) {}
        void call() override { ++*n; }
    };
    animation.bind("pos", &target);
    animation.addCallback("pos", new Counter(&calls));
    animation.addFrame(1.0f);
    animation.keyValue<V2>("pos", 0) = V2(3, 4);
    std::unique_ptr<Animation::IContainer> copy(animation.mTracks[0]->clone());
    auto* typed = dynamic_cast<Animation::Container<V2>*>(copy.get());
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->mName, "pos");
    EXPECT_EQ(typed->mKeys, std::vector<V2>{V2(3, 4)});
    EXPECT_TRUE(typed->mSmooth);
    EXPECT_TRUE(typed->mTargets.empty());
    EXPECT_TRUE(typed->mCallbacks.empty());
    typed->apply(0, 0, 0.0f);
    EXPECT_EQ(target, V2());
}

TEST(AnimationTracks, BindingTwiceFeedsBothTargets) {
    Animation animation;
    float a = 0, b = 0;
    animation.bind("angle", &a);
    animation.bind("angle", &b);
    ASSERT_EQ(animation.mTracks.size(), 1u);
    animation.addFrame(1.0f);
    animation.keyValue<float>("angle", 0) = 45.0f;
    animation.update(0.0f);
    EXPECT_EQ(a, 45.0f);
    EXPECT_EQ(b, 45.0f);
}

TEST(AnimationTracks, CallbacksForUnknownNamesAreNotAttached) {
    Animation animation;
    float a = 0;
    animation.bind("angle", &a);
    int calls = 0;
    struct Counter : QV::IFunction {
        int* n;
        explicit Counter(int* c) : n(c) {}
        void call() override { ++*n; }
    };
    animation.addCallback("nothing", new Counter(&calls));  // deleted, not leaked
    animation.addCallback("angle", new Counter(&calls));
    animation.addFrame(0.0f);
    animation.update(0.1f);
    EXPECT_EQ(calls, 1);
}

TEST(AnimationTracks, LuaFramesReadEveryTrackForm) {
    std::unique_ptr<QV::LuaScript2> script(scriptWith(
        "Animation = { Frames = {\n"
        "  { duration = 1, angle = '45', pos = {1, 2}, color = {255, 128, 0, 255}, SrcRect0 = {0, 0, 16, 8} },\n"
        "  { duration = 1, angle = 90, pos = {3, 4}, color = {256, 300.7, '12', 255}, SrcRect0 = {16, 0, 32, 8} },\n"
        "} }\n"));
    Animation animation;
    float angle = 0;
    V2 pos;
    Color color;
    Rect frame;
    animation.bind("angle", &angle);
    animation.bind("pos", &pos);
    animation.bind("color", &color);
    animation.bind("SrcRect0", &frame);
    ASSERT_TRUE(animation.parse(*script));
    EXPECT_EQ(animation.keyValue<float>("angle", 0), 45.0f);
    EXPECT_EQ(animation.keyValue<V2>("pos", 1), V2(3, 4));
    EXPECT_EQ(animation.keyValue<Color>("color", 0), Color::fromBytes(255, 128, 0, 255));
    EXPECT_EQ(animation.keyValue<Color>("color", 1), Color::fromBytes(0, 44, 12, 255));  // low bytes kept
    EXPECT_EQ(animation.keyValue<Rect>("SrcRect0", 1), Rect(16, 0, 32, 8));
    EXPECT_EQ(lua_gettop(script->state()), 0);
}

TEST(AnimationTracks, TrackMissingFromTheFirstFrameIsIgnored) {
    std::unique_ptr<QV::LuaScript2> script(scriptWith(
        "Animation = { Frames = { { duration = 1 }, { duration = 1, pos = {1, 1} }, "
        "{ duration = 1, pos = {2, 2} } } }\n"));
    Animation animation;
    V2 pos(7, 7);
    animation.bind("pos", &pos);
    ASSERT_TRUE(animation.parse(*script));
    EXPECT_EQ(animation.frameCount(), 3u);
    EXPECT_EQ(animation.mTracks[0]->keyCount(), 0u);
    for (float dt : {0.0f, 1.5f, 1.0f}) animation.update(dt);
    EXPECT_EQ(pos, V2(7, 7));
}

TEST(AnimationTracksDeath, TrackMissingFromALaterFrameIsFatal) {
    EXPECT_EXIT(
        {
            std::unique_ptr<QV::LuaScript2> script(scriptWith(
                "Animation = { Frames = { { duration = 1, pos = {1, 1} }, { duration = 1 } } }\n"));
            Animation animation;
            V2 pos;
            animation.bind("pos", &pos);
            animation.parse(*script);
        },
        testing::ExitedWithCode(255), "Failed to load animation parameter pos");
}

TEST(AnimationTracksDeath, KeyValueLookupFailures) {
    Animation animation;
    float v = 0;
    animation.bind("v", &v);
    for (int k = 0; k < 3; ++k) animation.addFrame(1.0f);
    EXPECT_EXIT(animation.keyValue<float>("v", 3), testing::ExitedWithCode(255), "Bad frameid specified");
    EXPECT_EXIT(animation.keyValue<float>("w", 0), testing::ExitedWithCode(255),
                "Failed to find parameter with specified name");
    // One name, one value type.
    V2 other;
    EXPECT_EXIT(animation.bind("v", &other), testing::ExitedWithCode(255), "another value type");
    EXPECT_EXIT(animation.keyValue<Color>("v", 0), testing::ExitedWithCode(255), "another value type");
}

TEST(AnimationTracks, XmlFramesReadEveryTrackForm) {
    const std::string xml =
        "<root><f angle='x'><angle v='30'/><pos v0='1' v1='2'/><color r='10' g='20' b='30'/>"
        "<SrcRect0 v0='1' v1='2' v2='3' v3='4'/></f>"
        "<g/></root>";
    QV::EngineAllocators allocators;
    allocators.init();
    QV::XmlDataReader reader;
    std::string error;
    ASSERT_TRUE(reader.parseBuffer(xml.data(), static_cast<uint32_t>(xml.size()), &error)) << error;
    reader.gotoRoot();
    Animation::Container<float> angle("angle");
    Animation::Container<V2> pos("pos");
    Animation::Container<Color> color("color");
    Animation::Container<Rect> rect("SrcRect0");
    Animation::Container<float> absent("absent");
    ASSERT_TRUE(reader.gotoChild("f"));
    for (Animation::IContainer* track : std::vector<Animation::IContainer*>{&angle, &pos, &color, &rect, &absent}) {
        track->loadFromXml(reader);
    }
    EXPECT_EQ(angle.mKeys, std::vector<float>{30.0f});
    EXPECT_EQ(pos.mKeys, std::vector<V2>{V2(1, 2)});
    EXPECT_EQ(color.mKeys, std::vector<Color>{Color::fromBytes(10, 20, 30, 0)});
    EXPECT_EQ(rect.mKeys, std::vector<Rect>{Rect(2, 1, 4, 3)});
    EXPECT_TRUE(absent.mKeys.empty());
    EXPECT_FALSE(absent.mEnabled);
}

}  // namespace

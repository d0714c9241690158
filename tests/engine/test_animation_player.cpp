#include <gtest/gtest.h>

extern "C" {
#include <lauxlib.h>
}

#include <memory>
#include <string>
#include <vector>

#include "animation.h"
#include "lua_script2.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"

namespace {

using QV::Animation;
using V2 = QV::Vector2<float>;

struct Counter : QV::IFunction {
    int* calls;
    explicit Counter(int* n) : calls(n) {}
    void call() override { ++*calls; }
};

// Frames with the given durations and a linear float track "v" keyed by keys.
struct Player {
    Animation animation;
    float value = -1.0f;
    int calls = 0;
    Player(const std::vector<float>& durations, const std::vector<float>& keys) {
        animation.bind("v", &value);
        animation.addCallback("v", new Counter(&calls));
        for (size_t k = 0; k < durations.size(); ++k) {
            animation.addFrame(durations[k]);
            animation.keyValue<float>("v", static_cast<uint32_t>(k)) = keys[k];
        }
    }
};

QV::LuaScript2* scriptWith(const std::string& text) {
    lua_State* L = QV::createLuaState();
    EXPECT_EQ(luaL_dostring(L, text.c_str()), 0) << text;
    return new QV::LuaScript2(L);
}

TEST(AnimationPlayer, ClockFrameAndFraction) {
    struct Case {
        std::vector<float> durations;
        bool loop;
        float start, dt;
        float time;  // clock after the update
        float value;
    } cases[] = {
        {{1, 1, 0}, false, 0.0f, 0.5f, 0.5f, 5.0f},
        {{1, 1, 0}, false, 1.0f, 0.5f, 1.5f, 15.0f},
        {{1, 1, 0}, false, 1.5f, 0.5f, 2.0f, 20.0f},  // past the end: last frame, t = 1
        {{1, 1, 0}, false, 2.0f, 5.0f, 7.0f, 20.0f},  // the clock runs on without loop
        {{1, 1}, true, 1.9f, 0.3f, 0.2f, 2.0f},       // wrap
        {{1, 1}, true, 1.5f, 0.5f, 2.0f, 10.0f},      // exactly total: no wrap, last frame
        {{1, 1}, true, 0.0f, 4.5f, 0.5f, 5.0f},       // several laps
        {{1, 0, 1}, false, 1.0f, 0.2f, 1.2f, 20.0f},  // the zero-length middle frame is skipped: i = j = 2
        {{0, 0}, true, 0.0f, 1.0f, 0.0f, 10.0f},      // loop with total 0 rewinds to 0
    };
    for (const Case& c : cases) {
        std::vector<float> keys;
        for (size_t k = 0; k < c.durations.size(); ++k) keys.push_back(10.0f * k);
        Player p(c.durations, keys);
        p.animation.mLoop = c.loop;
        p.animation.mTime = c.start;
        p.animation.update(c.dt);
        EXPECT_NEAR(p.animation.mTime, c.time, 1e-5) << c.start << "+" << c.dt;
        EXPECT_NEAR(p.value, c.value, 1e-4) << c.start << "+" << c.dt;
        EXPECT_EQ(p.calls, 1);
    }
}

TEST(AnimationPlayer, FrameLookup) {
    Animation animation;
    for (float d : {1.0f, 0.0f, 1.0f}) animation.addFrame(d);
    struct Case {
        float time;
        uint32_t frame;
    } cases[] = {{0.0f, 0}, {0.99f, 0}, {1.0f, 2}, {1.2f, 2}, {2.0f, 2}, {-1.0f, 2}};
    for (const Case& c : cases) EXPECT_EQ(animation.frameAt(c.time), c.frame) << c.time;
}

TEST(AnimationPlayer, SpeedPauseAndEmpty) {
    Player fast({1, 1}, {0, 10});
    fast.animation.mSpeed = 2.0f;
    fast.animation.update(0.25f);
    EXPECT_FLOAT_EQ(fast.animation.mTime, 0.5f);
    EXPECT_FLOAT_EQ(fast.value, 5.0f);

    Player paused({1, 1}, {0, 10});
    paused.animation.mTime = 0.5f;
    paused.animation.mPlaying = false;
    paused.animation.update(0.25f);
    EXPECT_FLOAT_EQ(paused.animation.mTime, 0.5f);
    EXPECT_FLOAT_EQ(paused.value, 5.0f);  // still applied
    EXPECT_EQ(paused.calls, 1);
    EXPECT_FALSE(paused.animation.isRunning());

    Player empty({}, {});
    empty.animation.update(1.0f);
    EXPECT_EQ(empty.animation.mTime, 0.0f);
    EXPECT_EQ(empty.value, -1.0f);
    EXPECT_EQ(empty.calls, 0);
    EXPECT_TRUE(empty.animation.isFinished());
    EXPECT_FALSE(empty.animation.isRunning());
    empty.animation.mLoop = true;
    EXPECT_FALSE(empty.animation.isFinished());
}

TEST(AnimationPlayer, AddAndClearFrames) {
    Animation animation;
    V2 pos;
    animation.bind("pos", &pos);
    animation.addFrame(0.5f);
    animation.keyValue<V2>("pos", 0) = V2(4, 5);
    animation.addFrame(0.25f);  // duplicates the last key
    EXPECT_EQ(animation.keyValue<V2>("pos", 1), V2(4, 5));
    EXPECT_FLOAT_EQ(animation.mTotal, 0.75f);
    EXPECT_EQ(animation.mLoopCoefficients, (std::vector<float>{1.0f, 1.0f}));
    animation.mTime = 0.6f;
    animation.clearFrames();
    EXPECT_EQ(animation.frameCount(), 0u);
    EXPECT_EQ(animation.mTotal, 0.0f);
    EXPECT_EQ(animation.mTracks[0]->keyCount(), 0u);
    EXPECT_FLOAT_EQ(animation.mTime, 0.6f);
}

TEST(AnimationPlayer, TrackBoundAfterFramesHoldsWhatItHas) {
    Animation animation;
    animation.addFrame(1.0f);
    animation.addFrame(1.0f);
    float late = 3.0f;
    animation.bind("late", &late);
    animation.update(0.5f);  // no keys: nothing written
    EXPECT_EQ(late, 3.0f);
    animation.mTracks[0]->addKey(-1);
    animation.keyValue<float>("late", 0) = 8.0f;
    animation.update(1.0f);  // frame 1 has no key: the last one holds
    EXPECT_EQ(late, 8.0f);
}

TEST(AnimationPlayer, CopyKeepsTheClockAndWritesNowhere) {
    Player p({1, 1}, {0, 10});
    p.animation.mLoop = true;
    p.animation.mSpeed = 3.0f;
    p.animation.update(0.1f);
    Animation copy(p.animation);
    EXPECT_FLOAT_EQ(copy.mTime, p.animation.mTime);
    EXPECT_EQ(copy.mTotal, 2.0f);
    EXPECT_TRUE(copy.mLoop);
    EXPECT_EQ(copy.mSpeed, 3.0f);
    const float before = p.value;
    copy.update(0.1f);
    EXPECT_EQ(p.value, before);
    EXPECT_EQ(p.calls, 1);
    float mine = 0;
    copy.bind("v", &mine);
    copy.update(0.0f);
    EXPECT_FLOAT_EQ(mine, 6.0f);
}

TEST(AnimationPlayer, SmoothFlagReachesOldAndNewTracks) {
    Animation animation;
    float a = 0, b = 0;
    animation.bind("a", &a);
    animation.setSmooth();
    animation.bind("b", &b);
    EXPECT_TRUE(animation.mTracks[0]->mSmooth);
    EXPECT_TRUE(animation.mTracks[1]->mSmooth);
}

TEST(AnimationPlayer, ParseDescription) {
    struct Case {
        const char* text;
        bool ok;
        bool loop;
        float speed;
        uint32_t frames;
        float total;
    } cases[] = {
        {"Animation = { loop = 1, speedCoef = '0.5', Frames = { {duration = 1, v = 1, loopCoeff = 2}, "
         "{duration = 0.5, v = 2} } }",
         true, true, 0.5f, 2, 1.5f},
        {"Animation = { loop = true, Frames = { {v = 1} } }", true, false, 1.0f, 1, 0.0f},
        {"Animation = { Frames = { {duration = 1, v = 1}, 5, {duration = 1, v = 3} } }", false, false, 1.0f, 1,
         1.0f},
        {"Animation = { loop = 1 }", false, true, 1.0f, 0, 0.0f},
        {"NotAnimation = {}", false, false, 1.0f, 0, 0.0f},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QV::LuaScript2> script(scriptWith(c.text));
        Animation animation;
        float v = 0;
        animation.bind("v", &v);
        EXPECT_EQ(animation.parse(*script), c.ok) << c.text;
        EXPECT_EQ(animation.mLoop, c.loop) << c.text;
        EXPECT_FLOAT_EQ(animation.mSpeed, c.speed) << c.text;
        EXPECT_EQ(animation.frameCount(), c.frames) << c.text;
        EXPECT_EQ(animation.mTracks[0]->keyCount(), c.frames) << c.text;
        EXPECT_FLOAT_EQ(animation.mTotal, c.total) << c.text;
    }
    std::unique_ptr<QV::LuaScript2> script(scriptWith(
        "Animation = { Frames = { {duration = 1, loopCoeff = 2}, {duration = 1} } }"));
    Animation animation;
    ASSERT_TRUE(animation.parse(*script));
    EXPECT_EQ(animation.mLoopCoefficients, (std::vector<float>{2.0f, 1.0f}));
}

TEST(AnimationPlayer, LoadFromAScriptOfAPackage) {
    qvtest::TempDir dir;
    qvtest::writeMedia(dir.file("media"), {{"default", {{"anim_lua", "/anim.lua"}}}});
    qvtest::writeFile(dir.file("media/anim.lua"),
                      "Animation = { Frames = { {duration = 1, angle = 0}, {duration = 1, angle = 90} } }\n"
                      "chip = { Animation = { loop = 1, Frames = { {duration = 2, angle = 5} } } }\n");
    qvtest::MediaEngine engine(dir.path());

    Animation global;
    float angle = -1;
    global.bind("angle", &angle);
    ASSERT_TRUE(global.load("anim_lua", "default", ""));
    global.update(0.5f);
    EXPECT_FLOAT_EQ(angle, 45.0f);
    global.update(1.0f);  // the last frame holds its key
    EXPECT_FLOAT_EQ(angle, 90.0f);

    Animation named;
    named.bind("angle", &angle);
    ASSERT_TRUE(named.load("anim_lua", "default", "chip"));
    EXPECT_TRUE(named.mLoop);
    EXPECT_EQ(named.frameCount(), 1u);

    Animation missing;
    EXPECT_FALSE(missing.load("anim_lua", "default", "nothing"));
    EXPECT_FALSE(missing.load("no_such_lua", "default", ""));
}

}  // namespace

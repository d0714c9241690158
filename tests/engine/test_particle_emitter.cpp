#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_shapes.h"
#include "random15.h"
#include "support/particle_fixtures.h"

namespace {

using qvtest::EmitterSpec;

// An effect holding one base emitter, its pool built.
struct OneEmitter {
    explicit OneEmitter(const EmitterSpec& spec, QV::ParticleEmitter* made = nullptr) {
        emitter = made ? made : new QV::ParticleEmitter();
        qvtest::configureEmitter(*emitter, spec);
        fx.mParticleEmitters.push_back(emitter);
        fx.init();
    }
    QV::ParticleFX fx;
    QV::ParticleEmitter* emitter;
};

struct Timeline {
    std::vector<int> births;  // update numbers with a birth, one entry per particle
    std::vector<int> live;    // live count after each update
    int finishedAt = -1;
};

Timeline run(OneEmitter& e, int updates, float dt) {
    Timeline t;
    for (int k = 1; k <= updates; ++k) {
        std::vector<bool> wasLive(static_cast<size_t>(e.emitter->poolSize()));
        for (int i = 0; i < e.emitter->poolSize(); ++i) wasLive[i] = !e.emitter->particles()[i].free;
        e.fx.update(dt);
        for (int i = 0; i < e.emitter->poolSize(); ++i) {
            const auto& p = e.emitter->particles()[i];
            // a record born this update has age dt (or died already if life <= dt)
            if (!p.free && (!wasLive[i] || p.age == dt)) t.births.push_back(k);
        }
        t.live.push_back(e.emitter->liveCount());
        EXPECT_EQ(qvtest::countLive(*e.emitter), e.emitter->liveCount());
        if (t.finishedAt < 0 && e.emitter->isFinished()) t.finishedAt = k;
    }
    return t;
}

TEST(ParticleEmitter, EmissionOverTimeAtRate8Life05EmitterLife1) {
    struct Case {
        const char* name;
        bool looped;
        int pool;
        int updates;
        std::vector<int> births;
        std::vector<int> live;  // first 22 updates
        int finishedAt;
    };
    const std::vector<int> once = {3, 5, 7, 9, 11, 13, 15};
    // Each loop drops the overshoot past the life, so later cycles run 17
    // updates and the accumulator's phase moves: 35..49 holds eight births.
    const std::vector<int> loopedBirths = {3,  5,  7,  9,  11, 13, 15, 19, 21, 23, 25, 27, 29, 31,
                                           35, 37, 39, 41, 43, 45, 47, 49, 53, 55, 57, 59, 61, 63};
    const Case cases[] = {
        {"once", false, 100, 24, once,
         {0, 0, 1, 1, 2, 2, 3, 3, 4, 3, 4, 3, 4, 3, 4, 3, 3, 2, 2, 1, 1, 0}, 22},
        {"looped", true, 100, 64, loopedBirths,
         {0, 0, 1, 1, 2, 2, 3, 3, 4, 3, 4, 3, 4, 3, 4, 3, 3, 2, 3, 2, 3, 2}, -1},
        // Pool of two: the spawns at 7 and 10 find it full and drop the accumulator.
        {"pool of two", false, 2, 24, {3, 5, 13, 15},
         {0, 0, 1, 1, 2, 2, 2, 2, 2, 1, 1, 0, 1, 1, 2, 2, 2, 2, 2, 1, 1, 0}, 22},
    };
    for (const Case& c : cases) {
        EmitterSpec spec;
        spec.looped = c.looped;
        spec.pool = c.pool;
        OneEmitter e(spec);
        Timeline t = run(e, c.updates, 1.0f / 16.0f);
        EXPECT_EQ(t.births, c.births) << c.name;
        EXPECT_EQ(std::vector<int>(t.live.begin(), t.live.begin() + 22), c.live) << c.name;
        EXPECT_EQ(t.finishedAt, c.finishedAt) << c.name;
    }
}

TEST(ParticleEmitter, AccumulatorKeepsTheRemainderAndNeedsMoreThanOneInterval) {
    EmitterSpec spec;
    spec.rate = 10.0f;
    spec.particleLife = 5.0f;
    spec.looped = true;
    spec.emitterLife = -1.0f;
    OneEmitter e(spec);
    e.fx.update(0.05f);
    e.fx.update(0.05f);
    EXPECT_EQ(e.emitter->liveCount(), 0);
    EXPECT_FLOAT_EQ(e.emitter->emitAccumulator(), 0.1f);
    e.fx.update(0.05f);
    EXPECT_EQ(e.emitter->liveCount(), 1);
    EXPECT_NEAR(e.emitter->emitAccumulator(), 0.05f, 1e-6);
}

TEST(ParticleEmitter, LifeDelayAndLoopRules) {
    struct Case {
        const char* name;
        float emitterLife;
        bool looped;
        float delay;
        int updates;     // of 0.1 s at 20 particles per second
        int expectLive;  // after the updates
        bool finished;
    };
    const Case cases[] = {
        {"life 0 once", 0.0f, false, 0.0f, 10, 0, true},
        {"life -1 once", -1.0f, false, 0.0f, 10, 0, true},
        {"life 0 looped", 0.0f, true, 0.0f, 10, 0, false},
        {"life -1 looped emits", -1.0f, true, 0.0f, 10, 20, false},
        {"delay 0.5 holds", -1.0f, true, 0.5f, 5, 0, false},
        {"delay 0.5 then emits", -1.0f, true, 0.5f, 6, 2, false},
    };
    for (const Case& c : cases) {
        EmitterSpec spec;
        spec.rate = 20.0f;
        spec.particleLife = 100.0f;
        spec.emitterLife = c.emitterLife;
        spec.looped = c.looped;
        spec.delay = c.delay;
        OneEmitter e(spec);
        if (!c.looped) {
            EXPECT_EQ(e.emitter->isFinished(), c.finished) << c.name << " before any update";
        }
        for (int i = 0; i < c.updates; ++i) e.fx.update(0.1f);
        EXPECT_NEAR(e.emitter->liveCount(), c.expectLive, 1) << c.name;
        if (c.expectLive == 0) {
            EXPECT_EQ(e.emitter->liveCount(), 0) << c.name;
        }
        EXPECT_EQ(e.emitter->isFinished(), c.finished) << c.name;
    }
}

TEST(ParticleEmitter, EmitterLifeTwoStopsThenFinishesWhenTheLastDies) {
    EmitterSpec spec;
    spec.particleLife = 1.0f;
    spec.emitterLife = 2.0f;
    OneEmitter e(spec);
    Timeline t = run(e, 46, 1.0f / 16.0f);
    ASSERT_FALSE(t.births.empty());
    EXPECT_EQ(t.births.back(), 31);  // elapsed 2.0 at update 32 ends emission
    EXPECT_EQ(t.finishedAt, 46);     // the last particle lives 16 updates
}

TEST(ParticleEmitter, ExtremeRatesFillThePoolWithoutHanging) {
    struct Case {
        float rate;
        float coefficient;  // 1e30 * 1e30 overflows to an interval of 0
    } cases[] = {{1e30f, 1.0f}, {1e30f, 1e30f}, {std::numeric_limits<float>::max(), 1.0f}};
    for (const Case& c : cases) {
        const float rate = c.rate;
        EmitterSpec spec;
        spec.rate = rate;
        spec.particleLife = 10.0f;
        spec.emitterLife = -1.0f;
        spec.looped = true;
        spec.pool = 50;
        OneEmitter e(spec);
        e.emitter->setEmitCoefficient(c.coefficient);
        e.fx.update(0.016f);
        EXPECT_EQ(e.emitter->liveCount(), 50) << rate;
        e.fx.update(0.016f);
        EXPECT_EQ(e.emitter->liveCount(), 50) << rate;
        EXPECT_FALSE(std::isnan(e.emitter->emitAccumulator()));
    }
}

TEST(ParticleEmitter, NanParticleLifeDiesAtOnce) {
    EmitterSpec spec;
    spec.rate = 100.0f;
    spec.particleLife = std::numeric_limits<float>::quiet_NaN();
    spec.emitterLife = -1.0f;
    spec.looped = true;
    spec.pool = 5;
    OneEmitter e(spec);
    for (int k = 0; k < 10; ++k) e.fx.update(0.1f);
    EXPECT_EQ(e.emitter->liveCount(), 0);
}

TEST(ParticleEmitter, ParticleColourFollowsItsOwnLife) {
    EmitterSpec spec;
    spec.rate = 1000.0f;
    spec.particleLife = 2.0f;
    spec.emitterLife = 0.003f;  // one birth in the first update
    spec.pool = 1;
    OneEmitter e(spec);
    e.emitter->mParticleColor.clear();
    e.emitter->mParticleColor.addKey(0, 0, QV::Color::fromBytes(0, 0, 0, 255));
    e.emitter->mParticleColor.addKey(0, 100, QV::Color::fromBytes(200, 0, 0, 255));
    e.fx.update(0.002f);
    ASSERT_EQ(e.emitter->liveCount(), 1);
    const auto& p = e.emitter->particles()[0];
    float previousRed = p.color.r;
    EXPECT_LT(p.color.r, 2);
    while (!e.emitter->particles()[0].free) {
        e.fx.update(0.1f);
        if (e.emitter->particles()[0].free) break;
        EXPECT_GE(p.color.r, previousRed);
        previousRed = p.color.r;
    }
    EXPECT_GT(previousRed, 180);
    EXPECT_NEAR(p.age, 2.002f, 0.11f);
}

TEST(ParticleEmitter, GlobalCoordinatesFixParticlesAtBirth) {
    for (bool global : {false, true}) {
        EmitterSpec spec;
        spec.rate = 1000.0f;
        spec.particleLife = 10.0f;
        spec.emitterLife = 0.003f;
        spec.pool = 1;
        OneEmitter e(spec, new QV::ParticlePointEmitter());  // born on the emitter
        e.emitter->mGlobalCoords = global;
        e.emitter->mPosition = QV::Vector2<float>(5.0f, 0.0f);
        e.fx.mPosition = QV::Vector2<float>(100.0f, 50.0f);
        e.fx.update(0.002f);
        ASSERT_EQ(e.emitter->liveCount(), 1);
        e.fx.mPosition = QV::Vector2<float>(300.0f, 70.0f);  // moved after the birth
        QV::ParticleQuad q =
            e.emitter->buildQuad(e.emitter->particles()[0], e.fx.mPosition, QV::Vector2<float>(0.0f, 0.0f));
        QV::Vector2<float> expected = global ? QV::Vector2<float>(105.0f, 50.0f) : QV::Vector2<float>(305.0f, 70.0f);
        EXPECT_FLOAT_EQ(q.position.x, expected.x) << global;
        EXPECT_FLOAT_EQ(q.position.y, expected.y) << global;
    }
}

TEST(ParticleEmitter, QuadCentresTheSpriteAndFadesWithTheMultiplier) {
    QV::ParticleEmitter emitter;
    QV::ParticleEmitter::Particle p;
    p.free = false;
    p.x = 10.0f;
    p.y = 20.0f;
    p.scaleX = 2.0f;
    p.scaleY = 0.5f;
    p.angle = 30.0f;
    p.color = QV::Color::fromBytes(10, 20, 30, 200);
    struct Case {
        float alpha;
        int expected;
    } cases[] = {{1.0f, 200}, {0.5f, 100}, {0.0f, 0}, {2.0f, 255}, {-1.0f, 0}};
    for (const Case& c : cases) {
        emitter.setAlpha(c.alpha);
        QV::ParticleQuad q = emitter.buildQuad(p, QV::Vector2<float>(1.0f, 2.0f), QV::Vector2<float>(16.0f, 8.0f));
        EXPECT_EQ(q.color.a, c.expected) << c.alpha;
        EXPECT_EQ(q.color.r, 10);
        EXPECT_EQ(p.color.a, 200);  // the particle keeps its own colour
        EXPECT_FLOAT_EQ(q.halfSize.x, 16.0f);
        EXPECT_FLOAT_EQ(q.halfSize.y, 2.0f);
        EXPECT_FLOAT_EQ(q.position.x, 11.0f - 16.0f);
        EXPECT_FLOAT_EQ(q.position.y, 22.0f - 2.0f);
        EXPECT_FLOAT_EQ(q.angle, 30.0f);
    }
}

TEST(ParticleEmitter, ResizingKeepsLiveParticlesOffTheFreeList) {
    EmitterSpec spec;
    spec.rate = 1000.0f;
    spec.particleLife = 10.0f;
    spec.emitterLife = -1.0f;
    spec.looped = true;
    spec.pool = 3;
    OneEmitter e(spec);
    e.fx.update(0.01f);
    ASSERT_EQ(e.emitter->liveCount(), 3);
    for (int newSize : {6, 2, 0, 4}) {
        e.emitter->mMaxParticlesCount = newSize;
        e.emitter->updateParticles(0.0f);
        ASSERT_EQ(e.emitter->poolSize(), newSize);
        std::vector<bool> listed(static_cast<size_t>(newSize), false);
        int steps = 0;
        for (int i = e.emitter->freeHead(); i != -1; i = e.emitter->particles()[i].nextFree) {
            ASSERT_LT(++steps, newSize + 1) << "free list loops";
            EXPECT_TRUE(e.emitter->particles()[i].free);
            listed[static_cast<size_t>(i)] = true;
        }
        for (int i = 0; i < newSize; ++i) EXPECT_EQ(listed[i], e.emitter->particles()[i].free) << i;
        e.fx.update(0.01f);
        EXPECT_EQ(e.emitter->liveCount(), newSize);
    }
    e.emitter->mMaxParticlesCount = -5;
    e.emitter->updateParticles(0.0f);
    EXPECT_EQ(e.emitter->mMaxParticlesCount, 4);
    EXPECT_EQ(e.emitter->poolSize(), 4);
}

TEST(ParticleEmitter, ResetFreesEverythingAndRewinds) {
    EmitterSpec spec;
    spec.rate = 50.0f;
    spec.particleLife = 10.0f;
    OneEmitter e(spec);
    for (int k = 0; k < 5; ++k) e.fx.update(0.1f);
    ASSERT_GT(e.emitter->liveCount(), 0);
    e.fx.restart();
    EXPECT_EQ(e.emitter->liveCount(), 0);
    EXPECT_EQ(e.emitter->elapsed(), 0.0f);
    EXPECT_EQ(e.emitter->emitAccumulator(), 0.0f);
    EXPECT_EQ(e.emitter->freeHead(), 0);
    EXPECT_EQ(qvtest::countLive(*e.emitter), 0);
}

TEST(ParticleEffect, NotPlayingStepsWithZero) {
    EmitterSpec spec;
    spec.rate = 20.0f;
    spec.particleLife = 10.0f;
    OneEmitter e(spec);
    for (int k = 0; k < 3; ++k) e.fx.update(0.1f);
    int live = e.emitter->liveCount();
    float elapsed = e.emitter->elapsed();
    float age = e.emitter->particles()[0].age;
    e.fx.mPlaying = false;
    for (int k = 0; k < 3; ++k) e.fx.update(0.1f);
    EXPECT_EQ(e.emitter->liveCount(), live);
    EXPECT_EQ(e.emitter->elapsed(), elapsed);
    EXPECT_EQ(e.emitter->particles()[0].age, age);
}

TEST(ParticleEffect, SetAlphaReachesEveryEmitterAndOtherEmittersKeepOneEmitting) {
    QV::ParticleFX fx;
    EmitterSpec shortSpec;
    shortSpec.emitterLife = 0.0f;  // finished at once
    EmitterSpec longSpec;
    longSpec.emitterLife = 5.0f;
    longSpec.rate = 20.0f;
    auto* a = new QV::ParticleEmitter();
    auto* b = new QV::ParticleEmitter();
    qvtest::configureEmitter(*a, shortSpec);
    qvtest::configureEmitter(*b, longSpec);
    fx.mParticleEmitters = {a, b};
    fx.init();
    EXPECT_EQ(a->owner(), &fx);
    fx.setAlpha(0.5f);
    EXPECT_FLOAT_EQ(a->alpha(), 0.5f);
    EXPECT_FLOAT_EQ(b->alpha(), 0.5f);
    for (int k = 0; k < 5; ++k) fx.update(0.1f);
    EXPECT_GT(b->liveCount(), 0);
    EXPECT_FALSE(fx.isFinished());
    QV::ParticleFX empty;
    EXPECT_TRUE(empty.isFinished());
}

}  // namespace

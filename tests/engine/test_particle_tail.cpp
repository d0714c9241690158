#include <gtest/gtest.h>

#include <cmath>

#include "particle_fx.h"
#include "particle_shapes.h"
#include "particle_tail.h"
#include "support/particle_fixtures.h"

namespace {

QV::ParticleTailSettings settings(int maxSegments = 20) {
    QV::ParticleTailSettings s;
    s.maxSegments = maxSegments;
    s.ringSize = maxSegments + 7;
    s.headSize = 20;
    s.headSizeTex = 8;
    s.minDistSegments = 10.0f;
    s.fadeSpeed = 30.0f;
    s.frameWidth = 64.0f;
    s.frameHeight = 16.0f;
    return s;
}

bool finite(const QV::ParticleTail::Segment& s) {
    for (const auto& c : s.corners) {
        if (!std::isfinite(c.x) || !std::isfinite(c.y)) return false;
    }
    return std::isfinite(s.u0) && std::isfinite(s.u1) && std::isfinite(s.length);
}

TEST(ParticleTail, StillParticleNeverStartsATrail) {
    QV::ParticleTailSettings s = settings();
    QV::ParticleTail tail;
    tail.init(nullptr, &s);
    tail.mWidth = 8.0f;
    for (int k = 0; k < 10; ++k) tail.update(0.1f, QV::Vector2<float>(0.05f, 0.0f));
    EXPECT_EQ(tail.count(), 0);
}

TEST(ParticleTail, NewSegmentOnceMoreThanHalfHeadPlusSpacingPlusOneAway) {
    QV::ParticleTailSettings s = settings();
    QV::ParticleTail tail;
    tail.init(nullptr, &s);
    tail.mWidth = 8.0f;
    s.fadeSpeed = 0.0f;
    tail.update(0.1f, QV::Vector2<float>(100, 100));  // starts: three empty segments at the point
    ASSERT_EQ(tail.count(), 3);
    EXPECT_EQ(tail.head(), 2);
    EXPECT_EQ(tail.start(), QV::Vector2<float>(100, 100));
    tail.update(0.1f, QV::Vector2<float>(110, 100));  // 10 away: the head follows, no segment
    EXPECT_EQ(tail.count(), 3);
    tail.update(0.1f, QV::Vector2<float>(121, 100));  // exactly 21: not more than 21
    EXPECT_EQ(tail.count(), 3);
    tail.update(0.1f, QV::Vector2<float>(121.5f, 100));
    EXPECT_EQ(tail.count(), 4);
    EXPECT_EQ(tail.head(), 3);
    EXPECT_FLOAT_EQ(tail.start().x, 121.5f - 10.0f);  // behind the head by half its length
    const QV::ParticleTail::Segment& head = tail.segment(tail.head());
    EXPECT_FLOAT_EQ(head.a.x, 111.5f);
    EXPECT_FLOAT_EQ(head.b.x, 131.5f);
    EXPECT_FLOAT_EQ(head.u0, 56.0f);
    EXPECT_FLOAT_EQ(head.u1, 64.0f);
    // The ribbon is the width on each side of the head's centre line.
    EXPECT_NEAR(std::fabs(head.corners[0].y - head.corners[3].y), 16.0f, 1e-3f);
}

TEST(ParticleTail, FastParticleKeepsAboutMaxSegmentsAndTextureSpansTheBody) {
    QV::ParticleTailSettings s = settings(10);
    QV::ParticleTail tail;
    tail.init(nullptr, &s);
    tail.mWidth = 4.0f;
    for (int k = 0; k < 400; ++k) {
        float t = static_cast<float>(k);
        tail.update(1.0f / 60.0f, QV::Vector2<float>(t * 30.0f, 50.0f * std::sin(t * 0.1f)));
        ASSERT_LE(tail.count(), s.ringSize);
        for (int i = 0; i < tail.count(); ++i) ASSERT_TRUE(finite(tail.segment(tail.head() - i))) << k;
    }
    // The far end chases at 90 % of the speed: the count settles between the
    // most segments and the ring size.
    EXPECT_GE(tail.count(), 8);
    EXPECT_LE(tail.count(), s.ringSize);
    // The body maps texels 56 at the head down to 0 at the far end.
    EXPECT_FLOAT_EQ(tail.segment(tail.head() - 1).u1, 56.0f);
    EXPECT_NEAR(tail.segment(tail.head() - tail.count() + 1).u0, 0.0f, 1e-3f);
    EXPECT_GT(tail.bodyLength(), 0.0f);
}

TEST(ParticleTail, StoppedTrailRetreatsAtFadeSpeedAndZeroFrameTimeIsHarmless) {
    QV::ParticleTailSettings s = settings(4);
    QV::ParticleTail tail;
    tail.init(nullptr, &s);
    tail.mWidth = 4.0f;
    for (int k = 0; k < 30; ++k) tail.update(0.1f, QV::Vector2<float>(k * 15.0f, 0.0f));
    int grown = tail.count();
    ASSERT_GT(grown, 3);
    for (int k = 0; k < 5; ++k) {
        tail.update(0.0f, QV::Vector2<float>(29 * 15.0f + 40.0f * k, 0.0f));  // frame time 0 while moving
        for (int i = 0; i < tail.count(); ++i) ASSERT_TRUE(finite(tail.segment(tail.head() - i)));
    }
    int before = tail.count();
    for (int k = 0; k < 200; ++k) tail.update(0.1f, QV::Vector2<float>(29 * 15.0f + 160.0f, 0.0f));
    EXPECT_LT(tail.count(), before);
}

TEST(ParticleTail, SharpTurnDoesNotFoldTheQuads) {
    QV::ParticleTailSettings s = settings();
    QV::ParticleTail::Segment previous, segment, next;
    previous.a = QV::Vector2<float>(0, 0);
    previous.b = QV::Vector2<float>(50, 0);
    segment.a = QV::Vector2<float>(50, 0);
    segment.b = QV::Vector2<float>(50.5f, 0.5f);  // short and turning back
    next.a = segment.b;
    next.b = QV::Vector2<float>(0, 1);
    for (auto* seg : {&previous, &segment, &next}) QV::ParticleTail::buildSegment(*seg, 10.0f);
    QV::ParticleTail::buildCorners(previous, next, segment, 10.0f);
    const auto* c = segment.corners;
    EXPECT_GE((c[1] - c[0]).dot(segment.side), 0.0f);
    EXPECT_GE((c[2] - c[3]).dot(segment.side), 0.0f);
    // Degenerate segments get length 1 rather than dividing by zero.
    QV::ParticleTail::Segment dot;
    QV::ParticleTail::buildSegment(dot, 5.0f);
    EXPECT_EQ(dot.length, 1.0f);
    (void)s;
}

TEST(ParticleTail, EmitterFeedsTrailsAndRebuildsThemWhenSegmentsChange) {
    QV::ParticleFX fx;
    auto* emitter = new QV::ParticlePointEmitter();
    qvtest::EmitterSpec spec;
    spec.rate = 20.0f;
    spec.particleLife = 2.0f;
    spec.emitterLife = -1.0f;
    spec.looped = true;
    spec.pool = 6;
    qvtest::configureEmitter(*emitter, spec);
    emitter->mUseTails = true;
    emitter->mMaxSegments = 5;
    emitter->mHeadSize = 4;
    emitter->mMinDistSegments = 2.0f;
    fx.mParticleEmitters.push_back(emitter);
    fx.init();
    for (int i = 0; i < emitter->poolSize(); ++i) ASSERT_NE(emitter->particles()[i].tail, nullptr);
    EXPECT_EQ(emitter->tailSettings().ringSize, 12);
    for (int k = 0; k < 20; ++k) {
        fx.mPosition.x += 12.0f;  // local particles ride along with the effect
        fx.update(0.05f);
    }
    int trails = 0;
    for (int i = 0; i < emitter->poolSize(); ++i) {
        if (!emitter->particles()[i].free && emitter->particles()[i].tail->count() >= 3) ++trails;
    }
    EXPECT_GT(trails, 0);
    emitter->mMaxSegments = 9;
    fx.update(0.05f);
    EXPECT_EQ(emitter->tailSettings().ringSize, 16);
    emitter->mUseTails = false;
    fx.restart();
    for (int i = 0; i < emitter->poolSize(); ++i) EXPECT_EQ(emitter->particles()[i].tail, nullptr);
}

}  // namespace

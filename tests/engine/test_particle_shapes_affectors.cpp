#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "particle_affectors.h"
#include "particle_fx.h"
#include "particle_shapes.h"
#include "random15.h"
#include "support/particle_fixtures.h"

namespace {

using Particle = QV::ParticleEmitter::Particle;

// An effect with one emitter of a pool of n, nothing emitted by itself:
// tests place particles with born().
struct Bench {
    explicit Bench(QV::ParticleEmitter* e, int n = 64) : emitter(e) {
        qvtest::EmitterSpec spec;
        spec.rate = 0.0f;
        spec.pool = n;
        spec.particleLife = 100.0f;
        qvtest::configureEmitter(*emitter, spec);
        fx.mParticleEmitters.push_back(emitter);
    }
    template <class A>
    A* add(A* affector) {
        emitter->mParticleAffectors.push_back(affector);
        return affector;
    }
    void start() { fx.init(); }
    // Births record i as the emitter would: shape first, then the affectors.
    Particle& born(int i, float x = 0.0f, float y = 0.0f) {
        Particle& p = emitter->particles()[i];
        p = Particle();
        p.free = false;
        p.lifeLeft = 100.0f;
        p.x = x;
        p.y = y;
        for (QV::ParticleAffector* a : emitter->mParticleAffectors) a->resetParticle(i);
        return p;
    }
    void step(float dt) {
        for (QV::ParticleAffector* a : emitter->mParticleAffectors) a->update(dt);
    }
    QV::ParticleFX fx;
    QV::ParticleEmitter* emitter;
};

std::vector<QV::Vector2<float>> spawnMany(QV::ParticleEmitter* shape, int count, uint32_t seed = 7) {
    Bench b(shape, count);
    b.start();
    QV::seedRandom15(seed);
    std::vector<QV::Vector2<float>> points;
    for (int i = 0; i < count; ++i) {
        shape->placeParticle(i);
        points.emplace_back(shape->particles()[i].x, shape->particles()[i].y);
    }
    return points;
}

TEST(ParticleShapes, BoxIsTurnedAboutTheEmitterOrigin) {
    struct Case {
        QV::Rect rect;
        float angle;
        QV::Rect bounds;  // where every point must fall
    } cases[] = {
        {QV::Rect(-10, -5, 10, 5), 90.0f, QV::Rect(-5, -10, 5, 10)},
        {QV::Rect(10, 20, 30, 40), 180.0f, QV::Rect(-30, -40, -10, -20)},  // mirrored through the origin
        {QV::Rect(0, 0, 4, 2), 0.0f, QV::Rect(0, 0, 4, 2)},
    };
    for (const Case& c : cases) {
        auto* box = new QV::ParticleBoxEmitter();
        box->mRect = c.rect;
        box->mRectAngle = c.angle;
        float minX = 1e9f, maxX = -1e9f;
        for (const auto& p : spawnMany(box, 400)) {
            EXPECT_GE(p.x, c.bounds.left - 1e-3f);
            EXPECT_LE(p.x, c.bounds.right + 1e-3f);
            EXPECT_GE(p.y, c.bounds.top - 1e-3f);
            EXPECT_LE(p.y, c.bounds.bottom + 1e-3f);
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
        }
        EXPECT_GT(maxX - minX, 0.8f * (c.bounds.right - c.bounds.left)) << c.angle;  // spread, not a point
    }
}

TEST(ParticleShapes, QuadMapsItsTwoFractionsIntoTheSquare) {
    auto* quad = new QV::ParticleQuadEmitter();
    quad->mPointLeftTop = QV::Vector2<float>(0, 0);
    quad->mPointLeftBottom = QV::Vector2<float>(0, 100);
    quad->mPointRightTop = QV::Vector2<float>(100, 0);
    quad->mPointRightBottom = QV::Vector2<float>(100, 100);
    std::vector<QV::Vector2<float>> points = spawnMany(quad, 50, 99);
    QV::seedRandom15(99);
    for (const auto& p : points) {
        float e = QV::randomFraction();  // along the horizontal edges
        float o = QV::randomFraction();  // up the vertical edges, from the bottom
        EXPECT_NEAR(p.x, 100.0f * e, 1e-3f);
        EXPECT_NEAR(p.y, 100.0f - 100.0f * o, 1e-3f);
    }
}

TEST(ParticleShapes, FlatQuadStaysFiniteAndCircleAndPointStayInside) {
    auto* flat = new QV::ParticleQuadEmitter();
    flat->mPointLeftTop = QV::Vector2<float>(0, 0);
    flat->mPointLeftBottom = QV::Vector2<float>(10, 0);
    flat->mPointRightTop = QV::Vector2<float>(20, 0);
    flat->mPointRightBottom = QV::Vector2<float>(30, 0);
    for (const auto& p : spawnMany(flat, 50)) {
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    }
    for (float radius : {0.0f, 10.0f}) {
        auto* circle = new QV::ParticleCircleEmitter();
        circle->mRadius = radius;
        for (const auto& p : spawnMany(circle, 200)) EXPECT_LE(std::hypot(p.x, p.y), radius + 1e-4f);
    }
    auto* point = new QV::ParticlePointEmitter();
    point->mPosition = QV::Vector2<float>(3, 4);  // x, y start there; the point shape puts them at 0
    for (const auto& p : spawnMany(point, 10)) EXPECT_EQ(p, QV::Vector2<float>(0, 0));
}

TEST(ParticleAffectors, GravityAcceleratesAlongItsUnnormalisedDirection) {
    for (float length : {1.0f, 2.0f}) {
        Bench b(new QV::ParticleEmitter());
        auto* g = b.add(new QV::ParticleGravityAffector());
        qvtest::setFlat(g->mForce, 100.0f);
        g->mDirection = QV::Vector2<float>(0.0f, length);
        b.start();
        Particle& p = b.born(0);
        b.step(0.1f);
        EXPECT_NEAR(p.y, 0.5f * length, 1e-5f);
        EXPECT_NEAR(g->records()[0].speed, 10.0f, 1e-5f);
        b.step(0.1f);
        EXPECT_NEAR(p.y, 2.0f * length, 1e-5f);
        EXPECT_EQ(p.x, 0.0f);
    }
    QV::ParticleGravityAffector constructed;  // one flat line at 2.5, pulling down
    EXPECT_FLOAT_EQ(constructed.mForce.evaluateMean(40), 2.5f);
    EXPECT_EQ(constructed.mDirection, QV::Vector2<float>(0.0f, 1.0f));
}

TEST(ParticleAffectors, GravityPointPullsTowardTheBirthPointAndOvershoots) {
    QV::seedRandom15(3);
    Bench b(new QV::ParticleEmitter());
    auto* g = b.add(new QV::ParticleGravityPointAffector());
    qvtest::setFlat(g->mForce, 400.0f);
    b.start();
    Particle& p = b.born(0, 10.0f, 0.0f);  // local coordinates: the centre is the emitter origin
    bool crossed = false;
    float previous = p.x;
    for (int k = 0; k < 30 && !crossed; ++k) {
        b.step(0.05f);
        EXPECT_LT(p.x, previous + 1e-4f);  // always toward the centre until it passes it
        previous = p.x;
        crossed = p.x < 0.0f;
    }
    EXPECT_TRUE(crossed);
    EXPECT_NEAR(p.y, 0.0f, 1e-4f);
    b.step(0.05f);
    b.step(0.05f);
    EXPECT_GT(g->records()[0].speed, 0.0f);

    // A negative force pushes away.
    qvtest::setFlat(g->mForce, -400.0f);
    Particle& q = b.born(1, 10.0f, 0.0f);
    b.step(0.05f);
    EXPECT_GT(q.x, 10.0f);
}

TEST(ParticleAffectors, LinearMovementPicksDirectionsOnTheSegment) {
    QV::seedRandom15(11);
    Bench b(new QV::ParticleEmitter());
    auto* lin = b.add(new QV::ParticleLinearMovementAffector());
    lin->mInitialDirection.mMinVal = QV::Vector2<float>(-1, 0);
    lin->mInitialDirection.mMaxVal = QV::Vector2<float>(1, 1);
    qvtest::setFlat(lin->mInitialVelocity, 2.0f);
    b.start();
    for (int i = 0; i < 32; ++i) b.born(i);
    b.step(0.5f);  // velocity 2 for half a second: moved by one direction
    for (int i = 0; i < 32; ++i) {
        const Particle& p = b.emitter->particles()[i];
        EXPECT_NEAR(p.y, (p.x + 1.0f) / 2.0f, 1e-5f) << i;
        EXPECT_GE(p.x, -1.0f);
        EXPECT_LE(p.x, 1.0f);
    }
}

TEST(ParticleAffectors, RotateOrbitsBothWaysAtTheirOwnRates) {
    QV::seedRandom15(5);
    Bench b(new QV::ParticleEmitter());
    auto* r = b.add(new QV::ParticleRotateAffector());
    qvtest::setFlat(r->mInitialAngleVelocity, 1.0f);  // radians per second
    r->mInitialRotateCoeffMin = -1.0f;
    r->mInitialRotateCoeffMax = 1.0f;
    b.start();
    for (int i = 0; i < 40; ++i) b.born(i, 10.0f, 0.0f);
    b.step(0.1f);
    int clockwise = 0, anticlockwise = 0;
    for (int i = 0; i < 40; ++i) {
        const Particle& p = b.emitter->particles()[i];
        EXPECT_NEAR(std::hypot(p.x, p.y), 10.0f, 1e-4f);  // turned about the origin
        EXPECT_NEAR(std::atan2(p.y, p.x), 0.1f * r->records()[i].coefficient, 1e-4f);
        EXPECT_EQ(p.angle, 0.0f);
        (p.y > 0 ? anticlockwise : clockwise)++;
    }
    EXPECT_GT(clockwise, 5);
    EXPECT_GT(anticlockwise, 5);
}

TEST(ParticleAffectors, RotateSpriteAddsRandomStartAnglesAndSpins) {
    QV::seedRandom15(21);
    Bench b(new QV::ParticleEmitter());
    auto* first = b.add(new QV::ParticleRotateSpriteAffector());
    first->mInitialMaxAngle = 360.0f;
    first->mInitialRotateCoeffMin = first->mInitialRotateCoeffMax = 2.0f;
    qvtest::setFlat(first->mInitialAngleVelocity, 90.0f);
    b.start();
    float low = 1e9f, high = -1e9f;
    for (int i = 0; i < 64; ++i) {
        float a = b.born(i).angle;
        EXPECT_GE(a, 0.0f);
        EXPECT_LE(a, 360.0f);
        low = std::min(low, a);
        high = std::max(high, a);
    }
    EXPECT_GT(high - low, 270.0f);
    float before = b.emitter->particles()[0].angle;
    b.step(0.5f);  // 2 x 0.5 s x 90 degrees per second
    EXPECT_NEAR(b.emitter->particles()[0].angle, before + 90.0f, 1e-3f);

    // A second affector adds its own start angle on top of the first.
    auto* second = b.add(new QV::ParticleRotateSpriteAffector());
    second->mInitialMinAngle = second->mInitialMaxAngle = 1000.0f;
    second->attach(b.emitter);
    for (int i = 0; i < 8; ++i) EXPECT_GE(b.born(i).angle, 1000.0f);
}

TEST(ParticleAffectors, AutoRotateFollowsTheLastStep) {
    struct Case {
        float dx, dy, expected;
    } cases[] = {{0, 3, 90}, {0, -3, 270}, {2, 0, 0}, {-2, 0, 180}, {1, 1, 45}, {0.0001f, 0, 7}};
    for (const Case& c : cases) {
        Bench b(new QV::ParticleEmitter());
        auto* a = b.add(new QV::ParticleAutoRotateAffector());
        a->mDiffAngle = 10.0f;
        b.start();
        Particle& p = b.born(0, 5.0f, 5.0f);
        p.angle = 7.0f - 10.0f;  // kept when the step is too short
        p.x += c.dx;
        p.y += c.dy;
        b.step(0.1f);
        float expected = c.dx == 0.0001f ? -3.0f : c.expected + 10.0f;
        EXPECT_NEAR(p.angle, expected, 1e-3f) << c.dx << "," << c.dy;
    }
}

TEST(ParticleAffectors, GraphicMoveHeadsByCurveAndParticleAngle) {
    Bench b(new QV::ParticleEmitter());
    auto* g = b.add(new QV::ParticleGraphicMoveAffector());
    qvtest::setFlat(g->mAngleGraphic, 0.0f);
    qvtest::setFlat(g->mVelocityGraphic, 10.0f);
    b.start();
    Particle& p = b.born(0);
    p.angle = 90.0f;
    b.step(0.5f);
    EXPECT_NEAR(p.x, 0.0f, 1e-4f);
    EXPECT_NEAR(p.y, 5.0f, 1e-4f);
    EXPECT_EQ(p.angle, 90.0f);
    // A particle with no life at all reads its curves at 0 percent.
    Particle& q = b.born(1);
    q.lifeLeft = 0.0f;
    b.step(0.5f);
    EXPECT_NEAR(q.x, 5.0f, 1e-4f);
}

TEST(ParticleAffectors, InertBaseAndCopiesWithoutRecords) {
    Bench b(new QV::ParticleEmitter(), 8);
    b.add(new QV::ParticleAffector());
    auto* g = b.add(new QV::ParticleGravityAffector());
    b.start();
    EXPECT_EQ(g->records().size(), 8u);
    Particle& p = b.born(0, 1.0f, 2.0f);
    b.emitter->mParticleAffectors[0]->update(1.0f);
    EXPECT_EQ(p.x, 1.0f);
    QV::ParticleGravityAffector copy(*g);
    EXPECT_TRUE(copy.records().empty());
    EXPECT_EQ(copy.emitter(), nullptr);
    copy.update(0.1f);  // unattached: nothing to do
    g->resize(3);
    EXPECT_EQ(g->records().size(), 3u);
}

}  // namespace

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "particle_affectors.h"
#include "particle_fx.h"
#include "particle_shapes.h"
#include "particle_system.h"
#include "property_visit_archive.h"
#include "support/media_fixture.h"
#include "support/particle_fixtures.h"
#include "support/temp_dir.h"
#include "xml_iarchive.h"
#include "xml_output_archive.h"

namespace {

std::string flatCurve(const std::string& name, const std::string& value) {
    return "<" + name + " class_name=''><mValues sz='1'><e0 sz='2'>"
           "<e0 class_name=''><time v='0'/><value v='" + value + "'/></e0>"
           "<e1 class_name=''><time v='100'/><value v='" + value + "'/></e1>"
           "</e0></mValues><mLinesCount v='1'/></" + name + ">";
}

std::string whiteCurve() {
    return "<mParticleColor><mValues sz='1'><e0 sz='1'><e0><time v='0'/>"
           "<value r='255' g='255' b='255' a='255'/></e0></e0></mValues><mLinesCount v='1'/></mParticleColor>";
}

// A box emitter with gravity: 40 particles per second living 0.5 s for 1 s.
std::string boxEffect(const std::string& extra = "", float emitterLife = 1.0f, bool looped = false) {
    return "<?xml version='1.0'?><root><ParticleFX class_name=''>"
           "<mPosition x='10' y='20'/>"
           "<mParticleEmitters sz='1'><e0 class_name='ParticleBoxEmitter'>"
           "<mRect left='-10' top='-5' right='10' bottom='5'/><mRectAngle v='90'/>"
           "<mMaxParticlesCount v='20'/>" +
           flatCurve("mEmitRate", "40") + flatCurve("mInitialLifeTime", "0.5") + whiteCurve() +
           flatCurve("mInitialScaleX", "1") + flatCurve("mInitialScaleY", "1") +
           "<mParticleAffectors sz='1'><e0 class_name='ParticleGravityAffector'>" + flatCurve("mForce", "100") +
           "<mDirection x='0' y='1'/></e0></mParticleAffectors>"
           "<mEmitterLifeTime v='" + std::to_string(emitterLife) + "'/><mLooped v='" + (looped ? "1" : "0") +
           "'/></e0></mParticleEmitters>" + extra + "</ParticleFX></root>";
}

class ParticleFiles : public testing::Test {
protected:
    void SetUp() override {
        qvtest::writeMedia(dir.file("media"), {{"default",
                                                {{"box_fx", "/fx/box.xml"},
                                                 {"moving_fx", "/fx/moving.xml"},
                                                 {"looping_fx", "/fx/looping.xml"},
                                                 {"empty_fx", "/fx/empty.xml"},
                                                 {"move_lua", "/fx/move.lua"}}}});
        qvtest::writeFile(dir.file("media/fx/box.xml"), boxEffect());
        qvtest::writeFile(dir.file("media/fx/moving.xml"),
                          boxEffect("<mAnimationFilename v='move_lua'/><mLoopedAnimation v='false'/>", -1.0f, true));
        qvtest::writeFile(dir.file("media/fx/looping.xml"), boxEffect("", -1.0f, true));
        qvtest::writeFile(dir.file("media/fx/empty.xml"), "<document/>");
        qvtest::writeFile(dir.file("media/fx/move.lua"),
                          "Animation = { loop = 0, Frames = {\n"
                          "  { duration = 0.25, pos = { 0, 0 } },\n"
                          "  { duration = 0, pos = { 100, 0 } } } }\n");
        media.reset(new qvtest::MediaEngine(dir.path()));
        engine.reset(new qvtest::ParticleEngine());
    }
    void TearDown() override {
        engine.reset();
        media.reset();
    }
    QV::ParticleSystem& system() { return *engine->system; }

    qvtest::TempDir dir;
    std::unique_ptr<qvtest::MediaEngine> media;
    std::unique_ptr<qvtest::ParticleEngine> engine;
};

TEST_F(ParticleFiles, FileIsParsedOnceAndHandedOutAsCopies) {
    QV::ParticleFX* a = system().createParticleFX("box_fx");
    ASSERT_NE(a, nullptr);
    QV::ParticleFX* proto = system().prototype("box_fx");
    ASSERT_NE(proto, nullptr);
    EXPECT_NE(a, proto);
    EXPECT_EQ(a->mFileName, "box_fx");
    ASSERT_EQ(a->mParticleEmitters.size(), 1u);
    auto* box = dynamic_cast<QV::ParticleBoxEmitter*>(a->mParticleEmitters[0]);
    ASSERT_NE(box, nullptr);
    EXPECT_FLOAT_EQ(box->mRectAngle, 90.0f);
    EXPECT_EQ(box->owner(), a);
    EXPECT_EQ(box->poolSize(), 20);
    ASSERT_EQ(box->mParticleAffectors.size(), 1u);
    EXPECT_NE(dynamic_cast<QV::ParticleGravityAffector*>(box->mParticleAffectors[0]), nullptr);
    EXPECT_EQ(box->mParticleAffectors[0]->emitter(), box);
    EXPECT_FALSE(a->mLoopedAnimation);  // missing field reads false

    QV::ParticleFX* b = system().createParticleFX("box_fx");
    EXPECT_EQ(system().activeEffects(), (std::vector<QV::ParticleFX*>{a, b}));
    for (int k = 0; k < 5; ++k) a->update(0.1f);
    EXPECT_GT(a->mParticleEmitters[0]->liveCount(), 0);
    EXPECT_EQ(b->mParticleEmitters[0]->liveCount(), 0);
    EXPECT_EQ(proto->mParticleEmitters[0]->liveCount(), 0);
    EXPECT_EQ(proto->mParticleEmitters[0]->elapsed(), 0.0f);
    // Box turned by 90 degrees: x in -5..5, y in -10..10, plus gravity pulling down.
    const QV::ParticleEmitter& e = *a->mParticleEmitters[0];
    for (int i = 0; i < e.poolSize(); ++i) {
        if (e.particles()[i].free) continue;
        EXPECT_LE(std::abs(e.particles()[i].x), 5.0001f);
        EXPECT_GE(e.particles()[i].y, -10.0001f);
    }
    system().releaseParticleFX(a);
    system().releaseParticleFX(b);
}

TEST_F(ParticleFiles, GivenBackEffectsComeOutFirstInFirstOutAndRewound) {
    QV::ParticleFX* a = system().createParticleFX("box_fx");
    QV::ParticleFX* b = system().createParticleFX("box_fx");
    for (int k = 0; k < 3; ++k) a->update(0.1f);
    a->mPlaying = false;
    system().releaseParticleFX(a);
    system().releaseParticleFX(b);
    system().releaseParticleFX(nullptr);
    EXPECT_EQ(system().pooledCount("box_fx"), 2u);
    EXPECT_TRUE(system().activeEffects().empty());
    EXPECT_GT(a->mParticleEmitters[0]->liveCount(), 0);  // not rewound while pooled
    QV::ParticleFX* again = system().createParticleFX("box_fx");
    EXPECT_EQ(again, a);
    EXPECT_TRUE(again->mPlaying);
    EXPECT_EQ(again->mParticleEmitters[0]->liveCount(), 0);
    EXPECT_EQ(again->mParticleEmitters[0]->elapsed(), 0.0f);
    EXPECT_EQ(system().createParticleFX("box_fx"), b);
    EXPECT_EQ(system().pooledCount("box_fx"), 0u);
}

TEST_F(ParticleFiles, ADocumentWithoutRootGivesAnEffectWithoutEmitters) {
    QV::ParticleFX* fx = system().createParticleFX("empty_fx");
    ASSERT_NE(fx, nullptr);
    EXPECT_TRUE(fx->mParticleEmitters.empty());
    EXPECT_TRUE(fx->isFinished());
    EXPECT_FALSE(fx->mDestroyIfDead);
}

TEST_F(ParticleFiles, MissingFileIsFatalAndNamesTheFile) {
    EXPECT_EXIT(system().createParticleFX("nowhere_fx"), testing::ExitedWithCode(255),
                "Failed to open file to load xml_iarchive: nowhere_fx");
}

TEST_F(ParticleFiles, FrameTimeIsCappedAndAutoUpdateAdvancesActiveEffects) {
    QV::ParticleFX* fx = system().createParticleFX("looping_fx");
    system().advance(0.5f);
    EXPECT_FLOAT_EQ(fx->mParticleEmitters[0]->elapsed(), 0.1f);
    system().setAutoUpdate(false);
    system().advance(0.05f);
    EXPECT_FLOAT_EQ(fx->mParticleEmitters[0]->elapsed(), 0.1f);
    fx->mDestroyIfDead = true;
    system().releaseParticleFX(fx);

    // With auto-update on, a finished effect marked destroy-if-dead goes away.
    system().setAutoUpdate(true);
    QV::ParticleFX* once = system().createParticleFX("box_fx");
    once->mDestroyIfDead = true;
    for (int k = 0; k < 16 && !system().activeEffects().empty(); ++k) system().advance(0.1f);
    EXPECT_TRUE(system().activeEffects().empty());
}

TEST_F(ParticleFiles, ManagedEffectIsGivenBackWhenItsEmittersFinish) {
    system().setAutoUpdate(false);
    QV::ParticleFX* fx = system().createParticleFX("box_fx");
    system().addManagedEffect(fx, 1);
    int updates = 0;
    while (!system().managedEffects().empty() && updates < 40) {
        system().advance(0.1f);
        ++updates;
        if (!system().managedEffects().empty()) {
            EXPECT_FALSE(fx->isFinished());
        }
    }
    // Emission for 1 s, the last particle (born near 0.9 s) lives 0.5 s more.
    EXPECT_GE(updates, 14);
    EXPECT_LE(updates, 16);
    EXPECT_EQ(system().pooledCount("box_fx"), 1u);
    EXPECT_TRUE(system().activeEffects().empty());
    system().drawManagedEffects(1, 1.0f);  // nothing left to draw
}

TEST_F(ParticleFiles, ManagedEffectEndsWithItsAnimationAndComesBackFresh) {
    system().setAutoUpdate(false);
    QV::ParticleFX* fx = system().createParticleFX("moving_fx");
    ASSERT_NE(fx->animation(), nullptr);
    QV::ParticleFX* proto = system().prototype("moving_fx");
    fx->setAlpha(0.25f);
    fx->mParticleEmitters[0]->setEmitCoefficient(3.0f);
    system().addManagedEffect(fx, 2);
    system().advance(0.1f);
    system().advance(0.1f);
    EXPECT_FLOAT_EQ(fx->mPosition.x, 80.0f);
    EXPECT_FLOAT_EQ(proto->mPosition.x, 10.0f);  // the copy's animation is its own
    EXPECT_EQ(system().managedEffects().size(), 1u);
    system().advance(0.1f);  // 0.3 s: the animation is over
    EXPECT_TRUE(system().managedEffects().empty());
    EXPECT_EQ(system().pooledCount("moving_fx"), 1u);
    EXPECT_EQ(fx->animation(), nullptr);
    EXPECT_FALSE(fx->mParticleEmitters[0]->mLooped);

    QV::ParticleFX* again = system().createParticleFX("moving_fx");
    ASSERT_EQ(again, fx);
    EXPECT_NE(again->animation(), nullptr);
    EXPECT_TRUE(again->mParticleEmitters[0]->mLooped);
    EXPECT_FALSE(again->mEnded);
    EXPECT_FLOAT_EQ(again->mParticleEmitters[0]->alpha(), 1.0f);
    EXPECT_FLOAT_EQ(again->mParticleEmitters[0]->emitCoefficient(), 1.0f);
    again->update(0.1f);
    EXPECT_FLOAT_EQ(again->mPosition.x, 40.0f);
}

TEST_F(ParticleFiles, CopyOfARunningEffectIsRestartedAndListed) {
    QV::ParticleFX* fx = system().createParticleFX("looping_fx");
    for (int k = 0; k < 4; ++k) fx->update(0.1f);
    fx->mPosition = QV::Vector2<float>(7.0f, 8.0f);
    QV::ParticleFX* copy = system().createParticleFXCopy(fx);
    EXPECT_EQ(copy->mParticleEmitters[0]->liveCount(), 0);
    EXPECT_EQ(copy->mParticleEmitters[0]->elapsed(), 0.0f);
    EXPECT_EQ(copy->mPosition, fx->mPosition);
    EXPECT_NE(dynamic_cast<QV::ParticleBoxEmitter*>(copy->mParticleEmitters[0]), nullptr);
    EXPECT_EQ(system().activeEffects().back(), copy);
}

TEST_F(ParticleFiles, JobThreadsCreateAndGiveBackWhileTheMainThreadUpdates) {
    system().setAutoUpdate(false);
    std::atomic<int> made{0};
    std::vector<std::thread> jobs;
    for (int t = 0; t < 4; ++t) {
        jobs.emplace_back([&, t] {
            for (int i = 0; i < 40; ++i) {
                QV::ParticleFX* fx = system().createParticleFX(t % 2 ? "box_fx" : "looping_fx");
                if (!fx) continue;
                ++made;
                if (i % 3 == 0) {
                    system().addManagedEffect(fx, 1);
                } else {
                    system().releaseParticleFX(fx);
                }
            }
        });
    }
    for (int k = 0; k < 200; ++k) {
        system().advance(0.02f);
        system().drawManagedEffects(1, 0.5f);
    }
    for (std::thread& job : jobs) job.join();
    EXPECT_EQ(made.load(), 160);
    for (int k = 0; k < 100; ++k) system().advance(0.02f);  // the managed one-shot effects finish
    // Every effect is in exactly one place: handed out (managed) or pooled.
    EXPECT_EQ(system().activeEffects().size(), system().managedEffects().size());
    for (const auto& m : system().managedEffects()) EXPECT_EQ(m.effect->mFileName, "looping_fx");
    EXPECT_GE(system().pooledCount("box_fx"), 1u);
    EXPECT_LE(system().pooledCount("box_fx") + system().pooledCount("looping_fx") +
                  system().activeEffects().size(),
              160u);
}

// Reading damaged or unusual documents straight from memory.
class ParticleArchiveReading : public testing::Test {
protected:
    QV::ParticleFX* read(const std::string& text) {
        QV::XmlIArchive archive(text.data(), text.size());
        QV::ParticleFX* fx = nullptr;
        archive.load(QV::nvp<QV::ParticleFX*>("ParticleFX", &fx));
        EXPECT_EQ(archive.stackDepth(), 1u);
        return fx;
    }
    qvtest::ParticleEngine engine;
};

TEST_F(ParticleArchiveReading, ToleratesMissingAndOddFields) {
    QV::ParticleFX* fx = read(
        "<root><ParticleFX><mParticleEmitters sz='4'>"
        "<e0 class_name='ParticleCircleEmitter'><mRadius v='5'/><mBlendMode v='0x2'/>"
        "  <mMaxParticlesCount v='-4'/><mEmitterLifeTime v='nan'/><mMaxSegments v='99999999'/>"
        "  <mParticleColor><mValues sz='1'><e0 sz='1'><e0><value r='1' g='2' b='3'/></e0></e0></mValues>"
        "  <mLinesCount v='1'/></mParticleColor>"
        "  <mParticleAffectors sz='2'><e0/><e1 class_name='NoSuchAffector'/></mParticleAffectors></e0>"
        "<e2 class_name='ParticleEmitter'><mUseTails v='yes'/><mEmitterDelay v='1e3'/></e2>"
        "<e3 class_name='particleboxemitter'/><e7 class_name='ParticleBoxEmitter'/>"
        "</mParticleEmitters></ParticleFX></root>");
    ASSERT_NE(fx, nullptr);
    ASSERT_EQ(fx->mParticleEmitters.size(), 4u);
    auto* circle = dynamic_cast<QV::ParticleCircleEmitter*>(fx->mParticleEmitters[0]);
    ASSERT_NE(circle, nullptr);
    EXPECT_FLOAT_EQ(circle->mRadius, 5.0f);
    EXPECT_EQ(circle->mBlendMode, 2);
    EXPECT_EQ(circle->mMaxParticlesCount, 0);  // negative pool clamped
    EXPECT_EQ(circle->mEmitterLifeTime, 0.0f);  // NaN life
    EXPECT_EQ(circle->mMaxSegments, QV::ParticleEmitter::kMaxSegmentsLimit);
    EXPECT_EQ(circle->mParticleColor.evaluateMean(0), QV::Color::fromBytes(1, 2, 3, 0));
    ASSERT_EQ(circle->mParticleAffectors.size(), 2u);
    for (QV::ParticleAffector* a : circle->mParticleAffectors) EXPECT_EQ(a->getClassName(), "ParticleAffector");
    // "e1" is missing: a plain emitter read from nothing.
    EXPECT_EQ(typeid(*fx->mParticleEmitters[1]), typeid(QV::ParticleEmitter));
    EXPECT_EQ(fx->mParticleEmitters[1]->mMaxSegments, 0);
    EXPECT_TRUE(fx->mParticleEmitters[2]->mUseTails);
    EXPECT_FLOAT_EQ(fx->mParticleEmitters[2]->mEmitterDelay, 1000.0f);
    EXPECT_EQ(typeid(*fx->mParticleEmitters[3]), typeid(QV::ParticleEmitter));  // names are case-sensitive
    // Damaged data still runs and stays empty.
    fx->init();
    for (int k = 0; k < 3; ++k) fx->update(0.1f);
    EXPECT_EQ(circle->poolSize(), 0);
    delete fx;

    QV::ParticleFX* other = read("<other><ParticleFX><mDestroyIfDead v='1'/></ParticleFX></other>");
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(other->mParticleEmitters.empty());
    EXPECT_FALSE(other->mDestroyIfDead);
    delete other;
}

// Every class with every field set, so a round trip shows each one.
QV::ParticleFX* fullEffect() {
    auto* fx = new QV::ParticleFX();
    fx->mPosition = QV::Vector2<float>(1.5f, -2.25f);
    fx->mDestroyIfDead = true;
    fx->mAnimationFilename = "wobble_lua";
    fx->mLoopedAnimation = false;
    auto* box = new QV::ParticleBoxEmitter();
    box->mRect = QV::Rect(-1, -2, 3, 4);
    box->mRectAngle = 33.0f;
    auto* quad = new QV::ParticleQuadEmitter();
    quad->mPointLeftTop = QV::Vector2<float>(0, 0);
    quad->mPointRightBottom = QV::Vector2<float>(10, 12);
    auto* circle = new QV::ParticleCircleEmitter();
    circle->mRadius = 7.0f;
    std::vector<QV::ParticleEmitter*> emitters = {new QV::ParticlePointEmitter(), box, quad, circle,
                                                  new QV::ParticleEmitter()};
    int n = 0;
    for (QV::ParticleEmitter* e : emitters) {
        qvtest::EmitterSpec spec;
        spec.rate = 5.0f + n;
        qvtest::configureEmitter(*e, spec);
        e->mSpriteFileName = "fx_sprites";
        e->mSpriteTableName = "spark";
        e->mBlendMode = n % 3;
        e->mUseTails = n == 2;
        e->mMaxSegments = 10 + n;
        e->mFadeSpeed = 50.5f;
        e->mHeadSize = 12;
        e->mHeadSizeTex = 8;
        e->mMinDistSegments = 4.0f;
        e->mParticleColor.addKey(0, 60, QV::Color::fromBytes(9, 8, 7, 6));
        ++n;
    }
    auto* gravity = new QV::ParticleGravityAffector();
    gravity->mDirection = QV::Vector2<float>(0.5f, 1.0f);
    auto* point = new QV::ParticleGravityPointAffector();
    qvtest::setFlat(point->mForce, -3.0f);
    point->mMaxVelocity = 4.0f;
    auto* linear = new QV::ParticleLinearMovementAffector();
    linear->mInitialDirection.mMinVal = QV::Vector2<float>(-1, 0);
    linear->mInitialDirection.mMaxVal = QV::Vector2<float>(1, 1);
    qvtest::setFlat(linear->mInitialVelocity, 20.0f);
    auto* rotate = new QV::ParticleRotateAffector();
    qvtest::setFlat(rotate->mInitialAngleVelocity, 1.5f);
    rotate->mInitialRotateCoeffMin = -1.0f;
    rotate->mInitialRotateCoeffMax = 1.0f;
    auto* spin = new QV::ParticleRotateSpriteAffector();
    spin->mInitialMaxAngle = 360.0f;
    qvtest::setFlat(spin->mInitialAngleVelocity, 45.0f);
    auto* autoRotate = new QV::ParticleAutoRotateAffector();
    autoRotate->mDiffAngle = 90.0f;
    auto* graphic = new QV::ParticleGraphicMoveAffector();
    qvtest::setFlat(graphic->mVelocityGraphic, 30.0f);
    qvtest::setFlat(graphic->mAngleGraphic, 10.0f);
    emitters[1]->mParticleAffectors = {gravity, point, linear, rotate};
    emitters[3]->mParticleAffectors = {spin, autoRotate, graphic, new QV::ParticleAffector()};
    fx->mParticleEmitters = emitters;
    return fx;
}

std::string saved(QV::ParticleFX* fx) {
    QV::XmlOutputArchive out;
    out.save(QV::nvp<QV::ParticleFX*>("ParticleFX", &fx));
    return out.text();
}

TEST_F(ParticleArchiveReading, SavedEffectReadsBackToTheSameCanonicalText) {
    QV::ParticleFX* fx = fullEffect();
    std::string first = saved(fx);
    QV::ParticleFX* back = read(first);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(saved(back), first);
    ASSERT_EQ(back->mParticleEmitters.size(), 5u);
    std::vector<std::string> names;
    for (QV::ParticleEmitter* e : back->mParticleEmitters) names.push_back(e->getClassName());
    EXPECT_EQ(names, (std::vector<std::string>{"ParticlePointEmitter", "ParticleBoxEmitter", "ParticleQuadEmitter",
                                               "ParticleCircleEmitter", "ParticleEmitter"}));
    auto* point = dynamic_cast<QV::ParticleGravityPointAffector*>(back->mParticleEmitters[1]->mParticleAffectors[1]);
    ASSERT_NE(point, nullptr);
    EXPECT_FLOAT_EQ(point->mMaxVelocity, 4.0f);
    EXPECT_FLOAT_EQ(point->mForce.evaluateMean(50), -3.0f);
    EXPECT_NE(first.find("<ParticleFX class_name=\"\">"), std::string::npos);
    EXPECT_NE(first.find("<e2 class_name=\"ParticleLinearMovementAffector\">"), std::string::npos);
    EXPECT_NE(first.find("<mRectAngle v=\"33.000000\" />"), std::string::npos);
    EXPECT_NE(first.find("<mLooped v=\"false\" />"), std::string::npos);
    delete back;
    delete fx;
}

TEST_F(ParticleArchiveReading, CopiesKeepTheirClassesAndOwnState) {
    QV::ParticleFX* fx = fullEffect();
    fx->mAnimationFilename.clear();
    fx->init();
    QV::ParticleFX& copy = *new QV::ParticleFX(*fx);  // listed with, and deleted by, the system
    ASSERT_EQ(copy.mParticleEmitters.size(), fx->mParticleEmitters.size());
    for (size_t i = 0; i < copy.mParticleEmitters.size(); ++i) {
        QV::ParticleEmitter* c = copy.mParticleEmitters[i];
        QV::ParticleEmitter* o = fx->mParticleEmitters[i];
        EXPECT_EQ(typeid(*c), typeid(*o));
        EXPECT_NE(c, o);
        EXPECT_EQ(c->owner(), &copy);
        EXPECT_NE(c->particles(), o->particles());
        ASSERT_EQ(c->mParticleAffectors.size(), o->mParticleAffectors.size());
        for (size_t k = 0; k < c->mParticleAffectors.size(); ++k) {
            EXPECT_EQ(typeid(*c->mParticleAffectors[k]), typeid(*o->mParticleAffectors[k]));
            EXPECT_EQ(c->mParticleAffectors[k]->emitter(), c);
        }
    }
    auto* box = static_cast<QV::ParticleBoxEmitter*>(copy.mParticleEmitters[1]);
    EXPECT_FLOAT_EQ(box->mRectAngle, 33.0f);
    box->mEmitRate.addKey(0, 50, 1000.0f);  // the copy's curves are its own
    EXPECT_EQ(fx->mParticleEmitters[1]->mEmitRate.lines()[0].size(), 2u);
    for (int k = 0; k < 10; ++k) copy.update(0.1f);
    EXPECT_GT(copy.mParticleEmitters[1]->liveCount(), 0);
    EXPECT_EQ(fx->mParticleEmitters[1]->liveCount(), 0);
    EXPECT_EQ(engine.system->activeEffects().size(), 1u);  // the copy listed itself
    delete fx;
}

TEST_F(ParticleArchiveReading, ShippedEffectsAreInCanonicalForm) {
    for (const char* name : {"burst.xml", "stream.xml", "trail.xml"}) {
        std::string text = qvtest::readFile(std::string(QV_SOURCE_DIR) + "/media/particles/" + name);
        ASSERT_FALSE(text.empty()) << name;
        QV::ParticleFX* fx = read(text);
        ASSERT_NE(fx, nullptr);
        EXPECT_EQ(fx->mParticleEmitters.size(), 1u) << name;
        EXPECT_EQ(saved(fx), text) << name;
        delete fx;
    }
}

struct Recorder : QV::IPropertyVisitor {
    std::vector<std::string> calls;
    void beginGroup() override { calls.push_back("{"); }
    void endGroup() override { calls.push_back("}"); }
    void visitEmitter(QV::PropertyVisitArchive&, QV::nvp<QV::ParticleEmitter> p) override {
        calls.push_back("emitter " + p.value()->getClassName());
    }
    void visitBool(QV::PropertyVisitArchive&, QV::nvp<bool> p) override { calls.push_back("bool " + p.name()); }
    void visitVector2(QV::PropertyVisitArchive&, QV::nvp<QV::Vector2<float>> p) override {
        calls.push_back("vector " + p.name());
    }
    void visitString(QV::PropertyVisitArchive&, QV::nvp<std::string> p) override {
        calls.push_back("string " + p.name());
    }
};

TEST_F(ParticleArchiveReading, VisitorSeesTheEffectInFileOrder) {
    QV::ParticleFX* fx = fullEffect();
    for (size_t i = 2; i < fx->mParticleEmitters.size(); ++i) delete fx->mParticleEmitters[i];
    fx->mParticleEmitters.resize(2);
    Recorder recorder;
    QV::PropertyVisitArchive archive(&recorder);
    fx->visit(archive);
    EXPECT_EQ(recorder.calls,
              (std::vector<std::string>{"vector mPosition", "{", "{", "emitter ParticlePointEmitter", "}", "{",
                                        "emitter ParticleBoxEmitter", "}", "}", "bool mDestroyIfDead",
                                        "string mAnimationFilename", "bool mLoopedAnimation"}));
    delete fx;
}

}  // namespace

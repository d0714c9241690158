#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "animationeditor/frame_data.h"
#include "animationeditor/particle_scene_node.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/vector_stream.h"
#include "particle_fx.h"
#include "scene_world.h"

namespace {

using AE::ParticleSceneNode;

int live(const ParticleSceneNode& n) {
    int count = 0;
    for (const QV::ParticleEmitter* e : n.mParticleFX->mParticleEmitters) count += qvtest::countLive(*e);
    return count;
}

// A burst node keyed at frame 0 with play and emission coefficient.
std::unique_ptr<ParticleSceneNode> burst(int play = 1, float emit = 1.0f) {
    std::unique_ptr<ParticleSceneNode> n(new ParticleSceneNode());
    EXPECT_TRUE(n->createEffect("particle_burst_fx"));
    n->setKeyValues(100.0f, 50.0f, 0.0f, emit, 0.0f, 0.0f, play, 0);
    n->mTimeline->getColorKey("color", 0).value = QV::Color::fromBytes(255, 255, 255, 255);
    n->play(false);
    return n;
}

TEST(ParticleSceneNode, FollowsItsNodePausesOnPlayKeysAndTakesItsEmissionCoefficientAtDrawing) {
    scenetest::SceneWorld w({}, qvtest::SpriteWorld::Device::Recording);
    EXPECT_TRUE(w.particles().autoUpdate());  // no node so far
    std::unique_ptr<ParticleSceneNode> n = burst();
    EXPECT_FALSE(w.particles().autoUpdate());
    EXPECT_EQ(n->getSize(), QV::Vector2<float>(64.0f, 64.0f));
    n->update(0.05f);
    EXPECT_EQ(n->mParticleFX->mPosition, QV::Vector2<float>(100.0f, 50.0f));
    const int started = live(*n);
    EXPECT_GT(started, 0);

    // "play" 0 from frame 2: the effect stops advancing, its particles stay.
    n->setKeyValues(100.0f, 50.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0, 2);
    n->setKeyValues(100.0f, 50.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1, 20);
    n->update(2.0f / 24.0f);
    const float elapsed = n->mParticleFX->mParticleEmitters[0]->elapsed();
    n->update(0.1f);
    EXPECT_FALSE(n->mParticleFX->mPlaying);
    EXPECT_EQ(n->mParticleFX->mParticleEmitters[0]->elapsed(), elapsed);
    n->gotoFrame(20);
    n->update(0.01f);
    EXPECT_TRUE(n->mParticleFX->mPlaying);
    EXPECT_GT(n->mParticleFX->mParticleEmitters[0]->elapsed(), elapsed);

    // The coefficient reaches the emitters when the node draws.
    n->mEmitCoef = 0.0f;
    w.world().frame([&] { n->draw(); });
    EXPECT_EQ(n->mParticleFX->mParticleEmitters[0]->emitCoefficient(), 0.0f);
}

TEST(ParticleSceneNode, SetTimeRunsTheEffectFromItsStartInOneStep) {
    scenetest::SceneWorld w({});
    std::unique_ptr<ParticleSceneNode> n = burst();
    n->update(0.3f);
    n->setTime(0.2f, false);
    EXPECT_NEAR(n->mParticleFX->mParticleEmitters[0]->elapsed(), 0.2f, 1e-5);
    std::unique_ptr<ParticleSceneNode> fresh = burst();
    fresh->mParticleFX->update(0.2f);
    EXPECT_EQ(live(*n), live(*fresh));
}

TEST(ParticleSceneNode, AlphaHidesItOnlyInThePlayingContentMode) {
    scenetest::SceneWorld w({}, qvtest::SpriteWorld::Device::Recording);
    std::unique_ptr<ParticleSceneNode> n = burst();
    n->mTimeline->getColorKey("color", 0).value = QV::Color::fromBytes(255, 255, 255, 1);
    n->update(0.05f);
    ASSERT_GT(live(*n), 0);
    w.world().frame([] {});
    for (int mode : {0, 1}) {
        AE::contentVersion = mode;
        size_t vertices = 0;
        w.world().frame([&] {
            AE::drawScene(n.get());
            vertices = w.world().flushBatch().size();
        });
        EXPECT_EQ(vertices > 0, mode == 0) << mode;
    }
    AE::contentVersion = 0;
}

TEST(ParticleSceneNode, KeysAndSnapshots) {
    scenetest::SceneWorld w({});
    std::unique_ptr<ParticleSceneNode> n = burst(1, 2.0f);
    n->mShear.m01 = 0.5f;
    n->setKeyValues(1.0f, 2.0f, 3.0f, 0.5f, 4.0f, 5.0f, 0, 10);
    AE::NodeTimeline& t = *n->mTimeline;
    EXPECT_EQ(t.getFloatKey("scaleX", 1).value, 1.0f);
    EXPECT_EQ(t.getFloatKey("shear01", 1).value, 0.5f);
    EXPECT_EQ(t.getVector2Key("pivotPoint", 1).value, QV::Vector2<float>(4.0f, 5.0f));
    n->setTime(5.0f / 24.0f, false);
    n->insertKeyFrame(5);
    EXPECT_EQ(t.getFloatKey("emitCoef", 1).value, 2.0f);  // key 0's value
    n->copyKeyFrame(10, 12);
    EXPECT_EQ(t.getIntKey("play", 3).value, 0);
    std::unique_ptr<AE::IFrameData> data(n->createFrameData(10, false));
    EXPECT_EQ(dynamic_cast<AE::ParticleFrameData&>(*data).emitCoef, 0.5f);

    n->mUseStencil = true;
    std::unique_ptr<AE::ISceneNodeData> snap(n->createNodeData(false));
    EXPECT_EQ(snap->getType(), 126);
    EXPECT_TRUE(dynamic_cast<AE::ParticleSceneNodeData&>(*snap).useStencil);
    std::vector<uint8_t> bytes;
    AE::VectorStream out(&bytes);
    n->write(out, false);
    ParticleSceneNode back;
    AE::VectorStream in(&bytes);
    back.read(in);
    EXPECT_EQ(in.position(), bytes.size());
    EXPECT_TRUE(back.mUseStencil);
    ASSERT_NE(back.mParticleFX, nullptr);  // a new effect by the file name
    EXPECT_NE(back.mParticleFX, n->mParticleFX);
    EXPECT_EQ(back.getKeyFrames(), n->getKeyFrames());

    // A clone plays a copy of the effect.
    std::unique_ptr<AE::ISceneNode> copy(n->clone(nullptr));
    auto* c = dynamic_cast<ParticleSceneNode*>(copy.get());
    ASSERT_TRUE(c && c->mParticleFX);
    EXPECT_NE(c->mParticleFX, n->mParticleFX);
}

}  // namespace

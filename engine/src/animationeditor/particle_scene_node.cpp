#include "animationeditor/particle_scene_node.h"

#include "animationeditor/frame_data.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/sprite_scene_node.h"
#include "file_system.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "render_system.h"

namespace AE {

namespace {

QV::ParticleSystem* particles() { return QV::Singleton<QV::ParticleSystem>::instancePointer(); }

}  // namespace

ParticleSceneNode::ParticleSceneNode() {
    bindParticleParameters();
    if (QV::ParticleSystem* system = particles()) system->setAutoUpdate(false);
}

ParticleSceneNode::ParticleSceneNode(const ParticleSceneNode& source, ISceneNode* parent)
    : ISceneNode(source, parent),
      mEmitCoef(source.mEmitCoef),
      mPlay(source.mPlay != 0 ? 1 : 0),
      mUseStencil(source.mUseStencil),
      mDistortion(source.mDistortion) {
    if (source.mParticleFX && particles()) {
        mParticleFX = particles()->createParticleFXCopy(source.mParticleFX);
        if (mParticleFX) mParticleFX->mPosition = mWorldPosition;
    }
    bindParticleParameters();
}

ParticleSceneNode::~ParticleSceneNode() {
    if (mParticleFX && particles()) particles()->releaseParticleFX(mParticleFX);
}

void ParticleSceneNode::bindParticleParameters() {
    mTimeline->bindFloat("emitCoef", &mEmitCoef);
    mTimeline->bindInt("play", &mPlay, false);
}

bool ParticleSceneNode::createEffect(const std::string& name) {
    QV::ParticleSystem* system = particles();
    if (mParticleFX && system) system->releaseParticleFX(mParticleFX);
    mParticleFX = nullptr;
    // The particle system stops the program on an effect file it cannot
    // open; a scene naming an unknown effect keeps its node without one.
    QV::FileSystem* files = QV::Singleton<QV::FileSystem>::instancePointer();
    const bool known = system && (system->prototype(name) || (files && files->hasFile("default", name)));
    if (known) mParticleFX = system->createParticleFX(name);
    mFileName = name;
    return mParticleFX != nullptr;
}

void ParticleSceneNode::updateDerived(float dt) {
    ISceneNode::updateDerived(dt);
    if (!mParticleFX) return;
    mParticleFX->mPlaying = mPlay != 0;
    if (mEnabled && mPlaying) {
        mParticleFX->mPosition = QV::Vector2<float>(mWorldMatrix.m20, mWorldMatrix.m21);
        mParticleFX->update(dt);
    }
}

void ParticleSceneNode::setTime(float seconds, bool recursive) {
    ISceneNode::setTime(seconds, recursive);
    if (!mParticleFX) return;
    mParticleFX->restart();
    mParticleFX->update(seconds);
}

void ParticleSceneNode::draw() {
    if (!mParticleFX || !mEnabled) return;
    if (contentVersion != 0 && mWorldColor.a <= 1) return;
    QV::RenderSystem* renderer = QV::RenderSystem::instance();
    if (mUseStencil) beginMaskedDraw(this);
    if (mDistortion) renderer->beginDistortion();
    applyCameraView();
    if (contentVersion > 0) mParticleFX->setAlpha(static_cast<float>(mWorldColor.a) * 0.003921569f);
    for (QV::ParticleEmitter* emitter : mParticleFX->mParticleEmitters) emitter->setEmitCoefficient(mEmitCoef);
    for (QV::ParticleEmitter* emitter : mParticleFX->mParticleEmitters) emitter->render(mParticleFX->mPosition);
    if (mUseStencil) {
        renderer->flush();
        renderer->endStencil();
    }
    if (mDistortion) renderer->endDistortion();
}

// Keys.

void ParticleSceneNode::setKeyValues(float x, float y, float posZ, float emitCoef, float pivotX, float pivotY, int play,
                                     int frame) {
    NodeTimeline& t = *mTimeline;
    t.addKeyFrame(frame);
    const int k = t.keyFrameIndex(frame);
    t.getFloatKey("posX", k).value = x;
    t.getFloatKey("posY", k).value = y;
    t.getFloatKey("emitCoef", k).value = emitCoef;
    t.getVector2Key("pivotPoint", k).value = QV::Vector2<float>(pivotX, pivotY);
    t.getFloatKey("posZ", k).value = posZ;
    t.getIntKey("play", k).value = play;
    t.getFloatKey("scaleX", k).value = 1.0f;
    t.getFloatKey("scaleY", k).value = 1.0f;
    t.getFloatKey("shear00", k).value = mShear.m00;
    t.getFloatKey("shear01", k).value = mShear.m01;
    t.getFloatKey("shear10", k).value = mShear.m10;
    t.getFloatKey("shear11", k).value = mShear.m11;
}

void ParticleSceneNode::storeCurrentKey(int frame) {
    setKeyValues(mPosition.x, mPosition.y, mPosZ, mEmitCoef, mPivotPoint.x, mPivotPoint.y, mPlay, frame);
}

void ParticleSceneNode::addKeyFrame(int frame) {
    ISceneNode::addKeyFrame(frame);
    storeCurrentKey(frame);
}

void ParticleSceneNode::storeKeyFrame(int frame, const IFrameData& data) {
    ISceneNode::storeKeyFrame(frame, data);
    NodeTimeline& t = *mTimeline;
    const int k = t.keyFrameIndex(frame);
    float emit = mEmitCoef;
    int play = mPlay;
    if (const ParticleFrameData* particle = dynamic_cast<const ParticleFrameData*>(&data)) {
        emit = particle->emitCoef;
        play = particle->play;
    } else if (k > 0) {
        emit = t.getFloatKey("emitCoef", k - 1).value;
        play = t.getIntKey("play", k - 1).value;
    }
    t.getFloatKey("emitCoef", k).value = emit;
    t.getIntKey("play", k).value = play;
}

ISceneNode* ParticleSceneNode::clone(ISceneNode* parent) const { return new ParticleSceneNode(*this, parent); }

IFrameData* ParticleSceneNode::createFrameData(int frame, bool world) {
    return new ParticleFrameData(this, frame, world);
}

}  // namespace AE

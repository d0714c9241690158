#include "animationeditor/sound_scene_node.h"

#include "animationeditor/frame_data.h"
#include "format_string.h"
#include "log_system.h"
#include "sound_system/sound_manager.h"

namespace AE {

namespace {

QV::SoundManager* sounds() { return QV::Singleton<QV::SoundManager>::instancePointer(); }

void logText(const std::string& text) {
    if (QV::LogSystem* log = QV::Singleton<QV::LogSystem>::instancePointer()) log->write(text);
}

}  // namespace

SoundSceneNode::SoundSceneNode() { bindSoundParameters(); }

SoundSceneNode::SoundSceneNode(const SoundSceneNode& source, ISceneNode* parent)
    : ISceneNode(source, parent),
      mPlay(source.mPlay),
      mVolume(source.mVolume),
      mSoundGroup(source.mSoundGroup),
      mFading(source.mFading),
      mPriority(source.mPriority) {
    acquire();
    bindSoundParameters();
}

SoundSceneNode::~SoundSceneNode() {
    if (QV::SoundManager* manager = sounds()) {
        manager->stop(mHandle);
        manager->releaseResource(mID);
    }
}

void SoundSceneNode::bindSoundParameters() {
    mTimeline->bindInt("play", &mPlay, false);
    mTimeline->bindFloat("volume", &mVolume);
}

void SoundSceneNode::acquire() {
    QV::SoundManager* manager = sounds();
    mID = 0;
    if (!manager) return;
    mID = manager->acquireResource(mFileName);
    if (mID == 0) {
        QV::SoundDescription description;
        description.fileName = mFileName;
        description.group = mSoundGroup;
        description.volume = 1.0f;
        description.looped = false;
        description.priority = mPriority;
        mID = manager->loadResource(description);
    }
}

void SoundSceneNode::setSound(const std::string& fileName, int group) {
    mSoundGroup = group;
    mFileName = fileName;
    mMissingReported = false;
    acquire();
}

void SoundSceneNode::setPriority(int priority) {
    mPriority = priority;
    if (QV::SoundManager* manager = sounds()) {
        manager->stop(mHandle);
        manager->releaseResource(mID);
    }
    acquire();
}

void SoundSceneNode::setPlaying(bool playing, bool recursive) {
    if (!playing) {
        if (QV::SoundManager* manager = sounds()) manager->stop(mHandle);
        mHandle = 0;
    }
    ISceneNode::setPlaying(playing, recursive);
}

void SoundSceneNode::updateDerived(float dt) {
    ISceneNode::updateDerived(dt);
    QV::SoundManager* manager = sounds();
    if (!manager) return;
    float volume = mVolume;
    if (mFading) volume = static_cast<float>(mWorldColor.a) * 0.003921569f * mVolume;
    if (!mPlaying || !mEnabled) {
        if (mHandle != 0 && manager->isPlaying(mHandle)) {
            logText(QV::formatString("SoundSceneNode::updateDerived, stop(mHandle %i); C ", mHandle));
            manager->stop(mHandle);
            mPlay = 0;
            mHandle = 0;
        }
        return;
    }
    if (mHandle != 0) manager->setVolume(mHandle, volume);
    if (mPlay == 0) {
        if (mHandle != 0) {
            logText(QV::formatString("SoundSceneNode::updateDerived, stop(mHandle %i); A", mHandle));
            manager->stop(mHandle);
            mHandle = 0;
        }
        return;
    }
    if (mHandle != 0) return;
    // Without a resource nothing can start; say so once instead of every frame.
    if (mID <= 0) {
        if (!mMissingReported)
            logText(QV::formatString("SoundSceneNode::updateDerived, createAndPlay(mID %i); handle = %i B ", mID, 0));
        mMissingReported = true;
        return;
    }
    mHandle = manager->play(mID);
    manager->setVolume(mHandle, volume);
    if (manager->hasDevice() && mID > 0 && mID < 1024 && manager->getResource(mID))
        manager->setResourceLooped(mID, mLoop);
    logText(QV::formatString("SoundSceneNode::updateDerived, createAndPlay(mID %i); handle = %i B ", mID, mHandle));
}

void SoundSceneNode::stopDerived() {
    QV::SoundManager* manager = sounds();
    if (manager && mHandle != 0 && manager->isPlaying(mHandle)) {
        manager->stop(mHandle);
        logText(QV::formatString("SoundSceneNode::stopDerived, stop(mHandle %i); ", mHandle));
        mPlay = 0;
    }
    mHandle = 0;
}

// Keys.

void SoundSceneNode::setKeyValues(int frame, int play, float volume) {
    NodeTimeline& t = *mTimeline;
    t.addKeyFrame(frame);
    const int k = t.keyFrameIndex(frame);
    t.getIntKey("play", k).value = play;
    t.getFloatKey("volume", k).value = volume;
    t.getColorKey("color", k).value = mColor;
    t.getFloatKey("scaleX", k).value = 1.0f;
    t.getFloatKey("scaleY", k).value = 1.0f;
    t.getFloatKey("shear00", k).value = mShear.m00;
    t.getFloatKey("shear01", k).value = mShear.m01;
    t.getFloatKey("shear10", k).value = mShear.m10;
    t.getFloatKey("shear11", k).value = mShear.m11;
}

void SoundSceneNode::addKeyFrame(int frame) { setKeyValues(frame, mPlay, mVolume); }

void SoundSceneNode::storeKeyFrame(int frame, const IFrameData& data) {
    ISceneNode::storeKeyFrame(frame, data);
    NodeTimeline& t = *mTimeline;
    const int k = t.keyFrameIndex(frame);
    int play = mPlay;
    float volume = mVolume;
    if (const SoundFrameData* sound = dynamic_cast<const SoundFrameData*>(&data)) {
        play = sound->play;
        volume = sound->volume;
    } else if (k > 0) {
        play = t.getIntKey("play", k - 1).value;
        volume = t.getFloatKey("volume", k - 1).value;
    }
    t.getIntKey("play", k).value = play;
    t.getFloatKey("volume", k).value = volume;
}

ISceneNode* SoundSceneNode::clone(ISceneNode* parent) const { return new SoundSceneNode(*this, parent); }

IFrameData* SoundSceneNode::createFrameData(int frame, bool world) { return new SoundFrameData(this, frame, world); }

}  // namespace AE

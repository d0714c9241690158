// Key frame editing of the sprite, particle and sound kinds: inserting a key
// that repeats the key at the current index, and copying a key frame.
#include "animationeditor/particle_scene_node.h"
#include "animationeditor/sound_scene_node.h"
#include "animationeditor/sprite_scene_node.h"

namespace AE {

namespace {

int currentIndex(ISceneNode* node) {
    const int segment = node->mTimeline->findSegment();
    return segment < 0 ? 0 : segment;
}

QV::Matrix3 shearAt(NodeTimeline& t, int k) {
    QV::Matrix3 shear;
    shear.m00 = t.getFloatKey("shear00", k).value;
    shear.m01 = t.getFloatKey("shear01", k).value;
    shear.m10 = t.getFloatKey("shear10", k).value;
    shear.m11 = t.getFloatKey("shear11", k).value;
    return shear;
}

QV::Rect clipAt(NodeTimeline& t, int k) {
    return QV::Rect(t.getFloatKey("clipRectL", k).value, t.getFloatKey("clipRectT", k).value,
                    t.getFloatKey("clipRectR", k).value, t.getFloatKey("clipRectB", k).value);
}

// The sprite keys of index `k`, with the shear and clip of index `shearClip`, written at `frame`.
void copySpriteKey(SpriteSceneNode* node, int k, int shearClip, int frame) {
    NodeTimeline& t = *node->mTimeline;
    const QV::Vector2<float> pivot = t.getVector2Key("pivotPoint", k).value;
    const QV::Vector2<float> tex = t.getVector2Key("texPos", k).value;
    const QV::Matrix3 shear = shearAt(t, shearClip);
    const QV::Rect clip = clipAt(t, shearClip);
    const bool clipEnabled = t.getBoolKey("clipEnabled", shearClip).value;
    const QV::Color color = t.getColorKey("color", k).value;
    node->setKeyValues(t.getFloatKey("posX", k).value, t.getFloatKey("posY", k).value, t.getFloatKey("posZ", k).value,
                       t.getFloatKey("rotation", k).value, t.getFloatKey("scaleX", k).value,
                       t.getFloatKey("scaleY", k).value, color,
                       t.getIntKey("blendMode", k).value, pivot.x, pivot.y, t.getIntKey("frameIndex", k).value, tex.x,
                       tex.y, shear, t.getBoolKey("animFrameIndex", k).value, clipEnabled, clip, frame);
}

void copyParticleKey(ParticleSceneNode* node, int k, int frame) {
    NodeTimeline& t = *node->mTimeline;
    const QV::Vector2<float> pivot = t.getVector2Key("pivotPoint", k).value;
    node->setKeyValues(t.getFloatKey("posX", k).value, t.getFloatKey("posY", k).value, t.getFloatKey("posZ", k).value,
                       t.getFloatKey("emitCoef", k).value, pivot.x, pivot.y, t.getIntKey("play", k).value, frame);
}

void copySoundKey(SoundSceneNode* node, int k, int frame) {
    NodeTimeline& t = *node->mTimeline;
    node->setKeyValues(frame, t.getIntKey("play", k).value, t.getFloatKey("volume", k).value);
}

}  // namespace

// A node without keys has no key to repeat; it takes its current values.

void SpriteSceneNode::insertKeyFrame(int frame) {
    if (hasKeyFrame(frame)) return;
    if (mTimeline->mKeyFrames.empty()) return addKeyFrame(frame);
    const int k = currentIndex(this);
    copySpriteKey(this, k, k, frame);
}

void SpriteSceneNode::copyKeyFrame(int fromFrame, int toFrame) {
    if (hasKeyFrame(toFrame) || !hasKeyFrame(fromFrame)) return;
    copySpriteKey(this, mTimeline->keyFrameIndex(fromFrame), currentIndex(this), toFrame);
}

void ParticleSceneNode::insertKeyFrame(int frame) {
    if (hasKeyFrame(frame)) return;
    if (mTimeline->mKeyFrames.empty()) return addKeyFrame(frame);
    copyParticleKey(this, currentIndex(this), frame);
}

void ParticleSceneNode::copyKeyFrame(int fromFrame, int toFrame) {
    if (hasKeyFrame(toFrame) || !hasKeyFrame(fromFrame)) return;
    copyParticleKey(this, mTimeline->keyFrameIndex(fromFrame), toFrame);
}

void SoundSceneNode::insertKeyFrame(int frame) {
    if (hasKeyFrame(frame)) return;
    if (mTimeline->mKeyFrames.empty()) return addKeyFrame(frame);
    copySoundKey(this, currentIndex(this), frame);
}

void SoundSceneNode::copyKeyFrame(int fromFrame, int toFrame) {
    if (hasKeyFrame(toFrame) || !hasKeyFrame(fromFrame)) return;
    copySoundKey(this, mTimeline->keyFrameIndex(fromFrame), toFrame);
}

}  // namespace AE

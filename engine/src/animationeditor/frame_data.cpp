#include "animationeditor/frame_data.h"

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_transform.h"

namespace AE {

int IFrameData::keyIndex(ISceneNode* node, int frame) {
    const int index = node->mTimeline->keyFrameIndex(frame);
    return index < 0 ? 0 : index;
}

IFrameData::IFrameData(ISceneNode* node, int frame, bool world) { IFrameData::readKeyFrame(node, frame, world); }

void IFrameData::readKeyFrame(ISceneNode* node, int frame, bool world) {
    NodeTimeline& t = *node->mTimeline;
    // A node without keys has nothing to read; the record keeps its defaults.
    if (t.mKeyFrames.empty()) return;
    const int k = keyIndex(node, frame);
    const SceneNodeAnimation::Key<float>& px = t.getFloatKey("posX", k);
    x = px.value;
    bezierX = px.bezierOffset;
    bezierCoeffX = px.bezierCoeff;
    positionBezier = px.bezierFlag;
    const SceneNodeAnimation::Key<float>& py = t.getFloatKey("posY", k);
    y = py.value;
    bezierY = py.bezierOffset;
    bezierCoeffY = py.bezierCoeff;
    const SceneNodeAnimation::Key<float>& rot = t.getFloatKey("rotation", k);
    angle = rot.value;
    bezierAngle = rot.bezierOffset;
    bezierCoeffAngle = rot.bezierCoeff;
    angleBezier = rot.bezierFlag;
    const QV::Vector2<float> pivot = t.getVector2Key("pivotPoint", k).value;
    pivotX = pivot.x;
    pivotY = pivot.y;
    const SceneNodeAnimation::Key<float>& sx = t.getFloatKey("scaleX", k);
    scaleX = sx.value;
    bezierScaleX = sx.bezierOffset;
    bezierCoeffScaleX = sx.bezierCoeff;
    scaleBezier = sx.bezierFlag;
    const SceneNodeAnimation::Key<float>& sy = t.getFloatKey("scaleY", k);
    scaleY = sy.value;
    bezierScaleY = sy.bezierOffset;
    bezierCoeffScaleY = sy.bezierCoeff;
    z = t.getFloatKey("posZ", k).value;
    color = t.getColorKey("color", k).value;
    shear.m00 = t.getFloatKey("shear00", k).value;
    shear.m01 = t.getFloatKey("shear01", k).value;
    shear.m10 = t.getFloatKey("shear10", k).value;
    shear.m11 = t.getFloatKey("shear11", k).value;
    if (!world) return;
    QV::Matrix3 m = composeTransform(shear, QV::Vector2<float>(scaleX, scaleY), QV::Vector2<float>(pivotX, pivotY),
                                     QV::Vector2<float>(x, y), angle);
    if (node->mParent) m = m * node->mParent->getWorldMatrixAtFrame(frame);
    DecomposedTransform d;
    if (!decomposeTransform(m, angle, QV::Vector2<float>(pivotX, pivotY), d)) return;
    angle = d.rotation * kRadiansToDegrees;
    x = d.position.x;
    y = d.position.y;
    scaleX = d.scale.x;
    scaleY = d.scale.y;
    shear = d.shear;
}

SpriteFrameData::SpriteFrameData(ISceneNode* node, int frame, bool world) {
    SpriteFrameData::readKeyFrame(node, frame, world);
}

void SpriteFrameData::readKeyFrame(ISceneNode* node, int frame, bool world) {
    IFrameData::readKeyFrame(node, frame, world);
    NodeTimeline& t = *node->mTimeline;
    if (t.mKeyFrames.empty()) return;
    const int k = keyIndex(node, frame);
    blendMode = t.getIntKey("blendMode", k).value;
    frameIndex = t.getIntKey("frameIndex", k).value;
    texPos = t.getVector2Key("texPos", k).value;
    animFrameIndex = t.getBoolKey("animFrameIndex", k).value;
    clipEnabled = t.getBoolKey("clipEnabled", k).value;
    clipRect.left = t.getFloatKey("clipRectL", k).value;
    clipRect.right = t.getFloatKey("clipRectR", k).value;
    clipRect.top = t.getFloatKey("clipRectT", k).value;
    clipRect.bottom = t.getFloatKey("clipRectB", k).value;
}

TextFrameData::TextFrameData(ISceneNode* node, int frame, bool world) {
    TextFrameData::readKeyFrame(node, frame, world);
}

void TextFrameData::readKeyFrame(ISceneNode* node, int frame, bool world) {
    IFrameData::readKeyFrame(node, frame, world);
    NodeTimeline& t = *node->mTimeline;
    if (t.mKeyFrames.empty()) return;
    const int k = keyIndex(node, frame);
    textArea = t.getVector2Key("textArea", k).value;
    maxChar = t.getIntKey("maxChar", k).value;
    xcoeff = t.getFloatKey("xcoeff", k).value;
    ycoeff = t.getFloatKey("ycoeff", k).value;
    halign = t.getIntKey("halign", k).value;
    valign = t.getIntKey("valign", k).value;
    clipLT = t.getVector2Key("clipLT", k).value;
    clipRB = t.getVector2Key("clipRB", k).value;
}

ParticleFrameData::ParticleFrameData(ISceneNode* node, int frame, bool world) {
    ParticleFrameData::readKeyFrame(node, frame, world);
}

void ParticleFrameData::readKeyFrame(ISceneNode* node, int frame, bool world) {
    IFrameData::readKeyFrame(node, frame, world);
    NodeTimeline& t = *node->mTimeline;
    if (t.mKeyFrames.empty()) return;
    const int k = keyIndex(node, frame);
    emitCoef = t.getFloatKey("emitCoef", k).value;
    play = t.getIntKey("play", k).value;
}

SoundFrameData::SoundFrameData(ISceneNode* node, int frame, bool world) {
    SoundFrameData::readKeyFrame(node, frame, world);
}

void SoundFrameData::readKeyFrame(ISceneNode* node, int frame, bool world) {
    IFrameData::readKeyFrame(node, frame, world);
    NodeTimeline& t = *node->mTimeline;
    if (t.mKeyFrames.empty()) return;
    const int k = keyIndex(node, frame);
    play = t.getIntKey("play", k).value;
    volume = t.getFloatKey("volume", k).value;
}

}  // namespace AE

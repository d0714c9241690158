#include "animationeditor/frame_data.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_data.h"
#include "animationeditor/scene_transform.h"
#include "animationeditor/vector_stream.h"

namespace AE {

namespace {

void storeEased(NodeTimeline& t, const char* name, int k, float value, float offset, float coeff, bool flag) {
    SceneNodeAnimation::Key<float>& key = t.getFloatKey(name, k);
    key.value = value;
    key.bezierOffset = offset;
    key.bezierCoeff = coeff;
    key.bezierFlag = flag;
}

// The placement relative to the parent, re-derived from the world matrices.
bool relativePlacement(const ISceneNode& node, DecomposedTransform& d) {
    if (!node.mParent) return false;
    QV::Matrix3 inverseParent;
    if (!invertMatrix(node.mParent->mWorldMatrix, inverseParent)) return false;
    return decomposeTransform(node.mWorldMatrix * inverseParent, node.mRotation, node.mPivotPoint, d);
}

}  // namespace

void ISceneNode::storeKeyFrame(int frame, const IFrameData& data) {
    NodeTimeline& t = *mTimeline;
    t.addKeyFrame(frame);
    const int k = t.keyFrameIndex(frame);
    storeEased(t, "posX", k, data.x, data.bezierX, data.bezierCoeffX, data.positionBezier);
    storeEased(t, "posY", k, data.y, data.bezierY, data.bezierCoeffY, data.positionBezier);
    storeEased(t, "rotation", k, data.angle, data.bezierAngle, data.bezierCoeffAngle, data.angleBezier);
    storeEased(t, "scaleX", k, data.scaleX, data.bezierScaleX, data.bezierCoeffScaleX, data.scaleBezier);
    storeEased(t, "scaleY", k, data.scaleY, data.bezierScaleY, data.bezierCoeffScaleY, data.scaleBezier);
    t.getVector2Key("pivotPoint", k).value = QV::Vector2<float>(data.pivotX, data.pivotY);
    t.getFloatKey("posZ", k).value = data.z;
    t.getColorKey("color", k).value = data.color;
    t.getFloatKey("shear00", k).value = data.shear.m00;
    t.getFloatKey("shear01", k).value = data.shear.m01;
    t.getFloatKey("shear10", k).value = data.shear.m10;
    t.getFloatKey("shear11", k).value = data.shear.m11;
}

void ISceneNode::insertKeyFrame(int frame) {
    if (hasKeyFrame(frame) || mTimeline->mKeyFrames.empty()) {
        if (!hasKeyFrame(frame)) addKeyFrame(frame);
        return;
    }
    QV::Matrix3 shear;
    shear.m00 = getCurrentKeyFloat(this, "shear00");
    shear.m01 = getCurrentKeyFloat(this, "shear01");
    shear.m10 = getCurrentKeyFloat(this, "shear10");
    shear.m11 = getCurrentKeyFloat(this, "shear11");
    setKeyValues(frame, getCurrentKeyFloat(this, "posX"), getCurrentKeyFloat(this, "posY"),
                 getCurrentKeyFloat(this, "posZ"), getCurrentKeyFloat(this, "rotation"),
                 getCurrentKeyFloat(this, "scaleX"), getCurrentKeyFloat(this, "scaleY"),
                 getCurrentKeyColor(this, "color"), shear, getCurrentKeyVector2(this, "pivotPoint"));
}

void ISceneNode::copyKeyFrame(int fromFrame, int toFrame) {
    if (hasKeyFrame(toFrame) || !hasKeyFrame(fromFrame)) return;
    NodeTimeline& t = *mTimeline;
    const int k = t.keyFrameIndex(fromFrame);
    QV::Matrix3 shear;
    shear.m00 = t.getFloatKey("shear00", k).value;
    shear.m01 = t.getFloatKey("shear01", k).value;
    shear.m10 = t.getFloatKey("shear10", k).value;
    shear.m11 = t.getFloatKey("shear11", k).value;
    // Copies: the keys move when the new frame is inserted before them.
    const float x = t.getFloatKey("posX", k).value, y = t.getFloatKey("posY", k).value;
    const float z = t.getFloatKey("posZ", k).value, r = t.getFloatKey("rotation", k).value;
    const float sx = t.getFloatKey("scaleX", k).value, sy = t.getFloatKey("scaleY", k).value;
    const QV::Color color = t.getColorKey("color", k).value;
    const QV::Vector2<float> pivot = t.getVector2Key("pivotPoint", k).value;
    setKeyValues(toFrame, x, y, z, r, sx, sy, color, shear, pivot);
}

IFrameData* ISceneNode::createFrameData(int frame, bool world) { return new IFrameData(this, frame, world); }

QV::Matrix3 ISceneNode::getWorldMatrixAtFrame(int frame) {
    const std::vector<int32_t>& keys = mTimeline->mKeyFrames;
    QV::Matrix3 m;
    if (keys.empty()) {
        m = composeTransform(mShear, mScale, mPivotPoint, mPosition, mRotation);
    } else {
        int i = 0;
        while (i + 1 < static_cast<int>(keys.size()) && keys[static_cast<size_t>(i) + 1] <= frame) ++i;
        NodeTimeline& t = *mTimeline;
        m = composeTransform(QV::Matrix3(),
                             QV::Vector2<float>(t.getFloatKey("scaleX", i).value, t.getFloatKey("scaleY", i).value),
                             QV::Vector2<float>(0.0f, 0.0f),
                             QV::Vector2<float>(t.getFloatKey("posX", i).value, t.getFloatKey("posY", i).value),
                             t.getFloatKey("rotation", i).value);
    }
    return mParent ? m * mParent->getWorldMatrixAtFrame(frame) : m;
}

// Node data.

ISceneNodeData* ISceneNode::createNodeData(bool relative) {
    ISceneNodeData* data = new ISceneNodeData();
    fillNodeData(*data, relative);
    return data;
}

void ISceneNode::fillNodeData(ISceneNodeData& data, bool relative) {
    data.color = mColor;
    data.rotation = mRotation;
    data.pivotPoint = mPivotPoint;
    data.position = mPosition;
    data.worldColor = mWorldColor;
    data.scaleX = mScale.x;
    data.scaleY = mScale.y;
    data.posZ = mPosZ;
    data.parallax = mParallax;
    data.worldMatrix = mWorldMatrix;
    data.shear = mShear;
    data.enabled = mEnabled;
    data.loop = mLoop;
    DecomposedTransform d;
    if (relative && relativePlacement(*this, d)) {
        data.position = d.position;
        data.scaleX = d.scale.x;
        data.scaleY = d.scale.y;
        data.shear = d.shear;
        data.rotation = d.rotation * kRadiansToDegrees;
    }
}

void ISceneNode::applyNodeData(const ISceneNodeData& data) {
    mColor = data.color;
    mRotation = data.rotation;
    mPivotPoint = data.pivotPoint;
    mPosition = data.position;
    mWorldColor = data.worldColor;
    mScale = QV::Vector2<float>(data.scaleX, data.scaleY);
    mPosZ = data.posZ;
    mParallax = data.parallax;
    mWorldMatrix = data.worldMatrix;
    mShear = data.shear;
    mEnabled = data.enabled;
    mLoop = data.loop;
}

// Binary snapshot.

void ISceneNode::write(DataStream& stream, bool relative) {
    writeCString(stream, mFileName);
    writeCString(stream, mName);
    writeCString(stream, mResourceName);
    QV::Vector2<float> position = mPosition;
    float rotation = mRotation;
    QV::Vector2<float> scale = mScale;
    QV::Matrix3 shear = mShear;
    DecomposedTransform d;
    const bool relativeWritten = relative && relativePlacement(*this, d);
    if (relativeWritten) {
        position = d.position;
        rotation = d.rotation * kRadiansToDegrees;
        scale = d.scale;
        shear = d.shear;
    }
    writeValue(stream, position);
    writeValue(stream, rotation);
    writeValue(stream, mPivotPoint);
    writeValue(stream, scale.x);
    writeValue(stream, scale.y);
    writeValue(stream, shear);
    writeValue(stream, mPosZ);
    writeValue(stream, mReserved);
    writeValue(stream, mParallax);
    writeValue(stream, mColor);
    writeValue(stream, mWorldColor);
    writeValue(stream, mPlaying);
    writeValue(stream, mEnabled);
    writeValue(stream, mLoop);
    writeValue(stream, mReservedFlags);
    writeValue(stream, mBackwards);
    writeValue(stream, mFromFrame);
    writeValue(stream, mToFrame);
    writeValue(stream, mUseCameras);
    writeValue(stream, mWorldMatrix);
    mTimeline->write(stream);
    writeValue(stream, static_cast<uint8_t>(relativeWritten ? 1 : 0));
}

namespace {

bool readBool(DataStream& stream) { return readValue<uint8_t>(stream) != 0; }

}  // namespace

void ISceneNode::read(DataStream& stream) {
    mFileName = readCString(stream);
    mName = readCString(stream);
    mResourceName = readCString(stream);
    mPosition = readValue<QV::Vector2<float>>(stream);
    mRotation = readValue<float>(stream);
    mPivotPoint = readValue<QV::Vector2<float>>(stream);
    mScale.x = readValue<float>(stream);
    mScale.y = readValue<float>(stream);
    mShear = readValue<QV::Matrix3>(stream);
    mPosZ = readValue<float>(stream);
    stream.read(mReserved, sizeof(mReserved));
    mParallax = readBool(stream);
    mColor = readValue<QV::Color>(stream);
    mWorldColor = readValue<QV::Color>(stream);
    mPlaying = readBool(stream);
    mEnabled = readBool(stream);
    mLoop = readBool(stream);
    stream.read(mReservedFlags, sizeof(mReservedFlags));
    mBackwards = readBool(stream);
    mFromFrame = readValue<int32_t>(stream);
    mToFrame = readValue<int32_t>(stream);
    mUseCameras = readBool(stream);
    mWorldMatrix = readValue<QV::Matrix3>(stream);
    mTimeline->read(stream);
    readValue<uint8_t>(stream);
}

}  // namespace AE

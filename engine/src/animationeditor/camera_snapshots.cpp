// Node snapshots and binary snapshots of the movie camera.
#include "animationeditor/movie_camera.h"
#include "animationeditor/vector_stream.h"

namespace AE {

namespace {

// The view record as stored: five floats, the flag widened to 4 bytes, the nine matrix floats.
void writeCamera(DataStream& stream, const QV::Camera& camera) {
    writeValue(stream, camera.x);
    writeValue(stream, camera.y);
    writeValue(stream, camera.scaleX);
    writeValue(stream, camera.scaleY);
    writeValue(stream, camera.angle);
    writeValue(stream, static_cast<uint32_t>(camera.useMatrix));
    const QV::Matrix3& m = camera.matrix;
    for (float v : {m.m00, m.m01, m.m02, m.m10, m.m11, m.m12, m.m20, m.m21, m.m22}) writeValue(stream, v);
}

QV::Camera readCamera(DataStream& stream) {
    QV::Camera camera;
    camera.x = readValue<float>(stream);
    camera.y = readValue<float>(stream);
    camera.scaleX = readValue<float>(stream);
    camera.scaleY = readValue<float>(stream);
    camera.angle = readValue<float>(stream);
    camera.useMatrix = static_cast<uint8_t>(readValue<uint32_t>(stream) != 0);
    QV::Matrix3& m = camera.matrix;
    for (float* v : {&m.m00, &m.m01, &m.m02, &m.m10, &m.m11, &m.m12, &m.m20, &m.m21, &m.m22})
        *v = readValue<float>(stream);
    return camera;
}

}  // namespace

ISceneNodeData* MovieCamera::createNodeData(bool relative) {
    CameraData* data = new CameraData();
    fillNodeData(*data, relative);
    return data;
}

void MovieCamera::fillNodeData(ISceneNodeData& base, bool relative) {
    ISceneNode::fillNodeData(base, relative);
    CameraData* data = dynamic_cast<CameraData*>(&base);
    if (!data) return;
    data->camera = mCamera;
    data->clock = mClock;
    data->activationFrames = mActivationFrames;
    data->activationFrameCount = static_cast<int32_t>(mActivationFrames.size());
    data->parallaxCoef = mParallaxCoef;
}

void MovieCamera::applyNodeData(const ISceneNodeData& base) {
    ISceneNode::applyNodeData(base);
    const CameraData* data = dynamic_cast<const CameraData*>(&base);
    if (!data) return;
    mCamera = data->camera;
    mClock = data->clock;
    mActivationFrames = data->activationFrames;  // a copy of its own
    mParallaxCoef = data->parallaxCoef;
}

void MovieCamera::write(DataStream& stream, bool relative) {
    ISceneNode::write(stream, relative);
    writeCamera(stream, mCamera);
    writeValue(stream, mClock);
    writeValue(stream, mNextActivation);
    writeValue(stream, mActivationIndex);
    writeValue(stream, mActivationValue);
    writeIntVector(stream, mActivationFrames);
    writeValue(stream, mParallaxCoef);
}

void MovieCamera::read(DataStream& stream) {
    ISceneNode::read(stream);
    mCamera = readCamera(stream);
    mClock = readValue<float>(stream);
    mNextActivation = readValue<float>(stream);
    mActivationIndex = readValue<float>(stream);
    mActivationValue = readValue<float>(stream);
    readIntVector(mActivationFrames, stream);
    mParallaxCoef = readValue<float>(stream);
}

}  // namespace AE

#include "animationeditor/movie_camera.h"

#include <algorithm>
#include <cmath>

namespace AE {

namespace {

void clearCameraReferences(ISceneNode* node, const MovieCamera* camera) {
    if (node->mActiveCamera == camera) node->mActiveCamera = nullptr;
    for (ISceneNode* child : node->mChildren) clearCameraReferences(child, camera);
}

}  // namespace

MovieCamera::MovieCamera() {
    // Parallax applies only where the scene enables it on the camera.
    mParallax = false;
}

MovieCamera::~MovieCamera() {
    // Nodes of the scene keep the active camera; none may point at a deleted one.
    clearCameraReferences(getRoot(), this);
}

void MovieCamera::updateDerived(float dt) {
    mCamera.x = -mPosition.x;
    mCamera.y = -mPosition.y;
    mCamera.angle = mRotation;
    mCamera.scaleX = mScale.x;
    mCamera.scaleY = mScale.y;
    if (!mPlaying || !usesCameras()) return;
    mClock += dt;
    if (mNextActivation < mClock && static_cast<float>(mActivationFrames.size()) > mActivationIndex) {
        mActivationValue = mNextActivation;
        mNextActivation = static_cast<float>(mActivationFrames[static_cast<size_t>(mActivationIndex)]) /
                          mTimeline->mFrameRate;
        mActivationIndex += 1.0f;
    }
}

void MovieCamera::setRotation(float degrees) {
    ISceneNode::setRotation(degrees);
    mCamera.angle = degrees;
}

void MovieCamera::setScaleX(float scale) {
    ISceneNode::setScaleX(scale);
    mCamera.scaleX = scale;
}

void MovieCamera::setScaleY(float scale) {
    ISceneNode::setScaleY(scale);
    mCamera.scaleY = scale;
}

void MovieCamera::setPosition(const QV::Vector2<float>& position) {
    mPosition = position;
    mCamera.x = -mWorldPosition.x;
    mCamera.y = -mWorldPosition.y;
}

void MovieCamera::moveKeyFrame(int fromFrame, int toFrame) {
    ISceneNode::moveKeyFrame(fromFrame, toFrame);
    auto it = std::find(mActivationFrames.begin(), mActivationFrames.end(), fromFrame);
    if (it != mActivationFrames.end()) {
        *it = toFrame;
        std::sort(mActivationFrames.begin(), mActivationFrames.end());
    }
}

void MovieCamera::addKeyFrame(int frame) {
    setKeyValues(frame, mRotation, mPosition.x, mPosition.y, mScale.x, mScale.y);
}

void MovieCamera::removeKeyFrame(int frame) {
    ISceneNode::removeKeyFrame(frame);
    removeActivationFrame(frame);
}

void MovieCamera::setKeyValues(int frame, float rotation, float x, float y, float scaleX, float scaleY) {
    mTimeline->addKeyFrame(frame);
    const int i = mTimeline->keyFrameIndex(frame);
    mTimeline->getFloatKey("posX", i).value = x;
    mTimeline->getFloatKey("posY", i).value = y;
    mTimeline->getFloatKey("rotation", i).value = rotation;
    mTimeline->getFloatKey("scaleX", i).value = scaleX;
    mTimeline->getFloatKey("scaleY", i).value = scaleY;
    mTimeline->getFloatKey("shear00", i).value = mShear.m00;
    mTimeline->getFloatKey("shear01", i).value = mShear.m01;
    mTimeline->getFloatKey("shear10", i).value = mShear.m10;
    mTimeline->getFloatKey("shear11", i).value = mShear.m11;
    if (mParent && getSceneCamera() == this) addActivationFrame(frame);
}

void MovieCamera::addActivationFrame(int frame) {
    if (!mTimeline->hasKeyFrame(frame)) return;
    if (std::find(mActivationFrames.begin(), mActivationFrames.end(), frame) != mActivationFrames.end()) return;
    mActivationFrames.push_back(frame);
    std::sort(mActivationFrames.begin(), mActivationFrames.end());
}

void MovieCamera::removeActivationFrame(int frame) {
    auto it = std::find(mActivationFrames.begin(), mActivationFrames.end(), frame);
    if (it != mActivationFrames.end()) mActivationFrames.erase(it);
}

void MovieCamera::setTime(float seconds, bool recursive) {
    mClock = seconds;
    ISceneNode::setTime(seconds, recursive);
    selectCameraAtTime();
    mActivationValue = 0.0f;
    mActivationIndex = 0.0f;
    if (mActivationFrames.empty()) return;
    const float rate = mTimeline->mFrameRate;
    size_t i = 0;
    while (i < mActivationFrames.size() && mClock > static_cast<float>(mActivationFrames[i]) / rate) {
        mActivationValue = static_cast<float>(mActivationFrames[i]) / rate;
        ++i;
    }
    if (i == mActivationFrames.size()) return;
    mNextActivation = static_cast<float>(mActivationFrames[i]) / rate;
    mActivationIndex = static_cast<float>(i);
}

void MovieCamera::selectCameraAtTime() {
    ISceneNode* parent = mParent;
    if (!parent || !usesCameras()) return;
    const float frames = mTimeline->mFrameRate * mClock;
    const int now = (frames > -2.0e9f && frames < 2.0e9f) ? static_cast<int>(std::trunc(frames)) : 0;
    int best = now;
    MovieCamera* chosen = nullptr;
    for (ISceneNode* child : parent->mChildren) {
        MovieCamera* camera = dynamic_cast<MovieCamera*>(child);
        if (!camera || camera->mActivationFrames.empty()) continue;
        const std::vector<int32_t>& list = camera->mActivationFrames;
        if (now < list.front()) continue;
        size_t k = 0;
        while (k + 1 < list.size() && list[k + 1] <= now) ++k;
        const int distance = now - list[k];
        if (distance <= best) {
            best = distance;
            chosen = camera;
        }
    }
    parent->mActiveCamera = chosen;
}

}  // namespace AE

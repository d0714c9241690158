#include <cmath>

#include "animationeditor/marker.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/scene_transform.h"

namespace AE {

void ISceneNode::update(float dt) {
    // Listeners of markers that finish in this walk are told after it, so
    // one may delete this scene (a window hiding itself) safely.
    DeferredMarkerNotifications deferred;
    if (!mEnabled) {
        const float time = mTimeline->mTime + dt;
        mTimeline->mTime = time > 0.0f ? time : 0.0f;
    }
    advanceTimeline(dt);
    updateTransform();
    if (mEnabled) updateDerived(dt);
    for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->derivedPass(dt);
    selectActiveCamera();
    deferred.deliver();  // may delete this node: nothing may follow
}

void ISceneNode::derivedPass(float dt) {
    if (mEnabled) updateDerived(dt);
    for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->derivedPass(dt);
}

void ISceneNode::advanceTimeline(float dt) {
    NodeTimeline& timeline = *mTimeline;
    if (dt == 0.0f) timeline.update(0.0f);
    if (mPlaying && mEnabled) {
        timeline.mLoop = mLoop;
        if (mFromFrame == 0 && mToFrame == 0) {
            timeline.update(mBackwards ? -dt : dt);
        } else {
            // The range ends where key frames on its end frames sit.
            const float start = static_cast<float>(mFromFrame) * timeline.mFrameDuration;
            const float end = static_cast<float>(mToFrame) * timeline.mFrameDuration;
            bool finished = false;
            if (!mBackwards) {
                if (timeline.mTime + dt < end)
                    timeline.update(dt);
                else
                    finished = true;
            } else {
                if (timeline.mTime - dt > start)
                    timeline.update(-dt);
                else
                    finished = true;
            }
            if (finished) {
                if (timeline.isLooping() && contentVersion > 0) {
                    timeline.mTime = mBackwards ? end : start;
                    timeline.update(0.0f);
                } else {
                    mPlaying = false;
                    timeline.mTime = mBackwards ? start : end;
                    timeline.update(0.0f);
                    timeline.mRunning = false;
                }
            }
        }
    }
    for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->advanceTimeline(dt);
}

void ISceneNode::rebuildTransform() {
    mLocalMatrix = composeTransform(mShear, mScale, mPivotPoint, mPosition, mRotation);
    mCachedPosition = mPosition;
    mCachedRotation = mRotation;
    mCachedPivotPoint = mPivotPoint;
    mCachedScale = mScale;
    mCachedShear = mShear;
    mCachedParent = mParent;
    mWorldPosition = mPosition;
    if (mParent) {
        mWorldMatrix = mLocalMatrix * mParent->mWorldMatrix;
        mWorldPosition = mParent->mWorldMatrix.transformPoint(mPosition);
    } else {
        mWorldMatrix = mLocalMatrix;
    }
    mTransformChanged = true;
}

namespace {

bool moved(float now, float cached) { return std::fabs(now - cached) > kTransformThreshold; }

}  // namespace

void ISceneNode::updateTransform() {
    const bool changed = moved(mPosition.x, mCachedPosition.x) || moved(mPosition.y, mCachedPosition.y) ||
                         moved(mRotation, mCachedRotation) || moved(mScale.x, mCachedScale.x) ||
                         moved(mScale.y, mCachedScale.y) || mParent != mCachedParent ||
                         moved(mPivotPoint.x, mCachedPivotPoint.x) || moved(mPivotPoint.y, mCachedPivotPoint.y) ||
                         moved(mShear.m10, mCachedShear.m10) || moved(mShear.m11, mCachedShear.m11) ||
                         moved(mShear.m00, mCachedShear.m00) || moved(mShear.m01, mCachedShear.m01);
    if (changed) {
        rebuildTransform();
    } else if (mParent && mParent->mTransformChanged) {
        mWorldMatrix = mLocalMatrix * mParent->mWorldMatrix;
        mWorldPosition = mParent->mWorldMatrix.transformPoint(mPosition);
        mTransformChanged = true;
    } else {
        mTransformChanged = false;
    }
    for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->updateTransform();
}

void ISceneNode::updateDerived(float dt) {
    mWorldColor = mParent ? QV::Color::modulate(mParent->mWorldColor, mColor) : mColor;
    for (size_t i = 0; i < mMarkers.size(); ++i) mMarkers[i]->update(dt);
}

void ISceneNode::selectActiveCamera() {
    if (!mUseCameras) return;
    MovieCamera* chosen = nullptr;
    float best = 0.0f;
    for (ISceneNode* child : mChildren) {
        MovieCamera* camera = child->mPlaying ? dynamic_cast<MovieCamera*>(child) : nullptr;
        if (!camera) continue;
        // Equal values: the later child wins.
        if (camera->mActivationValue >= best) {
            best = camera->mActivationValue;
            chosen = camera;
        }
    }
    if (chosen) mActiveCamera = chosen;
}

}  // namespace AE

#include "animationeditor/scene_node.h"

#include <cmath>

#include "animationeditor/marker.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/scene_transform.h"
#include "camera.h"
#include "format_string.h"
#include "log_system.h"

namespace AE {

ISceneNode::ISceneNode() : mTimeline(new NodeTimeline(true)) {
    bindParameters();
    rebuildTransform();
}

ISceneNode::ISceneNode(const ISceneNode& source, ISceneNode* parent)
    : mFileName(source.mFileName),
      mName(source.mName),
      mResourceName(source.mResourceName),
      mPosZ(source.mPosZ),
      mPosition(source.mPosition),
      mWorldPosition(source.mWorldPosition),
      mRotation(source.mRotation),
      mPivotPoint(source.mPivotPoint),
      mScale(source.mScale),
      mColor(source.mColor),
      mWorldColor(source.mWorldColor),
      // The source's camera lies in the source tree, which may go first; the
      // copy picks one of its own cameras at its next update.
      mActiveCamera(nullptr),
      mEnabled(source.mEnabled),
      mTimeline(new NodeTimeline(*source.mTimeline)),
      mLoop(source.mLoop),
      mBackwards(source.mBackwards),
      mFromFrame(source.mFromFrame),
      mToFrame(source.mToFrame),
      mUseCameras(source.mUseCameras),
      mWorldMatrix(source.mWorldMatrix),
      mShear(source.mShear) {
    mReservedFlags[3] = source.mReservedFlags[3];
    bindParameters();
    mLocalMatrix = composeTransform(mShear, mScale, mPivotPoint, mPosition, mRotation);
    setParent(parent, KeepTransform::Local);
    for (const ISceneNode* child : source.mChildren) child->clone(this);
    for (const Marker* marker : source.mMarkers) addMarker(new Marker(*marker, this, &source));
}

ISceneNode::~ISceneNode() {
    // Each child takes itself out of the list as it goes.
    while (!mChildren.empty()) delete mChildren.back();
    for (Marker* marker : mMarkers) delete marker;
    mMarkers.clear();
    delete mTimeline;
    mTimeline = nullptr;
    setParent(nullptr, KeepTransform::Local);
    unregisterLiveScene(this);
}

void ISceneNode::bindParameters() {
    mTimeline->bindFloat("posX", &mPosition.x);
    mTimeline->bindFloat("posY", &mPosition.y);
    mTimeline->bindFloat("rotation", &mRotation);
    mTimeline->bindFloat("scaleX", &mScale.x);
    mTimeline->bindFloat("scaleY", &mScale.y);
    mTimeline->bindVector2("pivotPoint", &mPivotPoint);
    mTimeline->bindFloat("posZ", &mPosZ);
    mTimeline->bindColor("color", &mColor);
    mTimeline->bindFloat("shear00", &mShear.m00);
    mTimeline->bindFloat("shear01", &mShear.m01);
    mTimeline->bindFloat("shear10", &mShear.m10);
    mTimeline->bindFloat("shear11", &mShear.m11);
}

// Tree.

void ISceneNode::addChild(ISceneNode* child, KeepTransform keep) {
    for (ISceneNode* c : mChildren)
        if (c == child) return;
    mChildren.push_back(child);
    child->setParent(this, keep);
}

void ISceneNode::keepWorldPlacement(const QV::Matrix3& world, const QV::Matrix3& parentWorld) {
    QV::Matrix3 inverseParent;
    if (!invertMatrix(parentWorld, inverseParent)) return;  // a flat parent: keep the values
    DecomposedTransform d;
    if (!decomposeTransform(world * inverseParent, mRotation, mPivotPoint, d)) return;
    setRotation(d.rotation * kRadiansToDegrees);
    setScaleX(d.scale.x);
    setScaleY(d.scale.y);
    setPosition(d.position);
    mShear = d.shear;
    updateTransform();
}

void ISceneNode::setParent(ISceneNode* parent, KeepTransform keep) {
    ISceneNode* old = mParent;
    if (parent == old) return;
    if (old) {
        if (!parent && keep == KeepTransform::World) keepWorldPlacement(mWorldMatrix, old->mWorldMatrix);
        old->removeChild(this, keep);
    }
    mParent = parent;
    if (!parent) return;
    if (keep == KeepTransform::World) keepWorldPlacement(mWorldMatrix, parent->mWorldMatrix);
    parent->addChild(this, keep);
}

void ISceneNode::removeChild(ISceneNode* child, KeepTransform keep) {
    size_t index = 0;
    while (index < mChildren.size() && mChildren[index] != child) ++index;
    if (index == mChildren.size()) return;
    mChildren.erase(mChildren.begin() + static_cast<std::ptrdiff_t>(index));
    for (ISceneNode* holder = this; holder; holder = holder->mParent)
        for (Marker* marker : holder->mMarkers) marker->removeNode(child);
    child->setParent(nullptr, keep);
}

ISceneNode* ISceneNode::findNode(const std::string& name) {
    std::vector<ISceneNode*> work;
    work.reserve(32);
    work.push_back(this);
    for (size_t i = 0; i < work.size(); ++i) {
        ISceneNode* node = work[i];
        if (node->mName == name) return node;
        work.insert(work.end(), node->mChildren.begin(), node->mChildren.end());
    }
    return nullptr;
}

namespace {

ISceneNode* findByPath(ISceneNode* node, const char* path) {
    const char* name = node->mName.c_str();
    // A leading part of the name is enough before a "/", even an empty one.
    while (*name && *path == *name) {
        ++path;
        ++name;
    }
    if (*path == '/') {
        if (path[1] == '\0') return node;
        for (ISceneNode* child : node->mChildren)
            if (ISceneNode* found = findByPath(child, path + 1)) return found;
        return nullptr;
    }
    return (*path == '\0' && *name == '\0') ? node : nullptr;
}

}  // namespace

ISceneNode* ISceneNode::findNodeByPath(const std::string& path) { return findByPath(this, path.c_str()); }

std::string ISceneNode::getPath(const ISceneNode* relativeTo) const {
    if (this == relativeTo) return "/";
    if (!mParent) return mName;
    std::string path;
    for (const ISceneNode* n = this; n && n != relativeTo && n->mParent; n = n->mParent) path = "/" + n->mName + path;
    return path;
}

std::vector<ISceneNode*> ISceneNode::collectDescendants() const {
    std::vector<ISceneNode*> list(mChildren.begin(), mChildren.end());
    for (size_t i = 0; i < list.size(); ++i) list.insert(list.end(), list[i]->mChildren.begin(), list[i]->mChildren.end());
    return list;
}

ISceneNode* ISceneNode::getRoot() {
    ISceneNode* node = this;
    while (node->mParent) node = node->mParent;
    return node;
}

MovieCamera* ISceneNode::getSceneCamera() { return getRoot()->mActiveCamera; }

bool ISceneNode::usesCameras() { return getRoot()->mUseCameras; }

// Transform and colour.

QV::Vector2<float> ISceneNode::getWorldPosition() const {
    const QV::Matrix3& m = mChildren.empty() ? mWorldMatrix : mChildren.front()->mWorldMatrix;
    return QV::Vector2<float>(m.m20, m.m21);
}

void ISceneNode::setRotation(float degrees) {
    mRotation = degrees;
    updateTransform();
}

void ISceneNode::setScaleX(float scale) {
    mScale.x = scale;
    updateTransform();
}

void ISceneNode::setScaleY(float scale) {
    mScale.y = scale;
    updateTransform();
}

void ISceneNode::setPosition(const QV::Vector2<float>& position) { mPosition = position; }

void ISceneNode::setWorldPosition(const QV::Vector2<float>& point) {
    QV::Matrix3 inverseParent;
    if (!mParent) {
        setPosition(point);
    } else if (invertMatrix(mParent->mWorldMatrix, inverseParent)) {
        setPosition(inverseParent.transformPoint(point));
    }
    updateTransform();
}

void ISceneNode::setWorldX(float x) { setWorldPosition(QV::Vector2<float>(x, mWorldMatrix.m21)); }

void ISceneNode::setWorldY(float y) { setWorldPosition(QV::Vector2<float>(mWorldMatrix.m20, y)); }

float ISceneNode::getWorldRotation() const {
    float rotation = 0.0f;
    for (const ISceneNode* n = this; n; n = n->mParent) rotation += n->mRotation;
    return rotation;
}

QV::Vector2<float> ISceneNode::getSize() const {
    if (!mParent) return QV::Vector2<float>(0.0f, 0.0f);
    return QV::Vector2<float>(64.0f * mScale.x, 64.0f * mScale.y);
}

namespace {

void extendBounds(const ISceneNode* node, QV::Vector2<float>& low, QV::Vector2<float>& high) {
    const QV::Vector2<float> p = node->mWorldPosition;
    const QV::Vector2<float> far = p + node->getSize();
    low = QV::Vector2<float>(std::fmin(low.x, p.x), std::fmin(low.y, p.y));
    high = QV::Vector2<float>(std::fmax(high.x, far.x), std::fmax(high.y, far.y));
    for (const ISceneNode* child : node->mChildren) extendBounds(child, low, high);
}

}  // namespace

QV::Vector2<float> ISceneNode::getBoundsSize() const {
    QV::Vector2<float> low(0.0f, 0.0f);
    QV::Vector2<float> high(0.0f, 0.0f);
    extendBounds(this, low, high);
    return high - low;
}

bool ISceneNode::hitTest(int x, int y, bool visibleOnly) {
    if (visibleOnly && mWorldColor.a == 0) return false;
    if (mChildren.empty()) return false;
    if (mScale.x < 0.0001f || mScale.y < 0.0001f) return false;
    for (size_t i = 0; i < mChildren.size(); ++i)
        if (mChildren[i]->hitTest(x, y, visibleOnly)) return true;
    return false;
}

QV::Camera ISceneNode::getWorldTransform() const { return QV::Camera(); }

// Play control.

void ISceneNode::setPlaying(bool playing, bool recursive) {
    mPlaying = playing;
    mTimeline->mRunning = true;
    if (recursive)
        for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->setPlaying(playing, true);
}

void ISceneNode::play(bool recursive) { playDirected(false, recursive); }

void ISceneNode::playDirected(bool backwards, bool recursive) {
    mPlaying = true;
    mTimeline->mRunning = true;
    mFromFrame = 0;
    mToFrame = 0;
    mBackwards = backwards;
    if (recursive)
        for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->playDirected(backwards, true);
}

void ISceneNode::stop(bool recursive) {
    mPlaying = false;
    mTimeline->mRunning = false;
    mTimeline->mTime = 0.0f;
    stopDerived();
    if (recursive)
        for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->stop(true);
}

void ISceneNode::halt(bool recursive) {
    mPlaying = false;
    mTimeline->mRunning = false;
    if (recursive)
        for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->stop(true);
}

void ISceneNode::setEnabled(bool enabled) {
    mEnabled = enabled;
    for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->setEnabled(enabled);
}

void ISceneNode::setTime(float seconds, bool recursive) {
    mTimeline->setTime(seconds);
    mTimeline->update(0.0f);
    update(0.0f);
    if (recursive)
        for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->setTime(seconds, true);
}

void ISceneNode::gotoFrame(int frame) {
    setTime(static_cast<float>(frame) * mTimeline->mFrameDuration, false);
}

ISceneNode* ISceneNode::clone(ISceneNode* parent) const { return new ISceneNode(*this, parent); }

// Markers.

void ISceneNode::addMarker(Marker* marker) { mMarkers.push_back(marker); }

Marker* ISceneNode::findMarker(const std::string& name) const {
    for (Marker* marker : mMarkers)
        if (marker->mName == name) return marker;
    return nullptr;
}

Marker* ISceneNode::getMarker(const std::string& name) const {
    Marker* marker = findMarker(name);
    if (!marker) QV::logFormat("ERROR: Can't find marker '%s' in node '%s'", name.c_str(), mName.c_str());
    return marker;
}

void ISceneNode::playMarker(const std::string& name) {
    if (Marker* marker = findMarker(name)) marker->play(true);
}

void ISceneNode::resetMarkers(MarkerScope scope, MarkerReplay replay) {
    for (size_t i = 0; i < mMarkers.size(); ++i) {
        if (replay == MarkerReplay::FromStart) mMarkers[i]->play(true);
        mMarkers[i]->haltEntries();
    }
    if (scope == MarkerScope::Subtree)
        for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->resetMarkers(scope, replay);
}

// Key frames.

void ISceneNode::setKeyValues(int frame, float x, float y, float posZ, float rotation, float scaleX, float scaleY,
                              const QV::Color& color, const QV::Matrix3& shear, const QV::Vector2<float>& pivot) {
    mTimeline->addKeyFrame(frame);
    const int i = mTimeline->keyFrameIndex(frame);
    mTimeline->getFloatKey("posX", i).value = x;
    mTimeline->getFloatKey("posY", i).value = y;
    mTimeline->getFloatKey("rotation", i).value = rotation;
    mTimeline->getFloatKey("scaleX", i).value = scaleX;
    mTimeline->getFloatKey("scaleY", i).value = scaleY;
    mTimeline->getVector2Key("pivotPoint", i).value = pivot;
    mTimeline->getFloatKey("posZ", i).value = posZ;
    mTimeline->getColorKey("color", i).value = color;
    mTimeline->getFloatKey("shear00", i).value = shear.m00;
    mTimeline->getFloatKey("shear01", i).value = shear.m01;
    mTimeline->getFloatKey("shear10", i).value = shear.m10;
    mTimeline->getFloatKey("shear11", i).value = shear.m11;
}

void ISceneNode::addKeyFrame(int frame) {
    setKeyValues(frame, mPosition.x, mPosition.y, mPosZ, mRotation, mScale.x, mScale.y, mColor, mShear, mPivotPoint);
}

void ISceneNode::removeKeyFrame(int frame) {
    const int index = mTimeline->keyFrameIndex(frame);
    if (index >= 0) mTimeline->removeKeyAt(index);
}

void ISceneNode::moveKeyFrame(int fromFrame, int toFrame) { mTimeline->moveKeyFrame(fromFrame, toFrame); }

// Current key values.

namespace {

int currentKeyIndex(ISceneNode* node) {
    const int segment = node->mTimeline->findSegment();
    return segment < 0 ? 0 : segment;
}

}  // namespace

float getCurrentKeyFloat(ISceneNode* node, const std::string& name) {
    return node->mTimeline->getFloatKey(name, currentKeyIndex(node)).value;
}

QV::Vector2<float> getCurrentKeyVector2(ISceneNode* node, const std::string& name) {
    return node->mTimeline->getVector2Key(name, currentKeyIndex(node)).value;
}

QV::Color getCurrentKeyColor(ISceneNode* node, const std::string& name) {
    return node->mTimeline->getColorKey(name, currentKeyIndex(node)).value;
}

bool getCurrentKeyBool(ISceneNode* node, const std::string& name) {
    return node->mTimeline->getBoolKey(name, currentKeyIndex(node)).value;
}

}  // namespace AE

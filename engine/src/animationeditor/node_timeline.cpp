#include "animationeditor/node_timeline.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/vector_stream.h"
#include "report_assert.h"

namespace AE {

using namespace SceneNodeAnimation;

namespace {

bool frameLess(int32_t a, int32_t b) { return static_cast<uint32_t>(a) < static_cast<uint32_t>(b); }

float frameTime(float frameDuration, int32_t frame) {
    return frameDuration * static_cast<float>(static_cast<uint32_t>(frame));
}

}  // namespace

NodeTimeline::NodeTimeline(bool withLerp) {
    if (withLerp) createLerpTimeline();
}

NodeTimeline::NodeTimeline(const NodeTimeline& source)
    : mKeyFrames(source.mKeyFrames),
      mLoop(source.mLoop),
      mRunning(source.mRunning),
      mFrameRate(source.mFrameRate),
      mSub(source.mSub),
      mTime(source.mTime),
      mCurrentKey(source.mCurrentKey),
      mDuration(source.mDuration),
      mFrameDuration(source.mFrameDuration),
      mLerpCoeff(source.mLerpCoeff) {
    for (const IContainer* container : source.mContainers) mContainers.push_back(container->clone());
    if (source.mLerpTimeline) {
        mLerpTimeline = new NodeTimeline(*source.mLerpTimeline);
        mLerpTimeline->bindFloat("mLerpCoeff", &mLerpCoeff);
    }
}

NodeTimeline::~NodeTimeline() {
    for (IContainer* container : mContainers) delete container;
    delete mLerpTimeline;
}

void NodeTimeline::createLerpTimeline() {
    mLerpTimeline = new NodeTimeline(false);
    mLerpTimeline->mSub = true;
    mLerpTimeline->bindFloat("mLerpCoeff", &mLerpCoeff);
}

void NodeTimeline::setTime(float seconds) { mTime = seconds > 0.0f ? seconds : 0.0f; }

int NodeTimeline::findSegment() const {
    const int count = static_cast<int>(mKeyFrames.size());
    if (count == 0) return -1;
    if (count == 1) return 0;
    for (int i = 0; i + 1 < count; ++i) {
        const float a = frameTime(mFrameDuration, mKeyFrames[i]);
        const float b = frameTime(mFrameDuration, mKeyFrames[i + 1]);
        if (a <= mTime && mTime < b) return i;
        if (mTime < a) return -1;
    }
    return count - 1;
}

float NodeTimeline::coefficient(bool before, int current) {
    const int count = static_cast<int>(mKeyFrames.size());
    const float frac = mTime - frameTime(mFrameDuration, mCurrentKey);
    float span = 0.0f;
    if (current <= count - 1) {
        const uint32_t from = static_cast<uint32_t>(mKeyFrames[current]);
        const uint32_t to = current + 1 < count ? static_cast<uint32_t>(mKeyFrames[current + 1]) : from;
        span = (1.0f / mFrameRate) * static_cast<float>(to - from);
    }
    float f = 1.0f;
    if (std::fabs(span) > 1.1920929e-07f) {
        f = frac / span;
        if (f > 1.0f) f = 1.0f;
    }
    if (before) f = 0.0f;
    if (mLerpTimeline) {
        mLerpTimeline->mTime = std::max(mTime, 0.0f);
        mLerpTimeline->update(0.0f);
        if (mLerpTimeline->mKeyFrames.empty()) mLerpCoeff = 1.0f;
        f = std::min(std::max(mLerpCoeff * f, 0.0f), 1.0f);
    }
    return f;
}

void NodeTimeline::update(float step) {
    if (mKeyFrames.empty()) return;
    const int count = static_cast<int>(mKeyFrames.size());
    mDuration = frameTime(mFrameDuration, mKeyFrames.back());
    mTime += mRunning ? step : 0.0f;
    if (mLoop && mTime > mDuration) {
        if (mDuration > 0.0f) {
            const float turns = std::trunc(mTime / mDuration);
            mTime -= turns * mDuration;
        } else {
            mTime = 0.0f;
        }
    }
    const int segment = findSegment();
    const int next = std::min(segment + 1, count - 1);
    const bool before = segment < 0;
    const int current = std::max(segment, 0);
    if (current < count) mCurrentKey = mKeyFrames[current];
    const float f = coefficient(before, current);
    for (IContainer* container : mContainers) {
        container->evaluate(current, next, f);
        container->notifyListeners();
    }
}

bool NodeTimeline::hasKeyFrame(int frame) const { return keyFrameIndex(frame) >= 0; }

int NodeTimeline::keyFrameIndex(int frame) const {
    for (size_t i = 0; i < mKeyFrames.size(); ++i)
        if (mKeyFrames[i] == frame) return static_cast<int>(i);
    return -1;
}

bool NodeTimeline::addKeyFrame(int frame) {
    if (hasKeyFrame(frame)) return false;
    for (IContainer* container : mContainers) container->addKey(frame, false);
    mKeyFrames.push_back(frame);
    std::sort(mKeyFrames.begin(), mKeyFrames.end(), frameLess);
    return true;
}

void NodeTimeline::removeKeyAt(int index) {
    if (static_cast<uint32_t>(index) >= mKeyFrames.size()) return;
    mKeyFrames.erase(mKeyFrames.begin() + index);
    for (IContainer* container : mContainers) container->removeKey(index);
    std::sort(mKeyFrames.begin(), mKeyFrames.end(), frameLess);
}

bool NodeTimeline::moveKeyFrame(int fromFrame, int toFrame) {
    if (fromFrame == toFrame) return false;
    const int index = keyFrameIndex(fromFrame);
    if (index < 0) return false;
    while (hasKeyFrame(toFrame)) ++toFrame;
    mKeyFrames[index] = toFrame;
    for (IContainer* container : mContainers) container->moveKey(fromFrame, toFrame);
    std::sort(mKeyFrames.begin(), mKeyFrames.end(), frameLess);
    return true;
}

IContainer* NodeTimeline::findContainer(const std::string& name) const {
    for (IContainer* container : mContainers)
        if (container->mName == name) return container;
    return nullptr;
}

template <class T>
Container<T>* NodeTimeline::bind(const std::string& name, T* target) {
    Container<T>* container = nullptr;
    if (IContainer* found = findContainer(name)) {
        container = dynamic_cast<Container<T>*>(found);
        if (!container) QV_FATAL("Parameter has another type than the one asked for");
    } else {
        container = new Container<T>(name);
        container->mSubTimeline = mSub;
        mContainers.push_back(container);
    }
    container->mInterpolate = true;
    container->mTargets.push_back(target);
    return container;
}

void NodeTimeline::bindFloat(const std::string& name, float* target) { bind(name, target); }
void NodeTimeline::bindVector2(const std::string& name, QV::Vector2<float>* target) { bind(name, target); }
void NodeTimeline::bindColor(const std::string& name, QV::Color* target) { bind(name, target); }
void NodeTimeline::bindInt(const std::string& name, int* target, bool interpolate) {
    bind(name, target)->mInterpolate = interpolate;
}
void NodeTimeline::bindBool(const std::string& name, bool* target) { bind(name, target)->mInterpolate = false; }

Key<float>& NodeTimeline::getFloatKey(const std::string& name, int index) {
    return findKey<float>(mContainers, name, index);
}
Key<QV::Vector2<float>>& NodeTimeline::getVector2Key(const std::string& name, int index) {
    return findKey<QV::Vector2<float>>(mContainers, name, index);
}
Key<QV::Color>& NodeTimeline::getColorKey(const std::string& name, int index) {
    return findKey<QV::Color>(mContainers, name, index);
}
Key<int>& NodeTimeline::getIntKey(const std::string& name, int index) {
    return findKey<int>(mContainers, name, index);
}
Key<bool>& NodeTimeline::getBoolKey(const std::string& name, int index) {
    return findKey<bool>(mContainers, name, index);
}
float& NodeTimeline::getFloatKeyBezierOffset(const std::string& name, int index) {
    return getFloatKey(name, index).bezierOffset;
}
float& NodeTimeline::getFloatKeyBezierCoeff(const std::string& name, int index) {
    return getFloatKey(name, index).bezierCoeff;
}
bool& NodeTimeline::getFloatKeyBezierFlag(const std::string& name, int index) {
    return getFloatKey(name, index).bezierFlag;
}

void NodeTimeline::write(DataStream& stream) const {
    for (const IContainer* container : mContainers) container->write(stream);
    writeIntVector(stream, mKeyFrames);
    writeValue<uint8_t>(stream, mLoop ? 1 : 0);
    writeValue<uint8_t>(stream, mRunning ? 1 : 0);
    writeValue(stream, mFrameRate);
    writeValue<uint8_t>(stream, mSub ? 1 : 0);
    writeValue(stream, mTime);
    writeValue(stream, mCurrentKey);
    writeValue(stream, mDuration);
    writeValue(stream, mFrameDuration);
    writeValue(stream, mLerpCoeff);
    writeValue<uint8_t>(stream, mLerpTimeline ? 1 : 0);
    if (mLerpTimeline) mLerpTimeline->write(stream);
}

void NodeTimeline::read(DataStream& stream) {
    for (IContainer* container : mContainers) container->read(stream);
    readIntVector(mKeyFrames, stream);
    mLoop = readValue<uint8_t>(stream) != 0;
    mRunning = readValue<uint8_t>(stream) != 0;
    mFrameRate = readValue<float>(stream);
    mSub = readValue<uint8_t>(stream) != 0;
    mTime = readValue<float>(stream);
    mCurrentKey = readValue<int32_t>(stream);
    mDuration = readValue<float>(stream);
    mFrameDuration = readValue<float>(stream);
    mLerpCoeff = readValue<float>(stream);
    if (readValue<uint8_t>(stream) == 1) {
        delete mLerpTimeline;
        createLerpTimeline();
        mLerpTimeline->read(stream);
    }
}

}  // namespace AE

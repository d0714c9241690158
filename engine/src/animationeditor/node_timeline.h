#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "animationeditor/scene_node_animation.h"

namespace AE {

class DataStream;

// A node's animation player: named keyed parameters sharing one sorted list
// of key frames, a frame rate, a time and a loop flag.
class NodeTimeline {
public:
    // withLerp: also create the easing sub-timeline that animates "mLerpCoeff".
    explicit NodeTimeline(bool withLerp = true);
    // Deep copy; the owner of the copy binds its own fields again.
    NodeTimeline(const NodeTimeline& source);
    NodeTimeline& operator=(const NodeTimeline&) = delete;
    ~NodeTimeline();

    // Advances by step (when running) and writes every parameter's value.
    void update(float step);
    // Time := seconds when positive, else 0. No evaluation.
    void setTime(float seconds);
    // Index of the key frame starting the segment that holds the time; -1 before the first.
    int findSegment() const;
    bool isLooping() const { return mLoop && !mKeyFrames.empty(); }

    bool addKeyFrame(int frame);
    void removeKeyAt(int index);
    bool moveKeyFrame(int fromFrame, int toFrame);
    bool hasKeyFrame(int frame) const;
    int keyFrameIndex(int frame) const;  // -1 when not a key frame

    void bindFloat(const std::string& name, float* target);
    void bindVector2(const std::string& name, QV::Vector2<float>* target);
    void bindColor(const std::string& name, QV::Color* target);
    void bindInt(const std::string& name, int* target, bool interpolate);
    void bindBool(const std::string& name, bool* target);
    // Takes the field out of the parameter's targets (nothing when there is no
    // such parameter); a parameter of another type is fatal.
    void unbindFloat(const std::string& name, float* target);
    void unbindVector2(const std::string& name, QV::Vector2<float>* target);
    void unbindInt(const std::string& name, int* target);

    // Writable keys by parameter name; a missing name or an index out of range is fatal.
    SceneNodeAnimation::Key<float>& getFloatKey(const std::string& name, int index);
    SceneNodeAnimation::Key<QV::Vector2<float>>& getVector2Key(const std::string& name, int index);
    SceneNodeAnimation::Key<QV::Color>& getColorKey(const std::string& name, int index);
    SceneNodeAnimation::Key<int>& getIntKey(const std::string& name, int index);
    SceneNodeAnimation::Key<bool>& getBoolKey(const std::string& name, int index);
    float& getFloatKeyBezierOffset(const std::string& name, int index);
    float& getFloatKeyBezierCoeff(const std::string& name, int index);
    bool& getFloatKeyBezierFlag(const std::string& name, int index);

    SceneNodeAnimation::IContainer* findContainer(const std::string& name) const;

    // Binary form; reading needs a timeline with the same containers in the same order.
    void write(DataStream& stream) const;
    void read(DataStream& stream);

    std::vector<SceneNodeAnimation::IContainer*> mContainers;
    std::vector<int32_t> mKeyFrames;
    bool mLoop = false;
    bool mRunning = true;
    float mFrameRate = 24.0f;
    bool mSub = false;
    float mTime = 0.0f;
    int32_t mCurrentKey = 0;
    float mDuration = 0.0f;
    float mFrameDuration = 1.0f / 24.0f;
    NodeTimeline* mLerpTimeline = nullptr;
    float mLerpCoeff = 0.0f;

private:
    template <class T>
    SceneNodeAnimation::Container<T>* bind(const std::string& name, T* target);
    void createLerpTimeline();
    float coefficient(bool before, int current) ;
};

}  // namespace AE

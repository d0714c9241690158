#pragma once

#include <cstdint>
#include <string>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_data.h"

namespace QV {
struct SoundDescription;
}

namespace AE {

class SoundSceneNodeData : public ISceneNodeData {
public:
    int getType() const override { return 129; }
    int32_t play = 0;
    float volume = 0.0f;
    int32_t group = 0;
};

// A scene node that plays a sound resource: it starts when keyed "play" turns
// on, stops when it turns off or the node stops, and follows keyed "volume"
// (optionally faded by the world alpha). Every start and stop is logged.
class SoundSceneNode : public ISceneNode {
public:
    SoundSceneNode();
    SoundSceneNode(const SoundSceneNode& source, ISceneNode* parent);
    ~SoundSceneNode() override;

    int getType() const override { return kSoundNode; }
    void updateDerived(float dt) override;
    void setPlaying(bool playing, bool recursive) override;
    void addKeyFrame(int frame) override;
    void storeKeyFrame(int frame, const IFrameData& data) override;
    ISceneNode* clone(ISceneNode* parent) const override;
    void copyKeyFrame(int fromFrame, int toFrame) override;
    void insertKeyFrame(int frame) override;
    IFrameData* createFrameData(int frame, bool world) override;
    void applyNodeData(const ISceneNodeData& data) override;
    ISceneNodeData* createNodeData(bool relative) override;
    void fillNodeData(ISceneNodeData& data, bool relative) override;
    void stopDerived() override;
    void write(DataStream& stream, bool relative) override;
    void read(DataStream& stream) override;
    void draw() override {}

    // Registers (or shares) the sound resource of that file in a volume group.
    void setSound(const std::string& fileName, int group);
    void setPriority(int priority);
    void setKeyValues(int frame, int play, float volume);

    int32_t mPlay = 0;
    float mVolume = 1.0f;
    int32_t mID = -1;
    int32_t mHandle = 0;
    int32_t mSoundGroup = 0;
    bool mFading = false;
    int32_t mPriority = 0;
    // Set once a missing resource has been reported, so it is not logged every frame.
    bool mMissingReported = false;

private:
    void bindSoundParameters();
    void acquire();
};

}  // namespace AE

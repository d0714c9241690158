#pragma once

#include <cstdint>
#include <string>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_data.h"

namespace QV {
class ParticleFX;
}

namespace AE {

class ParticleSceneNodeData : public ISceneNodeData {
public:
    int getType() const override { return 126; }
    float emitCoef = 0.0f;
    int32_t play = 0;
    bool useStencil = false;
    bool distortion = false;
};

// A scene node showing one particle effect at its world position. Keyed
// "emitCoef" scales every emitter's rate, keyed "play" pauses and resumes.
// Constructing one hands the advancing of active effects to their nodes.
class ParticleSceneNode : public ISceneNode {
public:
    ParticleSceneNode();
    ParticleSceneNode(const ParticleSceneNode& source, ISceneNode* parent);
    ~ParticleSceneNode() override;

    int getType() const override { return kParticleNode; }
    void updateDerived(float dt) override;
    void setRotation(float degrees) override { mRotation = degrees; }
    void setScaleX(float scale) override { mScale.x = scale; }
    void setScaleY(float scale) override { mScale.y = scale; }
    QV::Vector2<float> getSize() const override { return QV::Vector2<float>(64.0f, 64.0f); }
    void addKeyFrame(int frame) override;
    void storeKeyFrame(int frame, const IFrameData& data) override;
    // The effect restarts and runs the whole time in one step.
    void setTime(float seconds, bool recursive) override;
    ISceneNode* clone(ISceneNode* parent) const override;
    void copyKeyFrame(int fromFrame, int toFrame) override;
    void insertKeyFrame(int frame) override;
    IFrameData* createFrameData(int frame, bool world) override;
    void applyNodeData(const ISceneNodeData& data) override;
    ISceneNodeData* createNodeData(bool relative) override;
    void fillNodeData(ISceneNodeData& data, bool relative) override;
    void write(DataStream& stream, bool relative) override;
    void read(DataStream& stream) override;
    void draw() override;

    // Gives back the effect held and takes a running one by name; false when none.
    bool createEffect(const std::string& name);
    void setKeyValues(float x, float y, float posZ, float emitCoef, float pivotX, float pivotY, int play, int frame);
    void storeCurrentKey(int frame);

    QV::ParticleFX* mParticleFX = nullptr;
    float mEmitCoef = 1.0f;
    int32_t mPlay = 1;
    bool mUseStencil = false;
    bool mDistortion = false;

private:
    void bindParticleParameters();
};

}  // namespace AE

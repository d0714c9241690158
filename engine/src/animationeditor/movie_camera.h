#pragma once

#include <cstdint>
#include <vector>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_data.h"
#include "camera.h"

namespace AE {

// A snapshot of a movie camera: the node's values plus its view record, its
// activation clock and frames and its parallax coefficient.
class CameraData : public ISceneNodeData {
public:
    int getType() const override { return 192; }
    QV::Camera camera;
    float clock = 0.0f;
    int32_t activationFrameCount = 0;
    float parallaxCoef = 1.0f;
    std::vector<int32_t> activationFrames;
};

// An animated camera of a movie scene. Its parent's playing camera whose
// latest activation frame lies furthest in its own timeline becomes the
// scene's active camera; drawing nodes then view the world through it.
// Moving the camera right moves the picture left. It draws nothing.
class MovieCamera : public ISceneNode {
public:
    MovieCamera();
    ~MovieCamera() override;

    int getType() const override { return kMovieCamera; }
    void updateDerived(float dt) override;
    void setRotation(float degrees) override;
    void setScaleX(float scale) override;
    void setScaleY(float scale) override;
    void moveKeyFrame(int fromFrame, int toFrame) override;
    QV::Vector2<float> getSize() const override { return QV::Vector2<float>(0.5f, 0.5f); }
    void addKeyFrame(int frame) override;
    void removeKeyFrame(int frame) override;
    void setPosition(const QV::Vector2<float>& position) override;
    void setTime(float seconds, bool recursive) override;
    void draw() override {}
    QV::Camera getWorldTransform() const override { return mCamera; }
    ISceneNodeData* createNodeData(bool relative) override;
    void fillNodeData(ISceneNodeData& data, bool relative) override;
    void applyNodeData(const ISceneNodeData& data) override;
    void write(DataStream& stream, bool relative) override;
    void read(DataStream& stream) override;

    // Makes the frame a key frame with these values; the active camera also
    // activates at it.
    void setKeyValues(int frame, float rotation, float x, float y, float scaleX, float scaleY);
    QV::Camera getCamera() const { return mCamera; }
    std::vector<int32_t> getActivationFrames() const { return mActivationFrames; }
    void addActivationFrame(int frame);
    void removeActivationFrame(int frame);
    // Makes the parent's camera the one whose latest activation is nearest before the clock.
    void selectCameraAtTime();

    QV::Camera mCamera;
    float mClock = 0.0f;
    float mNextActivation = 0.0f;
    float mActivationIndex = 0.0f;
    float mActivationValue = 0.0f;
    std::vector<int32_t> mActivationFrames;
    float mParallaxCoef = 1.0f;
};

}  // namespace AE

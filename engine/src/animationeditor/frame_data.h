#pragma once

#include <cstdint>

#include "color.h"
#include "matrix3.h"
#include "rect.h"
#include "vector2.h"

namespace AE {

class ISceneNode;

// Everything one key frame of one node holds: the value of each base
// parameter with the easing data of the position, rotation and scale keys.
// The kinds add their own parameters. Filled by the scene loader from a
// frame's attributes, or read back from a node's key.
class IFrameData {
public:
    IFrameData() = default;
    // The node's key at `frame` (which must be a key frame); with `world`
    // the transform is expressed in world space at that frame.
    IFrameData(ISceneNode* node, int frame, bool world);
    virtual ~IFrameData() = default;

    virtual void readKeyFrame(ISceneNode* node, int frame, bool world);
    virtual int kindCode() const { return 124; }

    float x = 0.0f;
    float y = 0.0f;
    float bezierX = 0.0f;
    float bezierY = 0.0f;
    float bezierCoeffX = 0.0f;
    float bezierCoeffY = 0.0f;
    bool positionBezier = false;
    float pivotX = 0.0f;
    float pivotY = 0.0f;
    float angle = 0.0f;
    float bezierAngle = 0.0f;
    float bezierCoeffAngle = 0.0f;
    bool angleBezier = false;
    // Scale defaults to 0: scene files always carry it.
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    float bezierScaleX = 0.0f;
    float bezierScaleY = 0.0f;
    float bezierCoeffScaleX = 0.0f;
    float bezierCoeffScaleY = 0.0f;
    bool scaleBezier = false;
    float z = 0.0f;
    QV::Color color;
    QV::Matrix3 shear;

protected:
    // The key index of `frame` in the node's timeline, 0 when it is not a key frame.
    static int keyIndex(ISceneNode* node, int frame);
};

class SpriteFrameData : public IFrameData {
public:
    SpriteFrameData() = default;
    SpriteFrameData(ISceneNode* node, int frame, bool world);
    void readKeyFrame(ISceneNode* node, int frame, bool world) override;
    int kindCode() const override { return 144; }

    int32_t blendMode = 0;
    int32_t frameIndex = 0;
    bool animFrameIndex = false;
    QV::Vector2<float> texPos;
    bool clipEnabled = false;
    QV::Rect clipRect;
};

class TextFrameData : public IFrameData {
public:
    TextFrameData() = default;
    TextFrameData(ISceneNode* node, int frame, bool world);
    void readKeyFrame(ISceneNode* node, int frame, bool world) override;
    int kindCode() const override { return 168; }

    QV::Vector2<float> textArea;
    QV::Vector2<float> clipLT;
    QV::Vector2<float> clipRB;
    float xcoeff = 0.0f;
    float ycoeff = 0.0f;
    int32_t halign = 0;
    int32_t valign = 0;
    int32_t maxChar = 0;
};

class ParticleFrameData : public IFrameData {
public:
    ParticleFrameData() = default;
    ParticleFrameData(ISceneNode* node, int frame, bool world);
    void readKeyFrame(ISceneNode* node, int frame, bool world) override;
    int kindCode() const override { return 132; }

    float emitCoef = 0.0f;
    int32_t play = 0;
};

class SoundFrameData : public IFrameData {
public:
    SoundFrameData() = default;
    SoundFrameData(ISceneNode* node, int frame, bool world);
    void readKeyFrame(ISceneNode* node, int frame, bool world) override;
    int kindCode() const override { return 132; }

    int32_t play = 0;
    float volume = 0.0f;
};

}  // namespace AE

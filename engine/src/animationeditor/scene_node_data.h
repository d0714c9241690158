#pragma once

#include "color.h"
#include "matrix3.h"
#include "vector2.h"

namespace AE {

// A node's placement and flags at one moment, taken and applied by the
// editing side. The kinds add their own fields.
class ISceneNodeData {
public:
    virtual ~ISceneNodeData() = default;
    virtual int getType() const { return 115; }

    QV::Vector2<float> position;
    float rotation = 0.0f;
    QV::Vector2<float> pivotPoint;
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    float posZ = 0.0f;
    QV::Color color;
    QV::Color worldColor;
    QV::Matrix3 worldMatrix;
    QV::Matrix3 shear;
    bool parallax = false;
    bool enabled = false;
    bool loop = false;
};

}  // namespace AE

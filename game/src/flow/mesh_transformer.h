#pragma once

#include <string>

class MeshSceneNode;
namespace AE {
class ISceneNode;
}

// Moves the vertices of a mesh node every frame.
class MeshTransformer {
public:
    explicit MeshTransformer(MeshSceneNode* node) : mNode(node) {}
    virtual ~MeshTransformer() = default;
    virtual void update(float dt) = 0;
    virtual void setTime(float t) { mTime = t; }
    float time() const { return mTime; }

    // "Wind" or "Water" (exact), reading their parameters from the
    // placeholder's markers; any other name gives null.
    static MeshTransformer* create(const std::string& name, MeshSceneNode* node, AE::ISceneNode* placeholder);

protected:
    MeshSceneNode* mNode;
    float mTime = 0.0f;
};

// A sine wave up and down: location 0 travels along x, location 1 moves each
// column of quads on its own, any other location stays still.
class WaterMeshTransformer : public MeshTransformer {
public:
    WaterMeshTransformer(MeshSceneNode* node, int location) : MeshTransformer(node), mLocation(location) {}
    void update(float dt) override;
    int location() const { return mLocation; }

private:
    int mLocation;
};

// Bends the grid towards its node's rotation (less at the right edge the
// stiffer it is) and shakes it.
class WindMeshTransformer : public MeshTransformer {
public:
    explicit WindMeshTransformer(MeshSceneNode* node) : MeshTransformer(node) {}
    void update(float dt) override;

    float mSpeed = 1.25f;
    float mPhase = 0.0f;
    float mStiffness = 1.0f;
    bool mFixedTopEdge = false;
};

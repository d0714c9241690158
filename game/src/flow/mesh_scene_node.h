#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "vector2.h"

namespace QV {
class RenderData;
class Sprite;
}  // namespace QV

class MeshTransformer;

// A sprite drawn as a grid of separate quads whose vertices a transformer moves
// every frame (water, wind). Built from a "#mesh:" placeholder node, configured
// by the names of the placeholder's markers.
class MeshSceneNode : public AE::ISceneNode {
public:
    // Takes the placeholder's place under its parent and deletes it; a
    // placeholder without a parent stays and the node is left unattached.
    explicit MeshSceneNode(AE::ISceneNode* placeholder);
    ~MeshSceneNode() override;
    MeshSceneNode(const MeshSceneNode&) = delete;
    MeshSceneNode& operator=(const MeshSceneNode&) = delete;

    void updateDerived(float dt) override;
    void setTime(float seconds, bool recursive) override;
    void draw() override;

    uint32_t segmentsX() const { return mSegmentsX; }
    uint32_t segmentsY() const { return mSegmentsY; }
    float width() const { return mWidth; }
    float height() const { return mHeight; }
    MeshTransformer* transformer() const { return mTransformer; }
    QV::RenderData* renderData() const { return mRenderData; }
    // Vertices of quad q = column + segmentsX * row, four each, in grid order.
    uint32_t vertexCount() const;
    QV::Vector2<float> vertexPosition(uint32_t index) const;
    void setVertexPosition(uint32_t index, const QV::Vector2<float>& position);
    float vertexZ(uint32_t index) const;
    QV::Vector2<float> vertexTexCoord(uint32_t index) const;
    // Where the grid put the vertex when it was built.
    const QV::Vector2<float>& basePosition(uint32_t index) const { return mBase[index]; }
    // The translation of the node's own world matrix.
    QV::Vector2<float> worldOrigin() const;

private:
    void readMeshMarkers(AE::ISceneNode* placeholder);
    void takeSprite(AE::ISceneNode* placeholder);
    void buildMesh();

    QV::RenderData* mRenderData = nullptr;
    uint32_t mSegmentsX = 16;
    uint32_t mSegmentsY = 1;
    float mWidth = 0.0f;
    float mHeight = 0.0f;
    // Owned through the sprite manager when made from a description; else null.
    QV::Sprite* mSprite = nullptr;
    MeshTransformer* mTransformer = nullptr;
    // The picture's first frame in texels and its texture's size.
    float mFrameLeft = 0.0f, mFrameTop = 0.0f, mFrameRight = 0.0f, mFrameBottom = 0.0f;
    float mTextureWidth = 1.0f, mTextureHeight = 1.0f;
    std::vector<QV::Vector2<float>> mBase;
};

// Replaces every "#mesh:" node below the root (not searching inside one) with
// a playing mesh node; returns how many were replaced.
int replaceMeshPlaceholders(AE::ISceneNode* root);

// Marker-name readers of the placeholder conventions; exposed for tests.
namespace MeshMarkers {
// "#segments:8,2" -> 8 and 2: runs of digits and '-', one separator skipped.
bool readSegments(const std::string& name, int* x, int* y);
// The integer after "#location:" anywhere in the name.
bool readLocation(const std::string& name, int* location);
// The number after a key at the start of the name ("#speed:" -> 1.5).
bool readFloat(const std::string& name, const char* key, float* value);
}  // namespace MeshMarkers

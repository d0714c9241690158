#pragma once

#include <string>
#include <vector>

#include "color.h"
#include "matrix3.h"
#include "rect.h"
#include "vector2.h"

namespace QV {

class LuaScript2;
class RenderData;
class Texture;

// The single-quad sprite of glyphs and widget pictures: no mesh, no dirty
// flag (corners are recomputed at every draw), colour kept in the vertices.
// Owners write the fields directly, then reframe, recolour and draw.
// Created and deleted only through SpriteManager<FastSprite>.
class FastSprite {
public:
    // Vertex of each corner when walked in reading order (top-left,
    // top-right, bottom-left, bottom-right); vertices run clockwise.
    static const int kCornerOrder[4];

    FastSprite() = default;
    FastSprite(const FastSprite&) = delete;
    FastSprite& operator=(const FastSprite&) = delete;
    virtual ~FastSprite();

    void loadFromScript(const std::string& script, const std::string& table, const std::string& package);
    void parseTable(LuaScript2& script);
    void parseFrames(LuaScript2& script);
    // One quad over the whole texture; a null texture gives a white 32 x 32 quad.
    void initFromTexture(Texture* texture);
    void loadTexture(const std::string& image, const std::string& package);

    // Spreads frame 0 over the four vertices (restores them after clipped drawing).
    void updateTexCoords();
    void setSrcRect(uint32_t frame, const Rect& rect);
    Rect srcRect() const;
    void setColor(const Color& color);
    void draw();
    void drawTransformed(const Matrix3& matrix);

    Vector2<float> cornerPosition(int vertex) const;
    Vector2<float> cornerTexCoord(int vertex) const;
    Color cornerColor(int vertex) const;

    float mAngle = 0.0f;
    std::vector<Rect> mFrames;
    Vector2<float> mPosition;
    Vector2<float> mRotationCenter;
    Vector2<float> mScale = Vector2<float>(1.0f, 1.0f);
    Vector2<float> mSize;
    Rect mClipRect;
    bool mClip = false;
    bool mMirrorH = false;
    bool mMirrorV = false;
    float mInvTexWidth = 0.0f;
    float mInvTexHeight = 0.0f;
    RenderData* mRenderData = nullptr;
    float* mCorners[4] = {nullptr, nullptr, nullptr, nullptr};

private:
    void newRenderData();
    void bindCorners();
    void readInverseTextureSize();
    // Writes the corners' texture coordinates for this draw and hands the quad over.
    void submit(float shiftX, float shiftY, bool transformed);
    float* texCoordOf(int vertex) const;
};

}  // namespace QV

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "matrix3.h"
#include "rect.h"
#include "vector2.h"

namespace QV {

class Animation;
class LuaScript2;
class RenderData;
class Texture;
class XmlDataReader;

// A textured picture: a rectangle of a texture drawn at a position with
// scale, rotation about a centre, colour, mirroring, an optional clip
// rectangle and an optional mesh of cells whose grid points can be moved.
// Created and deleted only through SpriteManager<Sprite>.
class Sprite {
public:
    // Largest mesh a description may ask for, cells per side.
    static constexpr uint32_t kMaxMeshCells = 256;

    Sprite();
    Sprite(const Sprite& other);
    Sprite& operator=(const Sprite&) = delete;
    virtual ~Sprite();

    // Descriptions: a table of a Lua sprite script, an open table, an XML element.
    void loadFromScript(const std::string& script, const std::string& table, const std::string& package);
    // 0 on success; 1 (logged) when the script or the table cannot be opened.
    int tryLoadFromScript(const std::string& script, const std::string& table, const std::string& package);
    void parseTable(LuaScript2& script);
    void parseXml(XmlDataReader& reader);
    // One cell over the whole texture; a null texture gives a white 32 x 32 quad.
    void initFromTexture(Texture* texture);
    void loadTexture(const std::string& image, const std::string& package);

    void parseFrames(LuaScript2& script);
    void parseFrames(XmlDataReader& reader);
    void parseMesh(LuaScript2& script);
    void parseMesh(XmlDataReader& reader);
    void bindVertexPointers();

    // Geometry. Setters store every value but mark the sprite dirty only on
    // a change of 0.001 or more.
    void setPosition(float x, float y);
    void setPosition(const Vector2<float>& position) { setPosition(position.x, position.y); }
    void setScale(float x, float y);
    void setScale(const Vector2<float>& scale) { setScale(scale.x, scale.y); }
    void setAngle(float degrees);
    void setSize(const Vector2<float>& size);
    void setColor(const Color& color);
    void setSrcRect(uint32_t frame, const Rect& rect, bool apply);
    void setSrcRectNormalized(const Rect& rect);
    void setMeshVertex(const Vector2<float>& point, int32_t column, int32_t row);
    void setMeshTexCoord(const Vector2<float>& texels, int32_t column, int32_t row);
    Vector2<float>& meshTexCoord(int32_t column, int32_t row);
    void markDirty() { mDirty = true; }

    void rebuildMeshGrid();
    void initTexCoords();
    void updateTexCoords();
    // Places the grid from position, scale, angle and rotation centre when dirty.
    void updateVertices();
    // Places the grid through a node matrix; the next updateVertices replaces it.
    void setTransform(const Matrix3& matrix);
    // One quad per mesh cell through the render system.
    void draw();
    // Binds position, angle, scale, centre, colours, frame 0 and, for a
    // described mesh, every grid point to the animation's parameters.
    void bindAnimation(Animation* animation);

    uint32_t gridPointCount() const { return (mSizeX + 1) * (mSizeY + 1); }
    Vector2<float> vertexPosition(uint32_t point) const;
    Color vertexColor(uint32_t point) const;
    const Vector2<float>& getPosition() const { return mPosition; }
    const Vector2<float>& getScale() const { return mScale; }
    const Vector2<float>& getSize() const { return mSize; }
    float getAngle() const { return mAngle; }
    bool isDirty() const { return mDirty; }

    RenderData* mQuadData = nullptr;
    RenderData* mMeshData = nullptr;
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
    std::vector<Vector2<float>> mBasePoints;
    uint32_t mSizeX = 0;
    uint32_t mSizeY = 0;
    std::vector<float*> mPositionPointers;  // x, y, z of each grid point's vertex
    std::vector<Color*> mColorPointers;
    bool mDirty = true;
    bool mMeshDescribed = false;
    std::vector<Vector2<float>> mTexCoords;  // texels
    float mInvTexWidth = 0.0f;
    float mInvTexHeight = 0.0f;

private:
    void resetQuadData();
    void newMeshData(const Color& color);
    void finishTextures();
    uint32_t gridIndex(int32_t column, int32_t row) const;
    void setGridSize(uint32_t sizeX, uint32_t sizeY);
};

// The sprite's default clip rectangle.
inline Rect defaultClipRect() { return Rect(0.0f, 0.0f, 1024.0f, 768.0f); }

}  // namespace QV

#include <cmath>
#include <cstring>

#include "animation.h"
#include "format_string.h"
#include "function.h"
#include "render_data.h"
#include "render_system.h"
#include "report_assert.h"
#include "sprite.h"
#include "sprite_math.h"
#include "sprite_texture_access.h"
#include "vertex_format.h"

namespace QV {

namespace {

const float kDirtyThreshold = 0.001f;

// True when the change is 0.001 or more, or not a number.
bool moved(float before, float after) {
    const float difference = std::fabs(after - before);
    return !(difference < kDirtyThreshold);
}

}  // namespace

void Sprite::setPosition(float x, float y) {
    if (moved(mPosition.x, x) || moved(mPosition.y, y)) mDirty = true;
    mPosition = Vector2<float>(x, y);
}

void Sprite::setScale(float x, float y) {
    if (moved(mScale.x, x) || moved(mScale.y, y)) mDirty = true;
    mScale = Vector2<float>(x, y);
}

void Sprite::setAngle(float degrees) {
    if (moved(mAngle, degrees)) mDirty = true;
    mAngle = degrees;
}

void Sprite::setSize(const Vector2<float>& size) {
    if (moved(mSize.x, size.x) || moved(mSize.y, size.y)) mDirty = true;
    mSize = size;
    rebuildMeshGrid();
}

void Sprite::setColor(const Color& color) {
    for (Color* c : mColorPointers) *c = color;
}

void Sprite::setSrcRect(uint32_t frame, const Rect& rect, bool apply) {
    if (frame >= mFrames.size()) {
        frame = static_cast<uint32_t>(mFrames.size());
        mFrames.push_back(Rect());
    }
    mFrames[frame] = rect;
    if (apply) updateTexCoords();
}

void Sprite::setSrcRectNormalized(const Rect& rect) {
    if (mFrames.empty()) mFrames.push_back(Rect());
    Texture* first = (mQuadData && !mQuadData->mTextures.empty()) ? mQuadData->mTextures[0] : nullptr;
    // Without a texture there is no texel size to scale by: the frame stays.
    if (first) {
        const float w = float(spriteTextureWidth(first));
        const float h = float(spriteTextureHeight(first));
        mFrames[0] = Rect(rect.left * w, rect.top * h, rect.right * w, rect.bottom * h);
    }
    updateTexCoords();
}

uint32_t Sprite::gridIndex(int32_t column, int32_t row) const {
    const int64_t index = int64_t(row) * (int64_t(mSizeX) + 1) + column;
    if (index < 0 || index >= int64_t(mBasePoints.size()) || index >= int64_t(mTexCoords.size())) {
        QV_FATAL("Bad coordinates specified");
    }
    return static_cast<uint32_t>(index);
}

void Sprite::setMeshVertex(const Vector2<float>& point, int32_t column, int32_t row) {
    mBasePoints[gridIndex(column, row)] = point;
    mDirty = true;
}

void Sprite::setMeshTexCoord(const Vector2<float>& texels, int32_t column, int32_t row) {
    mTexCoords[gridIndex(column, row)] = texels;
    mDirty = true;
}

Vector2<float>& Sprite::meshTexCoord(int32_t column, int32_t row) { return mTexCoords[gridIndex(column, row)]; }

void Sprite::rebuildMeshGrid() {
    if (mSizeX == 0 || mSizeY == 0 || mBasePoints.size() < gridPointCount()) return;
    const float cellsX = float(mSizeX);
    const float cellsY = float(mSizeY);
    for (uint32_t r = 0; r <= mSizeY; ++r) {
        for (uint32_t c = 0; c <= mSizeX; ++c) {
            mBasePoints[r * (mSizeX + 1) + c] = Vector2<float>(mSize.x * float(c) / cellsX, float(r) * mSize.y / cellsY);
        }
    }
}

void Sprite::initTexCoords() {
    if (!mQuadData || mQuadData->mTextures.empty() || !mQuadData->mTextures[0]) return;
    if (mSizeX == 0 || mSizeY == 0 || mTexCoords.size() < gridPointCount()) return;
    const float w = float(spriteTextureWidth(mQuadData->mTextures[0]));
    const float h = float(spriteTextureHeight(mQuadData->mTextures[0]));
    for (uint32_t r = 0; r <= mSizeY; ++r) {
        for (uint32_t c = 0; c <= mSizeX; ++c) {
            mTexCoords[r * (mSizeX + 1) + c] = Vector2<float>(w * float(c) / float(mSizeX), float(r) * h / float(mSizeY));
        }
    }
}

void Sprite::updateTexCoords() {
    if (mFrames.empty() || mSizeX == 0 || mSizeY == 0 || mTexCoords.size() < gridPointCount()) return;
    const Rect& frame = mFrames[0];
    const float du = (frame.right - frame.left) / float(mSizeX);
    const float dv = (frame.bottom - frame.top) / float(mSizeY);
    for (uint32_t r = 0; r <= mSizeY; ++r) {
        for (uint32_t c = 0; c <= mSizeX; ++c) {
            mTexCoords[r * (mSizeX + 1) + c] = Vector2<float>(float(c) * du + frame.left, frame.top + float(r) * dv);
        }
    }
}

void Sprite::updateVertices() {
    if (!mDirty) return;
    const float cx = mRotationCenter.x + mPosition.x;
    const float cy = mPosition.y + mRotationCenter.y;
    const float a = mAngle * kSpriteDegreesToRadians;
    const float cosA = std::cos(a);
    const float sinA = std::sin(a);
    const size_t points = mPositionPointers.size() < mBasePoints.size() ? mPositionPointers.size() : mBasePoints.size();
    for (size_t i = 0; i < points; ++i) {
        const float x = mBasePoints[i].x * mScale.x + mPosition.x;
        const float y = mBasePoints[i].y * mScale.y + mPosition.y;
        float* position = mPositionPointers[i];
        position[0] = cx + (cosA * (x - cx) - sinA * (y - cy));
        position[1] = cy + (sinA * (x - cx) + cosA * (y - cy));
    }
    mDirty = false;
}

void Sprite::setTransform(const Matrix3& m) {
    const size_t points = mPositionPointers.size() < mBasePoints.size() ? mPositionPointers.size() : mBasePoints.size();
    for (size_t i = 0; i < points; ++i) {
        const Vector2<float> p = m.transformPoint(mBasePoints[i]);
        mPositionPointers[i][0] = p.x;
        mPositionPointers[i][1] = p.y;
    }
    mDirty = true;
}

Vector2<float> Sprite::vertexPosition(uint32_t point) const {
    if (point >= mPositionPointers.size()) return Vector2<float>();
    return Vector2<float>(mPositionPointers[point][0], mPositionPointers[point][1]);
}

Color Sprite::vertexColor(uint32_t point) const {
    if (point >= mColorPointers.size()) return Color();
    return *mColorPointers[point];
}

void Sprite::draw() {
    if (!mQuadData || mQuadData->vertexCount() < 4 || mSizeX == 0 || mSizeY == 0) return;
    if (mPositionPointers.size() < gridPointCount() || mTexCoords.size() < gridPointCount()) return;
    RenderSystem* renderer = RenderSystem::instance();
    const float sx = inverseScale(mScale.x);
    const float sy = inverseScale(mScale.y);
    const Rect frame = mFrames.empty() ? Rect() : mFrames[0];
    const float ax = texelsPerPixel(mSize.x, frame.right - frame.left) * sx;
    const float ay = texelsPerPixel(mSize.y, frame.bottom - frame.top) * sy;

    VertexLayout::update();
    const uint32_t stride = VertexLayout::stride();
    uint8_t* quad = mQuadData->vertexData();
    const uint32_t positionOffset = VertexLayout::positionOffset();
    const uint32_t colorOffset = VertexLayout::diffuseOffset();
    const uint32_t uvOffset = VertexLayout::texCoordOffset(0);
    const uint32_t row = mSizeX + 1;

    for (uint32_t r = 0; r < mSizeY; ++r) {
        for (uint32_t c = 0; c < mSizeX; ++c) {
            const uint32_t corners[4] = {r * row + c, r * row + c + 1, (r + 1) * row + c + 1, (r + 1) * row + c};
            float du = 0, dv = 0, dx = 0, dy = 0;
            if (mClip) {
                du = mTexCoords[corners[1]].x - mTexCoords[corners[0]].x;
                dv = mTexCoords[corners[3]].y - mTexCoords[corners[0]].y;
                dx = mPositionPointers[corners[1]][0] - mPositionPointers[corners[0]][0];
                dy = mPositionPointers[corners[3]][1] - mPositionPointers[corners[0]][1];
            }
            for (int j = 0; j < 4; ++j) {
                const uint32_t p = corners[j];
                const float* source = mPositionPointers[p];
                float x = source[0], y = source[1];
                const float z = source[2];
                float su = 0.0f, sv = 0.0f;
                if (mClip) {
                    const float clampedX = median(x, mClipRect.left, mClipRect.right);
                    const float clampedY = median(y, mClipRect.top, mClipRect.bottom);
                    if (std::fabs(dx) > 1e-10f) su = -(x - clampedX) * ax * du / dx;
                    if (std::fabs(dy) > 1e-10f) sv = -(y - clampedY) * ay * dv / dy;
                    x = clampedX;
                    y = clampedY;
                }
                float u = (mTexCoords[p].x + su) * mInvTexWidth;
                float v = (mTexCoords[p].y + sv) * mInvTexHeight;
                if (mMirrorH) u = 1.0f - u;
                if (mMirrorV) v = 1.0f - v;
                uint8_t* vertex = quad + size_t(j) * stride;
                const float position[3] = {x, y, z};
                std::memcpy(vertex + positionOffset, position, sizeof(position));
                std::memcpy(vertex + colorOffset, mColorPointers[p], sizeof(Color));
                const float uv[2] = {u, v};
                std::memcpy(vertex + uvOffset, uv, sizeof(uv));
            }
            renderer->draw(mQuadData);
        }
    }
}

void Sprite::bindAnimation(Animation* animation) {
    if (!animation) return;
    animation->bind("pos", &mPosition);
    animation->bind("angle", &mAngle);
    animation->bind("scale", &mScale);
    animation->bind("rotCenter", &mRotationCenter);
    // Arrays are bound by element: re-texturing or a new frame may
    // reallocate them while the animation lives on.
    animation->bindPointee("color", &mColorPointers, Animation::Container<Color>::kEvery);
    if (mFrames.empty()) mFrames.push_back(Rect());
    animation->bindElement("SrcRect0", &mFrames, 0);
    animation->addCallback("SrcRect0", new Function<Sprite>(this, &Sprite::updateTexCoords));
    for (const char* name : {"pos", "angle", "scale", "rotCenter"}) {
        animation->addCallback(name, new Function<Sprite>(this, &Sprite::markDirty));
    }
    if (!mMeshDescribed) return;
    const uint32_t points = gridPointCount();
    for (uint32_t i = 0; i < points && i < mColorPointers.size(); ++i) {
        animation->bindElement(formatString("p%i", int(i)), &mBasePoints, i);
        animation->bindPointee(formatString("c%i", int(i)), &mColorPointers, i);
        animation->bindElement(formatString("uv%i", int(i)), &mTexCoords, i);
        animation->addCallback(formatString("p%i", int(i)), new Function<Sprite>(this, &Sprite::markDirty));
        animation->addCallback(formatString("uv%i", int(i)), new Function<Sprite>(this, &Sprite::markDirty));
    }
}

}  // namespace QV

#include "fast_sprite.h"

#include <cmath>
#include <cstring>

#include "animation_lua_values.h"
#include "format_string.h"
#include "lua_script2.h"
#include "render_data.h"
#include "render_system.h"
#include "report_assert.h"
#include "sprite.h"
#include "sprite_description.h"
#include "sprite_math.h"
#include "sprite_texture_access.h"
#include "vertex_format.h"

namespace QV {

const int FastSprite::kCornerOrder[4] = {0, 1, 3, 2};

FastSprite::~FastSprite() { delete mRenderData; }

void FastSprite::newRenderData() {
    delete mRenderData;
    mRenderData = new RenderData();
    mRenderData->allocateVertices(4);  // zeroed: every z is 0
    for (float*& corner : mCorners) corner = nullptr;
}

void FastSprite::bindCorners() {
    VertexLayout::update();
    uint8_t* bytes = mRenderData->vertexData();
    for (int i = 0; i < 4; ++i) {
        mCorners[i] = reinterpret_cast<float*>(bytes + size_t(i) * VertexLayout::stride() +
                                               VertexLayout::positionOffset());
    }
}

void FastSprite::readInverseTextureSize() {
    Texture* first = mRenderData->mTextures.empty() ? nullptr : mRenderData->mTextures[0];
    const uint32_t w = spriteTextureWidth(first);
    const uint32_t h = spriteTextureHeight(first);
    mInvTexWidth = w ? 1.0f / float(w) : 0.0f;
    mInvTexHeight = h ? 1.0f / float(h) : 0.0f;
}

float* FastSprite::texCoordOf(int vertex) const {
    return reinterpret_cast<float*>(mRenderData->vertexData() + size_t(vertex) * VertexLayout::stride() +
                                    VertexLayout::texCoordOffset(0));
}

void FastSprite::loadFromScript(const std::string& script, const std::string& table, const std::string& package) {
    LuaScript2 lua(createLuaState());
    if (!lua.loadScript(script, package)) {
        QV_FATAL(formatString("Failed to load script '%s' from package '%s' ", script.c_str(), package.c_str()));
    }
    if (!lua.openTable(table.c_str())) {
        QV_FATAL(formatString("Failed to open table '%s' in script '%s' from package '%s' ", table.c_str(),
                              script.c_str(), package.c_str()));
    }
    parseTable(lua);
}

void FastSprite::parseFrames(LuaScript2& script) { parseSpriteFrames(script, mRenderData, mFrames); }

void FastSprite::parseTable(LuaScript2& script) {
    newRenderData();
    readLuaPair(script, "Pos", &mPosition);
    script.getBool("MirrorH", &mMirrorH);
    script.getBool("MirrorV", &mMirrorV);
    readLuaFloat(script, "Angle", &mAngle);
    Color color;
    if (!readLuaColorBytes(script, "Color", &color)) color = Color::fromBytes(255, 255, 255, 255);
    std::string blend;
    bool hasBlend = script.getString("BlendMode", &blend);
    applyBlendWord(mRenderData, hasBlend, blend);
    parseFrames(script);
    if (!readLuaPair(script, "Size", &mSize)) {
        mSize = Vector2<float>();
        if (!mRenderData->mTextures.empty() && mRenderData->mTextures[0] && !mFrames.empty()) {
            mSize = Vector2<float>(mFrames[0].width(), mFrames[0].height());
        }
    }
    if (!readLuaPair(script, "rotCenter", &mRotationCenter)) mRotationCenter = mSize * 0.5f;
    if (!readLuaRect(script, "ClipRect", &mClipRect)) mClipRect = defaultClipRect();
    bindCorners();
    readInverseTextureSize();
    setColor(color);
    updateTexCoords();
}

void FastSprite::initFromTexture(Texture* texture) {
    newRenderData();
    mPosition = Vector2<float>();
    mAngle = 0.0f;
    mMirrorH = mMirrorV = false;
    mRenderData->mBlendMode = 0;
    useWholeTexture(mRenderData, texture, mFrames);
    mSize = Vector2<float>(mFrames[0].width(), mFrames[0].height());
    mRotationCenter = mSize * 0.5f;
    mClipRect = defaultClipRect();
    bindCorners();
    readInverseTextureSize();
    setColor(Color::fromBytes(255, 255, 255, 255));
    updateTexCoords();
}

void FastSprite::loadTexture(const std::string& image, const std::string& package) {
    Texture* texture = requestSpriteTexture(image, package);
    if (!texture) QV_FATAL("Failed to load texture");
    initFromTexture(texture);
}

void FastSprite::updateTexCoords() {
    if (mFrames.empty() || !mRenderData || mRenderData->vertexCount() < 4) return;
    const Rect& f = mFrames[0];
    const float u[4] = {f.left * mInvTexWidth, f.right * mInvTexWidth, f.left * mInvTexWidth, f.right * mInvTexWidth};
    const float v[4] = {f.top * mInvTexHeight, f.top * mInvTexHeight, f.bottom * mInvTexHeight,
                        f.bottom * mInvTexHeight};
    for (int k = 0; k < 4; ++k) {
        float* uv = texCoordOf(kCornerOrder[k]);
        uv[0] = u[k];
        uv[1] = v[k];
    }
}

void FastSprite::setSrcRect(uint32_t frame, const Rect& rect) {
    if (frame >= mFrames.size()) {
        frame = static_cast<uint32_t>(mFrames.size());
        mFrames.push_back(Rect());
    }
    mFrames[frame] = rect;
    updateTexCoords();
}

Rect FastSprite::srcRect() const { return mFrames.empty() ? Rect() : mFrames[0]; }

void FastSprite::setColor(const Color& color) {
    if (!mRenderData || mRenderData->vertexCount() < 4) return;
    VertexLayout::update();
    for (int i = 0; i < 4; ++i) {
        std::memcpy(mRenderData->vertexData() + size_t(i) * VertexLayout::stride() + VertexLayout::diffuseOffset(),
                    &color, sizeof(Color));
    }
}

void FastSprite::submit(float shiftX, float shiftY, bool transformed) {
    if (mClip) {
        const float dxa = std::fabs(mCorners[1][0] - mCorners[0][0]);
        const float dya = std::fabs(mCorners[3][1] - mCorners[0][1]);
        updateTexCoords();
        for (int i = 0; i < 4; ++i) {
            float* p = mCorners[i];
            const float x = median(p[0], mClipRect.left, mClipRect.right);
            const float y = median(p[1], mClipRect.top, mClipRect.bottom);
            const float dx = -(p[0] - x);
            const float dy = -(p[1] - y);
            float su = 0.0f, sv = 0.0f;
            if (dxa > 1e-10f) su = transformed ? dx * shiftX * mInvTexWidth : dx * mInvTexWidth * shiftX;
            if (dya > 1e-10f) sv = transformed ? dy * shiftY * mInvTexHeight : dy * mInvTexHeight * shiftY;
            p[0] = x;
            p[1] = y;
            float* uv = texCoordOf(i);
            uv[0] += su;
            uv[1] += sv;
        }
    }
    // Mirroring acts on the drawn copy only; the stored coordinates stay unmirrored.
    float saved[4][2];
    const bool mirrored = mMirrorH || mMirrorV;
    if (mirrored) {
        for (int i = 0; i < 4; ++i) {
            float* uv = texCoordOf(i);
            saved[i][0] = uv[0];
            saved[i][1] = uv[1];
            if (mMirrorH) uv[0] = 1.0f - uv[0];
            if (mMirrorV) uv[1] = 1.0f - uv[1];
        }
    }
    RenderSystem::instance()->draw(mRenderData);
    if (mirrored) {
        for (int i = 0; i < 4; ++i) {
            float* uv = texCoordOf(i);
            uv[0] = saved[i][0];
            uv[1] = saved[i][1];
        }
    }
}

void FastSprite::draw() {
    if (!mRenderData || !mCorners[0]) return;
    const float cx = mRotationCenter.x + mPosition.x;
    const float cy = mRotationCenter.y + mPosition.y;
    // Turns of a degree or less draw unrotated.
    const bool rotate = std::fabs(mAngle) > 1.0f;
    float c = 1.0f, s = 0.0f;
    if (rotate) {
        const float a = mAngle * kSpriteDegreesToRadians;
        c = std::cos(a);
        s = std::sin(a);
    }
    const Rect frame = srcRect();
    const float ax = texelsPerPixel(mSize.x, frame.right - frame.left) * inverseScale(mScale.x);
    const float ay = texelsPerPixel(mSize.y, frame.bottom - frame.top) * inverseScale(mScale.y);
    const float w = mSize.x * mScale.x;
    const float h = mSize.y * mScale.y;
    const float xs[4] = {mPosition.x, mPosition.x + w, mPosition.x + w, mPosition.x};
    const float ys[4] = {mPosition.y, mPosition.y, mPosition.y + h, mPosition.y + h};
    for (int i = 0; i < 4; ++i) {
        float x = xs[i], y = ys[i];
        if (rotate) {
            const float rx = cx + (c * (x - cx) - s * (y - cy));
            const float ry = cy + (s * (x - cx) + c * (y - cy));
            x = rx;
            y = ry;
        }
        mCorners[i][0] = x;
        mCorners[i][1] = y;
    }
    submit(ax, ay, false);
}

void FastSprite::drawTransformed(const Matrix3& m) {
    if (!mRenderData || !mCorners[0]) return;
    const float w = mSize.x * mScale.x;
    const float h = mSize.y * mScale.y;
    const float xs[4] = {mPosition.x, mPosition.x + w, mPosition.x + w, mPosition.x};
    const float ys[4] = {mPosition.y, mPosition.y, mPosition.y + h, mPosition.y + h};
    for (int i = 0; i < 4; ++i) {
        const Vector2<float> p = m.transformPoint(Vector2<float>(xs[i], ys[i]));
        mCorners[i][0] = p.x;
        mCorners[i][1] = p.y;
    }
    // One texel per unit of distance (0 for a zero scale component).
    submit(mScale.x * inverseScale(mScale.x), mScale.y * inverseScale(mScale.y), true);
}

Vector2<float> FastSprite::cornerPosition(int vertex) const {
    if (!mCorners[vertex & 3]) return Vector2<float>();
    return Vector2<float>(mCorners[vertex & 3][0], mCorners[vertex & 3][1]);
}

Vector2<float> FastSprite::cornerTexCoord(int vertex) const {
    if (!mRenderData || mRenderData->vertexCount() < 4) return Vector2<float>();
    const float* uv = texCoordOf(vertex & 3);
    return Vector2<float>(uv[0], uv[1]);
}

Color FastSprite::cornerColor(int vertex) const {
    Color color;
    if (!mRenderData || mRenderData->vertexCount() < 4) return color;
    std::memcpy(&color, mRenderData->vertexData() + size_t(vertex & 3) * VertexLayout::stride() +
                            VertexLayout::diffuseOffset(),
                sizeof(Color));
    return color;
}

}  // namespace QV

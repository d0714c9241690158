#include "color.h"
#include "d3dx_math.h"
#include "mutex_lock.h"
#include "rect.h"
#include "render_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "texture.h"
#include "texture_manager.h"
#include "video_surface.h"

namespace QV {

namespace {

uint32_t nextPowerOfTwo(uint32_t v) {
    uint32_t p = 1;
    while (p < v && p < 0x80000000u) p <<= 1;
    return p;
}

int32_t textureFormatOf(int kind) {
    if (kind == VideoPlane::kLuma) return TF_L8;
    if (kind == VideoPlane::kChroma) return TF_A8L8;
    return TF_A8R8G8B8;
}

int32_t pixelKindOf(int kind) {
    if (kind == VideoPlane::kLuma) return TPK_L8;
    if (kind == VideoPlane::kChroma) return TPK_A8L8;
    return 2;  // red, green, blue, alpha bytes
}

}  // namespace

void VideoSurface::createTextures(VideoPlane& plane) {
    MutexLock lock(&mTextureMutex);
    TextureManager* textures = TextureManager::instancePointer();
    SpriteManager<Sprite>* sprites = SpriteManager<Sprite>::instancePointer();
    if (!textures || !sprites) return;
    const uint32_t tw = nextPowerOfTwo(plane.width);
    const uint32_t th = nextPowerOfTwo(plane.height);
    const Vector2<float> size(float(plane.width), float(plane.height));
    for (int i = 0; i < 3; ++i) {
        Texture* texture = textures->createEmptyTexture(tw, th, textureFormatOf(plane.kind));
        if (!texture) return;
        Sprite* sprite = sprites->createSpriteFromTexture(texture);
        if (!sprite) {
            textures->releaseTexture(texture);
            return;
        }
        sprite->setSrcRect(0, Rect(0.0f, 0.0f, size.x, size.y), true);
        sprite->setSize(size);
        plane.textures[i] = texture;
        plane.sprites[i] = sprite;
    }
    plane.ready = true;
}

void VideoSurface::releasePlane(VideoPlane& plane) {
    MutexLock textureLock(&mTextureMutex);
    MutexLock pixelLock(&mPixelMutex);
    TextureManager* textures = TextureManager::instancePointer();
    SpriteManager<Sprite>* sprites = SpriteManager<Sprite>::instancePointer();
    for (int i = 0; i < 3; ++i) {
        // A sprite holds its texture's reference; without managers both are gone already.
        if (plane.sprites[i]) {
            if (sprites) sprites->destroySprite(plane.sprites[i]);
        } else if (plane.textures[i] && textures) {
            textures->releaseTexture(plane.textures[i]);
        }
        plane.sprites[i] = nullptr;
        plane.textures[i] = nullptr;
    }
    plane.pixels.clear();
    plane.pixels.shrink_to_fit();
    plane.size = 0;
    plane.width = plane.height = 0;
    plane.dirty = false;
    plane.ready = false;
    plane.shown = false;
    plane.current = 0;
}

void VideoSurface::uploadPlanes() {
    MutexLock textureLock(&mTextureMutex);
    MutexLock pixelLock(&mPixelMutex);
    const int first = mShaderMode ? 1 : 0;
    const int last = mShaderMode ? 2 : 0;
    for (int i = first; i <= last; ++i) {
        VideoPlane& plane = mPlanes.planes[i];
        if (!plane.dirty) continue;
        if (plane.ready && plane.textures[plane.current]) {
            plane.current = (plane.current + 1) % 3;
            plane.textures[plane.current]->updatePixels(plane.pixels.data(), pixelKindOf(plane.kind), plane.width,
                                                        plane.height);
            plane.shown = true;
        }
        // Without textures the frame is dropped, so decoding and the end still come.
        plane.dirty = false;
    }
}

void VideoSurface::draw() {
    MutexLock lock(&mTextureMutex);
    if (!mShaderMode) {
        VideoPlane& plane = mPlanes.planes[0];
        if (!plane.ready || !plane.shown) return;
        Sprite* sprite = plane.sprites[plane.current];
        sprite->updateVertices();
        sprite->draw();
        return;
    }
    drawShaded();
}

void VideoSurface::drawShaded() {
    VideoPlane& lumaPlane = mPlanes.planes[1];
    VideoPlane& chromaPlane = mPlanes.planes[2];
    RenderSystem* render = RenderSystem::instancePointer();
    if (!render || !mProgram.mUsable || !lumaPlane.ready || !chromaPlane.ready) return;
    if (!lumaPlane.shown || !chromaPlane.shown) return;
    Sprite* luma = lumaPlane.sprites[lumaPlane.current];
    Sprite* chroma = chromaPlane.sprites[chromaPlane.current];
    Texture* chromaTexture = chromaPlane.textures[chromaPlane.current];
    const float cw = float(chromaTexture->getWidth());
    const float ch = float(chromaTexture->getHeight());
    // The chroma texture is addressed through the luma quad's vertex colour.
    for (int32_t j = 0; j < 2; ++j) {
        for (int32_t i = 0; i < 2; ++i) {
            const Vector2<float>& texel = chroma->meshTexCoord(i, j);
            const uint32_t point = uint32_t(j) * 2 + uint32_t(i);
            if (point < luma->mColorPointers.size()) {
                *luma->mColorPointers[point] = Color(texel.x / cw, texel.y / ch, 1.0f, 1.0f);
            }
        }
    }
    Matrix4 transform = render->getShaderViewProjection();
    Gfx::IDevice* device = render->getDevice();
    render->bindShaderProgram(&mProgram);
    if (device) {
        device->setTexture(1, chromaTexture->getHandle());
        device->setVertexShaderConstant(0, &transform, 4);
    }
    luma->updateVertices();
    luma->draw();
    render->unbindShaderProgram();
    if (device) device->setTexture(1, nullptr);
}

void VideoSurface::setPosition(const Vector2<float>& position) {
    MutexLock lock(&mTextureMutex);
    VideoPlane& plane = mPlanes.planes[mShaderMode ? 1 : 0];
    for (Sprite* sprite : plane.sprites) {
        if (sprite) sprite->setPosition(position);
    }
}

void VideoSurface::setSize(const Vector2<float>& size) {
    MutexLock lock(&mTextureMutex);
    VideoPlane& plane = mPlanes.planes[mShaderMode ? 1 : 0];
    for (Sprite* sprite : plane.sprites) {
        if (sprite) sprite->setSize(size);
    }
}

Vector2<float> VideoSurface::frameSize() {
    MutexLock lock(&mTextureMutex);
    VideoPlane& plane = mPlanes.planes[mShaderMode ? 1 : 0];
    Sprite* sprite = plane.sprites[plane.current];
    if (!sprite) return Vector2<float>(1.0f, 1.0f);
    return sprite->getSize();
}

Texture* VideoSurface::currentTexture(int plane) {
    MutexLock lock(&mTextureMutex);
    if (plane < 0 || plane > 2) return nullptr;
    return mPlanes.planes[plane].textures[mPlanes.planes[plane].current];
}

Sprite* VideoSurface::currentSprite(int plane) {
    MutexLock lock(&mTextureMutex);
    if (plane < 0 || plane > 2) return nullptr;
    return mPlanes.planes[plane].sprites[mPlanes.planes[plane].current];
}

}  // namespace QV

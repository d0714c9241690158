#include "config_manager.h"
#include "particle_emitter.h"
#include "particle_tail.h"
#include "render_data.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "xml_cached_files_manager.h"
#include "xml_data_reader.h"

namespace QV {

namespace {

SpriteManager<Sprite>* spriteManager() { return Singleton<SpriteManager<Sprite>>::instancePointer(); }

}  // namespace

Sprite* ParticleEmitter::loadSprite() {
    SpriteManager<Sprite>* manager = spriteManager();
    if (!manager) return nullptr;
    const char* table = mSpriteTableName.c_str();
    // The platform's own sprite file first, then the shared one.
    XmlDataReader* document = XmlCachedFilesManager::getDocument(gCurrentPlatformName, mSpriteFileName);
    if (!document || !document->hasChild(table)) {
        if (document) XmlCachedFilesManager::releaseDocument(document);
        document = XmlCachedFilesManager::getDocument("default", mSpriteFileName);
    }
    Sprite* sprite = nullptr;
    if (document && document->gotoChild(table)) {
        sprite = manager->createSpriteFromXml(*document);
        document->gotoParent();
    } else {
        // A Lua sprite table; found nowhere, the emitter goes without a sprite.
        sprite = manager->loadSprite(mSpriteFileName, mSpriteTableName, "default");
    }
    if (document) XmlCachedFilesManager::releaseDocument(document);
    return sprite;
}

void ParticleEmitter::render(const Vector2<float>& offset) {
    if (!mSprite || !mParticles) return;
    Sprite& sprite = *mSprite;
    if (sprite.mQuadData) sprite.mQuadData->mBlendMode = mBlendMode;
    if (sprite.mMeshData) sprite.mMeshData->mBlendMode = mBlendMode;
    const Vector2<float> size = sprite.getSize();
    for (int i = 0; i < mPoolSize; ++i) {
        const Particle& p = mParticles[i];
        if (p.free) continue;
        ParticleQuad quad = buildQuad(p, offset, size);
        sprite.setColor(quad.color);
        if (!mUseTails) {
            sprite.mRotationCenter = quad.halfSize;
            sprite.setPosition(quad.position);
            sprite.setScale(quad.scale);
            sprite.setAngle(quad.angle);
            sprite.markDirty();  // the centre moved with the particle's scale
            sprite.updateVertices();
            sprite.draw();
        } else if (p.tail) {
            // Trail corners are world points: the sprite adds nothing to them.
            sprite.mRotationCenter = Vector2<float>();
            sprite.setPosition(Vector2<float>());
            sprite.setScale(1.0f, 1.0f);
            sprite.setAngle(0.0f);
            p.tail->draw();
        }
    }
}

void ParticleEmitter::rebuildSpriteMesh() {
    if (mSprite) mSprite->rebuildMeshGrid();
}

void ParticleEmitter::takeTailFrameFromSprite() {
    Rect frame;
    if (mSprite && !mSprite->mFrames.empty()) frame = mSprite->mFrames[0];
    mTailSettings.frameWidth = frame.right - frame.left;
    mTailSettings.frameHeight = frame.bottom - frame.top;
    mTailSettings.frameLeft = frame.left;
    mTailSettings.frameTop = frame.top;
}

void ParticleEmitter::cloneSpriteFrom(const ParticleEmitter& source) {
    SpriteManager<Sprite>* manager = spriteManager();
    mSprite = source.mSprite && manager ? manager->cloneSprite(source.mSprite) : nullptr;
}

void ParticleEmitter::releaseSprite() {
    if (mSprite) {
        if (SpriteManager<Sprite>* manager = spriteManager()) manager->destroySprite(mSprite);
    }
    mSprite = nullptr;
}

void ParticleTail::draw() {
    if (mCount < 2 || !mSprite || !mSettings || !mSegments) return;
    if (mSprite->mSizeX < 1 || mSprite->mSizeY < 1) return;
    const ParticleTailSettings& s = *mSettings;
    const float top = s.frameTop;
    const float bottom = s.frameTop + s.frameHeight;
    for (int i = mCount - 1; i >= 0; --i) {
        const Segment& seg = segment(mHead - i);
        mSprite->setMeshVertex(seg.corners[0], 0, 0);
        mSprite->setMeshTexCoord(Vector2<float>(seg.u0 + s.frameLeft, top), 0, 0);
        mSprite->setMeshVertex(seg.corners[1], 1, 0);
        mSprite->setMeshTexCoord(Vector2<float>(seg.u1 + s.frameLeft, top), 1, 0);
        mSprite->setMeshVertex(seg.corners[2], 1, 1);
        mSprite->setMeshTexCoord(Vector2<float>(seg.u1 + s.frameLeft, bottom), 1, 1);
        mSprite->setMeshVertex(seg.corners[3], 0, 1);
        mSprite->setMeshTexCoord(Vector2<float>(seg.u0 + s.frameLeft, bottom), 0, 1);
        mSprite->updateVertices();
        mSprite->draw();
    }
}

}  // namespace QV

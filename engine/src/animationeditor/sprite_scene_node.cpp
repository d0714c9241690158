#include "animationeditor/sprite_scene_node.h"

#include "animation.h"
#include "animation_lua_values.h"
#include "animationeditor/frame_data.h"
#include "animationeditor/scene_content.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/scene_transform.h"
#include "file_system.h"
#include "lua_script2.h"
#include "render_data.h"
#include "render_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "xml_cached_files_manager.h"
#include "xml_data_reader.h"

namespace AE {

namespace {

QV::SpriteManager<QV::Sprite>* sprites() { return QV::SpriteManager<QV::Sprite>::instance(); }

QV::Rect spriteFrameZero(const QV::Sprite* sprite) {
    return sprite->mFrames.empty() ? QV::Rect() : sprite->mFrames[0];
}

// The rectangles of "Animation"/"Frames" under the table; empty when any part is missing.
std::vector<QV::Rect> luaFrameRects(const std::string& script, const std::string& table) {
    std::vector<QV::Rect> rects;
    QV::LuaScript2 lua(QV::createLuaState());
    if (!lua.loadScript(script, "default")) return rects;
    if (!lua.openTable(table.c_str())) return rects;
    if (lua.openTable("Animation")) {
        if (lua.openTable("Frames")) {
            lua_State* L = lua.state();
            for (int i = 1;; ++i) {
                lua_rawgeti(L, -1, i);
                if (!lua_istable(L, -1)) {
                    lua_pop(L, 1);
                    break;
                }
                lua.openTopTable();
                QV::Rect rect;
                QV::readLuaRect(lua, "SrcRect0", &rect);
                rects.push_back(rect);
                lua.closeTable();
                lua_pop(L, 1);
            }
            lua.closeTable();
        }
        lua.closeTable();
    }
    lua.closeTable();
    return rects;
}

std::vector<QV::Rect> xmlFrameRects(QV::XmlDataReader& reader, pugi::xml_node table) {
    std::vector<QV::Rect> rects;
    pugi::xml_node frames = table.child("Animation").child("Frames");
    for (pugi::xml_node frame = frames.first_child(); frame; frame = frame.next_sibling()) {
        if (frame.type() != pugi::node_element) continue;
        reader.setCurrentNode(frame);
        QV::Rect rect;
        reader.readRect("SrcRect0", &rect);
        rects.push_back(rect);
    }
    return rects;
}

}  // namespace

SpriteSceneNode::SpriteSceneNode()
    : mSprite(sprites()->createSpriteFromTexture(nullptr)), mFrames(new QV::Animation()) {
    bindSpriteParameters(false);
}

SpriteSceneNode::SpriteSceneNode(const SpriteSceneNode& source, ISceneNode* parent)
    : ISceneNode(source, parent),
      mBlendMode(source.mBlendMode),
      mDistortion(source.mDistortion),
      mFrames(new QV::Animation()),
      mSrcRect(source.mSrcRect),
      mAnimFrameIndex(source.mAnimFrameIndex),
      mClipEnabled(source.mClipEnabled),
      mClipRect(source.mClipRect),
      mUseStencil(source.mUseStencil) {
    if (source.mSprite) {
        mSprite = sprites()->cloneSprite(source.mSprite);
    } else {
        mSprite = sprites()->createSpriteFromTexture(nullptr);
        mSprite->loadTexture(mFileName, "default");
    }
    bindSpriteParameters(source.mAnimFrameIndex);
    for (size_t i = 0; i < source.frameCount(); ++i) appendFrame(source.frameRect(i), source.mFrameSources[i]);
}

SpriteSceneNode::~SpriteSceneNode() {
    delete mFrames;
    if (mOwnsSprite) sprites()->destroySprite(mSprite);
}

void SpriteSceneNode::bindSpriteParameters(bool interpolateFrameIndex) {
    mTimeline->bindInt("blendMode", &mBlendMode, false);
    mTimeline->bindInt("frameIndex", &mFrameIndex, interpolateFrameIndex);
    mTimeline->bindBool("animFrameIndex", &mAnimFrameIndex);
    mTimeline->bindVector2("texPos", &mTexPos);
    mTimeline->bindBool("clipEnabled", &mClipEnabled);
    mTimeline->bindFloat("clipRectL", &mClipRect.left);
    mTimeline->bindFloat("clipRectR", &mClipRect.right);
    mTimeline->bindFloat("clipRectT", &mClipRect.top);
    mTimeline->bindFloat("clipRectB", &mClipRect.bottom);
    mFrameIndexInterpolation =
        &SceneNodeAnimation::findContainer<int>(mTimeline->mContainers, "frameIndex")->mInterpolate;
    mFrames->bind<QV::Rect>("srcRect", &mSrcRect);
}

size_t SpriteSceneNode::frameCount() const { return mFrames->frameCount(); }

QV::Rect SpriteSceneNode::frameRect(size_t index) const {
    return mFrames->keyValue<QV::Rect>("srcRect", static_cast<uint32_t>(index));
}

void SpriteSceneNode::appendFrame(const QV::Rect& rect, int32_t source) {
    mFrames->addFrame(0.0f);
    mFrames->keyValue<QV::Rect>("srcRect", mFrames->frameCount() - 1) = rect;
    mFrameSources.push_back(source);
}

void SpriteSceneNode::takeFrameZero() { mSrcRect = spriteFrameZero(mSprite); }

// Pictures.

void SpriteSceneNode::setSprite(QV::Sprite* sprite) {
    if (sprite == mSprite) return;
    if (mSprite && mOwnsSprite) sprites()->destroySprite(mSprite);
    mSprite = sprite;
    if (mSprite) takeFrameZero();
}

void SpriteSceneNode::loadSprite(const std::string& fileName, const std::string& tableName) {
    if (mSprite) sprites()->destroySprite(mSprite);
    mSprite = nullptr;
    if (contentVersion > 0) {
        QV::XmlDataReader* reader = QV::XmlCachedFilesManager::getDocument(currentLanguagePackage(), fileName);
        pugi::xml_node table = reader ? reader->getCurrentNode().child(tableName.c_str()) : pugi::xml_node();
        if (table) {
            reader->setCurrentNode(table);
            mSprite = sprites()->createSpriteFromXml(*reader);
        }
        if (reader) QV::XmlCachedFilesManager::releaseDocument(reader);
    }
    if (!mSprite) mSprite = sprites()->loadSprite(fileName, tableName, "default");
    if (!mSprite) return;
    mFileName = fileName;
    mResourceName = tableName;
    takeFrameZero();
}

bool SpriteSceneNode::loadImage(const std::string& imageName) {
    const std::string package = packageHolding(imageName);
    QV::FileSystem* files = QV::Singleton<QV::FileSystem>::instancePointer();
    // A picture that no package lists leaves the node without a sprite, so
    // the loader can drop it instead of stopping the program.
    if (!files || !files->hasFile(package, imageName)) {
        sprites()->destroySprite(mSprite);
        mSprite = nullptr;
        return false;
    }
    if (!mSprite) mSprite = sprites()->createSpriteFromTexture(nullptr);
    mSprite->loadTexture(imageName, package);
    mFileName = imageName;
    mSrcRect = QV::Rect(0.0f, 0.0f, mSprite->getSize().x, mSprite->getSize().y);
    return true;
}

void SpriteSceneNode::loadFrames(const FrameRange& range, const std::string& tableName) {
    std::vector<QV::Rect> rects;
    bool fromXml = false;
    if (contentVersion > 0) {
        QV::XmlDataReader* reader = QV::XmlCachedFilesManager::getDocument(currentLanguagePackage(), mFileName);
        if (reader) {
            pugi::xml_node table = reader->getCurrentNode().child(tableName.c_str());
            if (table) {
                rects = xmlFrameRects(*reader, table);
                fromXml = true;
            }
            QV::XmlCachedFilesManager::releaseDocument(reader);
        }
    }
    if (!fromXml) rects = luaFrameRects(mFileName, tableName);
    const int32_t n = static_cast<int32_t>(rects.size());
    if (n == 0) return;
    const int32_t last = range.last == 0 ? n - 1 : range.last;
    // Indices outside the description and steps that would never end are left out.
    if (range.first < 0 || range.first >= n || range.step <= 0) return;
    mSrcRect = rects[static_cast<size_t>(range.first)];
    for (int32_t i = range.first; i <= last && i < n; i += range.step) appendFrame(rects[static_cast<size_t>(i)], i);
}

// Per frame.

void SpriteSceneNode::updateDerived(float dt) {
    ISceneNode::updateDerived(dt);
    if (!mSprite) return;
    if (mFrameIndex >= 0 && static_cast<size_t>(mFrameIndex) < frameCount())
        mSrcRect = frameRect(static_cast<size_t>(mFrameIndex));
    mDrawRect = QV::Rect(mSrcRect.left + mTexPos.x, mSrcRect.top + mTexPos.y, mSrcRect.right + mTexPos.x,
                         mSrcRect.bottom + mTexPos.y);
    if (mSprite->mQuadData) mSprite->mQuadData->mBlendMode = mBlendMode;
    *mFrameIndexInterpolation = mAnimFrameIndex;
}

QV::Vector2<float> SpriteSceneNode::getWorldPosition() const {
    return QV::Vector2<float>(mWorldMatrix.m20, mWorldMatrix.m21);
}

QV::Vector2<float> SpriteSceneNode::getSize() const {
    return mSprite ? mSprite->getSize() : QV::Vector2<float>(0.0f, 0.0f);
}

void SpriteSceneNode::setSize(const QV::Vector2<float>& size) {
    if (mSprite) mSprite->setSize(size);
}

bool SpriteSceneNode::hitTest(int x, int y, bool visibleOnly) {
    if (visibleOnly && mWorldColor.a == 0) return false;
    if (!mSprite || mScale.x < 0.0001f || mScale.y < 0.0001f) return false;
    const QV::Matrix3& m = mWorldMatrix;
    const QV::Vector2<float> size = getSize();
    const QV::Vector2<float> a(m.m00 * size.x, m.m01 * size.x);
    const QV::Vector2<float> b(m.m10 * size.y, m.m11 * size.y);
    const QV::Vector2<float> d(static_cast<float>(x) - m.m20, static_cast<float>(y) - m.m21);
    const QV::Vector2<float> uv = basisCoordinates(a, b, d);
    if (uv.x >= 0.0f && uv.x <= 1.0f && uv.y >= 0.0f && uv.y <= 1.0f) return true;
    return ISceneNode::hitTest(x, y, visibleOnly);
}

// Drawing.

SpriteSceneNode* findStencilMask(ISceneNode* node) {
    for (ISceneNode* n = node->mParent; n; n = n->mParent) {
        if (n->getType() != kSpriteNode) continue;
        SpriteSceneNode* sprite = static_cast<SpriteSceneNode*>(n);
        if (sprite->mUseStencil == kStencilMask) return sprite;
    }
    return nullptr;
}

SpriteSceneNode* beginMaskedDraw(ISceneNode* node) {
    SpriteSceneNode* mask = findStencilMask(node);
    if (!mask) return nullptr;
    QV::RenderSystem* renderer = QV::RenderSystem::instance();
    if (mask != currentClipNode()) {
        renderer->clearStencil();
        SpriteSceneNode::drawStencilMask(mask);
    }
    renderer->beginStencilTest();
    return mask;
}

void SpriteSceneNode::drawStencilMask(SpriteSceneNode* mask) {
    if (!mask || mask->mUseStencil != kStencilMask) return;
    QV::RenderSystem* renderer = QV::RenderSystem::instance();
    renderer->beginStencilWrite();
    if (mask->mSprite) {
        mask->mSprite->setTransform(mask->mWorldMatrix);
        mask->mSprite->draw();
    }
    renderer->flush();
    renderer->endStencil();
    const uint8_t* saved = renderer->getSavedColorWriteMask();
    renderer->setColorWriteMask(saved[0] != 0, saved[1] != 0, saved[2] != 0, saved[3] != 0);
    setCurrentClipNode(mask);
}

void SpriteSceneNode::draw() {
    if (!mSprite || !mEnabled || mWorldColor.a <= 1) return;
    mSprite->setSrcRect(0, mDrawRect, true);
    mSprite->mRotationCenter = QV::Vector2<float>(0.0f, 0.0f);
    if (mSprite->mClip != mClipEnabled) {
        mSprite->mClip = mClipEnabled;
        mSprite->markDirty();
    }
    if (mClipEnabled) {
        const QV::Matrix3& m = mWorldMatrix;
        const QV::Vector2<float> a = m.transformPoint(QV::Vector2<float>(mClipRect.left, mClipRect.top));
        const QV::Vector2<float> b = m.transformPoint(QV::Vector2<float>(mClipRect.right, mClipRect.bottom));
        mSprite->mClipRect = QV::Rect(a.x, a.y, b.x, b.y);
    }
    applyCameraView();
    mSprite->setColor(mWorldColor);
    if (mBlendMode >= 0 && mBlendMode <= 3 && mSprite->mQuadData) mSprite->mQuadData->mBlendMode = mBlendMode;
    QV::RenderSystem* renderer = QV::RenderSystem::instance();
    if (mUseStencil == kStencilMasked) beginMaskedDraw(this);
    if (mDistortion) renderer->beginDistortion();
    if (mUseStencil != kStencilMask) {
        mSprite->setTransform(mWorldMatrix);
        mSprite->draw();
    }
    if (mUseStencil == kStencilMasked) renderer->endStencil();
    if (mDistortion) renderer->endDistortion();
}

// Keys.

void SpriteSceneNode::setKeyValues(float x, float y, float posZ, float rotation, float scaleX, float scaleY,
                                   const QV::Color& color, int blendMode, float pivotX, float pivotY, int frameIndex,
                                   float texX, float texY, const QV::Matrix3& shear, bool animFrameIndex,
                                   bool clipEnabled, const QV::Rect& clipRect, int frame) {
    ISceneNode::setKeyValues(frame, x, y, posZ, rotation, scaleX, scaleY, color, shear,
                             QV::Vector2<float>(pivotX, pivotY));
    NodeTimeline& t = *mTimeline;
    const int k = t.keyFrameIndex(frame);
    t.getIntKey("blendMode", k).value = blendMode;
    t.getIntKey("frameIndex", k).value = frameIndex;
    t.getVector2Key("texPos", k).value = QV::Vector2<float>(texX, texY);
    t.getBoolKey("animFrameIndex", k).value = animFrameIndex;
    t.getBoolKey("clipEnabled", k).value = clipEnabled;
    t.getFloatKey("clipRectL", k).value = clipRect.left;
    t.getFloatKey("clipRectR", k).value = clipRect.right;
    t.getFloatKey("clipRectT", k).value = clipRect.top;
    t.getFloatKey("clipRectB", k).value = clipRect.bottom;
}

void SpriteSceneNode::addKeyFrame(int frame) {
    setKeyValues(mPosition.x, mPosition.y, mPosZ, mRotation, mScale.x, mScale.y, mColor, mBlendMode, mPivotPoint.x,
                 mPivotPoint.y, mFrameIndex, mTexPos.x, mTexPos.y, mShear, mAnimFrameIndex, mClipEnabled, mClipRect,
                 frame);
}

void SpriteSceneNode::storeKeyFrame(int frame, const IFrameData& data) {
    ISceneNode::storeKeyFrame(frame, data);
    NodeTimeline& t = *mTimeline;
    const int k = t.keyFrameIndex(frame);
    int blend = mBlendMode, index = mFrameIndex;
    QV::Vector2<float> tex = mTexPos;
    bool clip = mClipEnabled;
    QV::Rect rect = mClipRect;
    if (const SpriteFrameData* sprite = dynamic_cast<const SpriteFrameData*>(&data)) {
        blend = sprite->blendMode;
        index = sprite->frameIndex;
        tex = sprite->texPos;
        clip = sprite->clipEnabled;
        rect = sprite->clipRect;
    } else if (k > 0) {
        blend = t.getIntKey("blendMode", k - 1).value;
        index = t.getIntKey("frameIndex", k - 1).value;
        tex = t.getVector2Key("texPos", k - 1).value;
        clip = t.getBoolKey("clipEnabled", k - 1).value;
        rect = QV::Rect(t.getFloatKey("clipRectL", k - 1).value, t.getFloatKey("clipRectT", k - 1).value,
                        t.getFloatKey("clipRectR", k - 1).value, t.getFloatKey("clipRectB", k - 1).value);
    }
    t.getIntKey("blendMode", k).value = blend;
    t.getIntKey("frameIndex", k).value = index;
    t.getVector2Key("texPos", k).value = tex;
    t.getBoolKey("clipEnabled", k).value = clip;
    t.getFloatKey("clipRectL", k).value = rect.left;
    t.getFloatKey("clipRectR", k).value = rect.right;
    t.getFloatKey("clipRectT", k).value = rect.top;
    t.getFloatKey("clipRectB", k).value = rect.bottom;
}

ISceneNode* SpriteSceneNode::clone(ISceneNode* parent) const { return new SpriteSceneNode(*this, parent); }

IFrameData* SpriteSceneNode::createFrameData(int frame, bool world) { return new SpriteFrameData(this, frame, world); }

}  // namespace AE

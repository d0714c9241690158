// Node snapshots and binary snapshots of the sprite, text, particle and sound kinds.
#include "animation.h"
#include "animationeditor/particle_scene_node.h"
#include "animationeditor/sound_scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "animationeditor/vector_stream.h"
#include "particle_system.h"
#include "sound_system/sound_manager.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "ui/ui_font_manager.h"

namespace AE {

namespace {

bool readFlag(DataStream& stream) { return readValue<uint8_t>(stream) != 0; }
void writeFlag(DataStream& stream, bool value) { writeValue(stream, static_cast<uint8_t>(value ? 1 : 0)); }

}  // namespace

// Sprite.

ISceneNodeData* SpriteSceneNode::createNodeData(bool relative) {
    SpriteSceneNodeData* data = new SpriteSceneNodeData();
    fillNodeData(*data, relative);
    return data;
}

void SpriteSceneNode::fillNodeData(ISceneNodeData& base, bool relative) {
    ISceneNode::fillNodeData(base, relative);
    SpriteSceneNodeData* data = dynamic_cast<SpriteSceneNodeData*>(&base);
    if (!data) return;
    data->blendMode = mBlendMode;
    data->frameIndex = mFrameIndex;
    data->texPos = mTexPos;
    data->srcRect = mSrcRect;
    data->drawRect = mDrawRect;
    data->frameCount = static_cast<int32_t>(frameCount());
    data->distortion = mDistortion;
    data->useStencil = mUseStencil;
    data->frames.clear();
    for (size_t i = 0; i < frameCount(); ++i) data->frames.push_back({0, frameRect(i)});
    data->clipEnabled = mClipEnabled;
    data->clipRect = mClipRect;
}

void SpriteSceneNode::applyNodeData(const ISceneNodeData& base) {
    ISceneNode::applyNodeData(base);
    const SpriteSceneNodeData* data = dynamic_cast<const SpriteSceneNodeData*>(&base);
    if (!data) return;
    mBlendMode = data->blendMode;
    mFrameIndex = data->frameIndex;
    mTexPos = data->texPos;
    mSrcRect = data->srcRect;
    mDrawRect = data->drawRect;
    mDistortion = data->distortion;
    mUseStencil = data->useStencil;
    mClipEnabled = data->clipEnabled;
    mClipRect = data->clipRect;
    mFrames->clearFrames();
    mFrameSources.clear();
    for (size_t i = 0; i < data->frames.size(); ++i) appendFrame(data->frames[i].rect, static_cast<int32_t>(i));
}

void SpriteSceneNode::write(DataStream& stream, bool relative) {
    ISceneNode::write(stream, relative);
    writeValue(stream, mBlendMode);
    writeFlag(stream, mDistortion);
    writeValue(stream, static_cast<uint32_t>(frameCount()));
    for (size_t i = 0; i < frameCount(); ++i) writeValue(stream, frameRect(i));
    writeValue(stream, mFrameIndex);
    writeValue(stream, mTexPos);
    writeValue(stream, mSrcRect);
    writeValue(stream, mDrawRect);
    writeIntVector(stream, mFrameSources);
    writeValue(stream, mUseStencil);
    writeFlag(stream, mAnimFrameIndex);
    writeFlag(stream, mClipEnabled);
    writeValue(stream, mClipRect.left);
    writeValue(stream, mClipRect.right);
    writeValue(stream, mClipRect.top);
    writeValue(stream, mClipRect.bottom);
}

void SpriteSceneNode::read(DataStream& stream) {
    ISceneNode::read(stream);
    mBlendMode = readValue<int32_t>(stream);
    mDistortion = readFlag(stream);
    const uint32_t n = readValue<uint32_t>(stream);
    std::vector<QV::Rect> rects;
    // Each rectangle is read before it is kept, so a bad count ends at the stream's range check.
    for (uint32_t i = 0; i < n; ++i) rects.push_back(readValue<QV::Rect>(stream));
    mFrameIndex = readValue<int32_t>(stream);
    mTexPos = readValue<QV::Vector2<float>>(stream);
    mSrcRect = readValue<QV::Rect>(stream);
    mDrawRect = readValue<QV::Rect>(stream);
    std::vector<int32_t> sources;
    readIntVector(sources, stream);
    mUseStencil = readValue<int32_t>(stream);
    mAnimFrameIndex = readFlag(stream);
    mClipEnabled = readFlag(stream);
    mClipRect.left = readValue<float>(stream);
    mClipRect.right = readValue<float>(stream);
    mClipRect.top = readValue<float>(stream);
    mClipRect.bottom = readValue<float>(stream);
    mFrames->clearFrames();
    mFrameSources.clear();
    for (uint32_t i = 0; i < n; ++i) appendFrame(rects[i], i < sources.size() ? sources[i] : static_cast<int32_t>(i));
    QV::SpriteManager<QV::Sprite>* manager = QV::SpriteManager<QV::Sprite>::instance();
    manager->destroySprite(mSprite);
    if (mResourceName == "default") {
        mSprite = manager->createSpriteFromTexture(nullptr);
        mSprite->loadTexture(mFileName, "default");
    } else {
        mSprite = manager->loadSprite(mFileName, mResourceName, "default");
    }
}

// Text.

ISceneNodeData* TextSceneNode::createNodeData(bool relative) {
    TextSceneNodeData* data = new TextSceneNodeData();
    fillNodeData(*data, relative);
    return data;
}

void TextSceneNode::fillNodeData(ISceneNodeData& base, bool relative) {
    ISceneNode::fillNodeData(base, relative);
    TextSceneNodeData* data = dynamic_cast<TextSceneNodeData*>(&base);
    if (!data) return;
    data->textArea = mTextArea;
    data->wordWrap = mWordWrap;
    data->clipping = mClipping;
    data->xcoeff = mXCoeff;
    data->ycoeff = mYCoeff;
    data->valign = mVAlign;
    data->halign = mHAlign;
    data->clipLT = mClipLT;
    data->clipRB = mClipRB;
    data->pixelPrecise = mPixelPrecise;
    data->maxChar = mMaxChar;
    data->translate = mTranslate;
    data->usePreset = mUsePreset;
    data->distortion = mDistortion;
    data->autoScale = mAutoScale;
    data->text = mText;
    data->presetName = mPresetName;
}

void TextSceneNode::applyNodeData(const ISceneNodeData& base) {
    ISceneNode::applyNodeData(base);
    const TextSceneNodeData* data = dynamic_cast<const TextSceneNodeData*>(&base);
    if (!data) return;
    mTextArea = data->textArea;
    mWordWrap = data->wordWrap;
    mClipping = data->clipping;
    mXCoeff = data->xcoeff;
    mYCoeff = data->ycoeff;
    mVAlign = data->valign;
    mHAlign = data->halign;
    mClipLT = data->clipLT;
    mClipRB = data->clipRB;
    mPixelPrecise = data->pixelPrecise;
    mMaxChar = data->maxChar;
    mTranslate = data->translate;
    mDistortion = data->distortion;
    mAutoScale = data->autoScale;
    mPresetName = data->presetName;
    setPresetMode(data->usePreset);
    refreshText();
}

void TextSceneNode::write(DataStream& stream, bool relative) {
    writeFlag(stream, mUsePreset);
    ISceneNode::write(stream, relative);
    for (char16_t unit : mText) writeValue(stream, static_cast<uint16_t>(unit));
    writeValue(stream, static_cast<uint16_t>(0));
    writeCString(stream, mPresetName);
    writeValue(stream, mTextArea);
    writeValue(stream, mClipLT);
    writeValue(stream, mClipRB);
    writeFlag(stream, mWordWrap);
    writeFlag(stream, mClipping);
    writeFlag(stream, mPixelPrecise);
    writeFlag(stream, mTranslate);
    writeValue(stream, mXCoeff);
    writeValue(stream, mYCoeff);
    writeValue(stream, mVAlign);
    writeValue(stream, mHAlign);
    writeValue(stream, mMaxChar);
    writeFlag(stream, mStencil);
    writeFlag(stream, mDistortion);
    writeFlag(stream, mAutoScale);
}

void TextSceneNode::read(DataStream& stream) {
    setPresetMode(readFlag(stream));
    ISceneNode::read(stream);
    mText.clear();
    for (uint16_t unit = readValue<uint16_t>(stream); unit != 0; unit = readValue<uint16_t>(stream))
        mText.push_back(static_cast<char16_t>(unit));
    mPresetName = readCString(stream);
    mTextArea = readValue<QV::Vector2<float>>(stream);
    mClipLT = readValue<QV::Vector2<float>>(stream);
    mClipRB = readValue<QV::Vector2<float>>(stream);
    mWordWrap = readFlag(stream);
    mClipping = readFlag(stream);
    mPixelPrecise = readFlag(stream);
    mTranslate = readFlag(stream);
    mXCoeff = readValue<float>(stream);
    mYCoeff = readValue<float>(stream);
    mVAlign = readValue<int32_t>(stream);
    mHAlign = readValue<int32_t>(stream);
    mMaxChar = readValue<int32_t>(stream);
    mStencil = readFlag(stream);
    mDistortion = readFlag(stream);
    mAutoScale = readFlag(stream);
    if (!mUsePreset) setFont(mFileName);
    refreshText();
}

// Particle.

ISceneNodeData* ParticleSceneNode::createNodeData(bool relative) {
    ParticleSceneNodeData* data = new ParticleSceneNodeData();
    fillNodeData(*data, relative);
    return data;
}

void ParticleSceneNode::fillNodeData(ISceneNodeData& base, bool relative) {
    ISceneNode::fillNodeData(base, relative);
    ParticleSceneNodeData* data = dynamic_cast<ParticleSceneNodeData*>(&base);
    if (!data) return;
    data->emitCoef = mEmitCoef;
    data->play = mPlay;
    data->useStencil = mUseStencil;
    data->distortion = mDistortion;
}

void ParticleSceneNode::applyNodeData(const ISceneNodeData& base) {
    ISceneNode::applyNodeData(base);
    const ParticleSceneNodeData* data = dynamic_cast<const ParticleSceneNodeData*>(&base);
    if (!data) return;
    mEmitCoef = data->emitCoef;
    mPlay = data->play;
    mUseStencil = data->useStencil;
    mDistortion = data->distortion;
}

void ParticleSceneNode::write(DataStream& stream, bool relative) {
    ISceneNode::write(stream, relative);
    writeValue(stream, mEmitCoef);
    writeValue(stream, mPlay);
    writeFlag(stream, mUseStencil);
    writeFlag(stream, mDistortion);
}

void ParticleSceneNode::read(DataStream& stream) {
    ISceneNode::read(stream);
    mEmitCoef = readValue<float>(stream);
    mPlay = readValue<int32_t>(stream);
    mUseStencil = readFlag(stream);
    mDistortion = readFlag(stream);
    QV::ParticleSystem* system = QV::Singleton<QV::ParticleSystem>::instancePointer();
    if (!system) return;
    if (mParticleFX) system->releaseParticleFX(mParticleFX);
    mParticleFX = system->createParticleFX(mFileName);
}

// Sound.

ISceneNodeData* SoundSceneNode::createNodeData(bool relative) {
    SoundSceneNodeData* data = new SoundSceneNodeData();
    fillNodeData(*data, relative);
    return data;
}

void SoundSceneNode::fillNodeData(ISceneNodeData& base, bool relative) {
    ISceneNode::fillNodeData(base, relative);
    SoundSceneNodeData* data = dynamic_cast<SoundSceneNodeData*>(&base);
    if (!data) return;
    data->play = mPlay;
    data->volume = mVolume;
    data->group = mSoundGroup;
}

void SoundSceneNode::applyNodeData(const ISceneNodeData& base) {
    ISceneNode::applyNodeData(base);
    const SoundSceneNodeData* data = dynamic_cast<const SoundSceneNodeData*>(&base);
    if (!data) return;
    mPlay = data->play;
    mVolume = data->volume;
    mSoundGroup = data->group;
}

void SoundSceneNode::write(DataStream& stream, bool relative) {
    ISceneNode::write(stream, relative);
    writeValue(stream, mPlay);
    writeValue(stream, mVolume);
    writeValue(stream, mSoundGroup);
    writeFlag(stream, mFading);
}

void SoundSceneNode::read(DataStream& stream) {
    ISceneNode::read(stream);
    mPlay = readValue<int32_t>(stream);
    mVolume = readValue<float>(stream);
    mSoundGroup = readValue<int32_t>(stream);
    mFading = readFlag(stream);
    QV::SoundManager* manager = QV::Singleton<QV::SoundManager>::instancePointer();
    if (!manager) return;
    // The resource held before is given back before the file's one is taken.
    manager->releaseResource(mID);
    mID = manager->acquireResource(mFileName);
    if (mID == 0) {
        QV::SoundDescription description;
        description.fileName = mFileName;
        description.group = mSoundGroup;
        mID = manager->loadResource(description);
    }
}

}  // namespace AE

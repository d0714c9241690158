#include "animationeditor/text_scene_node.h"

#include "animationeditor/frame_data.h"
#include "animationeditor/scene_content.h"
#include "animationeditor/sprite_scene_node.h"
#include "file_system.h"
#include "lua_script2.h"
#include "render_system.h"
#include "ui/text_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"
#include "ui/wide_string.h"

namespace AE {

TextSceneNode::TextSceneNode(const std::string& fontName, const std::u16string& text) : mText(text) {
    setPresetMode(false);
    setFont(fontName);
    refreshText();
}

TextSceneNode::TextSceneNode(const TextSceneNode& source, ISceneNode* parent)
    : ISceneNode(source, parent),
      mText(source.mText),
      mTextArea(source.mTextArea),
      mPresetName(source.mPresetName),
      mWordWrap(source.mWordWrap),
      mClipping(source.mClipping),
      mXCoeff(source.mXCoeff),
      mYCoeff(source.mYCoeff),
      mVAlign(source.mVAlign),
      mHAlign(source.mHAlign),
      mClipLT(source.mClipLT),
      mClipRB(source.mClipRB),
      mPixelPrecise(source.mPixelPrecise),
      mMaxChar(source.mMaxChar),
      mTranslate(source.mTranslate),
      mUsePreset(source.mUsePreset),
      mStencil(source.mStencil),
      mDistortion(source.mDistortion),
      mAutoScale(source.mAutoScale) {
    bindTextParameters();
    setFont(source.mFileName);
    refreshText();
}

TextSceneNode::~TextSceneNode() {
    if (mFont) {
        if (QV::UIFontManager* fonts = QV::Singleton<QV::UIFontManager>::instancePointer()) fonts->releaseFont(mFont);
    }
}

void TextSceneNode::bindTextParameters() {
    mTimeline->bindVector2("textArea", &mTextArea);
    mTimeline->bindInt("maxChar", &mMaxChar, true);
    mTimeline->bindFloat("xcoeff", &mXCoeff);
    mTimeline->bindFloat("ycoeff", &mYCoeff);
    mTimeline->bindInt("halign", &mHAlign, false);
    mTimeline->bindInt("valign", &mVAlign, false);
    mTimeline->bindVector2("clipLT", &mClipLT);
    mTimeline->bindVector2("clipRB", &mClipRB);
}

void TextSceneNode::unbindTextParameters() {
    mTimeline->unbindVector2("textArea", &mTextArea);
    mTimeline->unbindInt("maxChar", &mMaxChar);
    mTimeline->unbindFloat("xcoeff", &mXCoeff);
    mTimeline->unbindFloat("ycoeff", &mYCoeff);
    mTimeline->unbindInt("halign", &mHAlign);
    mTimeline->unbindInt("valign", &mVAlign);
    mTimeline->unbindVector2("clipLT", &mClipLT);
    mTimeline->unbindVector2("clipRB", &mClipRB);
}

void TextSceneNode::setText(const std::string& text) {
    std::u16string wide;
    wide.reserve(text.size());
    // Zero-extended: a byte above 127 stays in the Latin-1 range.
    for (char c : text) wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    setText(wide);
}

void TextSceneNode::setText(const std::u16string& text) {
    mText = text;
    refreshText();
}

void TextSceneNode::refreshText() {
    if (!mTranslate) {
        mDisplayedText = mText;
        return;
    }
    QV::TextManager* texts = QV::Singleton<QV::TextManager>::instancePointer();
    mDisplayedText = texts ? texts->translate(QV::toNarrow(mText)) : u"!ERROR!";
}

void TextSceneNode::setFont(const std::string& name) {
    QV::FileSystem* files = QV::Singleton<QV::FileSystem>::instancePointer();
    QV::UIFontManager* fonts = QV::Singleton<QV::UIFontManager>::instancePointer();
    if (!files || !fonts || name.empty()) return;
    if (!files->hasFile(currentLanguagePackage(), name) && !files->hasFile("default", name)) return;
    QV::UIFont* font = fonts->getFont(name);
    // The font held before is given back, so switching fonts leaks no reference.
    if (mFont) fonts->releaseFont(mFont);
    mFont = font;
    mFileName = name;
}

void TextSceneNode::setPresetMode(bool use) {
    mUsePreset = use;
    if (!use) {
        // Binding twice would write the field twice per evaluation, harmlessly,
        // but unbinding first keeps one target per field.
        unbindTextParameters();
        bindTextParameters();
        return;
    }
    unbindTextParameters();
    if (!applyPreset()) setPresetMode(false);
}

bool TextSceneNode::applyPreset() {
    QV::UIFontManager* fonts = QV::Singleton<QV::UIFontManager>::instancePointer();
    if (!fonts) return false;
    QV::LuaScript2 script(QV::createLuaState());
    if (!script.loadScript("font_presets_lua", fonts->fontPackage())) return false;
    if (!script.openTable(mPresetName.c_str())) return false;
    lua_State* L = script.state();
    auto present = [&](const char* field) {
        lua_getfield(L, -1, field);
        const bool found = !lua_isnil(L, -1);
        lua_pop(L, 1);
        return found;
    };
    float number = 0.0f;
    if (present("halign")) {
        script.pushField("halign");
        script.topToFloat(&number);
        lua_pop(L, 1);
        mHAlign = static_cast<int32_t>(number);
    }
    if (present("valign")) {
        script.pushField("valign");
        script.topToFloat(&number);
        lua_pop(L, 1);
        mVAlign = static_cast<int32_t>(number);
    }
    if (present("xcoeff")) {
        script.pushField("xcoeff");
        script.topToFloat(&mXCoeff);
        lua_pop(L, 1);
    }
    if (present("ycoeff")) {
        script.pushField("ycoeff");
        script.topToFloat(&mYCoeff);
        lua_pop(L, 1);
    }
    bool wrap = false;
    if (script.getBool("wordWrap", &wrap)) mWordWrap = wrap;
    QV::Color color;
    if (script.getColorBytes("color", &color)) mColor = color;
    std::string font;
    if (script.getString("font", &font)) setFont(font);
    script.closeTable();
    return true;
}

void TextSceneNode::updateDerived(float dt) {
    ISceneNode::updateDerived(dt);
    mDrawMatrix = mWorldMatrix;
    mFittedArea = mTextArea;
    if (!mFont || mWordWrap || !mAutoScale || mTextArea.x <= 0.0f) return;
    size_t n = mDisplayedText.size();
    // A limit of 0 or below draws every character, so all are measured.
    if (mMaxChar > 0 && static_cast<size_t>(mMaxChar) < n) n = static_cast<size_t>(mMaxChar);
    const float w = mFont->measureRun(mDisplayedText.data(), mDisplayedText.data() + n, mXCoeff);
    if (w > mTextArea.x) {
        const float k = mTextArea.x / w;
        mDrawMatrix.m00 *= k;
        mDrawMatrix.m11 *= k;
        mFittedArea.x /= k;
    }
}

QV::Vector2<float> TextSceneNode::getSize() const {
    if (mTextArea.x == 0.0f && mTextArea.y == 0.0f) return QV::Vector2<float>(64.0f, 64.0f);
    return mTextArea;
}

void TextSceneNode::draw() {
    if (!mFont || !mEnabled || mDisplayedText.empty()) return;
    applyCameraView();
    mFont->setColor(mWorldColor);
    QV::RenderSystem* renderer = QV::RenderSystem::instance();
    if (mStencil) beginMaskedDraw(this);
    if (mDistortion) renderer->beginDistortion();
    const QV::Rect clip(mDrawMatrix.m20 + mClipLT.x, mDrawMatrix.m21 + mClipLT.y, mDrawMatrix.m20 + mClipRB.x,
                        mDrawMatrix.m21 + mClipRB.y);
    mFont->drawTransformed(mFittedArea, mDrawMatrix, mDisplayedText, mWordWrap, mHAlign, mVAlign, mXCoeff, mYCoeff,
                           mClipping, clip, mPixelPrecise, mMaxChar);
    if (mStencil) renderer->endStencil();
    if (mDistortion) renderer->endDistortion();
}

// Keys.

namespace {

void writeTextKeys(NodeTimeline& t, int k, const QV::Vector2<float>& area, int maxChar, float xcoeff, float ycoeff,
                   int halign, int valign, const QV::Vector2<float>& lt, const QV::Vector2<float>& rb) {
    t.getVector2Key("textArea", k).value = area;
    t.getIntKey("maxChar", k).value = maxChar;
    t.getFloatKey("xcoeff", k).value = xcoeff;
    t.getFloatKey("ycoeff", k).value = ycoeff;
    t.getIntKey("halign", k).value = halign;
    t.getIntKey("valign", k).value = valign;
    t.getVector2Key("clipLT", k).value = lt;
    t.getVector2Key("clipRB", k).value = rb;
}

}  // namespace

void TextSceneNode::addKeyFrame(int frame) {
    ISceneNode::addKeyFrame(frame);
    writeTextKeys(*mTimeline, mTimeline->keyFrameIndex(frame), mTextArea, mMaxChar, mXCoeff, mYCoeff, mHAlign,
                  mVAlign, mClipLT, mClipRB);
}

void TextSceneNode::storeKeyFrame(int frame, const IFrameData& data) {
    ISceneNode::storeKeyFrame(frame, data);
    const TextFrameData* text = dynamic_cast<const TextFrameData*>(&data);
    if (!text) return;
    writeTextKeys(*mTimeline, mTimeline->keyFrameIndex(frame), text->textArea, text->maxChar, text->xcoeff,
                  text->ycoeff, text->halign, text->valign, text->clipLT, text->clipRB);
}

ISceneNode* TextSceneNode::clone(ISceneNode* parent) const { return new TextSceneNode(*this, parent); }

IFrameData* TextSceneNode::createFrameData(int frame, bool world) { return new TextFrameData(this, frame, world); }

}  // namespace AE

#include "ui/ui_label.h"

#include <algorithm>
#include <cstring>

#include "ui/text_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_manager.h"

namespace QV {

namespace {

void releaseFontReference(UIFont* font) {
    if (!font) return;
    if (UIFontManager* fonts = Singleton<UIFontManager>::instancePointer()) fonts->releaseFont(font);
}

}  // namespace

UILabel::~UILabel() { releaseFontReference(mFont); }

void UILabel::setText(const std::string& text) {
    if (text.size() >= 2 && text[0] == '#') {
        std::string id = text.substr(1);
        id = id.substr(0, std::strlen(id.c_str()));
        if (TextManager* texts = Singleton<TextManager>::instancePointer()) {
            mText = texts->translate(id);
        } else {
            mText = u"!ERROR!";
        }
        return;
    }
    mText.clear();
    mText.reserve(text.size());
    for (char c : text) mText.push_back(char16_t(int16_t(static_cast<signed char>(c))));
}

void UILabel::applyPreset(const FontPreset& preset) {
    mXcoeff = preset.xcoeff;
    mYcoeff = preset.ycoeff;
    mHalign = preset.halign;
    mValign = preset.valign;
    mWordWrap = preset.wordWrap;
    if (preset.font) preset.font->addReference();
    releaseFontReference(mFont);
    mFont = preset.font;
    mTextColor = preset.color;
}

void UILabel::setFont(const std::string& name) {
    UIFontManager* fonts = Singleton<UIFontManager>::instancePointer();
    UIFont* font = fonts ? fonts->getFont(name) : nullptr;
    releaseFontReference(mFont);
    mFont = font;
}

Color UILabel::drawColor() const {
    Color color = mTextColor;
    color.a = uint8_t(std::clamp(int(float(mTextColor.a) * mTransparency), 0, 255));
    return color;
}

void UILabel::drawSelf() {
    if (!mFont || mText.empty()) return;
    mFont->setColor(drawColor());
    mFont->drawText(mClipRect, getWorldPosition(), mText, mWordWrap, mHalign, mValign, mXcoeff, mYcoeff, mClip,
                    mPixelPrecision, mSize.x, mSize.y);
}

void UILabel::load(LuaScript2& script) {
    UIManager::loadWidgetProperties(this, script);
    UIManager::loadLabelKeys(this, script);
}

}  // namespace QV

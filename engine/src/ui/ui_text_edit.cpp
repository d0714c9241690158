#include "ui/ui_text_edit.h"

#include <algorithm>

#include "function.h"
#include "log_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "ui/ui_controller.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_label.h"
#include "ui/ui_manager.h"
#include "ui/ui_scroll_area.h"

namespace QV {

bool isSpecialCharacter(char16_t c) {
    return c <= 0x1F || (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
           (c >= 0x7B && c <= 0x7E);
}

UITextEdit::~UITextEdit() {
    if (UIManager* ui = Singleton<UIManager>::instancePointer()) ui->forgetWidget(this);
    for (IFunction* callback : mTextEnteredCallbacks) delete callback;
}

void UITextEdit::connect(const std::string& event, IFunction* callback) {
    if (event != "textEntered") {
        delete callback;
        return;
    }
    if (std::find(mTextEnteredCallbacks.begin(), mTextEnteredCallbacks.end(), callback) ==
        mTextEnteredCallbacks.end()) {
        mTextEnteredCallbacks.push_back(callback);
    }
}

UILabel* UITextEdit::getCaption() {
    resolveCaption();
    return mCaption;
}

std::u16string UITextEdit::getText() {
    resolveCaption();
    return mCaption ? mCaption->getText() : std::u16string();
}

void UITextEdit::resolveCaption() {
    if (mCaptionResolved) return;
    mCaptionResolved = true;
    UIWidget* found = findChild("caption");
    mCaption = found && found->getType() == kUILabel ? static_cast<UILabel*>(found) : nullptr;
    if (!mCaption) return;
    // Sized to its longest text; the description's position is its centre.
    if (UIFont* font = mCaption->getFont()) {
        const std::u16string widest(std::min(mMaxLength, kMaxTextEditLength), char16_t(font->widestCharacter()));
        mSize = Vector2<float>(font->measureRun(widest.data(), widest.data() + widest.size(), mCaption->mXcoeff),
                               font->tallestHeight());
    }
    const Vector2<float> half = mSize * 0.5f;
    mPosition -= half;
    mCaption->mPosition += half;
}

void UITextEdit::clampCaret() {
    const size_t length = mCaption ? mCaption->getText().size() : 0;
    if (mCaret > length) mCaret = uint32_t(length);
}

int32_t UITextEdit::processMessage(int32_t message) {
    UIManager* ui = Singleton<UIManager>::instance();
    UIPCController* pc = ui->getPCController();
    const int32_t code = uiMessageCode(message);
    if (code == kUIMessageHeld) {
        if (!pc || !hitTest(pc->mPressPoint)) return 0;
        ui->captureNonExclusive(this);
        return 1;
    }
    if (code == kUIMessageRelease) {
        ui->releaseCapture(this);
        return 1;
    }
    if (code == kUIMessageText) {
        if (pc) typeText(pc->mTypedText);
        return 1;
    }
    if (code != kUIMessageKeyDown) return 0;
    const uint8_t key = uiMessageKey(message);
    resolveCaption();
    // The text may have been shortened from outside since the last key.
    clampCaret();
    switch (key) {
    case 8:
        if (mCaption && mCaret > 0) {
            std::u16string text = mCaption->getText();
            text.erase(mCaret - 1, 1);
            mCaption->setWideText(text);
            --mCaret;
        }
        break;
    case 13:
        ui->queueCallbacks(this, &mTextEnteredCallbacks);
        break;
    case 37:
        if (mCaret > 0) --mCaret;
        break;
    case 39:
        if (mCaption) mCaret = std::min<uint32_t>(mCaret + 1, uint32_t(mCaption->getText().size()));
        break;
    case 46:
        if (mCaption && mCaret < mCaption->getText().size()) {
            std::u16string text = mCaption->getText();
            text.erase(mCaret, 1);
            mCaption->setWideText(text);
        }
        break;
    default:
        // Characters arrive as typed text (kUIMessageText), never from key codes.
        if (Singleton<LogSystem>::instancePointer()) logFormat("%i", int(key));
        break;
    }
    return 1;
}

void UITextEdit::typeText(const std::u16string& typed) {
    resolveCaption();
    if (!mCaption) return;
    clampCaret();
    std::u16string text = mCaption->getText();
    for (char16_t c : typed) {
        // Controls never type; characters beyond the 16-bit range (surrogates) are
        // dropped whole, since the caret and the fonts work on single units.
        if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c <= 0xDFFF)) continue;
        if (mFilterSpecialCharacters && isSpecialCharacter(c)) continue;
        if (text.size() >= mMaxLength) break;
        text.insert(text.begin() + mCaret, c);
        ++mCaret;
    }
    if (text != mCaption->getText()) mCaption->setWideText(text);
}

void UITextEdit::drawAfterChildren() {
    resolveCaption();
    if (!mCaption || !mCaption->getFont()) return;
    UIFont* font = mCaption->getFont();
    const float blink = (int64_t(mCaretBlinkTime) % 2) != 0 ? 1.0f : 0.0f;
    Color color = mColor;
    color.a = uint8_t(std::clamp(int(mColor.a * mTransparency * blink), 0, 255));
    font->setColor(color);
    clampCaret();
    const std::u16string& text = mCaption->getText();
    const float xc = mCaption->mXcoeff;
    const uint16_t bar = font->glyphOf(u'|');
    const float barWidth = bar == UIFont::kNoGlyph ? 0.0f : font->level(0).glyphs[bar].width;
    const Vector2<float> at = mCaption->getWorldPosition();
    const float x = at.x + mCaption->mSize.x / 2 - font->measureRun(text.data(), text.data() + text.size(), xc) / 2 +
                    font->measureRun(text.data(), text.data() + mCaret, xc) - barWidth / 2;
    font->drawLine(mClipRect, Vector2<float>(x, at.y), "|", 0, xc, mCaption->mYcoeff, mClip, mCaption->mSize.y);
}

void UITextEdit::load(LuaScript2& script) {
    UIManager::loadWidgetProperties(this, script);
    UIManager::loadTextEditKeys(this, script);
}

UIListView::~UIListView() {
    if (mFont) {
        if (UIFontManager* fonts = Singleton<UIFontManager>::instancePointer()) fonts->releaseFont(mFont);
    }
    if (mSelectionSprite) {
        if (auto* sprites = Singleton<SpriteManager<Sprite>>::instancePointer()) sprites->destroySprite(mSelectionSprite);
    }
}

void UIListView::setContent(UIScrollArea* content) {
    mContent = content;
    if (content) addChild(content, -1);
}

int32_t UIListView::processMessage(int32_t message) {
    UIManager* ui = Singleton<UIManager>::instance();
    UIPCController* pc = ui->getPCController();
    const int32_t code = uiMessageCode(message);
    if (code == kUIMessageHeld) {
        setState("onPress");
        ui->captureNonExclusive(this);
    } else if (code == kUIMessageRelease) {
        ui->releaseCapture(this);
        if (pc && mContent && hitTest(pc->mPointerPosition)) {
            for (size_t i = 0; i < mContent->mChildren.size(); ++i) {
                if (mContent->mChildren[i]->hitTest(pc->mPointerPosition)) {
                    mSelectedIndex = int32_t(i);
                    ui->playClickSound();
                    break;
                }
            }
        }
    }
    return 1;
}

void UIListView::update(float) {
    if (!mContent) return;
    mSize = mContent->getDeclaredSize();
    if (mSelectedIndex < 0 || !mSelectionSprite || mContent->mChildren.empty()) return;
    mSelectedIndex = std::min<int32_t>(mSelectedIndex, int32_t(mContent->mChildren.size()) - 1);
    const Vector2<float> line = mContent->mChildren[size_t(mSelectedIndex)]->getWorldPosition();
    const Vector2<float> size = mSelectionSprite->getSize();
    mSelectionSprite->setPosition(line.x + mContent->getDeclaredSize().x / 2 - size.x / 2,
                                  line.y + mLineHeight / 2 - size.y / 2);
    if (!mSelectionSprite->mClip) {
        mSelectionSprite->mClip = true;
        mSelectionSprite->markDirty();
    }
    mSelectionSprite->mClipRect = mContent->mClipRect;
}

void UIListView::drawSelf() {
    if (mSelectedIndex < 0 || !mSelectionSprite) return;
    mSelectionSprite->setColor(Color(1.0f, 1.0f, 1.0f, std::clamp(mTransparency, 0.0f, 1.0f)));
    mSelectionSprite->updateVertices();
    mSelectionSprite->draw();
}

void UIListView::load(LuaScript2& script) {
    UIManager::loadWidgetProperties(this, script);
    UIManager::loadListViewKeys(this, script);
}

}  // namespace QV

#pragma once

#include <vector>

#include "ui/ui_widget.h"

namespace QV {

class Sprite;
class UILabel;
class UIFont;
class UIScrollArea;

// The most characters a text field holds, whatever its description asks.
constexpr uint32_t kMaxTextEditLength = 256;

// A one-line text field: its text lives in the child label "caption"; typed
// text (text messages) goes in at the caret, keys edit it, Enter raises "textEntered".
class UITextEdit : public UIWidget {
public:
    using UIWidget::UIWidget;
    ~UITextEdit() override;

    // Keeps callbacks of "textEntered" (each pointer once); deletes any other.
    void connect(const std::string& event, IFunction* callback) override;
    int32_t processMessage(int32_t message) override;
    int32_t getType() const override { return kUITextEdit; }
    void drawAfterChildren() override;
    void update(float frameTime) override { mCaretBlinkTime += 2.0f * frameTime; }
    void load(LuaScript2& script) override;

    // The caption's text; empty without a caption.
    std::u16string getText();
    uint32_t getCaret() const { return mCaret; }
    UILabel* getCaption();

    std::vector<IFunction*> mTextEnteredCallbacks;  // owned
    UILabel* mCaption = nullptr;
    bool mCaptionResolved = false;
    uint32_t mMaxLength = 10;
    float mCaretBlinkTime = 0.0f;
    uint32_t mCaret = 0;
    bool mFilterSpecialCharacters = false;

private:
    void resolveCaption();
    // Inserts typed text at the caret, up to the length limit.
    void typeText(const std::u16string& typed);
    void clampCaret();
};

// Characters a filtered text field refuses: controls and ASCII punctuation.
bool isSpecialCharacter(char16_t c);

// A list of lines (the children of its scroll area) with one selection,
// highlighted by a sprite behind the selected line.
class UIListView : public UIWidget {
public:
    using UIWidget::UIWidget;
    ~UIListView() override;

    int32_t processMessage(int32_t message) override;
    int32_t getType() const override { return kUIListView; }
    void drawSelf() override;
    void update(float frameTime) override;
    void load(LuaScript2& script) override;

    // Makes the area the list's content and, unless it is a child already, appends it.
    void setContent(UIScrollArea* content);
    UIScrollArea* getContent() const { return mContent; }
    int32_t getSelectedIndex() const { return mSelectedIndex; }
    void setSelectedIndex(int32_t index) { mSelectedIndex = index; }
    Sprite* getSelectionSprite() const { return mSelectionSprite; }

    UIScrollArea* mContent = nullptr;
    UIFont* mFont = nullptr;  // one reference
    int32_t mHalign = 1;
    int32_t mValign = 1;
    float mXcoeff = 0.0f;
    float mYcoeff = 0.0f;
    bool mWordWrap = false;
    uint32_t mTextColor = 0;
    int32_t mSelectedIndex = -1;
    Sprite* mSelectionSprite = nullptr;
    float mLineHeight = 32.0f;
};

}  // namespace QV

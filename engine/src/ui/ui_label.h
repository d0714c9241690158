#pragma once

#include <string>

#include "color.h"
#include "ui/ui_widget.h"

namespace QV {

class UIFont;
struct FontPreset;

// A line or box of text in one font.
class UILabel : public UIWidget {
public:
    using UIWidget::UIWidget;
    ~UILabel() override;

    int32_t processMessage(int32_t) override { return 0; }
    int32_t getType() const override { return kUILabel; }
    void drawSelf() override;
    void load(LuaScript2& script) override;

    // "#" + text id shows the translation; other bytes widen one by one (sign-extended).
    void setText(const std::string& text);
    void setWideText(const std::u16string& text) { mText = text; }
    const std::u16string& getText() const { return mText; }
    // Copies the preset and takes one more reference to its font.
    void applyPreset(const FontPreset& preset);
    // Replaces the font by the named one (one reference); null keeps none.
    void setFont(const std::string& name);
    UIFont* getFont() const { return mFont; }
    // The colour the text is drawn in this frame.
    Color drawColor() const;

    UIFont* mFont = nullptr;
    std::u16string mText;
    int32_t mHalign = 0;
    int32_t mValign = 0;
    bool mWordWrap = false;
    float mXcoeff = 0.0f;
    float mYcoeff = 0.0f;
    bool mPixelPrecision = true;
    Color mTextColor;
};

}  // namespace QV

#pragma once

#include <cstdint>
#include <string>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_data.h"

namespace QV {
class UIFont;
}

namespace AE {

class TextSceneNodeData : public ISceneNodeData {
public:
    int getType() const override { return 175; }

    QV::Vector2<float> textArea;
    bool wordWrap = false;
    bool clipping = false;
    float xcoeff = 0.0f;
    float ycoeff = 0.0f;
    int32_t valign = 0;
    int32_t halign = 0;
    QV::Vector2<float> clipLT;
    QV::Vector2<float> clipRB;
    bool pixelPrecise = true;
    int32_t maxChar = -1;
    bool translate = false;
    bool usePreset = false;
    bool distortion = false;
    bool autoScale = false;
    std::u16string text;
    std::string presetName;
};

// A line or box of text in a bitmap font, drawn under the node's transform.
// With translate set the text is a text id shown through its translation.
// The layout parameters are animated unless a named preset supplies them.
class TextSceneNode : public ISceneNode {
public:
    TextSceneNode(const std::string& fontName, const std::u16string& text);
    TextSceneNode(const TextSceneNode& source, ISceneNode* parent);
    ~TextSceneNode() override;

    int getType() const override { return kTextNode; }
    void updateDerived(float dt) override;
    QV::Vector2<float> getSize() const override;
    void setSize(const QV::Vector2<float>& size) override { mTextArea = size; }
    void addKeyFrame(int frame) override;
    void storeKeyFrame(int frame, const IFrameData& data) override;
    ISceneNode* clone(ISceneNode* parent) const override;
    IFrameData* createFrameData(int frame, bool world) override;
    void applyNodeData(const ISceneNodeData& data) override;
    ISceneNodeData* createNodeData(bool relative) override;
    void fillNodeData(ISceneNodeData& data, bool relative) override;
    void write(DataStream& stream, bool relative) override;
    void read(DataStream& stream) override;
    void draw() override;

    // ASCII text; other bytes become the units 0x80..0xFF.
    void setText(const std::string& text);
    void setText(const std::u16string& text);
    void refreshText();
    // Takes the font when the language's package or "default" lists it; the
    // font held before is given back.
    void setFont(const std::string& name);
    void setPresetMode(bool use);

    std::u16string mText;
    std::u16string mDisplayedText;
    QV::Vector2<float> mTextArea;
    QV::Vector2<float> mFittedArea;
    QV::UIFont* mFont = nullptr;
    std::string mPresetName;
    bool mWordWrap = false;
    bool mClipping = false;
    float mXCoeff = 0.0f;
    float mYCoeff = 0.0f;
    int32_t mVAlign = 0;
    int32_t mHAlign = 0;
    QV::Vector2<float> mClipLT;
    QV::Vector2<float> mClipRB;
    bool mPixelPrecise = true;
    int32_t mMaxChar = -1;
    bool mTranslate = false;
    bool mUsePreset = false;
    bool mStencil = false;
    bool mDistortion = false;
    bool mAutoScale = false;
    QV::Matrix3 mDrawMatrix;

private:
    void bindTextParameters();
    void unbindTextParameters();
    bool applyPreset();
};

}  // namespace AE

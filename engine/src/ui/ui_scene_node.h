#pragma once

#include "ui/ui_widget.h"

namespace AE {
class ISceneNode;
}

namespace QV {

// An animation-editor scene inside the widget tree: an owned node is placed
// at the widget, advanced and drawn by it; a borrowed node only mirrors the
// widget's offset and states. States play the node's markers of the same name.
class UISceneNode : public UIWidget {
public:
    UISceneNode(const std::string& name, UIWidget* parent, AE::ISceneNode* node, bool ownsNode);
    ~UISceneNode() override;

    bool hitTest(const Vector2<float>& point) override;
    void setVisible(bool visible) override;
    int32_t getType() const override { return kUISceneNode; }
    void drawSelf() override;
    void update(float frameTime) override;
    void onStateChanged(UIState* state) override;

    AE::ISceneNode* getNode() const { return mNode; }
    bool ownsNode() const { return mOwnsNode; }

    AE::ISceneNode* mNode;
    bool mOwnsNode;
};

}  // namespace QV

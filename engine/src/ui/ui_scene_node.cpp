#include "ui/ui_scene_node.h"

#include "animationeditor/marker.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "ui/ui_state.h"

namespace QV {

UISceneNode::UISceneNode(const std::string& name, UIWidget* parent, AE::ISceneNode* node, bool ownsNode)
    : UIWidget(name, parent), mNode(node), mOwnsNode(ownsNode) {
    if (mNode) {
        mSize = mNode->getBoundsSize();
        mNode->play(true);
    }
}

UISceneNode::~UISceneNode() {
    // Children may borrow nodes of this scene ("@parent" scene lists): they go first.
    std::vector<UIWidget*> children;
    children.swap(mChildren);
    for (UIWidget* child : children) {
        child->mParent = nullptr;
        delete child;
    }
    if (mOwnsNode) delete mNode;
    mNode = nullptr;
}

bool UISceneNode::hitTest(const Vector2<float>& point) {
    if (!mNode || !mNode->mEnabled) return false;
    if (mClip && !(point.x >= mClipRect.left && point.x <= mClipRect.right && point.y >= mClipRect.top &&
                   point.y <= mClipRect.bottom)) {
        return false;
    }
    return mNode->hitTest(int(point.x), int(point.y), false);
}

void UISceneNode::setVisible(bool visible) {
    mVisible = visible;
    if (!mNode) return;
    mNode->mEnabled = visible;
    for (AE::ISceneNode* child : mNode->mChildren) child->setEnabled(visible);
}

void UISceneNode::drawSelf() {
    if (mNode && mOwnsNode) AE::drawScene(mNode);
}

void UISceneNode::update(float frameTime) {
    if (!mNode) return;
    Color color = mNode->mColor;
    color.a = colorByteFromFloat(mTransparency);
    mNode->mColor = color;
    mNode->mWorldColor = mNode->mParent ? Color::modulate(mNode->mParent->mWorldColor, color) : color;
    if (mOwnsNode) {
        mNode->setPosition(getWorldPosition());
        mNode->update(frameTime);
    } else {
        const Vector2<float> own = mNode->mPosition;
        mNode->setPosition(own + mOffset);
        mNode->update(0.0f);
        mNode->setPosition(own);
    }
}

void UISceneNode::onStateChanged(UIState* state) {
    if (!mNode || !state) return;
    for (const auto& entry : mStates) {
        if (AE::Marker* marker = mNode->getMarker(entry.first)) {
            marker->stop(true);
            marker->mState = AE::Marker::kStopped;
        }
    }
    if (AE::Marker* marker = mNode->findMarker(state->mName)) marker->play(true);
}

}  // namespace QV

#include "dialogs/panel_follower.h"

#include <cmath>
#include <utility>
#include <vector>

#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "camera.h"
#include "ui/ui_scene_list.h"
#include "ui/ui_scene_node.h"

namespace {

// Opacities changed for one drawing, put back afterwards.
struct FadeUndo {
    std::vector<std::pair<QV::UIWidget*, float>> widgets;
    std::vector<std::pair<AE::ISceneNode*, uint8_t>> nodes;

    ~FadeUndo() {
        for (auto& [widget, value] : widgets) widget->mTransparency = value;
        for (auto& [node, alpha] : nodes) node->mWorldColor.a = alpha;
    }
};

// Scene nodes draw with the colours of their last update: their opacity is scaled in place.
void fadeNodes(AE::ISceneNode* node, float opacity, FadeUndo& undo) {
    if (!node) return;
    undo.nodes.emplace_back(node, node->mWorldColor.a);
    node->mWorldColor.a = uint8_t(std::lround(float(node->mWorldColor.a) * opacity));
    for (AE::ISceneNode* child : node->mChildren) fadeNodes(child, opacity, undo);
}

// Widgets read their transparency when they draw.
void fadeWidgets(QV::UIWidget* widget, float opacity, FadeUndo& undo) {
    undo.widgets.emplace_back(widget, widget->mTransparency);
    widget->mTransparency *= opacity;
    if (widget->getType() == QV::kUISceneNode) {
        auto* scene = static_cast<QV::UISceneNode*>(widget);
        if (scene->ownsNode()) fadeNodes(scene->getNode(), opacity, undo);
    } else if (widget->getType() == QV::kUISceneList) {
        auto* list = static_cast<QV::UISceneList*>(widget);
        if (list->mOwnsScene) fadeNodes(list->getScene(), opacity, undo);
    }
    for (QV::UIWidget* child : widget->getChildren()) fadeWidgets(child, opacity, undo);
}

}  // namespace

PanelFollower::PanelFollower(QV::UIWidget* sceneWidget, AE::ISceneNode* panel)
    : mSceneWidget(sceneWidget), mPanel(panel) {}

float PanelFollower::scaleX() const { return std::hypot(mPanel->mWorldMatrix.m00, mPanel->mWorldMatrix.m01); }

float PanelFollower::scaleY() const { return std::hypot(mPanel->mWorldMatrix.m10, mPanel->mWorldMatrix.m11); }

float PanelFollower::opacity() const { return float(mPanel->mWorldColor.a) / 255.0f; }

bool PanelFollower::atRest() const {
    const QV::Matrix3& m = mPanel->mWorldMatrix;
    const float eps = 1e-4f;
    return std::fabs(m.m00 - 1.0f) < eps && std::fabs(m.m11 - 1.0f) < eps && std::fabs(m.m01) < eps &&
           std::fabs(m.m10) < eps && mPanel->mWorldColor.a == 255;
}

void PanelFollower::draw() {
    if (!mOwner || !mPanel || atRest()) return;  // the root draws its children as usual
    AE::SceneCameraTarget* target = AE::sceneCameraTarget();
    if (!target) return;
    // The panel node's transform about its own origin (its centre), applied
    // before whatever camera the state draws with.
    const QV::Matrix3& w = mPanel->mWorldMatrix;
    const float cx = w.m20, cy = w.m21;
    QV::Matrix3 about;
    about.m00 = w.m00;
    about.m01 = w.m01;
    about.m10 = w.m10;
    about.m11 = w.m11;
    about.m20 = cx - (cx * w.m00 + cy * w.m10);
    about.m21 = cy - (cx * w.m01 + cy * w.m11);
    const QV::Camera saved = target->getCamera();
    QV::Camera following = saved;
    following.matrix = saved.useMatrix ? about * saved.matrix : about;
    following.useMatrix = 1;

    // In the root's order, so what lies on top stays on top; the root then
    // skips the children drawn here.
    const std::vector<QV::UIWidget*> children = mOwner->getChildren();
    for (QV::UIWidget* child : children) {
        if (child == mSceneWidget) {
            child->draw();
            continue;
        }
        if (!child->isVisible()) continue;
        FadeUndo undo;
        fadeWidgets(child, opacity(), undo);
        target->setCamera(following);
        child->draw();
        target->setCamera(saved);
    }
}

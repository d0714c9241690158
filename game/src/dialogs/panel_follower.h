#pragma once

#include "ui/ui_widget.h"

namespace AE {
class ISceneNode;
}

// Draws a window's widgets (all but its scene widget) scaled about the panel's
// centre and faded with it, so buttons, labels and lists grow, shrink and fade
// with the panel that the scene's "show" and "hide" animate. Attached to the
// window's root; at rest it leaves the drawing to the root.
class PanelFollower : public QV::UIComponent {
public:
    // `sceneWidget` is the root's child that draws the scene; `panel` the node
    // of that scene whose scale and opacity the widgets take. Both live as
    // long as the root.
    PanelFollower(QV::UIWidget* sceneWidget, AE::ISceneNode* panel);

    void draw() override;

    // The panel's current scale and opacity (0..1).
    float scaleX() const;
    float scaleY() const;
    float opacity() const;
    bool atRest() const;

private:
    void drawFollowing(QV::UIWidget* widget);

    QV::UIWidget* mSceneWidget;
    AE::ISceneNode* mPanel;
};

#pragma once

#include <string>

namespace AE {
class ISceneNode;
}
namespace QV {
class UIWidget;
}

// What a layout marker is read against.
struct LayoutContext {
    int portrait = 0;      // 1: "#ver:" markers apply, else "#hor:"
    float width = 0.0f;    // the design workspace
    float height = 0.0f;
    float marginX = 0.0f;  // workspace units the window cuts off each side
    float marginY = 0.0f;
};

// The layout commands of one marker name (after its five-character prefix).
struct LayoutCommands {
    bool left = false, right = false, centreH = false, noMarginH = false;
    bool top = false, bottom = false, centreV = false, noMarginV = false;
    float valueH = 0.0f, valueV = 0.0f;
    bool hasAngle = false;
    float angle = 0.0f;
    bool hasScaleX = false, hasScaleY = false;
    float scaleX = 1.0f, scaleY = 1.0f;
    bool hasEnable = false;
    int enable = 0;
};

LayoutCommands parseLayoutCommands(const std::string& text);

// The context of the running game: the state manager's orientation and
// design size, the render system's cut margins.
LayoutContext currentLayoutContext();

// Applies the "#hor:"/"#ver:" markers of the node and all its descendants.
void adaptSceneLayout(AE::ISceneNode* node);
void adaptSceneLayout(AE::ISceneNode* node, const LayoutContext& context);

// The same for the scene of every scene widget in a widget tree.
void adaptWidgetLayout(QV::UIWidget* widget);
void adaptWidgetLayout(QV::UIWidget* widget, const LayoutContext& context);

// A layout marker node of a level's field scene: "@h:<name>" in landscape,
// "@v:<name>" in portrait. The node gives a place, a depth and a rotation.
struct LevelLayoutMarker {
    bool found = false;
    float x = 0.0f;
    float y = 0.0f;
    int depth = 0;
    float rotation = 0.0f;
};
LevelLayoutMarker findLevelLayoutMarker(AE::ISceneNode* scene, const std::string& name, int portrait);

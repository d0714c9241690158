#include "flow/layout_markers.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "flow/game_state_manager.h"
#include "log_system.h"
#include "render_system.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_widget.h"

namespace {

// "-N" / "--N": at most six digits; without the dash 0 and nothing read.
float readDashNumber(const std::string& text, size_t& at) {
    if (at >= text.size() || text[at] != '-') return 0.0f;
    ++at;
    bool negative = false;
    if (at < text.size() && text[at] == '-') {
        negative = true;
        ++at;
    }
    int value = 0;
    for (int digits = 0; digits < 6 && at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]));
         ++digits, ++at)
        value = value * 10 + (text[at] - '0');
    return static_cast<float>(negative ? -value : value);
}

// The longest run of the allowed characters from `at`, at most 31 of them.
std::string readRun(const std::string& text, size_t& at, const char* allowed) {
    std::string run;
    while (at < text.size() && std::strchr(allowed, text[at]) && run.size() < 31) run += text[at++];
    // A longer run is still consumed whole.
    while (at < text.size() && std::strchr(allowed, text[at])) ++at;
    return run;
}

void readAnchor(const std::string& text, size_t& at, bool& flag, bool& noMargin, float& value) {
    flag = true;
    if (at < text.size() && text[at] == '!') {
        noMargin = true;
        ++at;
    }
    value = readDashNumber(text, at);
}

const AE::Marker* layoutMarker(const AE::ISceneNode* node, const char* prefix) {
    for (const AE::Marker* marker : node->mMarkers) {
        if (marker && marker->getName().compare(0, 5, prefix) == 0) return marker;
    }
    return nullptr;
}

void applyMarker(AE::ISceneNode* node, const std::string& name, const LayoutContext& context) {
    const LayoutCommands c = parseLayoutCommands(name.substr(5));
    QV::Vector2<float> position = node->getPosition();

    if (c.centreH || (c.left && c.right)) position.x = context.width / 2 + c.valueH;
    else if (c.left) position.x = c.valueH + (c.noMarginH ? 0.0f : context.marginX);
    else if (c.right) position.x = context.width - c.valueH - (c.noMarginH ? 0.0f : context.marginX);

    if (c.centreV || (c.top && c.bottom)) position.y = context.height / 2 + c.valueV;
    else if (c.top) position.y = c.valueV + (c.noMarginV ? 0.0f : context.marginY);
    else if (c.bottom) position.y = context.height - c.valueV - (c.noMarginV ? 0.0f : context.marginY);

    const QV::Vector2<float> scale = node->getScale();
    if (c.hasAngle) node->setRotation(c.angle);
    node->setPosition(position);
    node->setScaleX(c.hasScaleX ? c.scaleX : scale.x);
    node->setScaleY(c.hasScaleY ? c.scaleY : scale.y);
    node->update(0.0f);
    if (c.hasEnable) node->setEnabled(c.enable != 0);
}

void adaptNode(AE::ISceneNode* node, const LayoutContext& context, const char* prefix) {
    if (const AE::Marker* marker = layoutMarker(node, prefix)) applyMarker(node, marker->getName(), context);
    // A copy: enabling a subtree never changes the child list, but stay safe against it.
    const std::vector<AE::ISceneNode*> children = node->mChildren;
    for (AE::ISceneNode* child : children) adaptNode(child, context, prefix);
}

}  // namespace

LayoutCommands parseLayoutCommands(const std::string& text) {
    LayoutCommands c;
    size_t at = 0;
    while (at < text.size()) {
        const char command = text[at++];
        const char next = at < text.size() ? text[at] : '\0';
        switch (command) {
            case 'l': readAnchor(text, at, c.left, c.noMarginH, c.valueH); break;
            case 'r': readAnchor(text, at, c.right, c.noMarginH, c.valueH); break;
            case 't': readAnchor(text, at, c.top, c.noMarginV, c.valueV); break;
            case 'b': readAnchor(text, at, c.bottom, c.noMarginV, c.valueV); break;
            case 'c':
                if (next == 'h') {
                    ++at;
                    c.centreH = true;
                    c.valueH = readDashNumber(text, at);
                } else if (next == 'v') {
                    ++at;
                    c.centreV = true;
                    c.valueV = readDashNumber(text, at);
                }
                break;
            case 'a':
                c.hasAngle = true;
                c.angle = readDashNumber(text, at);
                break;
            case 's':
                if (next == 'h' || next == 'v') {
                    ++at;
                    if (at < text.size()) ++at;  // the separator, usually '-'
                    const float value = static_cast<float>(std::strtod(readRun(text, at, "0123456789.-").c_str(), nullptr));
                    if (next == 'h') {
                        c.hasScaleX = true;
                        c.scaleX = value;
                    } else {
                        c.hasScaleY = true;
                        c.scaleY = value;
                    }
                }
                break;
            case 'e':
                c.hasEnable = true;
                c.enable = std::atoi(readRun(text, at, "0123456789-").c_str());
                break;
            default:
                break;  // anything else is skipped
        }
    }
    return c;
}

LayoutContext currentLayoutContext() {
    LayoutContext context;
    if (GameStateManager* states = QV::Singleton<GameStateManager>::instancePointer()) {
        context.portrait = states->getOrientation();
        const QV::Vector2<float> design = states->getDesignScreenSize();
        context.width = design.x;
        context.height = design.y;
    }
    if (QV::RenderSystem* render = QV::Singleton<QV::RenderSystem>::instancePointer()) {
        QV::Vector2<float> fitSize, fitOffset;
        float fitScale = 1.0f;
        render->getWorkspaceFit(fitSize, fitOffset, fitScale);
        if (fitScale > 0.0f) {
            context.marginX = -std::min(fitOffset.x, 0.0f) / fitScale;
            context.marginY = -std::min(fitOffset.y, 0.0f) / fitScale;
        }
    }
    return context;
}

void adaptSceneLayout(AE::ISceneNode* node) {
    if (!node) {
        QV::logLine("ERROR: adaptSceneLayout: no scene to lay out");
        return;
    }
    adaptSceneLayout(node, currentLayoutContext());
}

void adaptSceneLayout(AE::ISceneNode* node, const LayoutContext& context) {
    if (!node) {
        QV::logLine("ERROR: adaptSceneLayout: no scene to lay out");
        return;
    }
    adaptNode(node, context, context.portrait == 1 ? "#ver:" : "#hor:");
}

void adaptWidgetLayout(QV::UIWidget* widget) {
    if (!widget) {
        QV::logLine("ERROR: adaptWidgetLayout: no widget to lay out");
        return;
    }
    adaptWidgetLayout(widget, currentLayoutContext());
}

void adaptWidgetLayout(QV::UIWidget* widget, const LayoutContext& context) {
    if (!widget) return;
    if (widget->getType() == QV::kUISceneNode) {
        if (AE::ISceneNode* scene = static_cast<QV::UISceneNode*>(widget)->getNode()) adaptSceneLayout(scene, context);
    }
    for (QV::UIWidget* child : widget->getChildren()) adaptWidgetLayout(child, context);
}

LevelLayoutMarker findLevelLayoutMarker(AE::ISceneNode* scene, const std::string& name, int portrait) {
    LevelLayoutMarker marker;
    if (!scene) return marker;
    AE::ISceneNode* node = scene->findNode((portrait == 1 ? "@v:" : "@h:") + name);
    if (!node) return marker;
    const QV::Vector2<float> at = node->getWorldPosition();
    marker.found = true;
    marker.x = at.x;
    marker.y = at.y;
    marker.depth = static_cast<int>(node->mPosZ);
    marker.rotation = node->getWorldRotation();
    return marker;
}

#pragma once

#include <string>

namespace AE {
class ISceneNode;
class TextSceneNode;
}  // namespace AE

// Small helpers of the windows that fill their scenes: each tolerates a
// missing node, so a scene without an optional slot only shows less.
namespace window_nodes {

AE::TextSceneNode* text(AE::ISceneNode* scene, const std::string& name);
void setText(AE::TextSceneNode* node, const std::string& text, bool translate);
// A sprite of a sprite table of package "default".
void setSprite(AE::ISceneNode* node, const std::string& table, const std::string& sprite);
void enable(AE::ISceneNode* node, bool enabled);

}  // namespace window_nodes

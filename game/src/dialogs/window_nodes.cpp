#include "dialogs/window_nodes.h"

#include "animationeditor/scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"

namespace window_nodes {

AE::TextSceneNode* text(AE::ISceneNode* scene, const std::string& name) {
    AE::ISceneNode* node = scene ? scene->findNode(name) : nullptr;
    return node && node->getType() == AE::kTextNode ? static_cast<AE::TextSceneNode*>(node) : nullptr;
}

void setText(AE::TextSceneNode* node, const std::string& text, bool translate) {
    if (!node) return;
    node->mTranslate = translate;
    node->setText(text);
}

void setSprite(AE::ISceneNode* node, const std::string& table, const std::string& sprite) {
    if (!node || node->getType() != AE::kSpriteNode) return;
    static_cast<AE::SpriteSceneNode*>(node)->loadSprite(table, sprite);
}

void enable(AE::ISceneNode* node, bool enabled) {
    if (node) node->setEnabled(enabled);
}

}  // namespace window_nodes

#include "dialogs/level_window_social.h"

#include "animationeditor/scene_node.h"
#include "ui/ui_widget.h"

void setLevelWindowSocialButtons(QV::UIWidget* root, AE::ISceneNode* scene, bool connectVisible) {
    for (const char* name : {"facebook_btn_left", "facebook_btn_bottom"})
        if (QV::UIWidget* button = root ? root->findChild(name) : nullptr) button->setVisible(connectVisible);
    for (const char* name : {"#left_list_title", "#bottom_list_title"})
        if (AE::ISceneNode* title = scene ? scene->findNode(name) : nullptr) title->setEnabled(!connectVisible);
}

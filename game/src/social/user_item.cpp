#include "social/user_item.h"

#include "animationeditor/scene_node.h"
#include "format_string.h"
#include "social/facebook_integration.h"
#include "social/social_photo.h"
#include "ui/wide_string.h"

UserItem::UserItem(FacebookUser* user, int32_t score, bool leader, bool left)
    : QV::UISceneListItem(left ? "user_item_left_xml" : "user_item_bottom_xml", "") {
    putUserPhoto(user, mScene ? mScene->findNode("#photo") : nullptr);
    setText("name", QV::toWide(firstNameOf(user)));
    setText("score", QV::toWide(QV::formatString("%d", score)));
    const char* marker = leader ? "leader" : "not_leader";
    if (mScene && mScene->findMarker(marker)) mScene->playMarker(marker);
    FacebookIntegration* fb = FacebookIntegration::instancePointer();
    if (mScene && fb && user == &fb->user) {
        for (const char* name : {"#heart", "#check"})
            if (AE::ISceneNode* node = mScene->findNode(name)) node->setEnabled(false);
    }
}

void UserItem::showRequested(bool requested) {
    if (!mScene) return;
    if (AE::ISceneNode* heart = mScene->findNode("#heart")) heart->setEnabled(!requested);
    if (AE::ISceneNode* check = mScene->findNode("#check")) check->setEnabled(requested);
}

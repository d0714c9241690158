#include "social/check_list_item.h"

#include "animationeditor/scene_node.h"
#include "social/check_box_listener.h"

CheckListItem::CheckListItem(const std::string& scene, CheckBoxListener* owner)
    : QV::UISceneListItem(scene, ""), owner(owner) {
    addListener(this);
    checkNode = mScene ? mScene->findNode("#check") : nullptr;
}

CheckListItem::~CheckListItem() { removeListener(this); }

bool CheckListItem::isChecked() const { return checkNode && checkNode->mEnabled; }

void CheckListItem::setChecked(bool checked) {
    if (checkNode) checkNode->setEnabled(checked);
}

void CheckListItem::onItemEvent(QV::UISceneListItem*, const std::string&) {
    const bool checked = !isChecked();
    setChecked(checked);
    if (owner) owner->onCheckChanged(checked);
}

#include "social/check_list_window.h"

#include "animationeditor/scene_node.h"
#include "social/check_list_item.h"
#include "ui/ui_scene_list.h"
#include "ui/ui_widget.h"

CheckListWindow::CheckListWindow(const std::string& resource, const std::string& windowName)
    : DialogWindow(resource, windowName, "gui") {
    QV::UIWidget* widget = requireWidget("requests_list");
    if (widget->getType() == QV::kUISceneList) list = static_cast<QV::UISceneList*>(widget);
    selectAllNode = mScene ? mScene->findNode("#thumb") : nullptr;
    bindButton("btnSelectAll", this, &CheckListWindow::toggleSelectAll);
    bindButton("btnClose", this, &CheckListWindow::onCloseClicked);
}

CheckListWindow::~CheckListWindow() { deleteItems(); }

size_t CheckListWindow::itemCount() const { return list ? list->getItems().size() : 0; }

CheckListItem* CheckListWindow::itemAt(size_t index) const {
    return index < itemCount() ? dynamic_cast<CheckListItem*>(list->getItems()[index]) : nullptr;
}

void CheckListWindow::deleteItems() {
    if (list) list->clearItems();
}

void CheckListWindow::toggleSelectAll() {
    if (updating) return;
    updating = true;
    const bool all = !(selectAllNode && selectAllNode->mEnabled);
    if (selectAllNode) selectAllNode->setEnabled(all);
    for (size_t i = 0; i < itemCount(); ++i) {
        if (CheckListItem* item = itemAt(i)) {
            item->setChecked(all);
            if (item->owner) item->owner->onCheckChanged(all);
        }
    }
    updating = false;
}

void CheckListWindow::onCheckChanged(bool) {
    if (updating) return;
    updating = true;
    bool all = true;
    for (size_t i = 0; i < itemCount() && all; ++i) {
        const CheckListItem* item = itemAt(i);
        all = item && item->isChecked();
    }
    if (selectAllNode) selectAllNode->setEnabled(all);
    updating = false;
}

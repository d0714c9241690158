#pragma once

#include <string>

#include "ui/ui_scene_list_item.h"

namespace AE {
class ISceneNode;
}
class CheckBoxListener;

// A list row with a check mark ("#check" enabled = selected) that a click toggles.
class CheckListItem : public QV::UISceneListItem, public QV::UISceneListItemListener {
public:
    CheckListItem(const std::string& scene, CheckBoxListener* owner);
    ~CheckListItem() override;

    // Flips the check and tells the owner the new state.
    void onItemEvent(QV::UISceneListItem* item, const std::string& element) override;
    bool isChecked() const;
    void setChecked(bool checked);

    CheckBoxListener* owner;
    AE::ISceneNode* checkNode = nullptr;
};

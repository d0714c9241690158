#pragma once

#include <string>

#include "dialogs/dialog_window.h"
#include "social/check_box_listener.h"

namespace AE {
class ISceneNode;
}
namespace QV {
class UISceneList;
}
class CheckListItem;

// A window listing checkable rows ("requests_list") with a select-all mark
// ("#thumb", enabled = all selected) and the buttons "btnSelectAll" and "btnClose".
class CheckListWindow : public DialogWindow, public CheckBoxListener {
public:
    CheckListWindow(const std::string& resource, const std::string& windowName);
    ~CheckListWindow() override;

    void toggleSelectAll();
    void onCloseClicked() { hide(); }
    void onCheckChanged(bool checked) override;
    void deleteItems();
    // The row at `index` as a check item (null when it is not one).
    CheckListItem* itemAt(size_t index) const;
    size_t itemCount() const;

    QV::UISceneList* list = nullptr;
    AE::ISceneNode* selectAllNode = nullptr;
    bool updating = false;
};

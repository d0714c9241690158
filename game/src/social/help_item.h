#pragma once

#include <string>

#include "social/check_list_item.h"

namespace AE {
class ISceneNode;
}
class CheckBoxListener;
class FacebookUser;

// One friend offered in the help window; a click toggles its check.
class HelpItem : public CheckListItem {
public:
    HelpItem(CheckBoxListener* owner, FacebookUser* user);
    ~HelpItem() override = default;

    void refreshPhoto();

    FacebookUser* user;  // not owned
};

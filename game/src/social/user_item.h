#pragma once

#include <cstdint>

#include "ui/ui_scene_list_item.h"

class FacebookUser;

// One friend's row: photo, first name and score; the leader is marked.
class UserItem : public QV::UISceneListItem {
public:
    UserItem(FacebookUser* user, int32_t score, bool leader, bool left);
    ~UserItem() override = default;

    // Shows the heart (a life may be asked for) or the check (asked).
    void showRequested(bool requested);
};

#pragma once

#include <cstdint>
#include <string>

#include "social/facebook_message_listener.h"
#include "ui/ui_scene_list_item.h"

class FacebookUser;
class UserItem;

// Drives one friend's two rows (left and bottom panel) and asks that friend
// for a life; the rows belong to the lists they are added to.
class UserItemController : public QV::UISceneListItemListener, public FacebookMessageListener {
public:
    UserItemController(bool requested, int32_t score, FacebookUser* user, bool leader);
    ~UserItemController() override;

    void onItemEvent(QV::UISceneListItem* item, const std::string& element) override;
    void sendLifeRequest();
    void onMessage(const FacebookMessage& message) override;

    // Whether a life request counts as sent at `now` (seconds since 1970): the
    // profile's record of that friend is younger than a day (or in the future).
    static bool isRequested(uint64_t friendId, int64_t now);

    FacebookUser* user;  // not owned
    UserItem* leftItem = nullptr;
    UserItem* bottomItem = nullptr;
    int32_t requestToken = 0;
    bool requested;
    // What a service sends with the request; kept for it.
    std::string requestData;
    std::string requestText;
};

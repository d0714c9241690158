#pragma once

#include <cstdint>
#include <string>

#include "dialogs/dialog_window.h"

struct EpisodeLevel;
class FacebookUser;

// The player has overtaken a friend on a level: both photos and scores, and
// the offer to post it.
class FriendPassedWnd : public DialogWindow {
public:
    FriendPassedWnd();
    ~FriendPassedWnd() override = default;

    void open(EpisodeLevel* level, int32_t captionValue, uint64_t friendId, int32_t friendScore);
    void postFeed();
    void onCloseClicked() { hide(); }

    EpisodeLevel* level = nullptr;  // not owned
    FacebookUser* friendUser = nullptr;
    int32_t captionValue = 0;
    // What a service posts: name, caption, picture and link.
    std::string feed[4];
};

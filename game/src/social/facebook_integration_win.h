#pragma once

#include <atomic>
#include <string>

#include "social/facebook_integration_base.h"

// The offline stand-in for the social network: a made-up player, 29 friends of
// whom one plays, and the same three requests every time.
class FacebookIntegrationWIN : public FacebookIntegrationBase {
public:
    FacebookIntegrationWIN() = default;
    ~FacebookIntegrationWIN() override = default;

    // Sets the flag, then tells the listeners (the session-opened message).
    void openSession();
    // Tells the listeners (session closed), then clears the flag.
    void closeSession();
    void loadUserData();
    void loadFriends();
    // Nothing while the session is closed; takes as many of the three senders as there are friends.
    void loadRequests();

    std::atomic<bool> sessionOpen{false};
    // The portrait every offline record shows; empty (or no sprite manager): no photos.
    std::string photoImage = "face1_image";
    std::string playerPhotoImage = "face0_image";
};

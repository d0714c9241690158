#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "social/facebook_user.h"

// The player's record and the friend list. Lock order everywhere: the user
// record's mutex, then `friendsMutex`, then one friend record's mutex.
class FacebookIntegrationBase {
public:
    FacebookIntegrationBase();
    virtual ~FacebookIntegrationBase();
    FacebookIntegrationBase(const FacebookIntegrationBase&) = delete;
    FacebookIntegrationBase& operator=(const FacebookIntegrationBase&) = delete;

    // The record with that id (the player's own first), or null.
    FacebookUser* findUser(uint64_t id);
    void clearUser();
    void clearFriends();

    FacebookUser user;
    std::vector<FacebookUser*> friends;  // owned, in load order
    std::atomic<bool> userDataReady{false};
    std::atomic<bool> friendsReady{false};
    pthread_mutex_t friendsMutex;  // recursive
};

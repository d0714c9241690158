#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "social/facebook_message.h"

namespace QV {
class Sprite;
}

// One person of the social network: the player or a friend. The photo fields
// are shared with the photo streamer thread and guarded by `mutex`.
class FacebookUser {
public:
    FacebookUser();
    ~FacebookUser();
    FacebookUser(const FacebookUser&) = delete;
    FacebookUser& operator=(const FacebookUser&) = delete;

    uint64_t id = 0;
    std::string idText;
    std::u16string name;
    std::u16string firstName;
    std::u16string middleName;
    std::u16string lastName;
    std::string extraText;
    bool playsGame = false;
    std::vector<std::string> requestIds;
    std::vector<FacebookUserRequest> receivedRequests;
    int32_t pendingCount = 0;
    int32_t state = 0;
    QV::Sprite* photo = nullptr;
    pthread_mutex_t mutex;  // recursive
    std::atomic<bool> photoLoaded{false};
    std::atomic<bool> photoWanted{true};

    // Releases the photo through the sprite manager (when one exists); call under `mutex`.
    void releasePhoto();
};

#pragma once

#include <cstdint>

#include "singleton.h"
#include "social/facebook_integration_win.h"
#include "social/facebook_message_listener.h"

// The game's one door to the social network, and its first listener: the
// session-opened message loads the player and friends and starts the photo streamer.
class FacebookIntegration : public QV::Singleton<FacebookIntegration>,
                            public FacebookIntegrationWIN,
                            public FacebookMessageListener {
public:
    // Creates the dispatcher and the photo streamer when absent (the thread is not started).
    FacebookIntegration();
    ~FacebookIntegration() override;

    void onMessage(const FacebookMessage& message) override;
    void onRequestIdMessage(const FacebookMessage& message);
    void removeRequest(uint64_t userId, const char* requestId);
};

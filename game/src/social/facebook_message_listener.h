#pragma once

class FacebookMessage;

// Told of every social message the dispatcher delivers. Constructing one does
// not register it; destroying it leaves the dispatcher's list.
class FacebookMessageListener {
public:
    FacebookMessageListener() = default;
    virtual ~FacebookMessageListener();
    FacebookMessageListener(const FacebookMessageListener&) = delete;
    FacebookMessageListener& operator=(const FacebookMessageListener&) = delete;

    virtual void onMessage(const FacebookMessage& message) = 0;
};

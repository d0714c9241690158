#pragma once

#include <vector>

#include "singleton.h"

class FacebookMessage;
class FacebookMessageListener;

// Hands each social message to every listener in registration order. While no
// session is open only the session-closed message passes. Main thread only.
class FacebookMessageDispatcher : public QV::Singleton<FacebookMessageDispatcher> {
public:
    FacebookMessageDispatcher() = default;
    ~FacebookMessageDispatcher() override = default;

    // May be re-entered from a listener; the inner dispatch completes first.
    void dispatch(const FacebookMessage& message);
    // Appends unless already listed.
    void addListener(FacebookMessageListener* listener);
    // Removes the first equal entry; absent pointers are ignored.
    void removeListener(FacebookMessageListener* listener);
    bool hasListener(const FacebookMessageListener* listener) const;

    std::vector<FacebookMessageListener*> listeners;  // not owned
};

#include "social/facebook_message_dispatcher.h"

#include <algorithm>
#include <cstdio>

#include "social/facebook_integration.h"
#include "social/facebook_message.h"
#include "social/facebook_message_listener.h"

void FacebookMessageDispatcher::dispatch(const FacebookMessage& message) {
    fflush(stdout);
    const FacebookIntegration* integration = FacebookIntegration::instancePointer();
    const bool open = integration && integration->sessionOpen;
    if (!open && message.mKind != FacebookMessage::SessionClosed) return;
    // A listener may add or remove listeners (itself included) while it is told:
    // walk a copy and skip whoever has left the live list meanwhile.
    const std::vector<FacebookMessageListener*> snapshot = listeners;
    for (FacebookMessageListener* listener : snapshot)
        if (hasListener(listener)) listener->onMessage(message);
}

void FacebookMessageDispatcher::addListener(FacebookMessageListener* listener) {
    if (!hasListener(listener)) listeners.push_back(listener);
}

void FacebookMessageDispatcher::removeListener(FacebookMessageListener* listener) {
    auto it = std::find(listeners.begin(), listeners.end(), listener);
    if (it != listeners.end()) listeners.erase(it);
}

bool FacebookMessageDispatcher::hasListener(const FacebookMessageListener* listener) const {
    return std::find(listeners.begin(), listeners.end(), listener) != listeners.end();
}

#include "social/facebook_message_listener.h"

#include "social/facebook_message_dispatcher.h"

FacebookMessageListener::~FacebookMessageListener() {
    // The dispatcher may already be gone at shut-down; nothing is left to leave then.
    if (FacebookMessageDispatcher* dispatcher = FacebookMessageDispatcher::instancePointer())
        dispatcher->removeListener(this);
}

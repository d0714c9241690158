#include "social/facebook_integration.h"

#include <algorithm>

#include "player/remote_storage.h"
#include "social/facebook_data_streamer.h"
#include "social/facebook_message.h"
#include "social/facebook_message_dispatcher.h"

FacebookIntegration::FacebookIntegration() {
    if (!FacebookMessageDispatcher::instancePointer()) new FacebookMessageDispatcher();
    if (!FacebookDataStreamer::instancePointer()) new FacebookDataStreamer();
    FacebookMessageDispatcher::instance()->addListener(this);
}

FacebookIntegration::~FacebookIntegration() {
    // The worker reads these records every pass; it must be gone before they are.
    if (FacebookDataStreamer* streamer = FacebookDataStreamer::instancePointer()) streamer->stop();
    if (FacebookMessageDispatcher* dispatcher = FacebookMessageDispatcher::instancePointer())
        dispatcher->removeListener(this);
}

void FacebookIntegration::onMessage(const FacebookMessage& message) {
    switch (message.mKind) {
        case FacebookMessage::SessionOpened:
            loadUserData();
            loadFriends();
            if (FacebookDataStreamer* streamer = FacebookDataStreamer::instancePointer()) streamer->start();
            break;
        case FacebookMessage::SessionClosed:
            clearUser();
            clearFriends();
            if (RemoteStorage* storage = RemoteStorage::instancePointer()) storage->friendProgress.clear();
            break;
        case FacebookMessage::UserDataReady: userDataReady = true; break;
        case FacebookMessage::FriendsReady: friendsReady = true; break;
        case FacebookMessage::RequestId:
        case FacebookMessage::RequestIdOther: onRequestIdMessage(message); break;
        case FacebookMessage::RequestRemoved:
            removeRequest(message.mUserRequest.userId, message.mUserRequest.requestId.c_str());
            break;
        default: break;
    }
}

void FacebookIntegration::onRequestIdMessage(const FacebookMessage& message) {
    const FacebookUserRequest& request = message.mUserRequest;
    FacebookUser* record = findUser(request.userId);
    if (!record) return;
    bool matched = false;
    for (const std::string& id : record->requestIds) {
        if (id == request.requestId) {
            --record->pendingCount;
            matched = true;
            break;
        }
    }
    if (!matched) record->requestIds.push_back(request.requestId);
    record->receivedRequests.push_back(request);
    if (matched && record->pendingCount < 1) {
        record->state = 2;
        record->pendingCount = 0;
        FacebookMessage done(FacebookMessage::PendingDone, static_cast<int64_t>(record->id));
        FacebookMessageDispatcher::instance()->dispatch(done);
    }
}

void FacebookIntegration::removeRequest(uint64_t userId, const char* requestId) {
    if (!requestId) return;
    FacebookUser* record = findUser(userId);
    if (!record) return;
    auto received = std::find_if(record->receivedRequests.begin(), record->receivedRequests.end(),
                                 [&](const FacebookUserRequest& r) { return r.requestId == requestId; });
    if (received != record->receivedRequests.end()) record->receivedRequests.erase(received);
    auto id = std::find(record->requestIds.begin(), record->requestIds.end(), requestId);
    if (id != record->requestIds.end()) record->requestIds.erase(id);
}

#include "social/facebook_message.h"

#include <new>

void FacebookMessage::constructEmpty() {
    if (carriesRequests(mKind))
        new (&mRequests) std::vector<FacebookRequest>();
    else if (carriesUserRequest(mKind))
        new (&mUserRequest) FacebookUserRequest();
    else if (carriesToken(mKind))
        mRequestToken = 0;
    else
        mUserId = 0;
}

FacebookMessage::FacebookMessage(int32_t kind) : mKind(kind) { constructEmpty(); }

FacebookMessage::FacebookMessage(int32_t kind, std::vector<FacebookRequest> requests) : mKind(kind) {
    if (carriesRequests(kind))
        new (&mRequests) std::vector<FacebookRequest>(std::move(requests));
    else
        constructEmpty();
}

FacebookMessage::FacebookMessage(int32_t kind, FacebookUserRequest request) : mKind(kind) {
    if (carriesUserRequest(kind))
        new (&mUserRequest) FacebookUserRequest(std::move(request));
    else
        constructEmpty();
}

FacebookMessage::FacebookMessage(int32_t kind, int64_t number) : mKind(kind) {
    if (carriesToken(kind))
        mRequestToken = static_cast<int32_t>(number);
    else if (carriesUserId(kind))
        mUserId = static_cast<uint64_t>(number);
    else
        constructEmpty();
}

FacebookMessage::~FacebookMessage() {
    if (carriesRequests(mKind))
        mRequests.~vector();
    else if (carriesUserRequest(mKind))
        mUserRequest.~FacebookUserRequest();
}

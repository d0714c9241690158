#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A named value of a user request; only type 3 carries a text.
struct FacebookValue {
    std::string name;
    int32_t type = 0;
    std::string text;  // meaningful when type == 3
};

// A request concerning one user (kinds 13, 14, 22, 23; also kept in the user's record).
struct FacebookUserRequest {
    uint64_t userId = 0;
    std::string requestId;
    std::string text;
    std::vector<FacebookValue> values;
};

// One received request; `data` is the XML request payload.
struct FacebookRequest {
    std::string requestId;
    uint64_t senderId = 0;
    std::u16string senderName;
    std::string data;
};

// A tagged value handed to every listener; only the payload of its kind exists.
class FacebookMessage {
public:
    enum Kind : int32_t {
        SessionOpened = 1,
        SessionClosed = 2,
        SessionFailed = 3,
        UserDataReady = 4,
        FriendsReady = 6,
        RequestsReceived = 8,
        RequestId = 13,
        RequestIdOther = 14,
        PendingDone = 15,
        RequestSent = 19,
        RequestNotSent = 20,
        RequestNotSentOther = 21,
        RequestRemoved = 22,
        RequestRemovedOther = 23,
    };

    // A kind without payload (a payload kind gets an empty one).
    explicit FacebookMessage(int32_t kind);
    FacebookMessage(int32_t kind, std::vector<FacebookRequest> requests);
    FacebookMessage(int32_t kind, FacebookUserRequest request);
    // Kind 15 (a user id) or 19 to 21 (a request token).
    FacebookMessage(int32_t kind, int64_t number);
    ~FacebookMessage();
    FacebookMessage(const FacebookMessage&) = delete;
    FacebookMessage& operator=(const FacebookMessage&) = delete;

    static bool carriesRequests(int32_t kind) { return kind == RequestsReceived; }
    static bool carriesUserRequest(int32_t kind) { return kind == 13 || kind == 14 || kind == 22 || kind == 23; }
    static bool carriesUserId(int32_t kind) { return kind == PendingDone; }
    static bool carriesToken(int32_t kind) { return kind >= 19 && kind <= 21; }

    int32_t mKind;
    union {
        std::vector<FacebookRequest> mRequests;
        FacebookUserRequest mUserRequest;
        uint64_t mUserId;
        int32_t mRequestToken;
    };
    // Kinds 22 and 23 carry a leading field before the user request that nothing reads.
    uint64_t mLeading = 0;

private:
    void constructEmpty();
};

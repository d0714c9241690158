#pragma once

#include <cstdint>
#include <vector>

#include "singleton.h"

namespace QV {

struct Notification {
    int32_t code = 0;
    uint8_t payload[28] = {};
};

// Codes posted by the engine.
enum NotificationCode : int32_t {
    kNotificationDeviceReset = 1,
    kNotificationActivated = 2,
    kNotificationDeactivated = 3,
};

class NotificationListener {
public:
    virtual ~NotificationListener() = default;
    virtual void onNotification(Notification* notification) = 0;
};

class NotificationDispatcher {
public:
    virtual ~NotificationDispatcher() = default;

    // A listener added twice is told twice per post.
    void addListener(NotificationListener* listener) { mListeners.push_back(listener); }
    // Removes one registration of the listener.
    void removeListener(NotificationListener* listener);
    void post(int32_t code);

private:
    std::vector<NotificationListener*> mListeners;
};

class EngineNotificationDispatcher : public NotificationDispatcher,
                                     public Singleton<EngineNotificationDispatcher> {};

// Builds the record and tells every listener of the engine dispatcher (fatal when it is missing).
void postEngineNotification(int32_t code);

}  // namespace QV

#include "engine_notification_dispatcher.h"

#include <algorithm>

namespace QV {

void NotificationDispatcher::removeListener(NotificationListener* listener) {
    auto it = std::find(mListeners.begin(), mListeners.end(), listener);
    if (it != mListeners.end()) mListeners.erase(it);
}

void NotificationDispatcher::post(int32_t code) {
    Notification notification;
    notification.code = code;
    // Copy: a listener may remove itself while being told.
    std::vector<NotificationListener*> listeners = mListeners;
    for (NotificationListener* listener : listeners) listener->onNotification(&notification);
}

void postEngineNotification(int32_t code) {
    Singleton<EngineNotificationDispatcher>::instance()->post(code);
}

}  // namespace QV

#include "social/facebook_integration_base.h"

#include "mutex_lock.h"

FacebookIntegrationBase::FacebookIntegrationBase() { QV::initRecursiveMutex(&friendsMutex); }

FacebookIntegrationBase::~FacebookIntegrationBase() {
    clearUser();
    clearFriends();
    pthread_mutex_destroy(&friendsMutex);
}

FacebookUser* FacebookIntegrationBase::findUser(uint64_t id) {
    if (id == user.id) return &user;
    QV::MutexLock userLock(&user.mutex);
    QV::MutexLock listLock(&friendsMutex);
    for (FacebookUser* record : friends) {
        QV::MutexLock recordLock(&record->mutex);
        if (record->id == id) return record;
    }
    return nullptr;
}

void FacebookIntegrationBase::clearUser() {
    QV::MutexLock lock(&user.mutex);
    user.releasePhoto();
    user.id = 0;
    user.idText.clear();
    user.name.clear();
    user.firstName.clear();
    user.middleName.clear();
    user.lastName.clear();
    user.extraText.clear();
    user.photoWanted = true;
    user.requestIds.clear();
    user.receivedRequests.clear();
    userDataReady = false;
}

void FacebookIntegrationBase::clearFriends() {
    // The worker walks the user record first, so the list is emptied in the same order.
    QV::MutexLock userLock(&user.mutex);
    QV::MutexLock listLock(&friendsMutex);
    for (FacebookUser* record : friends) {
        {
            QV::MutexLock recordLock(&record->mutex);
            record->releasePhoto();
        }
        delete record;
    }
    friends.clear();
    friendsReady = false;
}

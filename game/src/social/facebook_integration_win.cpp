#include "social/facebook_integration_win.h"

#include "format_string.h"
#include "log_system.h"
#include "mutex_lock.h"
#include "player/remote_storage.h"
#include "social/facebook_message.h"
#include "social/facebook_message_dispatcher.h"
#include "social/request_payload.h"
#include "sprite.h"
#include "sprite_manager.h"

namespace {

std::u16string widen(const char* text) {
    std::u16string wide;
    for (const char* c = text; *c; ++c) wide.push_back(static_cast<unsigned char>(*c));
    return wide;
}

// Gives the record its portrait; without sprites (tests, tools) it keeps none.
void givePhoto(FacebookUser& record, const std::string& image) {
    auto* sprites = QV::SpriteManager<QV::Sprite>::instancePointer();
    QV::MutexLock lock(&record.mutex);
    if (!sprites || image.empty() || record.photo) return;
    record.photo = sprites->createSpriteFromImage(image, "default");
    record.photoLoaded = record.photo != nullptr;
}

void dispatch(const FacebookMessage& message) { FacebookMessageDispatcher::instance()->dispatch(message); }

}  // namespace

void FacebookIntegrationWIN::openSession() {
    QV::logLine("FACEBOOK session opened");
    sessionOpen = true;
    FacebookMessage message(FacebookMessage::SessionOpened);
    dispatch(message);
}

void FacebookIntegrationWIN::closeSession() {
    QV::logLine("FACEBOOK session closed");
    {
        FacebookMessage message(FacebookMessage::SessionClosed);
        dispatch(message);
    }
    sessionOpen = false;
}

void FacebookIntegrationWIN::loadUserData() {
    QV::logLine("FACEBOOK: Get facebook user data");
    {
        QV::MutexLock lock(&user.mutex);
        user.firstName = widen("Wren");
        user.middleName = widen("Ash");
        user.lastName = widen("Fernly");
        user.name = user.firstName + u" " + user.lastName;
        user.id = 0;
        user.idText = "0";
        user.playsGame = true;
    }
    // A stand-in photo, so the photo streamer has nothing left to wait for.
    givePhoto(user, playerPhotoImage);
    userDataReady = true;
}

void FacebookIntegrationWIN::loadFriends() {
    QV::logLine("FACEBOOK: Get facebook user's friends data");
    friendsReady = true;
    {
        // Rebuilt under the locks the photo streamer walks it with, in their order.
        QV::MutexLock userLock(&user.mutex);
        QV::MutexLock listLock(&friendsMutex);
        for (FacebookUser* record : friends) delete record;
        friends.clear();
        for (int position = 1; position <= 29; ++position) {
            const int label = position < 4 ? position : 4;
            const uint64_t id = position == 1 ? 1 : position == 3 ? 3 : 2;
            auto* record = new FacebookUser();
            const std::u16string text = widen(QV::formatString("Friend%d", label).c_str());
            record->firstName = record->middleName = record->lastName = text;
            record->name = text + u" " + text;
            record->id = id;
            record->idText = QV::formatString("%llu", static_cast<unsigned long long>(id));
            record->playsGame = position == 1;
            givePhoto(*record, photoImage);
            friends.push_back(record);
        }
    }
    // The stand-in's progress store: two friends ahead on the map, one not started.
    if (RemoteStorage* storage = RemoteStorage::instancePointer()) storage->friendProgress = {{1, 2400}, {2, 0}, {3, 1350}};
    FacebookMessage message(FacebookMessage::FriendsReady);
    dispatch(message);
}

void FacebookIntegrationWIN::loadRequests() {
    if (!sessionOpen) return;
    static const char* const kTypes[] = {"takeLife", "takeSteps", "giveLife"};
    std::vector<FacebookRequest> requests;
    {
        QV::MutexLock userLock(&user.mutex);
        QV::MutexLock listLock(&friendsMutex);
        for (size_t i = 0; i < 3 && i < friends.size(); ++i) {
            FacebookRequest request;
            request.requestId = QV::formatString("%d", int(i));
            request.senderId = friends[i]->id;
            request.senderName = friends[i]->name;
            request.data = makeRequestData(kTypes[i]);
            requests.push_back(std::move(request));
        }
    }
    FacebookMessage message(FacebookMessage::RequestsReceived, std::move(requests));
    dispatch(message);
}

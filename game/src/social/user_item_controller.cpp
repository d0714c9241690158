#include "social/user_item_controller.h"

#include <ctime>

#include "player/game_properties.h"
#include "player/player_profile.h"
#include "singleton.h"
#include "social/facebook_integration.h"
#include "social/facebook_message.h"
#include "social/facebook_message_dispatcher.h"
#include "social/request_payload.h"
#include "social/user_item.h"
#include "ui/text_manager.h"
#include "ui/wide_string.h"

namespace {

constexpr int64_t kRequestPause = 86400;

FriendRequestRecord* recordOf(uint64_t friendId) {
    GameProperties* properties = GameProperties::instancePointer();
    PlayerProfile* profile = properties ? properties->profile() : nullptr;
    return profile ? profile->findSocialEntry(uint32_t(friendId), uint32_t(friendId >> 32)) : nullptr;
}

}  // namespace

UserItemController::UserItemController(bool requested, int32_t score, FacebookUser* user, bool leader)
    : user(user), requested(requested) {
    leftItem = new UserItem(user, score, leader, true);
    bottomItem = new UserItem(user, score, leader, false);
    FacebookIntegration* fb = FacebookIntegration::instancePointer();
    if (!(fb && user == &fb->user)) {
        for (UserItem* item : {leftItem, bottomItem}) {
            item->showRequested(requested);
            item->addListener(this);
        }
    }
}

UserItemController::~UserItemController() {
    // The rows may outlive the controller inside their lists; they must not call it.
    for (UserItem* item : {leftItem, bottomItem})
        if (item) item->removeListener(this);
}

bool UserItemController::isRequested(uint64_t friendId, int64_t now) {
    const FriendRequestRecord* record = recordOf(friendId);
    return record && now - int64_t(record->lastRequestTime) < kRequestPause;
}

void UserItemController::onItemEvent(QV::UISceneListItem*, const std::string&) { sendLifeRequest(); }

void UserItemController::sendLifeRequest() {
    if (requested) return;
    requested = true;
    requestData = makeRequestData("takeLife");
    const QV::TextManager* texts = QV::Singleton<QV::TextManager>::instancePointer();
    requestText = texts ? QV::toNarrow(texts->translate("SEND_LIFE_REQUEST_TEXT")) : std::string();
    FacebookMessageDispatcher::instance()->addListener(this);
    requestToken = 0;
}

void UserItemController::onMessage(const FacebookMessage& message) {
    if (!FacebookMessage::carriesToken(message.mKind) || message.mRequestToken != requestToken) return;
    if (message.mKind == FacebookMessage::RequestSent) {
        for (UserItem* item : {leftItem, bottomItem})
            if (item) item->showRequested(requested);
        if (FriendRequestRecord* record = user ? recordOf(user->id) : nullptr)
            record->lastRequestTime = uint64_t(std::time(nullptr));
    } else {
        requested = false;
    }
    FacebookMessageDispatcher::instance()->removeListener(this);
}

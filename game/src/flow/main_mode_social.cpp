// The main mode as a listener of the social layer.
#include "flow/main_mode.h"
#include "flow/main_mode_map_state.h"
#include "player/game_properties.h"
#include "player/player_profile.h"
#include "social/facebook_message.h"

void MainMode::onMessage(const FacebookMessage& message) {
    if (message.mKind == FacebookMessage::SessionClosed) {
        GameProperties* properties = GameProperties::instancePointer();
        if (PlayerProfile* profile = properties ? properties->profile() : nullptr) profile->clearFriendRequests();
    } else if (message.mKind == FacebookMessage::RequestsReceived) {
        if (mMapState) mMapState->setRequests(message.mRequests);
    }
}

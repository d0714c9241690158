#include "social/map_social.h"

#include "player/game_properties.h"
#include "player/player_profile.h"
#include "social/facebook_integration.h"
#include "social/facebook_request_wnd.h"
#include "social/help_random_friends_wnd.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace {

constexpr float kRefreshSeconds = 60.0f;

bool sessionOpen() {
    const FacebookIntegration* fb = FacebookIntegration::instancePointer();
    return fb && fb->sessionOpen;
}

}  // namespace

MapSocial::MapSocial() {
    // The windows need the UI and a social layer (a headless map has neither).
    if (!QV::UIManager::instancePointer() || !FacebookIntegration::instancePointer()) return;
    mRequestsWindow = new FacebookRequestWnd();
    mHelpFriendsWindow = new HelpRandomFriendsWnd();
}

MapSocial::~MapSocial() {
    delete mRequestsWindow;
    delete mHelpFriendsWindow;
}

void MapSocial::setRequests(const std::vector<FacebookRequest>& requests) {
    if (mRequestsWindow) mRequestsWindow->setRequests(requests);
}

bool MapSocial::hasRequests() const { return mRequestsWindow && mRequestsWindow->itemCount() > 0; }

void MapSocial::showMail() {
    if (mRequestsWindow && sessionOpen() && hasRequests()) mRequestsWindow->show(true);
}

void MapSocial::attach(QV::UIWidget* interface) {
    mMailButton = interface ? interface->findChild("btnMail") : nullptr;
    if (mMailButton) mMailButton->setVisible(false);
    mSocialTimer = 0.0f;
}

void MapSocial::update(float dt) {
    if (mMailButton) mMailButton->setVisible(sessionOpen() && hasRequests());
    mSocialTimer -= dt;
    if (mSocialTimer <= 0.0f) {
        refreshSocial();
        mSocialTimer = kRefreshSeconds;
    }
    GameProperties* properties = GameProperties::instancePointer();
    PlayerProfile* profile = properties ? properties->profile() : nullptr;
    if (mHelpFriendsWindow && sessionOpen() && !mHelpFriendsShown && profile && profile->daysSinceCreation() > 1) {
        mHelpFriendsWindow->open();
        mHelpFriendsShown = true;
    }
}

void MapSocial::refreshSocial() {
    if (mRequestsWindow) mRequestsWindow->refreshPhotos();
    if (mHelpFriendsWindow) mHelpFriendsWindow->refreshPhotos();
}

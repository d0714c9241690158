#pragma once

#include <vector>

namespace QV {
class UIWidget;
}
class FacebookRequestWnd;
class HelpRandomFriendsWnd;
struct FacebookRequest;

// The episode map's social part: the requests window ("showMail"), the help
// window offered once to a player of two days or more, and the refresh of
// their photos at the first update and then every 60 s.
class MapSocial {
public:
    MapSocial();
    ~MapSocial();
    MapSocial(const MapSocial&) = delete;
    MapSocial& operator=(const MapSocial&) = delete;

    void setRequests(const std::vector<FacebookRequest>& requests);
    // The Lua command "showMail": the requests, when connected and there are some.
    void showMail();
    bool hasRequests() const;
    // A new map build (its interface, null when it goes): the mail button
    // "btnMail" shows only while there are requests; refreshed at the first update.
    void attach(QV::UIWidget* interface);
    void update(float dt);
    void refreshSocial();

    FacebookRequestWnd* mRequestsWindow = nullptr;      // owned
    HelpRandomFriendsWnd* mHelpFriendsWindow = nullptr;  // owned
    bool mHelpFriendsShown = false;
    float mSocialTimer = 0.0f;
    QV::UIWidget* mMailButton = nullptr;  // the map interface's
};

#pragma once

#include <string>

#include "social/check_list_window.h"

// Up to five random friends who play, to be asked for extra moves.
class HelpRandomFriendsWnd : public CheckListWindow {
public:
    HelpRandomFriendsWnd();
    ~HelpRandomFriendsWnd() override = default;

    // Fills the list and shows it queued; nobody to offer shows nothing.
    void open();
    void sendStepsRequest();
    void refreshPhotos();

    // What a service sends for the last steps request.
    std::string recipients;
    std::string requestData;
    std::string requestText;
};

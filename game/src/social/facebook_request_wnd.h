#pragma once

#include <vector>

#include "social/check_list_window.h"

struct FacebookRequest;

// "RequestsWnd": the requests friends sent, accepted by selection.
class FacebookRequestWnd : public CheckListWindow {
public:
    FacebookRequestWnd();
    ~FacebookRequestWnd() override = default;

    // Replaces the list; requests from unknown senders are skipped.
    void setRequests(const std::vector<FacebookRequest>& requests);
    // Accepts and removes the checked requests, then hides.
    void acceptSelected();
    void refreshPhotos();
};

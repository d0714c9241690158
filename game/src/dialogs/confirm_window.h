#pragma once

#include <string>

#include "dialogs/dialog_window.h"

// A yes/no question: "btnAccept" closes with 0, "btnReject" with 1. The same
// class serves several questions, each with its own window name and resource.
class ConfirmWindow : public DialogWindow {
public:
    enum Answer { Accepted = 0, Rejected = 1 };

    ConfirmWindow(const std::string& windowName, const std::string& resource);

    void onAccept();
    void onReject();
};
